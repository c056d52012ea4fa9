#pragma once
// Shared by the input and focus parts (input.cpp, keyboard.cpp, hittest.cpp, cursor.cpp,
// focus.cpp); not part of the platform API.
#include "platform/testing.h"
#include "platform/user/input.h"
#include "platform/user/internal/window.h"

namespace win::user {

// ---- Hit testing (hittest.cpp) ----
struct Hit {
  HWND hwnd = nullptr;
  LRESULT code = HTNOWHERE;
};
// Inside the window rectangle and the window region; pt in screen coordinates.
bool InWindowShape(const Window& w, POINT pt);
// The window mouse input at pt goes to. With ask, windows answer WM_NCHITTEST; without, the
// default hit test stands in (no messages: for following the cursor under capture).
Hit HitTestPoint(POINT pt, bool ask);
LRESULT DefaultHitTest(const Window& w, POINT pt);
// DefWindowProc for WM_NCHITTEST and WM_SETCURSOR.
bool HitTestDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// ---- Keyboard (keyboard.cpp) ----
// A key event as injected: the message it makes if a window has the focus (WM_KEY* or
// WM_SYSKEY*), its wParam and lParam, and the key whose state it changes.
struct KeyEvent {
  UINT message = 0;
  WPARAM vk = 0;
  LPARAM lparam = 0;
  UINT side = 0;  // VK_LSHIFT etc. for the modifier keys, else vk
  bool down = false;
};
KeyEvent MakeKeyEvent(UINT vk, UINT scan, bool down, bool extended);  // updates the async state
void ApplyKeyEvent(const KeyEvent& ev);                               // updates the sync state
// Mouse buttons are keys too (VK_LBUTTON...): async when injected, sync when retrieved.
void SetButtonState(UINT vk, bool down, bool sync);
bool KeyDownNow(UINT vk);  // async
// MK_ flags from the async state.
WPARAM AsyncMouseKeys();
void ResetKeyboard();

// ---- Input queue (input.cpp) ----
// The window under the cursor as the last mouse message found it.
Hit LastMouseHit();
POINT LastMousePos();
POINT CursorPosNow();  // as injected
// Mouse tracking and the click state leave a window that goes (before its WM_DESTROY); the
// capture leaves it after its WM_DESTROY and before its WM_NCDESTROY.
void InputWindowGoing(HWND hwnd);
void InputWindowEnding(HWND hwnd);
// Everything the input part holds goes back to its start (no window is left).
void ResetInput();

// ---- Focus (focus.cpp) ----
// how: WA_ACTIVE or WA_CLICKACTIVE. False when the activation did not happen (vetoed, or the
// window went).
bool ActivateWindow(HWND hwnd, WORD how);
bool FocusDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

}  // namespace win::user
