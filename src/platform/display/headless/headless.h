#pragma once
// The headless display: a virtual screen in memory, for tests and screenshots.
//
// The screen is composed from the visible top-level windows' backing stores, bottom of the
// z-order first, each shaped by its window region, over a plain desktop colour. Composition
// happens when the screen is asked for, so every capture shows exactly what the windows hold
// at that moment; nothing depends on timing.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win.h"

namespace win::display {

struct HeadlessOptions {
  int width = 0, height = 0;      // 0: the window manager's screen size
  COLORREF desktop = 0x00808000;  // the classic desktop's teal
};

// A picture of the screen or of one window, rows from the top.
struct Capture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;    // width * height pixels, 0x00RRGGBB
  COLORREF At(int x, int y) const {  // CLR_INVALID outside
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    std::uint32_t v = rgb[std::size_t(y) * width + x];
    return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
  }
  explicit operator bool() const { return !rgb.empty(); }
};

// One display at a time: it takes the window manager's change notifications while it lives.
class HeadlessDisplay {
 public:
  explicit HeadlessDisplay(HeadlessOptions options = {});
  ~HeadlessDisplay();
  HeadlessDisplay(const HeadlessDisplay&) = delete;
  HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }

  // The whole screen.
  Capture CaptureScreen() const;
  // One top-level window as it would look alone on the desktop: its whole window, with the
  // desktop colour outside its window region. Empty for a window not on the screen.
  Capture CaptureWindow(HWND top_level) const;
  COLORREF PixelAt(int x, int y) const;  // CLR_INVALID off the screen
  // PNG files; false with the last error set when the file cannot be written.
  bool SaveScreen(const std::string& path) const;
  bool SaveWindow(HWND top_level, const std::string& path) const;

  // The bounding box of the screen rectangles reported changed since the last call, clipped
  // to the screen; empty when nothing changed.
  RECT TakeChanged();

 private:
  int width_, height_;
  COLORREF desktop_;
  RECT changed_{};
};

}  // namespace win::display
