#pragma once
// The queue's seams inside the window manager: where queued input and WM_PAINT come from, the
// hook chains' call points, and the timers' side of the queue.
#include "platform/user/internal/access.h"

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/user/hook.h"
#include "platform/user/message.h"
#include "platform/user/timer.h"

namespace win {

// The window and message filter of GetMessage and PeekMessage, applied alike to posted
// messages, input, paint and timers, as Windows applies it. The window: null takes every
// window's messages and the thread's own (posted with no window); kThreadMessagesOnly only the
// thread's own; a window its own and its descendants'. The range is inclusive; 0 and 0 take
// everything; with min above max, everything but the messages strictly between them.
inline const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);
struct MessageFilter {
  HWND hwnd = nullptr;
  UINT min = 0, max = 0;
  bool TakesWindow(HWND target) const;
  bool TakesMessage(UINT message) const;
  bool Takes(HWND target, UINT message) const {
    return TakesMessage(message) && TakesWindow(target);
  }
};

// Seams for the input and painting parts: where queued input and WM_PAINT come from. Each
// returns true and fills msg if it has a message for the filter (removing it when asked).
using MessageSource = std::function<bool(MSG* msg, HWND hwnd, UINT min, UINT max, bool remove)>;
void SetInputSource(MessageSource source);
void SetPaintSource(MessageSource source);

// For the call points in the platform: runs the chain of `kind` from the newest hook; 0 when
// no hook is installed.
LRESULT CallHookChain(int kind, int code, WPARAM wp, LPARAM lp);
bool HasHooks(int kind);

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
