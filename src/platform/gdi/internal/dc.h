#pragma once
// Inside the platform: the implementation side of platform/gdi/dc.h.
#include "platform/gdi/dc.h"
#include "platform/gdi/internal/access.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/internal/bitmap.h"
#include "platform/gdi/internal/objects.h"
#include "platform/gdi/internal/region.h"

namespace win::gdi {

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
// The raw value a solid pen or brush of colour `c` draws on the DC's surface. Monochrome
// device-dependent bitmaps follow Windows' rule, which depends on the text and background
// colours; other surfaces take the nearest colour.
std::uint32_t SolidRaw(const DC& dc, COLORREF c);

// Copy from `src` (surface coordinates sx, sy, sw, sh) to the logical rectangle of `dst`,
// stretching with the DC's stretch mode; negative extents mirror. `src_dc` supplies the
// colours for monochrome conversions (may be null). Returns false on bad arguments.
bool StretchBitmap(DC& dst, int x, int y, int w, int h, const std::shared_ptr<Bitmap>& src,
                   const DC* src_dc, int sx, int sy, int sw, int sh, DWORD rop);

// Applies a ternary raster operation (the index byte of a ROP code) to raw pixel values.
std::uint32_t Rop3(int index, std::uint32_t p, std::uint32_t s, std::uint32_t d);
// The same for binary ROP2 codes (pen against destination).
std::uint32_t Rop2(int code, std::uint32_t p, std::uint32_t d);

}  // namespace win::gdi
