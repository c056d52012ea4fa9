#pragma once
// The window manager: windows, classes and window procedures, for the one user-interface
// thread.
//
// What is here:
//  - classes (RegisterClassEx, UnregisterClass, GetClassInfoEx, GetClassLongPtr; names are
//    compared without regard to case, atoms work wherever a name does);
//  - CreateWindowEx with Windows' creation sequence: HCBT_CREATEWND with the CREATESTRUCT
//    before anything else (the hook may edit it or veto), WM_GETMINMAXINFO for top-level and
//    thick-frame windows, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
//    WM_PARENTNOTIFY, then WM_SHOWWINDOW / WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED for
//    windows created WS_VISIBLE. A failed WM_NCCREATE or a WM_CREATE answering -1 ends in
//    WM_NCDESTROY, so a subclasser always sees its last message;
//  - DestroyWindow: HCBT_DESTROYWND (may veto), WM_PARENTNOTIFY, hide, owned windows
//    destroyed whole, then WM_DESTROY parent before children, WM_NCDESTROY children first;
//  - parent, owner and z-order links (children are created at the bottom of their siblings,
//    top-level windows at the top, below any topmost ones; owned windows stay above their
//    owner and come along when it is raised), GetWindow, GetParent, IsChild, GetAncestor,
//    EnumWindows, EnumChildWindows, FindWindowEx;
//  - window longs, subclass chains (each layer keeps the previous procedure and puts it back;
//    any order works because only the window's current procedure is stored), DefWindowProc
//    for creation, text, WM_CLOSE and the frame computation (WM_NCCALCSIZE, AdjustWindowRectEx);
//  - ShowWindow / SetWindowPos / MoveWindow, with the rest of placement in winpos.h.
// The queue, loops and timers are in message.h and timer.h, the hooks in hook.h, painting in
// paint.h, input in input.h, focus and activation in focus.h, placement in winpos.h.

// Windows live in the handle table and are found by handle each time they are used, so a
// window destroyed while one of its messages is being handled is never touched again.
#include <string>

#include "platform/user/messages.h"

namespace win {

ATOM RegisterClassEx(const WNDCLASSEX* wc);
inline constexpr auto& RegisterClassExA = RegisterClassEx;
// A class without a small icon of its own: captions draw its large one.
ATOM RegisterClass(const WNDCLASS* wc);
inline constexpr auto& RegisterClassA = RegisterClass;
BOOL UnregisterClass(const char* name, HINSTANCE instance);
inline constexpr auto& UnregisterClassA = UnregisterClass;
BOOL GetClassInfoEx(HINSTANCE instance, const char* name, WNDCLASSEX* out);
inline constexpr auto& GetClassInfoExA = GetClassInfoEx;
ULONG_PTR GetClassLongPtr(HWND hwnd, int index);
inline constexpr auto& GetClassLongPtrA = GetClassLongPtr;
ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value);
inline constexpr auto& SetClassLongPtrA = SetClassLongPtr;
// Copies at most count - 1 bytes and a NUL; returns the bytes copied.
int GetClassName(HWND hwnd, char* buffer, int count);
inline constexpr auto& GetClassNameA = GetClassName;

HWND CreateWindowEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
inline constexpr auto& CreateWindowExA = CreateWindowEx;
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

// The window that holds the top-level windows; created on first use.
HWND GetDesktopWindow();
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetTopWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
HWND GetAncestor(HWND hwnd, UINT flags);
// Enumeration works on a snapshot, so the callback may create or destroy windows. Children
// come in z-order, each followed by its own descendants.
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lp);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lp);
// Direct children of parent (null: top-level windows) after child_after, matching the class
// (name without regard to case, or atom; null: any) and the text (exact; null: any).
HWND FindWindowEx(HWND parent, HWND child_after, const char* class_name, const char* window_name);
inline constexpr auto& FindWindowExA = FindWindowEx;
inline HWND FindWindow(const char* class_name, const char* window_name) {
  return FindWindowEx(nullptr, nullptr, class_name, window_name);
}
inline constexpr auto& FindWindowA = FindWindow;
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
inline constexpr auto& GetWindowLongPtrA = GetWindowLongPtr;
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline constexpr auto& SetWindowLongPtrA = SetWindowLongPtr;
// The 32-bit forms read and write four extra bytes at a non-negative index.
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
inline constexpr auto& GetWindowLongA = GetWindowLong;
inline constexpr auto& SetWindowLongA = SetWindowLong;
int GetDlgCtrlID(HWND hwnd);

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& CallWindowProcA = CallWindowProc;
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& DefWindowProcA = DefWindowProc;

// Window procedures here see one form of every message: text in UTF-8, characters as code
// points. The wide variants of the procedure calls are therefore the same calls, so a layer
// that subclasses through them chains with one that uses the plain ones.
inline constexpr auto& GetWindowLongPtrW = GetWindowLongPtr;
inline constexpr auto& SetWindowLongPtrW = SetWindowLongPtr;
inline constexpr auto& GetWindowLongW = GetWindowLong;
inline constexpr auto& SetWindowLongW = SetWindowLong;
inline constexpr auto& CallWindowProcW = CallWindowProc;
inline constexpr auto& DefWindowProcW = DefWindowProc;
inline BOOL IsWindowUnicode(HWND) { return FALSE; }

// Text is UTF-8; counts are in bytes.
BOOL SetWindowText(HWND hwnd, const char* text);
inline constexpr auto& SetWindowTextA = SetWindowText;
int GetWindowText(HWND hwnd, char* buffer, int count);
inline constexpr auto& GetWindowTextA = GetWindowText;
int GetWindowTextLength(HWND hwnd);
inline constexpr auto& GetWindowTextLengthA = GetWindowTextLength;
// UTF-16 variants; counts in UTF-16 units.
int GetWindowTextW(HWND hwnd, WCHAR* buffer, int count);

// Properties; a name below 0x10000 is an atom.
BOOL SetProp(HWND hwnd, const char* name, HANDLE data);
inline constexpr auto& SetPropA = SetProp;
HANDLE GetProp(HWND hwnd, const char* name);
inline constexpr auto& GetPropA = GetProp;
HANDLE RemoveProp(HWND hwnd, const char* name);
inline constexpr auto& RemovePropA = RemoveProp;

BOOL GetWindowRect(HWND hwnd, RECT* rc);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rc);  // origin 0,0
BOOL AdjustWindowRectEx(RECT* rc, DWORD style, BOOL menu, DWORD ex_style);

// Placement (winpos.h has the rest: minimise and maximise, placement, deferred positioning,
// SetParent, coordinate mapping).
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);

}  // namespace win
