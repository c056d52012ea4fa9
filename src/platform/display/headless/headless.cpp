#include "platform/display/headless/headless.h"

#include <algorithm>
#include <cstring>

#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/png.h"
#include "platform/gdi/internal/region.h"
#include "platform/user/display_link.h"

namespace win::display {
namespace {

void FillColor(gdi::Bitmap& bmp, COLORREF c) {
  std::uint32_t v = gdi::ColorToRgb(c);
  for (int y = 0; y < bmp.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(bmp.Row(y));
    std::fill(row, row + bmp.width, v);
  }
}

// Copies the pixels of `src` inside `shape` (source coordinates) to `dst`, source (0,0)
// landing at (at_x, at_y); both 32 bpp.
void CopyShaped(gdi::Bitmap& dst, const gdi::Bitmap& src, gdi::Region shape, int at_x, int at_y) {
  shape.IntersectRect(RECT{0, 0, src.width, src.height});
  shape.Offset(at_x, at_y);
  shape.IntersectRect(RECT{0, 0, dst.width, dst.height});
  for (const RECT& r : shape.Rects())
    for (int y = r.top; y < r.bottom; ++y)
      std::copy_n(src.Row(y - at_y) + std::size_t(r.left - at_x) * 4, std::size_t(RectWidth(r)) * 4,
                  dst.Row(y) + std::size_t(r.left) * 4);
}

gdi::Region ShapeOf(const user::DisplayWindow& d) {
  gdi::Region shape(RECT{0, 0, RectWidth(d.screen), RectHeight(d.screen)});
  if (d.shape) shape.Intersect(*d.shape);
  return shape;
}

// The screen composed from the windows, bottom of the z-order first.
std::shared_ptr<gdi::Bitmap> Compose(int width, int height, COLORREF desktop) {
  auto screen = gdi::NewBitmap(width, height, 32);
  if (!screen) return nullptr;
  FillColor(*screen, desktop);
  auto windows = user::DisplayWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (!it->pixels || it->pixels->bpp != 32) continue;
    CopyShaped(*screen, *it->pixels, ShapeOf(*it), it->screen.left, it->screen.top);
  }
  return screen;
}

// One window alone on the desktop.
std::shared_ptr<gdi::Bitmap> ComposeAlone(HWND top_level, COLORREF desktop) {
  auto d = user::DisplayWindowOf(top_level);
  if (!d || !d->pixels || d->pixels->bpp != 32) return nullptr;
  auto out = gdi::NewBitmap(d->pixels->width, d->pixels->height, 32);
  if (!out) return nullptr;
  FillColor(*out, desktop);
  CopyShaped(*out, *d->pixels, ShapeOf(*d), 0, 0);
  return out;
}

Capture ToCapture(const std::shared_ptr<gdi::Bitmap>& bmp) {
  Capture c;
  if (!bmp) return c;
  c.width = bmp->width;
  c.height = bmp->height;
  c.rgb.resize(std::size_t(c.width) * c.height);
  for (int y = 0; y < c.height; ++y)
    std::memcpy(&c.rgb[std::size_t(y) * c.width], bmp->Row(y), std::size_t(c.width) * 4);
  return c;
}

}  // namespace

HeadlessDisplay::HeadlessDisplay(HeadlessOptions options) : desktop_(options.desktop) {
  SIZE s = user::ScreenSize();
  width_ = options.width > 0 ? options.width : int(s.cx);
  height_ = options.height > 0 ? options.height : int(s.cy);
  gdi::Screen().width = width_;
  gdi::Screen().height = height_;
  user::SetScreenChangedListener([this](const RECT& r) {
    RECT screen{0, 0, width_, height_}, clipped;
    if (!IntersectRect(&clipped, &r, &screen)) return;
    if (IsRectEmpty(&changed_))
      changed_ = clipped;
    else
      UnionRect(&changed_, &changed_, &clipped);
  });
}

HeadlessDisplay::~HeadlessDisplay() { user::SetScreenChangedListener(nullptr); }

Capture HeadlessDisplay::CaptureScreen() const {
  return ToCapture(Compose(width_, height_, desktop_));
}

Capture HeadlessDisplay::CaptureWindow(HWND top_level) const {
  return ToCapture(ComposeAlone(top_level, desktop_));
}

COLORREF HeadlessDisplay::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  // The topmost window whose shape holds the point, as the composition would show it.
  for (auto& d : user::DisplayWindows()) {
    POINT p{x - d.screen.left, y - d.screen.top};
    if (!d.pixels || p.x >= d.pixels->width || p.y >= d.pixels->height) continue;
    if (ShapeOf(d).Contains(p.x, p.y)) return d.pixels->ToColor(d.pixels->Get(p.x, p.y));
  }
  return desktop_;
}

bool HeadlessDisplay::SaveScreen(const std::string& path) const {
  auto screen = Compose(width_, height_, desktop_);
  return screen && gdi::WritePng(*screen, path);
}

bool HeadlessDisplay::SaveWindow(HWND top_level, const std::string& path) const {
  auto bmp = ComposeAlone(top_level, desktop_);
  if (!bmp) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  return gdi::WritePng(*bmp, path);
}

RECT HeadlessDisplay::TakeChanged() {
  RECT r = changed_;
  changed_ = RECT{};
  return r;
}

}  // namespace win::display
