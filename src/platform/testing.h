#pragma once
// Test hooks of the platform: the manual clock, injected input and a clean start. Programs'
// windows never need these; tests, the displays (which inject what the desktop delivers) and
// the screenshot tools do.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/win.h"

namespace win {

// ---- The clock ----
// Timers, tick counts, double clicks and the caret's blink read one clock: real monotonic
// time, or a manual clock that only AdvanceClock moves.
void UseManualClock(std::uint64_t start_ms = 0);
void UseRealClock();
bool IsManualClock();
// Moves the manual clock forward; no effect on the real clock.
void AdvanceClock(std::uint64_t ms);
// Manual clock only: called when the message loop finds nothing due (see message.h). Null
// removes it.
void SetIdleHandler(std::function<void()> idle);

// ---- A clean start ----
// Puts the platform back as a new process finds it: hooks removed, every window destroyed, the
// queue, timers, input, focus, capture, caret, clipboard and registered classes emptied, the
// real clock and the default settings back. Objects a test made and did not free stay (and
// count below), so that a leak is seen rather than hidden.
void ResetPlatformForTesting();

// How many handles (windows, GDI objects, global blocks, icons, cursors …) are alive, not
// counting the stock and other permanent objects (the desktop, the system icons, cursors and
// colour brushes); a test that leaves more than it found leaks.
std::size_t LiveHandleCount();

// ---- Pictures ----
// The bitmap as a PNG file (24-bit RGB, rows from the top), for screenshots. FALSE with the
// last error set: ERROR_INVALID_HANDLE for a bad bitmap, ERROR_ACCESS_DENIED when the file
// cannot be written.
BOOL WriteBitmapPng(HBITMAP bitmap, const char* path);

// Font realisations and glyphs are dropped, as a fresh process starts without them; for
// measuring a font's first use.
void FlushFontCaches();

// ---- Injected input, at screen coordinates, through the path real input takes ----
enum class MouseButton { Left, Right, Middle };
// Positions are clipped to the screen, as the cursor cannot leave it. Consecutive moves waiting
// in the queue merge into one, as Windows keeps only the latest position.
void InjectMouseMove(int x, int y);
void InjectMouseButton(MouseButton button, bool down, int x, int y);
// delta in multiples of WHEEL_DELTA for a notched wheel; positive is away from the user.
void InjectMouseWheel(int delta, int x, int y);
// extended: the key is one of the extended set (right Ctrl/Alt, the cursor block, numeric
// Enter and divide), bit 24 of the key messages' lParam. VK_LSHIFT..VK_RMENU may be given for
// one side; the messages carry VK_SHIFT, VK_CONTROL or VK_MENU as on Windows.
void InjectKey(UINT vk, UINT scan, bool down, bool extended = false);
// Text as an input method delivers it: each code point becomes WM_CHAR to the focus window.
void InjectText(const char32_t* code_points, std::size_t count);

}  // namespace win
