#pragma once
// What a display needs from the window manager: the visible top-level windows in z-order with
// their screen rectangles, shapes and backing stores, and a notification of the screen
// rectangles whose pixels may have changed, so that a display can present only those.
#include <functional>
#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"
#include "platform/user/messages.h"

namespace win::user {

struct DisplayWindow {
  HWND hwnd = nullptr;
  RECT screen{};                       // the window rectangle on the screen
  std::shared_ptr<gdi::Bitmap> pixels;  // its backing store: the whole window
  std::optional<gdi::Region> shape;    // the window region, window coordinates; none = all
};

// The top-level windows on the screen, topmost first. A window whose drawing is switched off
// with WM_SETREDRAW stays on the screen with its last pixels, as it does on Windows; a
// minimised window is not on it.
std::vector<DisplayWindow> DisplayWindows();
std::optional<DisplayWindow> DisplayWindowOf(HWND top_level);

// One listener (the display in use); null removes it. Called after the pixels or the
// arrangement of the rectangle changed: DCs released, windows shown, hidden, moved, sized,
// scrolled or reshaped.
using ScreenChangedListener = std::function<void(const RECT& screen)>;
void SetScreenChangedListener(ScreenChangedListener listener);

}  // namespace win::user
