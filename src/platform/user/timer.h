#pragma once
// Timers, driven by the platform clock. A due timer makes the queue hand out WM_TIMER after
// everything else; a timer is due at most once at a time (missed periods are not queued up)
// and keeps its phase: after a late tick the next one comes at the next multiple of the
// period. Due timers come out in order of due time, then of creation. A window's timers die
// with it; one killed while its WM_TIMER is waiting never fires.
#include <cstdint>
#include <optional>

#include "platform/user/messages.h"

namespace win {

// With a window: (window, id) names the timer and setting it again restarts it; returns id
// (1 for id 0). Without a window: returns a new id unless id names an existing thread timer.
// The interval is clamped to [USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM].
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// For the queue: the earliest due time of the timers a window filter accepts (null: all, -1:
// the thread's own), if there are any.
std::optional<std::uint64_t> NextTimerDue(HWND filter);
// For the queue: the first due timer matching the filter as a WM_TIMER; with remove, it is
// re-armed.
bool TakeDueTimer(MSG* msg, HWND hwnd, UINT min, UINT max, bool remove);
// For DispatchMessage: whether (hwnd, id, proc) is a live timer, so a posted WM_TIMER with a
// stray lParam never calls an arbitrary address.
bool IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc);
// For DestroyWindow.
void KillWindowTimers(HWND hwnd);

}  // namespace win
