#pragma once
// Inside the platform: the implementation side of platform/gdi/palette.h.
#include "platform/gdi/internal/access.h"
#include "platform/gdi/palette.h"

#include <vector>

namespace win::gdi {

// The 256-entry halftone palette: the static colours at 0-9 and 246-255, the 6x6x6 cube
// (levels 0, 0x33 ... 0xFF, red varying fastest) at 10-225, and finer greys at 226-245.
std::vector<PALETTEENTRY> HalftonePaletteEntries();
// The 256-entry system palette of a true-colour screen: the 20 static colours at its ends,
// black between.
std::vector<PALETTEENTRY> SystemPaletteEntries();

}  // namespace win::gdi
