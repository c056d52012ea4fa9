#include <atomic>
#include <chrono>
#include <thread>

#include "support/user_fixture.h"

namespace usertest {
namespace {

Seq Drain() { return DrainQueue(false); }

TEST_F(UserTest, SendMessageIsSynchronousAndReentrant) {
  react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_USER + 1) return std::nullopt;
    if (wp == 0) return 100;
    LRESULT inner = SendMessage(h, WM_USER + 1, wp - 1, 0);
    UserTest::log.push_back({h, "back" + std::to_string(wp)});
    return inner + 1;
  };
  HWND w = Make(WS_POPUP);
  log.clear();
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 3, 0), 103);
  EXPECT_EQ(Names({{w, "w"}}), (Seq{"w:WM_USER+1", "w:WM_USER+1", "w:WM_USER+1", "w:WM_USER+1",
                                    "w:back1", "w:back2", "w:back3"}));
  EXPECT_FALSE(InSendMessage());  // nothing comes from another thread
  EXPECT_EQ(SendMessage(reinterpret_cast<HWND>(0x12345), WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(UserTest, PeekMessageFilters) {
  HWND a = Make(WS_POPUP);
  HWND b = Make(WS_CHILD, a, "", WS_EX_NOPARENTNOTIFY);
  HWND other = Make(WS_POPUP);
  const HWND thread_only = reinterpret_cast<HWND>(-1);
  struct Case {
    const char* name;
    HWND hwnd;
    UINT min, max, flags;
    Seq want;  // everything the filter takes out, in order
  } cases[] = {
      {"all", nullptr, 0, 0, 0, {"WM_USER+1", "WM_USER+2", "WM_USER+3", "WM_USER+4"}},
      {"window and its children", a, 0, 0, 0, {"WM_USER+1", "WM_USER+2"}},
      {"child only", b, 0, 0, 0, {"WM_USER+2"}},
      {"thread messages", thread_only, 0, 0, 0, {"WM_USER+3"}},
      {"range", nullptr, WM_USER + 2, WM_USER + 3, 0, {"WM_USER+2", "WM_USER+3"}},
      {"inverted range takes the outside",
       nullptr,
       WM_USER + 4,
       WM_USER + 1,
       0,
       {"WM_USER+1", "WM_USER+4"}},
      {"posted kind only",
       nullptr,
       0,
       0,
       PM_QS_POSTMESSAGE,
       {"WM_USER+1", "WM_USER+2", "WM_USER+3", "WM_USER+4"}},
      {"paint kind only", nullptr, 0, 0, PM_QS_PAINT, {}},
  };
  for (auto& c : cases) {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
    PostMessage(a, WM_USER + 1, 0, 0);
    PostMessage(b, WM_USER + 2, 0, 0);
    PostMessage(nullptr, WM_USER + 3, 0, 0);
    PostMessage(other, WM_USER + 4, 0, 0);
    // A look without removing leaves the message first in line.
    if (!c.want.empty()) {
      ASSERT_TRUE(PeekMessage(&m, c.hwnd, c.min, c.max, PM_NOREMOVE | c.flags)) << c.name;
      ASSERT_TRUE(PeekMessage(&m, c.hwnd, c.min, c.max, PM_NOREMOVE | c.flags)) << c.name;
      EXPECT_EQ(MsgName(m.message), c.want.front()) << c.name;
    }
    // Passing over messages of other windows is no error.
    SetLastError(0xBEEF);
    Seq got;
    while (PeekMessage(&m, c.hwnd, c.min, c.max, PM_REMOVE | c.flags))
      got.push_back(MsgName(m.message));
    EXPECT_EQ(got, c.want) << c.name;
    EXPECT_EQ(GetLastError(), 0xBEEFu) << c.name;
  }
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  PostMessage(a, WM_USER, 0, 0);
  SetTimer(a, 1, 10, nullptr);
  Timer(a, 1);
  AdvanceClock(10);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT),
            MAKELONG(QS_POSTMESSAGE | QS_TIMER, QS_POSTMESSAGE | QS_TIMER));
  EXPECT_EQ(GetQueueStatus(QS_TIMER), MAKELONG(QS_TIMER, QS_TIMER));
  SetLastError(0);
  EXPECT_FALSE(PeekMessage(&m, reinterpret_cast<HWND>(0x777), 0, 0, PM_REMOVE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetMessage(&m, reinterpret_cast<HWND>(0x777), 0, 0), -1);
}

TEST_F(UserTest, TranslateMessagePostsCharactersForPrintableKeys) {
  HWND w = Make(WS_POPUP);
  struct Case {
    UINT msg, vk;
    WPARAM want;
  } cases[] = {
      {WM_KEYDOWN, 'A', 'a'},        {WM_KEYDOWN, '7', '7'},   {WM_KEYDOWN, VK_SPACE, ' '},
      {WM_KEYDOWN, VK_RETURN, '\r'}, {WM_KEYDOWN, VK_LEFT, 0}, {WM_KEYUP, 'A', 0},
  };
  for (auto& c : cases) {
    MSG key{w, c.msg, c.vk, 0x1E0001};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG m;
    bool posted = PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(posted, c.want != 0) << c.vk;
    if (posted) {
      EXPECT_EQ(m.message, WM_CHAR);
      EXPECT_EQ(m.wParam, c.want);
      EXPECT_EQ(m.lParam, 0x1E0001);
    }
  }
  MSG mouse{w, WM_LBUTTONDOWN};
  EXPECT_FALSE(TranslateMessage(&mouse));
}

// Timer tests run the real loop on the manual clock: GetMessage moves the clock to each due
// time, so the ticks and their times are exact.
std::vector<std::string> ticks;
void ThreadTimerProc(HWND h, UINT msg, UINT_PTR id, DWORD time) {
  ticks.push_back("proc@" + std::to_string(time));
}

TEST_F(UserTest, TimersFireInOrderOnTheManualClock) {
  static HWND w;
  w = Make(WS_POPUP);
  ticks.clear();
  react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_TIMER) {
      ticks.push_back(std::to_string(wp) + "@" + std::to_string(GetTickCount()));
      if (ticks.size() == 8) PostQuitMessage(0);
    }
    return std::nullopt;
  };
  // The clock starts at 1000.
  EXPECT_EQ(SetTimer(w, 30, 30, nullptr), 30u);
  EXPECT_EQ(SetTimer(w, 20, 20, nullptr), 20u);
  UINT_PTR t = SetTimer(nullptr, 0, 50, ThreadTimerProc);
  EXPECT_NE(t, 0u);
  Timer(w, 30);
  Timer(w, 20);
  Timer(nullptr, t);
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
  EXPECT_EQ(ticks, (Seq{"20@1020", "30@1030", "20@1040", "proc@1050", "30@1060", "20@1060",
                        "20@1080", "30@1090"}));
}

