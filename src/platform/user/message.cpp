#include "platform/user/message.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/base/error.h"
#include "platform/base/internal/clock.h"
#include "platform/base/internal/reset.h"
#include "platform/testing.h"
#include "platform/user/input.h"
#include "platform/user/internal/window.h"
#include "platform/user/timer.h"
#include "platform/user/window.h"

namespace win {
namespace {

struct Queue {
  std::deque<MSG> posted;
  bool quit = false;
  int quit_code = 0;
  DWORD last_time = 0;
  EventWaiter waiter;
  std::function<void()> wake;
  std::function<void()> idle;
  MessageSource input, paint;
};
Queue& TheQueue() {
  static Queue q;
  return q;
}

// The default wait: woken from any thread.
std::mutex wake_mutex;
std::condition_variable wake_cv;
bool woken = false;

// One look at the queue in Windows' order; `mask` holds the QS_ kinds wanted.
bool Fetch(MSG* msg, HWND hwnd, UINT min, UINT max, bool remove, UINT mask) {
  Queue& q = TheQueue();
  if (mask & QS_POSTMESSAGE) {
    for (auto it = q.posted.begin(); it != q.posted.end();) {
      if (it->hwnd && !IsWindow(it->hwnd)) {
        it = q.posted.erase(it);
        continue;
      }  // died
      if (MessageFilter{hwnd, min, max}.Takes(it->hwnd, it->message)) {
        *msg = *it;
        if (remove) q.posted.erase(it);
        return true;
      }
      ++it;
    }
  }
  if (q.quit) {
    *msg = MSG{nullptr, WM_QUIT, WPARAM(q.quit_code), 0, GetTickCount(), {}};
    if (remove) q.quit = false;
    return true;
  }
  if ((mask & QS_INPUT) && q.input && q.input(msg, hwnd, min, max, remove)) return true;
  if ((mask & QS_PAINT) && q.paint && q.paint(msg, hwnd, min, max, remove)) return true;
  if ((mask & QS_TIMER) && TakeDueTimer(msg, hwnd, min, max, remove)) return true;
  return false;
}

// The earliest time a timer the filter accepts becomes due.
std::optional<std::uint64_t> NextDue(HWND hwnd, UINT min, UINT max) {
  if (!MessageFilter{hwnd, min, max}.TakesMessage(WM_TIMER)) return std::nullopt;
  return NextTimerDue(hwnd);
}

bool BadFilter(HWND hwnd) { return hwnd && hwnd != kThreadMessagesOnly && !IsWindow(hwnd); }

// Nothing is due: wait (real clock) or move on (manual clock). False when the manual clock
// has nothing left to do.
bool Idle(HWND hwnd, UINT min, UINT max, UINT mask) {
  std::uint64_t now = ClockNowMs();
  auto due = (mask & QS_TIMER) ? NextDue(hwnd, min, max) : std::nullopt;
  if (IsManualClock()) {
    if (auto& idle = TheQueue().idle) {
      auto keep = idle;  // it may replace itself
      keep();
      MSG probe;
      if (Fetch(&probe, hwnd, min, max, false, mask) || ClockNowMs() != now) return true;
    }
    if (!due) return false;
    if (*due > now) AdvanceClock(*due - now);
    return true;
  }
  int timeout = -1;
  if (due) timeout = *due > now ? int(std::min<std::uint64_t>(*due - now, 0x7FFFFFFF)) : 0;
  WaitForEvents(timeout);
  return true;
}

}  // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto w = user::FindWindowObj(hwnd);
  if (!w) return 0;
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lp, wp, msg, hwnd};
    CallHookChain(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    if (!(w = user::FindWindowObj(hwnd))) return 0;  // a hook destroyed it
  }
  // `w` keeps the object alive if the procedure destroys its window.
  return CallWindowProc(w->proc, hwnd, msg, wp, lp);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd && !user::FindWindowObj(hwnd)) return FALSE;
  TheQueue().posted.push_back(MSG{hwnd, msg, wp, lp, GetTickCount(), {}});
  return TRUE;
}

