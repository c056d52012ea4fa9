#pragma once
// Logical palettes. The screen is true colour, so selecting and realising a palette changes
// nothing that is drawn; paletted memory DCs map colours through their bitmap's colour table.
#include "platform/gdi/objects.h"

namespace win {

constexpr BYTE PC_RESERVED = 0x01, PC_EXPLICIT = 0x02, PC_NOCOLLAPSE = 0x04;
constexpr UINT kMaxPaletteEntries = 1024;

// Null with ERROR_INVALID_PARAMETER for a null LOGPALETTE or 0 / more than 1024 entries.
HPALETTE CreatePalette(const LOGPALETTE* lp);
HPALETTE CreateHalftonePalette(HDC dc);
// Stores the palette in the DC; returns the previous one (null on bad handles).
HPALETTE SelectPalette(HDC dc, HPALETTE pal, BOOL force_background);
UINT RealizePalette(HDC dc);  // 0 entries mapped; GDI_ERROR for a bad DC
COLORREF GetNearestColor(HDC dc, COLORREF c);
UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF c);  // CLR_INVALID for a bad handle
// With null `entries`, the palette's size.
UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* entries);
BOOL ResizePalette(HPALETTE pal, UINT count);  // new entries are black
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries);
BOOL AnimatePalette(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* entries);

}  // namespace win