TEST_F(UserTest, LateTimersTickOnceAndKeepTheirPhase) {
  HWND w = Make(WS_POPUP);
  SetTimer(w, 1, 100, nullptr);
  Timer(w, 1);
  AdvanceClock(350);
  EXPECT_EQ(Drain(), (Seq{"WM_TIMER"}));
  AdvanceClock(49);  // 1399: the next tick is due at 1400
  EXPECT_EQ(Drain(), (Seq{}));
  AdvanceClock(1);
  EXPECT_EQ(Drain(), (Seq{"WM_TIMER"}));
  // Setting it again restarts the period; a short interval is raised to the minimum.
  SetTimer(w, 1, 1, nullptr);
  AdvanceClock(9);
  EXPECT_EQ(Drain(), (Seq{}));
  AdvanceClock(1);
  EXPECT_EQ(Drain(), (Seq{"WM_TIMER"}));
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  // Thread timers get fresh ids.
  UINT_PTR a = SetTimer(nullptr, 0, 10, ThreadTimerProc),
           b = SetTimer(nullptr, 0, 10, ThreadTimerProc);
  EXPECT_NE(a, b);
  EXPECT_TRUE(KillTimer(nullptr, a));
  EXPECT_TRUE(KillTimer(nullptr, b));
}

TEST_F(UserTest, TimersKilledOrOrphanedInsideTheirHandlerStop) {
  static int count;
  count = 0;
  react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_TIMER) return std::nullopt;
    ++count;
    if (wp == 1) KillTimer(h, 1);
    if (wp == 2) DestroyWindow(h);
    return 0;
  };
  HWND a = Make(WS_POPUP), b = Make(WS_POPUP), c = Make(WS_POPUP);
  SetTimer(a, 1, 10, nullptr);  // killed in its own WM_TIMER
  SetTimer(b, 2, 10, nullptr);  // its window destroyed in its WM_TIMER
  SetTimer(c, 3, 10, nullptr);
  Timer(c, 3);
  AdvanceClock(10);
  Drain();
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(IsWindow(b));
  DestroyWindow(c);  // its timer goes with it
  for (int i = 0; i < 5; ++i) {
    AdvanceClock(10);
    Drain();
  }
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(KillTimer(c, 3));
  // A posted WM_TIMER with a stray lParam never calls it as a procedure.
  HWND d = Make(WS_POPUP);
  PostMessage(d, WM_TIMER, 9, 0x1234);
  EXPECT_EQ(Drain(), (Seq{"WM_TIMER"}));
  EXPECT_EQ(count, 4);
}