BOOL PostThreadMessage(DWORD thread_id, UINT msg, WPARAM wp, LPARAM lp) {
  if (thread_id != GetCurrentThreadId()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return PostMessage(nullptr, msg, wp, lp);
}

void PostQuitMessage(int exit_code) {
  TheQueue().quit = true;
  TheQueue().quit_code = exit_code;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (BadFilter(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  for (;;) {
    if (Fetch(msg, hwnd, min, max, true, QS_ALLINPUT)) {
      TheQueue().last_time = msg->time;
      return msg->message != WM_QUIT;
    }
    if (!Idle(hwnd, min, max, QS_ALLINPUT)) {
      *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), {}};
      return FALSE;
    }
  }
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (BadFilter(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  UINT mask = remove >> 16;
  if (mask == 0) mask = QS_ALLINPUT;
  if (!Fetch(msg, hwnd, min, max, (remove & PM_REMOVE) != 0, mask)) return FALSE;
  TheQueue().last_time = msg->time;
  return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
  if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
  BYTE state[256];
  GetKeyboardState(state);
  WCHAR ch[2];
  if (ToUnicode(UINT(msg->wParam), (UINT(msg->lParam) >> 16) & 0xFF, state, ch, 2, 0) == 1)
    PostMessage(msg->hwnd, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, ch[0], msg->lParam);
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (IsTimerProc(msg->hwnd, msg->wParam, proc)) {
      proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
      return 0;
    }
    if (!msg->hwnd) return 0;
  }
  // Straight to the procedure: a dispatched message is not a sent one (no WH_CALLWNDPROC).
  auto w = user::FindWindowObj(msg->hwnd);
  if (!w) return 0;
  return CallWindowProc(w->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WaitMessage() {
  MSG probe;
  while (!Fetch(&probe, nullptr, 0, 0, false, QS_ALLINPUT)) {
    if (!Idle(nullptr, 0, 0, QS_ALLINPUT)) return TRUE;
    if (!IsManualClock()) return TRUE;  // woken: something may have arrived
  }
  return TRUE;
}

DWORD GetQueueStatus(UINT flags) {
  UINT bits = 0;
  MSG probe;
  Queue& q = TheQueue();
  if (!q.posted.empty() || q.quit) bits |= QS_POSTMESSAGE;
  if (TakeDueTimer(&probe, nullptr, 0, 0, false)) bits |= QS_TIMER;
  if (q.input && q.input(&probe, nullptr, 0, 0, false)) bits |= QS_INPUT;
  if (q.paint && q.paint(&probe, nullptr, 0, 0, false)) bits |= QS_PAINT;
  bits &= flags;
  return MAKELONG(WORD(bits), WORD(bits));
}

BOOL InSendMessage() { return FALSE; }
DWORD InSendMessageEx(void*) { return ISMEX_NOSEND; }
DWORD GetMessageTime() { return TheQueue().last_time; }
DWORD GetCurrentThreadId() { return DWORD(::syscall(SYS_gettid)); }

void SetEventWaiter(EventWaiter waiter, std::function<void()> wake) {
  TheQueue().waiter = std::move(waiter);
  TheQueue().wake = std::move(wake);
}

void WaitForEvents(int timeout_ms) {
  if (TheQueue().waiter) {
    TheQueue().waiter(timeout_ms);
    return;
  }
  std::unique_lock lock(wake_mutex);
  if (timeout_ms < 0)
    wake_cv.wait(lock, [] { return woken; });
  else
    wake_cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), [] { return woken; });
  woken = false;
}

void WakeMessageLoop() {
  {
    std::lock_guard lock(wake_mutex);
    woken = true;
  }
  wake_cv.notify_all();
  if (TheQueue().wake) TheQueue().wake();
}

void SetIdleHandler(std::function<void()> idle) { TheQueue().idle = std::move(idle); }
void SetInputSource(MessageSource source) { TheQueue().input = std::move(source); }
void SetPaintSource(MessageSource source) { TheQueue().paint = std::move(source); }

namespace {
// What the parts and the display wired up (sources, the wait) stays.
void ResetQueue() {
  Queue& q = TheQueue();
  q.posted.clear();
  q.quit = false;
  q.quit_code = 0;
  q.idle = nullptr;
  std::lock_guard<std::mutex> lock(wake_mutex);
  woken = false;
}
[[maybe_unused]] const bool kQueueReset = RegisterReset(ResetStage::WindowManager, ResetQueue);
}  // namespace

bool MessageFilter::TakesWindow(HWND target) const {
  if (!hwnd) return true;
  if (hwnd == kThreadMessagesOnly) return target == nullptr;
  return target && user::IsDescendant(hwnd, target);
}

bool MessageFilter::TakesMessage(UINT message) const {
  if (min == 0 && max == 0) return true;
  if (min <= max) return message >= min && message <= max;
  return message >= min || message <= max;
}

}  // namespace win
