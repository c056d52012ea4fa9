#include "platform/user/timer.h"

#include <algorithm>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/clock.h"
#include "platform/base/internal/reset.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"

namespace win {
namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  std::uint64_t due;
  std::uint64_t order;  // creation, to break ties between equal due times
};

struct Timers {
  std::vector<Timer> list;
  UINT_PTR next_thread_id = 0x7FF0;
  std::uint64_t next_order = 0;
};
Timers& TheTimers() {
  static Timers t;
  return t;
}

Timer* Find(HWND hwnd, UINT_PTR id) {
  for (auto& t : TheTimers().list)
    if (t.hwnd == hwnd && t.id == id) return &t;
  return nullptr;
}

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd && !user::FindWindowObj(hwnd)) return 0;
  elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  auto& s = TheTimers();
  std::uint64_t now = ClockNowMs();
  if (!hwnd && !Find(nullptr, id)) {
    do {
      id = s.next_thread_id++;
      if (s.next_thread_id == 0) s.next_thread_id = 1;
    } while (Find(nullptr, id));
  }
  if (Timer* t = Find(hwnd, id)) {
    t->elapse = elapse;
    t->proc = proc;
    t->due = now + elapse;
    t->order = s.next_order++;
  } else {
    s.list.push_back(Timer{hwnd, id, elapse, proc, now + elapse, s.next_order++});
  }
  WakeMessageLoop();
  return (hwnd && id == 0) ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& l = TheTimers().list;
  auto it = std::find_if(l.begin(), l.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == l.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  l.erase(it);
  return TRUE;
}

std::optional<std::uint64_t> NextTimerDue(HWND filter) {
  std::optional<std::uint64_t> due;
  for (auto& t : TheTimers().list)
    if (MessageFilter{filter}.TakesWindow(t.hwnd) && (!due || t.due < *due)) due = t.due;
  return due;
}

bool TakeDueTimer(MSG* msg, HWND hwnd, UINT min, UINT max, bool remove) {
  if (!MessageFilter{hwnd, min, max}.TakesMessage(WM_TIMER)) return false;
  std::uint64_t now = ClockNowMs();
  Timer* best = nullptr;
  for (auto& t : TheTimers().list) {
    if (t.due > now) continue;
    if (!MessageFilter{hwnd}.TakesWindow(t.hwnd)) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.order < best->order)) best = &t;
  }
  if (!best) return false;
  msg->hwnd = best->hwnd;
  msg->message = WM_TIMER;
  msg->wParam = best->id;
  msg->lParam = reinterpret_cast<LPARAM>(best->proc);
  msg->time = DWORD(now);
  if (remove) {
    // One tick for however many periods were missed; the phase is kept.
    std::uint64_t late = now - best->due;
    best->due += (late / best->elapse + 1) * best->elapse;
    best->order = TheTimers().next_order++;
  }
  return true;
}

bool IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  const Timer* t = Find(hwnd, id);
  return t && t->proc == proc;
}

void KillWindowTimers(HWND hwnd) {
  auto& l = TheTimers().list;
  l.erase(std::remove_if(l.begin(), l.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
          l.end());
}

namespace {
void ResetTimers() { TheTimers().list.clear(); }
[[maybe_unused]] const bool kTimersReset = RegisterReset(ResetStage::WindowManager, ResetTimers);
}  // namespace

}  // namespace win