TEST_F(UserTest, ManualClockLoopsNeverHang) {
  MSG m;
  // Nothing at all: the loop runs dry.
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 0u);
  // The idle handler is asked first; what it posts is handed out.
  static int idles;
  idles = 0;
  SetIdleHandler([] {
    if (++idles == 1) PostMessage(nullptr, WM_USER + 1, 0, 0);
  });
  EXPECT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 1);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(idles, 2);
  SetIdleHandler(nullptr);
  // A filter that no pending timer matches does not wait for the others.
  HWND w = Make(WS_POPUP), v = Make(WS_POPUP);
  SetTimer(w, 1, 500, nullptr);
  Timer(w, 1);
  DWORD before = GetTickCount();
  EXPECT_FALSE(GetMessage(&m, v, 0, 0));
  EXPECT_EQ(GetTickCount(), before);
  EXPECT_TRUE(WaitMessage());  // moves the clock to the timer
  EXPECT_EQ(GetTickCount(), before + 500);
  EXPECT_TRUE(PeekMessage(&m, w, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST(UserLoop, RealClockBlocksUntilTheTimerIsDue) {
  UseRealClock();
  std::uint64_t start = GetTickCount64();
  UINT_PTR t = SetTimer(nullptr, 0, 30, ThreadTimerProc);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_GE(GetTickCount64() - start, 30u);
  KillTimer(nullptr, t);
}

TEST_F(UserTest, ModalLoopsNestAndEverythingKeepsFlowingInside) {
  // WM_USER+1 runs a modal loop until its WM_USER+2 arrives; the inner WM_USER+1 nests a
  // second loop. Timers and posted messages reach every level.
  static std::vector<std::string> seen;
  static int depth;
  seen.clear();
  depth = 0;
  react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_TIMER) {
      seen.push_back("timer" + std::to_string(depth));
      if (wp == 1) {
        KillTimer(h, 1);
        PostMessage(h, WM_USER + 1, 2, 0);  // open the inner loop
      }
      if (wp == 2) {
        KillTimer(h, 2);
        PostMessage(h, WM_USER + 2, 0, 0);  // end the inner loop
        PostMessage(h, WM_USER + 2, 0, 0);  // then the outer one
      }
    }
    if (m == WM_USER + 1) {
      ++depth;
      seen.push_back("enter" + std::to_string(depth));
      MSG msg;
      while (GetMessage(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_USER + 2) break;
        DispatchMessage(&msg);
      }
      seen.push_back("leave" + std::to_string(depth));
      --depth;
      if (wp == 1) PostQuitMessage(0);
      return 0;
    }
    return std::nullopt;
  };
  HWND w = Make(WS_POPUP);
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 25, nullptr);
  Timer(w, 1);
  Timer(w, 2);
  PostMessage(w, WM_USER + 1, 1, 0);
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
  EXPECT_EQ(seen, (Seq{"enter1", "timer1", "enter2", "timer2", "leave2", "leave1"}));
}

