#pragma once
// A recording fixture for the window-manager tests: one class whose procedure logs every
// message it is sent, a CBT hook that logs creation and destruction, and a clean queue,
// hook list and manual clock for every test.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/testing.h"
#include "platform/win.h"
#include "support/geometry.h"

namespace usertest {
using namespace win;

inline std::string MsgName(UINT m) {
  static const std::map<UINT, std::string> names = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_QUIT, "WM_QUIT"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_TIMER, "WM_TIMER"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_CHAR, "WM_CHAR"},
      {WM_PAINT, "WM_PAINT"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_PRINT, "WM_PRINT"},
      {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
      {WM_SETREDRAW, "WM_SETREDRAW"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
      {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
      {WM_MBUTTONUP, "WM_MBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
      {WM_QUERYOPEN, "WM_QUERYOPEN"},
  };
  auto it = names.find(m);
  if (it != names.end()) return it->second;
  if (m >= WM_USER && m < WM_USER + 100) return "WM_USER+" + std::to_string(m - WM_USER);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04X", m);
  return hex;
}

using Seq = std::vector<std::string>;

// Dispatches what the queue holds, without waiting or moving the clock, translating keys when
// asked; at most `limit` messages, so a window that never validates cannot hang a test. The
// names of the messages dispatched, in order.
inline Seq DrainQueue(bool translate, int limit = 10000) {
  Seq got;
  MSG m;
  while (int(got.size()) < limit && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    got.push_back(MsgName(m.message));
    if (translate) TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return got;
}

// How a logged message reached the window: sent (SendMessage, seen by the WH_CALLWNDPROC hook
// just before), posted (handed out by the queue), or a hook's notice (CBT codes).
enum class Via { Sent, Posted, Hook };

struct Entry {
  HWND hwnd;
  std::string what;  // the message's name, or the hook code's
  UINT msg = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  Via via = Via::Hook;
  bool defproc = false;  // the recording procedure passed it to DefWindowProc
};

class UserTest : public ::testing::Test {
 public:
  static inline std::vector<Entry> log;
  // Per-window reactions, run before the default handling; a value answers the message.
  static inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> react;
  static inline std::vector<UINT> quiet;  // messages not logged

  static LRESULT RecordingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    const bool sent = last_sent.hwnd == h && last_sent.message == m && last_sent.wParam == wp &&
                      last_sent.lParam == lp;
    if (sent) last_sent = CWPSTRUCT{};
    std::size_t at = log.size();
    if (std::find(quiet.begin(), quiet.end(), m) == quiet.end())
      log.push_back({h, MsgName(m), m, wp, lp, sent ? Via::Sent : Via::Posted});
    if (react)
      if (auto r = react(h, m, wp, lp)) return *r;
    if (at < log.size()) log[at].defproc = true;
    return DefWindowProc(h, m, wp, lp);
  }
  // The message SendMessage is about to hand to a procedure; the recording procedure claims it.
  static inline CWPSTRUCT last_sent{};
  static LRESULT SendHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) last_sent = *reinterpret_cast<const CWPSTRUCT*>(lp);
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  // The logged messages `m` reached `h` with, in order.
  static std::vector<Entry> Received(HWND h, UINT m) {
    std::vector<Entry> out;
    for (const Entry& e : log)
      if (e.hwnd == h && e.msg == m && e.via != Via::Hook) out.push_back(e);
    return out;
  }
  static LRESULT CbtHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) log.push_back({reinterpret_cast<HWND>(wp), "HCBT_CREATEWND"});
    if (code == HCBT_DESTROYWND) log.push_back({reinterpret_cast<HWND>(wp), "HCBT_DESTROYWND"});
    if (code == HCBT_MINMAX) log.push_back({reinterpret_cast<HWND>(wp), "HCBT_MINMAX"});
    return CallNextHookEx(nullptr, code, wp, lp);
  }

  static constexpr const char* kClass = "UserTestWindow";

 protected:
  void SetUp() override {
    UseManualClock(1000);
    log.clear();
    react = nullptr;
    quiet.clear();
    WNDCLASSEX wc;
    wc.lpszClassName = kClass;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 16;
    wc.cbClsExtra = 8;
    wc.style = CS_DBLCLKS;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(5 + 1));
    ASSERT_NE(RegisterClassEx(&wc), 0);
    cbt_ = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(cbt_, nullptr);
    last_sent = CWPSTRUCT{};
    send_hook_ = SetWindowsHookEx(WH_CALLWNDPROC, SendHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(send_hook_, nullptr);
  }
  void TearDown() override {
    UnhookWindowsHookEx(cbt_);
    UnhookWindowsHookEx(send_hook_);
    react = nullptr;
    for (HWND h : made_) DestroyWindow(h);
    UnregisterClass(kClass, nullptr);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
    for (auto& [h, id] : timers_) KillTimer(h, id);
    SetIdleHandler(nullptr);
    UseRealClock();
  }

  HWND Make(DWORD style, HWND parent = nullptr, const char* text = "", DWORD ex = 0,
            RECT r = {10, 20, 210, 170}, HMENU id = nullptr) {
    HWND h = CreateWindowEx(ex, kClass, text, style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, id, nullptr, nullptr);
    if (h) made_.push_back(h);
    return h;
  }
  void Timer(HWND h, UINT_PTR id) { timers_.push_back({h, id}); }

  // The log as "name:MESSAGE" with names given to the windows of interest.
  static std::vector<std::string> Names(const std::map<HWND, std::string>& who,
                                        const std::vector<std::string>& keep = {}) {
    std::vector<std::string> out;
    for (auto& e : log) {
      if (!keep.empty() && std::find(keep.begin(), keep.end(), e.what) == keep.end()) continue;
      auto it = who.find(e.hwnd);
      out.push_back((it == who.end() ? std::string("?") : it->second) + ":" + e.what);
    }
    return out;
  }

  HHOOK cbt_ = nullptr;
  HHOOK send_hook_ = nullptr;
  std::vector<HWND> made_;
  std::vector<std::pair<HWND, UINT_PTR>> timers_;
};

}  // namespace usertest
