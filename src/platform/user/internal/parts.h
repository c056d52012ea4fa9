#pragma once
// The window manager's parts and the one place the core calls them.
//
// The core (window.cpp, winpos.cpp, placement.cpp, defwnd.cpp) keeps windows, classes, links
// and geometry. Each part — painting, non-client, input and hit testing, focus and activation,
// the caret, timers, scroll bars; menus next — keeps its per-window state in its own slot of
// the window (Window::parts) and hears of the core's events only through the calls below,
// which call the parts in the order written here (parts.cpp). A new part adds its call here,
// not in the core.
#include "platform/user/internal/window.h"

namespace win::user {

// DefWindowProc asks the parts first, in turn: non-client, scroll bars (a scroll-bar control's
// messages), painting, input (hit testing, then the mouse and keys, then focus and
// activation). True when one handled the message, with *result set.
bool PartsDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// DefWindowProc's WM_SYSCOMMAND, after HCBT_SYSCOMMAND let it through: SC_HSCROLL and
// SC_VSCROLL (with HTHSCROLL or HTVSCROLL in the low bits) run the scroll bars' tracking loop
// for the window's own bar, from the screen point in lp.
void PartsScrollCommand(HWND hwnd, WPARAM wp, LPARAM lp);

// SetWindowPos, once the new geometry, z-order and visibility are stored. Each may destroy the
// window; the caller checks before going on.
//   PartsPositionStored: focus (a top-level window shown or moved without SWP_NOACTIVATE
//     takes activation).
//   PartsPositionApplied: painting (backing stores, kept client pixels, invalidation);
//     old_window is in screen coordinates. Both come before WM_WINDOWPOSCHANGED.
//   PartsPositionReported: focus (the active window hidden without SWP_NOACTIVATE hands
//     activation on); after it.
void PartsPositionStored(HWND hwnd, UINT swp_flags, bool was_visible);
void PartsPositionApplied(HWND hwnd, const RECT& old_window, bool was_visible, UINT swp_flags,
                          const ClientBits& bits);
void PartsPositionReported(HWND hwnd, UINT swp_flags, bool was_visible);

// ShowWindow, after a window was minimised, maximised or restored: focus. The active window
// minimised hands activation on (with hand_on) to the first window that is not minimised, else
// keeps it without the focus; restored, it takes the focus again.
void PartsStateChanged(HWND hwnd, bool hand_on);

// DestroyWindow, after the window is hidden and before WM_DESTROY: focus (focus and
// activation leave it; input lets go of it through focus).
void PartsWindowDestroying(HWND hwnd);
// Before WM_NCDESTROY: input (the capture), then timers. Just before the window object is
// freed: the caret, then painting (its DCs, backing store and region go).
void PartsWindowEnding(HWND hwnd);
void PartsWindowFreed(HWND hwnd);

// The parts' own entry points, called only from parts.cpp.
bool NonClientDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);  // nonclient.cpp
bool PaintDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);      // paint.cpp
bool InputDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);      // input.cpp
bool ScrollBarDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);  // scrollbar.cpp
void ScrollBarSysCommand(HWND hwnd, WPARAM wp, LPARAM lp);                // scrolltrack.cpp
void FocusBeforePosChanged(HWND hwnd, UINT swp_flags, bool was_visible);  // focus.cpp
void PaintAfterPosChanged(HWND hwnd, const RECT& old_window, bool was_visible, UINT swp_flags,
                          const ClientBits& bits);                       // paint.cpp
void FocusAfterPosChanged(HWND hwnd, UINT swp_flags, bool was_visible);  // focus.cpp
void FocusStateChanged(HWND hwnd, bool hand_on);                         // focus.cpp
void FocusWindowDestroying(HWND hwnd);                                   // focus.cpp
void CaretWindowDestroying(HWND hwnd);                                   // caret.cpp
void PaintWindowFreed(HWND hwnd);                                        // paint.cpp

}  // namespace win::user
