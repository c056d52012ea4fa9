#pragma once
// Placement: minimise, maximise and restore, the saved placement, deferred positioning,
// SetParent and coordinate mapping. ShowWindow, SetWindowPos and MoveWindow are in window.h.
//
// Minimised top-level windows are parked off the desktop at (-32000, -32000), as Windows
// does when minimised windows are hidden (SM_ARRANGE has ARW_HIDE): the task bar stands for
// them. Minimised child windows sit at the bottom left of their parent's client area.
// Maximised windows fill the work area (the screen less the task bar), their sizing frame just
// off its edges.
#include "platform/user/messages.h"

namespace win {

struct HDWP__ {
  int unused;
};
using HDWP = HDWP__*;

constexpr UINT WPF_SETMINPOSITION = 0x0001, WPF_RESTORETOMAXIMIZED = 0x0002,
               WPF_ASYNCWINDOWPLACEMENT = 0x0004;

// Positions are in workspace coordinates for top-level windows (the work area's origin), in
// the parent's client coordinates for child windows.
struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition{}, ptMaxPosition{};
  RECT rcNormalPosition{};
};

BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Restores a minimised window (it may refuse through WM_QUERYOPEN) and activates it.
BOOL OpenIcon(HWND hwnd);
// Minimises a top-level window; fails for a child.
BOOL CloseWindow(HWND hwnd);
// Both want length = sizeof(WINDOWPLACEMENT), or fail with ERROR_INVALID_PARAMETER.
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);

// All windows of one batch share a parent. A failing DeferWindowPos frees the batch (the
// caller must not end it). EndDeferWindowPos positions the windows in the order they were
// given; a window that went away meanwhile is skipped and the result is FALSE.
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy,
                    UINT flags);
BOOL EndDeferWindowPos(HDWP dwp);

// Returns the previous parent (the desktop window for a top-level window). The window keeps
// its coordinates, now in the new parent's client area, and its styles: as on Windows, the
// caller sets or clears WS_CHILD and WS_POPUP to match.
HWND SetParent(HWND hwnd, HWND new_parent);

BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
// A null window is the screen. Returns the offset added, the horizontal one in the low word
// and the vertical one in the high word; 0 on failure (and for a zero offset).
int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count);
// Raises the window to the top of its siblings; a top-level window is activated.
BOOL BringWindowToTop(HWND hwnd);

}  // namespace win
