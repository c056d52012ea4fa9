#pragma once
// Mouse and keyboard input of the one user-interface thread.
//
// The displays (and tests, platform/testing.h) inject input at screen coordinates; injected input
// waits in the input queue and becomes window messages when the message loop retrieves it, as on
// Windows: the window a mouse event goes to is decided then (capture, else the window under the
// cursor after WM_NCHITTEST), and GetKeyState describes the input up to the message being handled,
// while GetAsyncKeyState and GetCursorPos describe what has been injected so far.
//
// Retrieving a mouse message, in order: WM_NCHITTEST (not under capture), the WH_MOUSE hook
// (non-zero drops the message), WM_MOUSEACTIVATE and the activation it asks for (button presses
// outside the active window), WM_SETCURSOR (not under capture), then the message itself.
#include "platform/user/messages.h"

namespace win {

using SHORT = std::int16_t;

// WM_NCHITTEST results.
constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2,
                  HTSYSMENU = 3, HTGROWBOX = 4, HTSIZE = HTGROWBOX, HTMENU = 5, HTHSCROLL = 6,
                  HTVSCROLL = 7, HTMINBUTTON = 8, HTREDUCE = HTMINBUTTON, HTMAXBUTTON = 9,
                  HTZOOM = HTMAXBUTTON, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13,
                  HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17,
                  HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// Mouse messages beyond messages.h, key-state flags of mouse messages, WM_MOUSEACTIVATE answers.
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9,
               WM_NCMOUSEHOVER = 0x02A0;
constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                 MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
inline int GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return short(HIWORD(wp)); }
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3,
                  MA_NOACTIVATEANDEAT = 4;

// ---- Mouse ----
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

constexpr DWORD TME_HOVER = 0x00000001, TME_LEAVE = 0x00000002, TME_NONCLIENT = 0x00000010,
                TME_QUERY = 0x40000000, TME_CANCEL = 0x80000000, HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
// One window is tracked at a time; tracking another window ends the first one's.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
inline BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme) { return TrackMouseEvent(tme); }

UINT GetDoubleClickTime();
// 0 restores the default of 500 ms.
BOOL SetDoubleClickTime(UINT ms);

// The window at a screen point as mouse input finds it: visible, under every window above it,
// inside its window region, asked with WM_NCHITTEST (HTTRANSPARENT passes to the windows
// below). A disabled child hands the point to its parent; a disabled top-level window is
// returned itself (mouse input reaching it is refused with HTERROR).
HWND WindowFromPoint(POINT pt);
constexpr UINT CWP_ALL = 0x0000, CWP_SKIPINVISIBLE = 0x0001, CWP_SKIPDISABLED = 0x0002,
               CWP_SKIPTRANSPARENT = 0x0004;
// pt in the parent's client coordinates; only direct children are considered. The parent
// itself when no child contains the point, null when the parent's window does not.
HWND ChildWindowFromPoint(HWND parent, POINT pt);
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);

// ---- Keyboard ----
// High bit: down; low bit: toggled (Caps Lock on, or pressed an odd number of times).
SHORT GetKeyState(int vk);
// Down now (0x8000); the "pressed since the last call" bit is not kept.
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);  // 256 bytes, as GetKeyState sees them
// The characters a key press makes on a US keyboard with the given key state: 1 (one written
// to buffer) or 0. Shift and Caps Lock choose the case, Ctrl makes control characters, Ctrl
// with Alt makes none.
int ToUnicode(UINT vk, UINT scan, const BYTE* state, WCHAR* buffer, int count, UINT flags);

// ---- Enabling ----
// Disabling sends WM_CANCELMODE and takes the focus from the window; WM_ENABLE follows
// whenever the state changes. Returns whether the window was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);

}  // namespace win
