#pragma once
// Device contexts. A DC draws onto a surface (a bitmap: a memory DC's selected bitmap, or a
// top-level window's backing store) at an origin, clipped to a visible region that its owner
// sets, intersected with the application's clip region.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region.h"

namespace win {

// Background modes, ROP2 codes, stretch modes, text alignment, device caps.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
              R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9,
              R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13,
              R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4,
              STRETCH_ANDSCANS = 1, STRETCH_ORSCANS = 2, STRETCH_DELETESCANS = 3,
              STRETCH_HALFTONE = 4;
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
               TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256;
constexpr UINT GDI_ERROR = 0xFFFFFFFFu;
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12,
              PLANES = 14, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
              SIZEPALETTE = 104, NUMRESERVED = 106, COLORRES = 108;
constexpr int RC_BITBLT = 1, RC_PALETTE = 0x0100, RC_STRETCHBLT = 0x0800;
constexpr int MM_TEXT = 1;

namespace gdi {

// The screen the window manager presents; the platform sets it at start.
struct ScreenInfo {
  int width = 1024;
  int height = 768;
  int dpi = 96;
};
ScreenInfo& Screen();

struct DCState {
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Font> font;
  std::shared_ptr<Palette> palette;
  std::shared_ptr<Bitmap> bitmap;  // memory DCs only
  COLORREF bk_color = 0x00FFFFFF;
  COLORREF text_color = 0;
  COLORREF dc_brush_color = 0x00FFFFFF;
  COLORREF dc_pen_color = 0;
  int bk_mode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretch_mode = BLACKONWHITE;
  int poly_fill_mode = ALTERNATE;
  UINT text_align = TA_LEFT | TA_TOP;
  int char_extra = 0;
  POINT viewport_org{};
  POINT window_org{};
  POINT brush_org{};
  POINT cur_pos{};
  std::optional<Region> clip;  // device coordinates; none = unclipped
};

struct DC : HandleObject {
  bool memory = false;
  std::shared_ptr<Bitmap> surface;
  POINT origin{};             // where device (0,0) lies on the surface
  std::optional<Region> vis;  // surface coordinates; none = the whole surface
  DCState st;
  std::vector<DCState> saved;

  // Logical -> device -> surface, saturating at the int range so that extreme coordinates
  // from callers stay far outside any surface instead of wrapping around.
  POINT ToDevice(int x, int y) const {
    return {Saturate(std::int64_t(x) - st.window_org.x + st.viewport_org.x),
            Saturate(std::int64_t(y) - st.window_org.y + st.viewport_org.y)};
  }
  POINT ToSurface(int x, int y) const {
    POINT d = ToDevice(x, y);
    return {Saturate(std::int64_t(d.x) + origin.x), Saturate(std::int64_t(d.y) + origin.y)};
  }
  static LONG Saturate(std::int64_t v) {
    return LONG(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  }
  // Everything drawing may touch, in surface coordinates.
  Region Clip() const;
};

std::shared_ptr<DC> FindDC(HDC h);

// For the window manager: a DC drawing on `surface` with device (0,0) at `origin`, clipped to
// `visible` (surface coordinates). Rebinding keeps the DC's drawing state.
HDC CreateSurfaceDC(std::shared_ptr<Bitmap> surface, POINT origin, const Region& visible);
void BindSurfaceDC(HDC dc, std::shared_ptr<Bitmap> surface, POINT origin, const Region& visible);

// The pattern value (raw, in the surface's format) of the selected brush at surface pixel
// (x, y); used by PatBlt, the ternary ROPs and the fills.
struct BrushSampler {
  bool null = true;
  bool solid = true;
  std::uint32_t value = 0;
  std::vector<std::uint32_t> tile;  // tw x th pattern, tiled from (org_x, org_y)
  std::vector<BYTE> ink;            // hatches drawn in TRANSPARENT mode: 0 marks a gap
  int tw = 1, th = 1;
  int org_x = 0, org_y = 0;  // surface coordinates of the tile's (0,0)
  int Index(int x, int y) const {
    int i = int((std::int64_t(x) - org_x) % tw), j = int((std::int64_t(y) - org_y) % th);
    return (j < 0 ? j + th : j) * tw + (i < 0 ? i + tw : i);
  }
  std::uint32_t At(int x, int y) const { return solid ? value : tile[Index(x, y)]; }
  // True where a hatch leaves the destination alone.
  bool Gap(int x, int y) const { return !ink.empty() && !ink[Index(x, y)]; }
};
BrushSampler SampleBrush(const DC& dc, const std::shared_ptr<Brush>& brush);

// Copy from `src` (surface coordinates sx, sy, sw, sh) to the logical rectangle of `dst`,
// stretching with the DC's stretch mode; negative extents mirror. `src_dc` supplies the
// colours for monochrome conversions (may be null). Returns false on bad arguments.
bool StretchBitmap(DC& dst, int x, int y, int w, int h, const std::shared_ptr<Bitmap>& src,
                   const DC* src_dc, int sx, int sy, int sw, int sh, DWORD rop);

// Applies a ternary raster operation (the index byte of a ROP code) to raw pixel values.
std::uint32_t Rop3(int index, std::uint32_t p, std::uint32_t s, std::uint32_t d);
// The same for binary ROP2 codes (pen against destination).
std::uint32_t Rop2(int code, std::uint32_t p, std::uint32_t d);

}  // namespace gdi

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* pt);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* pt);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* pt);
BOOL LPtoDP(HDC dc, POINT* pts, int count);
BOOL DPtoLP(HDC dc, POINT* pts, int count);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF c);
COLORREF SetDCPenColor(HDC dc, COLORREF c);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF c);
int GetDeviceCaps(HDC dc, int index);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* pt);

// Clipping.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* rc);
int GetClipRgn(HDC dc, HRGN rgn);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rc);

}  // namespace win
