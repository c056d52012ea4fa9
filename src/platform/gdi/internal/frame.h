#pragma once
// Inside the platform: the implementation side of platform/gdi/frame.h.
#include "platform/gdi/frame.h"
#include "platform/gdi/internal/access.h"

namespace win::gdi {

// The classic scheme's colour for a COLOR_ index (black for unknown indices); the window
// manager's GetSysColor answers from the same table.
COLORREF SysColor(int index);

}  // namespace win::gdi
