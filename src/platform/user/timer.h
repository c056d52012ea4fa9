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

}  // namespace win
