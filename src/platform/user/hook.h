#pragma once
// Hooks of the one user-interface thread: WH_CBT, WH_CALLWNDPROC, WH_MOUSE and WH_MSGFILTER. A
// chain is called newest first; each hook passes the call on with CallNextHookEx. A hook may
// unhook itself (or another) while it is being called: the chain in progress goes on with the
// hooks still installed.
//
// Call points: HCBT_CREATEWND and HCBT_DESTROYWND here; the other CBT codes come with
// activation, focus, sizing and system commands. WH_CALLWNDPROC is called by SendMessage before
// the window procedure runs (wParam non-zero: sent by this thread; lParam a CWPSTRUCT; the
// answer is ignored). WH_MOUSE is called by the input part before a mouse message is delivered
// (non-zero discards it); WH_MSGFILTER by modal loops through CallMsgFilter.
#include "platform/user/messages.h"

namespace win {

// Other hook kinds fail with ERROR_INVALID_HOOK_FILTER; module and thread are accepted as
// given (every hook is on the UI thread).
HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread_id);
inline constexpr auto& SetWindowsHookExA = SetWindowsHookEx;
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp);
// Runs the WH_MSGFILTER chain; TRUE when a hook answered non-zero (the loop then drops msg).
BOOL CallMsgFilter(MSG* msg, int code);
inline constexpr auto& CallMsgFilterA = CallMsgFilter;

}  // namespace win
