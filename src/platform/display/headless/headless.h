#pragma once
// The headless display: a virtual screen in memory, for tests and screenshots.
//
// The screen is composed from the visible top-level windows' backing stores, bottom of the
// z-order first, each shaped by its window region, over a plain desktop colour. Composition
// happens when the screen is asked for, so every capture shows exactly what the windows hold
// at that moment; nothing depends on timing.
#include <memory>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/user/messages.h"

namespace win::display {

struct HeadlessOptions {
  int width = 0, height = 0;       // 0: the window manager's screen size
  COLORREF desktop = 0x00808000;  // the classic desktop's teal
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

  // A fresh 32-bpp copy of the whole screen.
  std::shared_ptr<gdi::Bitmap> CaptureScreen();
  // One top-level window as it would look alone on the desktop: its whole backing store,
  // with the desktop colour outside its window region. Null for a window not on the screen.
  std::shared_ptr<gdi::Bitmap> CaptureWindow(HWND top_level);
  COLORREF PixelAt(int x, int y);  // CLR_INVALID off the screen
  // PNG files; false with the last error set when the file cannot be written.
  bool SaveScreen(const std::string& path);
  bool SaveWindow(HWND top_level, const std::string& path);

  // The bounding box of the screen rectangles reported changed since the last call, clipped
  // to the screen; empty when nothing changed.
  RECT TakeChanged();

 private:
  void Compose(gdi::Bitmap& screen) const;

  int width_, height_;
  COLORREF desktop_;
  RECT changed_{};
};

}  // namespace win::display