TEST_F(UserTest, AWindowDestroyedInsideTheCreationHookIsNotCreated) {
  auto destroy = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    if (code == HCBT_CREATEWND) DestroyWindow(reinterpret_cast<HWND>(wp));
    return CallNextHookEx(nullptr, code, wp, lp);
  };
  HHOOK h = SetWindowsHookEx(WH_CBT, destroy, nullptr, 0);
  EXPECT_EQ(Make(WS_POPUP), nullptr);
  UnhookWindowsHookEx(h);
  EXPECT_NE(Make(WS_POPUP), nullptr);
}

// Hooks: newest first; a hook may take itself out while it runs.
std::vector<std::string> calls;
HHOOK older, newer;
LRESULT OlderHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) calls.push_back("older");
  return CallNextHookEx(older, code, wp, lp);
}
LRESULT SelfUnhookingHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    calls.push_back("newer");
    EXPECT_TRUE(UnhookWindowsHookEx(newer));
  }
  return CallNextHookEx(newer, code, wp, lp);  // still passes the call on
}

TEST_F(UserTest, HooksChainNewestFirstAndMayUnhookThemselves) {
  calls.clear();
  older = SetWindowsHookEx(WH_CBT, OlderHook, nullptr, 0);
  newer = SetWindowsHookEx(WH_CBT, SelfUnhookingHook, nullptr, 0);
  log.clear();
  HWND w = Make(WS_POPUP);
  EXPECT_EQ(calls, (Seq{"newer", "older"}));
  // The fixture's own hook, the oldest, was reached too.
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().what, "HCBT_CREATEWND");
  EXPECT_EQ(log.front().hwnd, w);
  calls.clear();
  Make(WS_POPUP);
  EXPECT_EQ(calls, (Seq{"older"}));
  // The handle passed on is only a hint: the chain goes on from the hook being called.
  HHOOK careless = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_CREATEWND) calls.push_back("careless");
        return CallNextHookEx(nullptr, code, wp, lp);
      },
      nullptr, 0);
  calls.clear();
  Make(WS_POPUP);
  EXPECT_EQ(calls, (Seq{"careless", "older"}));
  UnhookWindowsHookEx(careless);
  EXPECT_FALSE(UnhookWindowsHookEx(newer));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_HANDLE);
  EXPECT_TRUE(UnhookWindowsHookEx(older));
  EXPECT_EQ(SetWindowsHookEx(WH_KEYBOARD_LL, OlderHook, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_FILTER);
}

