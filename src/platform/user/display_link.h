#pragma once
// The display link: everything a display takes from the window manager and gives it, so that a
// display needs nothing else of its insides. It takes the visible top-level windows in z-order
// with their screen rectangles, shapes and backing stores, a notification of the screen
// rectangles whose pixels may have changed (so that it presents only those), the screen's
// size and the caret's place; it gives input (platform/testing.h's injection calls, the path
// tests use too), the desktop's clipboard and the desktop's taking of the keyboard.
#if !defined(VELLISA_PLATFORM_DISPLAY_LINK)
#error "the display link is for the platform's displays; include platform/win.h"
#endif

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/internal/bitmap.h"
#include "platform/gdi/internal/region.h"
#include "platform/testing.h"
#include "platform/user/messages.h"

namespace win::user {

struct DisplayWindow {
  HWND hwnd = nullptr;
  RECT screen{};                        // the window rectangle on the screen
  std::shared_ptr<gdi::Bitmap> pixels;  // its backing store: the whole window
  std::optional<gdi::Region> shape;     // the window region, window coordinates; none = all
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

// The screen the window manager lays windows out on.
SIZE ScreenSize();

// For the displays' input methods: the caret's owner and its rectangle in the owner's client
// coordinates; false when the thread has no caret.
bool CaretPlace(HWND* owner, RECT* rc);

// Another application took the desktop's keyboard: the active window is deactivated, then the
// application (WM_ACTIVATEAPP(FALSE)), and the focus goes.
void DeactivateForDesktop();

// What a display with a desktop clipboard installs, so that text copied here reaches other
// applications and text copied there can be pasted here.
struct ClipboardBridge {
  std::function<void(const std::string& utf8)> set_text;  // we own the clipboard text now
  std::function<std::optional<std::string>()> get_text;   // the desktop's text, if any
};
// One bridge (the display in use); a bridge with empty functions removes it. With a bridge,
// CloseClipboard after text was set hands the text to the desktop, and text read while the
// desktop holds text of another application comes from the desktop.
void SetClipboardBridge(ClipboardBridge bridge);

}  // namespace win::user

namespace win {

// The loop's wait: up to timeout_ms (-1: no limit) for outside events. The display installs
// its own waiter, which turns its events into queued input before returning, and the wake that
// ends that wait from another thread (set both before other threads run); the default waits on
// a condition variable that WakeMessageLoop signals.
using EventWaiter = std::function<void(int timeout_ms)>;
void SetEventWaiter(EventWaiter waiter, std::function<void()> wake = nullptr);
void WaitForEvents(int timeout_ms);
void WakeMessageLoop();

// For the displays.
enum class CursorShape {
  Arrow,
  IBeam,
  Wait,
  Cross,
  UpArrow,
  SizeNWSE,
  SizeNESW,
  SizeWE,
  SizeNS,
  SizeAll,
  No,
  Hand,
  AppStarting,
  Help
};
// False (ERROR_INVALID_HANDLE) for what is not a cursor.
bool GetCursorShape(HCURSOR cursor, CursorShape* shape, POINT* hotspot);
int CursorShowCount();

}  // namespace win
