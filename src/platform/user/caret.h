#pragma once
// The caret: one per thread, owned by a window, drawn by inverting the owner's client pixels
// and blinking on the platform clock.
//
// CreateCaret replaces any caret the thread had and starts hidden at (0, 0); it is a solid
// block (no bitmap), a 50% grey one (hbitmap (HBITMAP)1) or a bitmap whose set pixels invert
// what lies under them. A width or height of 0 takes the system border width or height. Hiding
// is counted: n HideCarets need n ShowCarets. The caret also steps aside while its window (or an
// ancestor) paints between BeginPaint and EndPaint or scrolls, and comes back afterwards; the
// pixels under it are given back exactly when it goes, unless something drew over it meanwhile
// (those pixels are left as drawn). It dies with its window.
#include "platform/user/messages.h"

namespace win {

constexpr UINT INFINITE = 0xFFFFFFFF;

BOOL CreateCaret(HWND hwnd, HBITMAP hbitmap, int width, int height);
BOOL DestroyCaret();
// Only the owner may; null stands for it.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);  // client coordinates of the owner; the blink starts over
BOOL GetCaretPos(POINT* pt);
// Milliseconds between the caret's toggles, 530 unless changed; INFINITE: it does not blink.
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

}  // namespace win