LRESULT SwapArrows(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_MENU) {
    auto* m = reinterpret_cast<MSG*>(lp);
    if (m->message == WM_KEYDOWN && m->wParam == VK_LEFT) m->wParam = VK_RIGHT;
    if (m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE) return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(UserTest, MessageFilterAndMouseHooks) {
  HHOOK f = SetWindowsHookEx(WH_MSGFILTER, SwapArrows, nullptr, GetCurrentThreadId());
  MSG m{nullptr, WM_KEYDOWN, VK_LEFT};
  EXPECT_FALSE(CallMsgFilter(&m, MSGF_MENU));
  EXPECT_EQ(m.wParam, VK_RIGHT);  // the loop goes on with the edited message
  m.wParam = VK_ESCAPE;
  EXPECT_TRUE(CallMsgFilter(&m, MSGF_MENU));
  UnhookWindowsHookEx(f);
  EXPECT_FALSE(CallMsgFilter(&m, MSGF_MENU));
}

// WH_CALLWNDPROC sees what SendMessage hands to a procedure, before it runs, and nothing the
// queue hands out; the test log uses it to tell sent from posted.
TEST_F(UserTest, TheLogTellsSentFromPostedWithTheirParameters) {
  HWND w = Make(WS_POPUP), button = Make(WS_CHILD, w);
  react = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER + 3) return 1;  // answered here: DefWindowProc never sees it
    return std::nullopt;
  };
  log.clear();
  SendMessage(w, WM_COMMAND, MAKEWPARAM(7, 0), reinterpret_cast<LPARAM>(button));
  PostMessage(w, WM_USER + 2, 9, 10);
  SendMessage(w, WM_USER + 3, 0, 0);
  DrainQueue(false);

  auto command = Received(w, WM_COMMAND);
  ASSERT_EQ(command.size(), 1u);
  EXPECT_EQ(command[0].via, Via::Sent);
  EXPECT_EQ(command[0].wp, MAKEWPARAM(7, 0));
  EXPECT_EQ(command[0].lp, reinterpret_cast<LPARAM>(button));
  EXPECT_TRUE(command[0].defproc);
  auto posted = Received(w, WM_USER + 2);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].via, Via::Posted);
  EXPECT_EQ(posted[0].wp, 9u);
  EXPECT_EQ(posted[0].lp, 10);
  auto answered = Received(w, WM_USER + 3);
  ASSERT_EQ(answered.size(), 1u);
  EXPECT_EQ(answered[0].via, Via::Sent);
  EXPECT_FALSE(answered[0].defproc);
}

// One filter for every kind of message, as Windows applies it: a null window takes everything,
// (HWND)-1 only thread messages, a window its own and its children's; 0 and 0 take every
// message, a range its ends too, and min above max everything outside the gap between them.
TEST_F(UserTest, TheFilterIsTheSameForEveryKindOfMessage) {
  HWND w = Make(WS_POPUP | WS_VISIBLE), child = Make(WS_CHILD | WS_VISIBLE, w),
       other = Make(WS_POPUP);
  const HWND kThread = reinterpret_cast<HWND>(-1);
  DrainQueue(false);
  struct Filter {
    HWND hwnd;
    UINT min, max;
  };
  const Filter filters[] = {{nullptr, 0, 0},
                            {kThread, 0, 0},
                            {w, 0, 0},
                            {child, 0, 0},
                            {other, 0, 0},
                            {nullptr, WM_TIMER, WM_TIMER},
                            {nullptr, WM_USER + 1, WM_USER + 2},
                            {nullptr, WM_USER + 3, WM_USER}};
  struct Kind {
    const char* name;
    UINT message;
    std::function<void()> make;
    bool taken[8];  // by each filter above, in order
  };
  const Kind kinds[] = {
      {"thread message",
       WM_USER + 1,
       [] { PostMessage(nullptr, WM_USER + 1, 0, 0); },
       {true, true, false, false, false, false, true, false}},
      {"posted to the child",
       WM_USER + 2,
       [child] { PostMessage(child, WM_USER + 2, 0, 0); },
       {true, false, true, true, false, false, true, false}},
      {"timer of the child",
       WM_TIMER,
       [child] {
         SetTimer(child, 7, 10, nullptr);
         AdvanceClock(10);
       },
       {true, false, true, true, false, true, false, true}},
      {"paint of the child",
       WM_PAINT,
       [child] { InvalidateRect(child, nullptr, FALSE); },
       {true, false, true, true, false, false, false, true}},
  };
  for (const Kind& k : kinds) {
    for (std::size_t i = 0; i < std::size(filters); ++i) {
      const Filter& f = filters[i];
      k.make();
      MSG m;
      bool got = PeekMessage(&m, f.hwnd, f.min, f.max, PM_NOREMOVE) && m.message == k.message;
      EXPECT_EQ(got, k.taken[i]) << k.name << ", filter " << i;
      KillTimer(child, 7);
      ValidateRect(child, nullptr);
      DrainQueue(false);
    }
  }
}

}  // namespace
}  // namespace usertest
