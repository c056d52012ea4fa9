#pragma once
// Keyboard focus and activation of the one user-interface thread (our one application).
//
// Activating a top-level window when another is active, in Windows' order: HCBT_ACTIVATE (may
// veto), the window is raised, WM_NCACTIVATE(FALSE) and WM_ACTIVATE(WA_INACTIVE) to the old
// window, WM_ACTIVATEAPP(TRUE) to every top-level window if the application was inactive,
// WM_NCACTIVATE(TRUE) and WM_ACTIVATE(WA_ACTIVE or WA_CLICKACTIVE) to the new one, whose default
// handling gives it the focus. When the active window is hidden or destroyed its owner, else
// the topmost visible enabled top-level window, is activated; with none left, the application
// is deactivated (WM_ACTIVATEAPP(FALSE)). The focus is always inside the active window, or
// nowhere.
#include "platform/user/messages.h"

namespace win {

constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;

struct CBTACTIVATESTRUCT {
  BOOL fMouse = FALSE;
  HWND hWndActive = nullptr;
};

// HCBT_SETFOCUS (wParam the new window, lParam the old) may veto. WM_KILLFOCUS then
// WM_SETFOCUS, each with the other window in wParam. Focusing a window of an inactive top-level
// window activates that one first. Null removes the focus. Returns the previous focus.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// A child window stands for its top-level window. Returns the previously active window.
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();

}  // namespace win
