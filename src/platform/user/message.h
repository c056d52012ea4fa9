#pragma once
// The message queue and loops of the one user-interface thread.
//
// Sends are synchronous and re-entrant: the procedure runs before SendMessage returns. The
// queue hands out, in Windows' order: posted messages (FIFO), WM_QUIT once they are gone,
// input, paint (a seam the painting part fills), then WM_TIMER for due timers.
//
// Waiting. With the real clock GetMessage and WaitMessage block until the next timer is due or
// the display delivers input; no polling. With the manual clock (platform/testing.h) nothing
// ever blocks: when nothing is due, the loop
//   1. calls the idle handler, if one is set (a test may post, inject or advance the clock);
//   2. otherwise, if a timer is pending, advances the manual clock to the earliest due time;
//   3. otherwise GetMessage returns 0 with a WM_QUIT whose wParam is 0, as if the program had
//      quit: a loop on the manual clock ends when it runs dry instead of hanging.
#include "platform/user/messages.h"

namespace win {

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& SendMessageA = SendMessage;
// A null window posts a thread message (it reaches GetMessage, not a procedure).
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& PostMessageA = PostMessage;
BOOL PostThreadMessage(DWORD thread_id, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& PostThreadMessageA = PostThreadMessage;
void PostQuitMessage(int exit_code);

// 0 for WM_QUIT, -1 for a bad window filter, otherwise non-zero.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max);
inline constexpr auto& GetMessageA = GetMessage;
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
inline constexpr auto& PeekMessageA = PeekMessage;
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
inline constexpr auto& DispatchMessageA = DispatchMessage;
// Returns at once when anything is waiting (we keep no "new since the last look" state).
BOOL WaitMessage();
// What kinds of message are waiting (high word: everything waiting; low word: the same, we
// keep no "new since last look" state).
DWORD GetQueueStatus(UINT flags);
// Messages come from the same thread only, so these say "not sent from another thread".
BOOL InSendMessage();
DWORD InSendMessageEx(void* reserved);
DWORD GetMessageTime();
DWORD GetCurrentThreadId();

}  // namespace win
