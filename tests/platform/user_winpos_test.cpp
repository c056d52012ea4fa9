// Placement: ShowWindow and its states, SetWindowPos flags, deferred positioning, the saved
// placement, SetParent and coordinate mapping.
#include "support/user_fixture.h"

namespace usertest {
namespace {

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

// The messages placement sends; activation and painting are left out of the logs.
// clang-format off
const std::vector<std::string> kPlacementMessages = {
    "HCBT_MINMAX", "WM_QUERYOPEN", "WM_GETMINMAXINFO", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING",
    "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"};
// clang-format on

// What WM_WINDOWPOSCHANGED adds when the client area kept its size or place.
constexpr UINT kNoClientSize = 0x0800, kNoClientMove = 0x1000;

class PlacementTest : public UserTest {
 protected:
  // What the window is told: the WM_SIZE kinds and the flags of WM_WINDOWPOSCHANGING and
  // WM_WINDOWPOSCHANGED.
  static inline std::vector<WPARAM> sizes;
  static inline std::vector<UINT> changing, changed;
  void SetUp() override {
    UserTest::SetUp();
    sizes.clear();
    changing.clear();
    changed.clear();
    watch();
  }
  static void watch(std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> more = {}) {
    react = [more](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
      if (m == WM_SIZE) sizes.push_back(wp);
      if (m == WM_WINDOWPOSCHANGING) changing.push_back(reinterpret_cast<WINDOWPOS*>(lp)->flags);
      if (m == WM_WINDOWPOSCHANGED) changed.push_back(reinterpret_cast<WINDOWPOS*>(lp)->flags);
      if (more) return more(h, m, wp, lp);
      return std::nullopt;
    };
  }
  void Reset() {
    log.clear();
    sizes.clear();
    changing.clear();
    changed.clear();
  }
};

// A top-level window through every state, with Windows' messages at each step.
TEST_F(PlacementTest, MinimiseMaximiseRestoreSequences) {
  const RECT normal{100, 80, 500, 380};
  HWND w = Make(WS_OVERLAPPEDWINDOW, nullptr, "", 0, normal);
  const RECT maximised{-4, -4, 1028, 742};  // the work area, the sizing frame just outside it
  const RECT parked{-32000, -32000, -32000 + 160, -32000 + 24};
  struct Step {
    int cmd;
    Seq want;
    std::vector<WPARAM> sizes;
    RECT rect;
    bool iconic, zoomed, visible;
  } steps[] = {
      {SW_SHOWMAXIMIZED,
       {"HCBT_MINMAX", "WM_GETMINMAXINFO", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING",
        "WM_GETMINMAXINFO", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"},
       {SIZE_MAXIMIZED},
       maximised,
       false,
       true,
       true},
      {SW_SHOWMAXIMIZED, {}, {}, maximised, false, true, true},  // already there
      {SW_MINIMIZE,
       {"HCBT_MINMAX", "WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE",
        "WM_SIZE"},
       {SIZE_MINIMIZED},
       parked,
       true,
       false,
       true},
      // Minimised from maximised, it comes back maximised, asking first.
      {SW_RESTORE,
       {"HCBT_MINMAX", "WM_QUERYOPEN", "WM_GETMINMAXINFO", "WM_WINDOWPOSCHANGING",
        "WM_GETMINMAXINFO", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"},
       {SIZE_MAXIMIZED},
       maximised,
       false,
       true,
       true},
      {SW_RESTORE,
       {"HCBT_MINMAX", "WM_WINDOWPOSCHANGING", "WM_GETMINMAXINFO", "WM_NCCALCSIZE",
        "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"},
       {SIZE_RESTORED},
       normal,
       false,
       false,
       true},
      {SW_HIDE,
       {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       {},
       normal,
       false,
       false,
       false},
      {SW_HIDE, {}, {}, normal, false, false, false},
      // Minimising a hidden window shows it minimised.
      {SW_SHOWMINNOACTIVE,
       {"HCBT_MINMAX", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE",
        "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"},
       {SIZE_MINIMIZED},
       parked,
       true,
       false,
       true},
      {SW_SHOW, {}, {}, parked, true, false, true},  // shows in its current state
      {SW_SHOWNORMAL,
       {"HCBT_MINMAX", "WM_QUERYOPEN", "WM_WINDOWPOSCHANGING", "WM_GETMINMAXINFO", "WM_NCCALCSIZE",
        "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"},
       {SIZE_RESTORED},
       normal,
       false,
       false,
       true},
  };
  bool visible = false;
  for (const Step& s : steps) {
    Reset();
    EXPECT_EQ(ShowWindow(w, s.cmd), visible) << s.cmd;
    EXPECT_EQ(Names({{w, ""}}, kPlacementMessages), [&] {
      Seq want;
      for (auto& m : s.want) want.push_back(":" + m);
      return want;
    }()) << s.cmd;
    EXPECT_EQ(sizes, s.sizes) << s.cmd;
    EXPECT_EQ(WindowRect(w), s.rect) << s.cmd;
    EXPECT_EQ(bool(IsIconic(w)), s.iconic) << s.cmd;
    EXPECT_EQ(bool(IsZoomed(w)), s.zoomed) << s.cmd;
    EXPECT_EQ(bool(IsWindowVisible(w)), s.visible) << s.cmd;
    for (UINT f : changed) EXPECT_EQ(bool(f & SWP_FRAMECHANGED), !s.sizes.empty()) << s.cmd;
    visible = s.visible;
  }
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 400 - 8);
  ShowWindow(w, SW_MINIMIZE);
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 0);  // a minimised window is all frame
  EXPECT_EQ(client.bottom, 0);
}

// Activation is the focus slice's, driven by SWP_NOACTIVATE: set exactly where Windows does
// not activate, and always for child windows.
TEST_F(PlacementTest, ShowCommandsActivateOnlyWhereWindowsDoes) {
  struct Case {
    int cmd;
    bool activates;
  } cases[] = {
      {SW_SHOWNORMAL, true},     {SW_SHOW, true},
      {SW_SHOWMAXIMIZED, true},  {SW_SHOWMINIMIZED, true},
      {SW_RESTORE, true},        {SW_SHOWDEFAULT, true},
      {SW_SHOWNA, false},        {SW_SHOWNOACTIVATE, false},
      {SW_MINIMIZE, false},      {SW_SHOWMINNOACTIVE, false},
      {SW_FORCEMINIMIZE, false},
  };
  HWND parent = Make(WS_POPUP | WS_VISIBLE);
  for (const Case& c : cases) {
    HWND top = Make(WS_OVERLAPPEDWINDOW);
    HWND child = Make(WS_CHILD, parent, "", WS_EX_NOPARENTNOTIFY);
    Reset();
    ShowWindow(top, c.cmd);
    ASSERT_FALSE(changing.empty()) << c.cmd;
    EXPECT_EQ(!(changing.back() & SWP_NOACTIVATE), c.activates) << c.cmd;
    Reset();
    ShowWindow(child, c.cmd);
    ASSERT_FALSE(changing.empty()) << c.cmd;
    EXPECT_TRUE(changing.back() & SWP_NOACTIVATE) << c.cmd;
    EXPECT_TRUE(changing.back() & SWP_NOZORDER) << c.cmd;
  }
  // Hiding: a top-level window without SWP_NOACTIVATE (activation moves on once it is hidden),
  // a child with it.
  HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND child = Make(WS_CHILD | WS_VISIBLE, parent, "", WS_EX_NOPARENTNOTIFY);
  constexpr UINT kHide = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
  for (HWND h : {top, child}) {
    Reset();
    ShowWindow(h, SW_HIDE);
    ASSERT_EQ(changing.size(), 1u);
    EXPECT_EQ(changing[0] & (kHide | SWP_NOACTIVATE | SWP_SHOWWINDOW),
              h == top ? kHide : kHide | SWP_NOACTIVATE);
    if (h == child) { EXPECT_TRUE(changing[0] & SWP_NOZORDER); }
  }
  HWND h = Make(WS_OVERLAPPEDWINDOW);
  SetLastError(0);
  EXPECT_FALSE(ShowWindow(h, 12));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(ShowWindow(GetDesktopWindow(), SW_HIDE));
  EXPECT_TRUE(IsWindowVisible(GetDesktopWindow()));
}

TEST_F(PlacementTest, HookAndQueryOpenMayRefuseTheStateChange) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {10, 10, 310, 210});
  static bool veto;
  veto = true;
  HHOOK hook = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_MINMAX && veto) return 1;
        return CallNextHookEx(nullptr, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  EXPECT_TRUE(ShowWindow(w, SW_MAXIMIZE));
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(WindowRect(w), (RECT{10, 10, 310, 210}));
  // Refused while hidden: the window is still shown, in the state it had.
  ShowWindow(w, SW_HIDE);
  ShowWindow(w, SW_SHOWMINIMIZED);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_FALSE(IsIconic(w));
  veto = false;
  UnhookWindowsHookEx(hook);

  ShowWindow(w, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(w));
  watch([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_QUERYOPEN) return FALSE;
    return std::nullopt;
  });
  EXPECT_TRUE(OpenIcon(w));
  EXPECT_TRUE(IsIconic(w));
  ShowWindow(w, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsIconic(w));
  watch();
  EXPECT_TRUE(OpenIcon(w));
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(WindowRect(w), (RECT{10, 10, 310, 210}));

  EXPECT_TRUE(CloseWindow(w));  // minimises, does not destroy
  EXPECT_TRUE(IsIconic(w));
  HWND child = Make(WS_CHILD, w);
  EXPECT_FALSE(CloseWindow(child));
  EXPECT_FALSE(IsIconic(reinterpret_cast<HWND>(0x1234)));
}

// The default procedure carries out the system commands that change the state; the CBT hook
// hears of each first and may refuse.
TEST_F(PlacementTest, SystemCommandsChangeTheState) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {10, 10, 310, 210});
  static std::vector<WPARAM> heard;
  static WPARAM refuse;
  heard.clear();
  refuse = 0;
  HHOOK hook = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_SYSCOMMAND) {
          heard.push_back(wp);
          if (wp == refuse) return 1;
        }
        return CallNextHookEx(nullptr, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  struct Step {
    WPARAM sc;
    bool iconic, zoomed;
  } steps[] = {
      {SC_MAXIMIZE | 2, false, true},  // the low bits are the system's and do not matter
      {SC_MINIMIZE, true, false},     {SC_RESTORE, false, true},   // back to maximised
      {SC_RESTORE, false, false},     {SC_RESTORE, false, false},  // nothing to restore
      {SC_TASKLIST, false, false},                                 // not a state command
  };
  for (const Step& s : steps) {
    SendMessage(w, WM_SYSCOMMAND, s.sc, 0);
    EXPECT_EQ(bool(IsIconic(w)), s.iconic) << s.sc;
    EXPECT_EQ(bool(IsZoomed(w)), s.zoomed) << s.sc;
  }
  EXPECT_EQ(WindowRect(w), (RECT{10, 10, 310, 210}));
  refuse = SC_MAXIMIZE;
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(w));
  refuse = SC_CLOSE;
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(w));
  refuse = 0;
  log.clear();
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(Names({{w, "w"}}, {"WM_CLOSE", "WM_DESTROY"}), (Seq{"w:WM_CLOSE", "w:WM_DESTROY"}));
  EXPECT_EQ(heard.size(), std::size(steps) + 3);
  UnhookWindowsHookEx(hook);
}

// The maximised size comes from WM_GETMINMAXINFO: what covers the screen is kept to the work
// area, a smaller size is taken as asked; children maximise into their parent's client area.
TEST_F(PlacementTest, MaximiseFollowsMinMaxInfo) {
  HWND a = Make(WS_OVERLAPPEDWINDOW);
  watch([a](HWND h, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_GETMINMAXINFO || h != a) return std::nullopt;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
    EXPECT_EQ(mmi->ptMaxSize.x, 1032);  // the application hears of the screen
    EXPECT_EQ(mmi->ptMaxSize.y, 776);
    EXPECT_EQ(mmi->ptMaxPosition.x, -4);
    mmi->ptMaxSize = {600, 400};
    mmi->ptMaxPosition = {50, 60};
    return 0;
  });
  ShowWindow(a, SW_SHOWMAXIMIZED);
  EXPECT_EQ(WindowRect(a), (RECT{50, 60, 650, 460}));
  watch();

  HWND p = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  HWND c = Make(WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, p, "", WS_EX_NOPARENTNOTIFY,
                {5, 5, 205, 85});
  ShowWindow(c, SW_SHOWMAXIMIZED);
  EXPECT_EQ(WindowRect(c), (RECT{96, 96, 404, 304}));
  ShowWindow(c, SW_MINIMIZE);
  EXPECT_EQ(WindowRect(c), (RECT{100, 300 - 24, 100 + 160, 300}));  // bottom left of the parent
  ShowWindow(c, SW_RESTORE);
  ShowWindow(c, SW_RESTORE);
  EXPECT_EQ(WindowRect(c), (RECT{105, 105, 305, 185}));

  // Already the maximised size: the client keeps its size, the window is still told.
  HWND full = Make(WS_OVERLAPPEDWINDOW, nullptr, "", 0, {-4, -4, 1028, 742});
  Reset();
  ShowWindow(full, SW_SHOWMAXIMIZED);
  EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_MAXIMIZED}));
  ShowWindow(full, SW_RESTORE);
  EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_MAXIMIZED, SIZE_RESTORED}));

  // Created maximised or minimised, a window takes that state before it is shown.
  Reset();
  HWND m = Make(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | WS_VISIBLE);
  EXPECT_TRUE(IsZoomed(m));
  EXPECT_EQ(WindowRect(m), (RECT{-4, -4, 1028, 742}));
  // An overlapped window is not sized at creation: its first WM_SIZE is the maximised one.
  EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_MAXIMIZED}));
  HWND n = Make(WS_OVERLAPPEDWINDOW | WS_MINIMIZE);
  EXPECT_TRUE(IsIconic(n));
  EXPECT_FALSE(IsWindowVisible(n));
  EXPECT_EQ(WindowRect(n).left, -32000);
}

TEST_F(PlacementTest, SetWindowPosFlags) {
  HWND p = Make(WS_POPUP);
  HWND c = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY, {0, 0, 50, 50});
  HWND d = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY, {0, 0, 50, 50});
  // c is above d. Each case: the call, what the window is sent, and the flags it is told.
  struct Case {
    const char* name;
    HWND after;
    RECT r;
    UINT flags;
    Seq want;
    UINT told_set, told_clear;
  } cases[] = {
      {"same place",
       nullptr,
       {0, 0, 50, 50},
       SWP_NOZORDER,
       {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       SWP_NOSIZE | SWP_NOMOVE | kNoClientSize | kNoClientMove,
       0},
      {"no changing",
       nullptr,
       {3, 0, 53, 50},
       SWP_NOZORDER | SWP_NOSENDCHANGING,
       {"WM_WINDOWPOSCHANGED", "WM_MOVE"},
       SWP_NOSIZE,
       SWP_NOMOVE},
      {"frame",
       nullptr,
       {0, 0, 0, 0},
       SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED,
       {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED"},
       SWP_FRAMECHANGED,
       0},
      {"already on top",
       HWND_TOP,
       {0, 0, 0, 0},
       SWP_NOMOVE | SWP_NOSIZE,
       {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       SWP_NOZORDER,
       0},
      {"hide the hidden",
       nullptr,
       {0, 0, 0, 0},
       SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW,
       {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       0,
       SWP_HIDEWINDOW},
      {"children know no topmost",
       HWND_TOPMOST,
       {0, 0, 0, 0},
       SWP_NOMOVE | SWP_NOSIZE,
       {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       SWP_NOZORDER,
       0},
      {"below the sibling",
       d,
       {0, 0, 0, 0},
       SWP_NOMOVE | SWP_NOSIZE,
       {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
       0,
       SWP_NOZORDER},
  };
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  for (const Case& k : cases) {
    Reset();
    ASSERT_TRUE(SetWindowPos(c, k.after, k.r.left, k.r.top, k.r.right - k.r.left,
                             k.r.bottom - k.r.top, k.flags))
        << k.name;
    EXPECT_EQ(Names({{c, "c"}}, kPlacementMessages), [&] {
      Seq want;
      for (auto& m : k.want) want.push_back("c:" + m);
      return want;
    }()) << k.name;
    ASSERT_EQ(changed.size(), 1u) << k.name;
    EXPECT_EQ(changed[0] & k.told_set, k.told_set) << k.name;
    EXPECT_EQ(changed[0] & k.told_clear, 0u) << k.name;
  }
  EXPECT_EQ(GetWindow(d, GW_HWNDNEXT), c);

  // WM_WINDOWPOSCHANGING may rewrite the request; it sees the current geometry for what is
  // not changing.
  watch([c](HWND h, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_WINDOWPOSCHANGING || h != c) return std::nullopt;
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    EXPECT_EQ(pos->cx, 50);
    pos->x = 20;
    pos->y = 30;
    pos->flags &= ~SWP_NOMOVE;
    return 0;
  });
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE);
  watch();
  RECT pr = WindowRect(p);
  EXPECT_EQ(WindowRect(c), (RECT{pr.left + 20, pr.top + 30, pr.left + 70, pr.top + 80}));

  // A bad insert-after handle fails; a window that is no sibling leaves the z-order alone.
  SetLastError(0);
  HWND stale = reinterpret_cast<HWND>(0x4321);
  EXPECT_FALSE(SetWindowPos(c, stale, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_TRUE(SetWindowPos(c, p, 1, 1, 0, 0, SWP_NOSIZE));
  EXPECT_EQ(GetWindow(d, GW_HWNDNEXT), c);
  EXPECT_EQ(WindowRect(c).left, pr.left + 1);
  EXPECT_FALSE(SetWindowPos(GetDesktopWindow(), nullptr, 0, 0, 1, 1, SWP_NOZORDER));
}

// A child shown, moved or raised without SWP_NOACTIVATE hears WM_CHILDACTIVATE just before
// WM_WINDOWPOSCHANGED; with it, or when hidden, it does not.
TEST_F(PlacementTest, ChildActivationComesBeforeThePositionIsReported) {
  HWND p = Make(WS_POPUP | WS_VISIBLE);
  HWND c = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY, {0, 0, 50, 50});
  constexpr UINT kInPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  struct Case {
    UINT flags;
    bool told;
  } cases[] = {
      {kInPlace | SWP_SHOWWINDOW, true},
      {kInPlace | SWP_HIDEWINDOW, false},
      {kInPlace | SWP_SHOWWINDOW | SWP_NOACTIVATE, false},
      {SWP_NOSIZE | SWP_NOZORDER, true},
      {SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, false},
  };
  int x = 0;
  for (const Case& k : cases) {
    Reset();
    SetWindowPos(c, nullptr, ++x, 0, 0, 0, k.flags);
    Seq want{"c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED"};
    if (k.told) want.insert(want.begin() + 1, "c:WM_CHILDACTIVATE");
    EXPECT_EQ(
        Names({{c, "c"}}, {"WM_WINDOWPOSCHANGING", "WM_CHILDACTIVATE", "WM_WINDOWPOSCHANGED"}),
        want)
        << std::hex << k.flags;
  }
}

// Sizable and overlapped windows are held to their tracking sizes by the default procedure;
// others take any size.
TEST_F(PlacementTest, DefaultProcedureKeepsTrackingSizes) {
  HWND top = Make(WS_OVERLAPPEDWINDOW);
  HWND popup = Make(WS_POPUP | WS_BORDER);
  HWND sizable = Make(WS_POPUP | WS_THICKFRAME);
  RECT frame{};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_THICKFRAME, FALSE, 0);
  const LONG two_frames = 2 * -frame.left;  // without a border, no less than its frame
  struct Case {
    HWND h;
    int cx, cy;
    LONG want_cx, want_cy;
    bool asks;
  } cases[] = {
      {top, 10, 10, 112, 27, true},    {top, 5000, 5000, 1036, 780, true},
      {popup, 10, 10, 10, 10, false},  {sizable, 1, 1, two_frames, two_frames, true},
      {top, 300, 200, 300, 200, true},
  };
  for (const Case& c : cases) {
    Reset();
    MoveWindow(c.h, 0, 0, c.cx, c.cy, TRUE);
    RECT r = WindowRect(c.h);
    EXPECT_EQ(r.right - r.left, c.want_cx) << c.cx;
    EXPECT_EQ(r.bottom - r.top, c.want_cy) << c.cx;
    auto seq = Names({{c.h, "w"}}, {"WM_GETMINMAXINFO"});
    EXPECT_EQ(seq.size(), c.asks ? 1u : 0u) << c.cx;
  }
  // Moving only does not ask.
  Reset();
  SetWindowPos(top, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(Names({{top, "w"}}, {"WM_GETMINMAXINFO"}).empty());
}

TEST_F(PlacementTest, TopmostBandAndBringToTop) {
  HWND a = Make(WS_POPUP), b = Make(WS_POPUP), t = Make(WS_POPUP, nullptr, "", WS_EX_TOPMOST);
  // Not topmost: HWND_NOTOPMOST changes nothing, and says so.
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Reset();
  SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_TRUE(changed[0] & SWP_NOZORDER);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);  // still at the bottom (of our windows)
  EXPECT_TRUE(BringWindowToTop(a));
  EXPECT_EQ(GetWindow(t, GW_HWNDNEXT), a);  // the top of the plain windows
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_FALSE(BringWindowToTop(reinterpret_cast<HWND>(0x4321)));
}

TEST_F(PlacementTest, DeferredPositions) {
  HWND p = Make(WS_POPUP);
  HWND a = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY, {0, 0, 10, 10});
  HWND b = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY, {0, 0, 10, 10});
  HDWP dwp = BeginDeferWindowPos(2);
  ASSERT_NE(dwp, nullptr);
  dwp = DeferWindowPos(dwp, b, nullptr, 5, 6, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  dwp = DeferWindowPos(dwp, a, nullptr, 0, 0, 30, 40, SWP_NOZORDER | SWP_NOMOVE);
  // The same window again: its move joins the earlier size.
  dwp = DeferWindowPos(dwp, a, nullptr, 7, 8, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  ASSERT_NE(dwp, nullptr);
  RECT before = WindowRect(a);
  EXPECT_EQ(WindowRect(a), before);  // nothing happens until the end
  Reset();
  ASSERT_TRUE(EndDeferWindowPos(dwp));
  EXPECT_EQ(Names({{a, "a"}, {b, "b"}}, {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}),
            (Seq{"b:WM_WINDOWPOSCHANGING", "b:WM_WINDOWPOSCHANGED", "a:WM_WINDOWPOSCHANGING",
                 "a:WM_WINDOWPOSCHANGED"}));
  RECT pr = WindowRect(p);
  EXPECT_EQ(WindowRect(a), (RECT{pr.left + 7, pr.top + 8, pr.left + 37, pr.top + 48}));
  EXPECT_EQ(WindowRect(b).left, pr.left + 5);
  // The batch is gone once ended.
  SetLastError(0);
  EXPECT_FALSE(EndDeferWindowPos(dwp));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // A failing call frees the batch: a bad window, or one of another parent.
  HWND other = Make(WS_POPUP);
  for (HWND bad : {reinterpret_cast<HWND>(0x4321), other}) {
    HDWP d = DeferWindowPos(BeginDeferWindowPos(1), a, nullptr, 1, 1, 0, 0, SWP_NOSIZE);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(DeferWindowPos(d, bad, nullptr, 1, 1, 0, 0, SWP_NOSIZE), nullptr);
    EXPECT_FALSE(EndDeferWindowPos(d));
  }
  EXPECT_EQ(WindowRect(a).left, pr.left + 7);
  EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
  // A window destroyed before the end is skipped; the others still move.
  HDWP d = BeginDeferWindowPos(2);
  d = DeferWindowPos(d, b, nullptr, 9, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  d = DeferWindowPos(d, a, nullptr, 2, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  DestroyWindow(b);
  EXPECT_FALSE(EndDeferWindowPos(d));
  EXPECT_EQ(WindowRect(a).left, pr.left + 2);
}

TEST_F(PlacementTest, PlacementRoundTrip) {
  const RECT normal{100, 80, 500, 380};
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, normal);
  WINDOWPLACEMENT wp;
  ASSERT_TRUE(GetWindowPlacement(w, &wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWNORMAL));
  EXPECT_EQ(wp.rcNormalPosition, normal);
  EXPECT_EQ(wp.ptMinPosition.x, -1);

  ShowWindow(w, SW_SHOWMAXIMIZED);
  ShowWindow(w, SW_MINIMIZE);
  ASSERT_TRUE(GetWindowPlacement(w, &wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
  EXPECT_EQ(wp.flags, WPF_RESTORETOMAXIMIZED);
  EXPECT_EQ(wp.rcNormalPosition, normal);  // kept through both states
  EXPECT_EQ(wp.ptMinPosition.x, -32000);
  EXPECT_EQ(wp.ptMaxPosition.x, -4);

  // Another window takes the same placement and lands in the same state, restoring the same way.
  HWND v = Make(WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(SetWindowPlacement(v, &wp));
  EXPECT_TRUE(IsIconic(v));
  EXPECT_TRUE(IsWindowVisible(v));
  ShowWindow(v, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(v));
  ShowWindow(v, SW_RESTORE);
  EXPECT_EQ(WindowRect(v), normal);

  // A new normal position for a maximised window is where it restores to.
  ShowWindow(v, SW_MAXIMIZE);
  wp.showCmd = SW_SHOWNORMAL;
  wp.flags = 0;
  wp.rcNormalPosition = {10, 20, 210, 170};
  ASSERT_TRUE(SetWindowPlacement(v, &wp));
  EXPECT_FALSE(IsZoomed(v));
  EXPECT_EQ(WindowRect(v), (RECT{10, 20, 210, 170}));

  WINDOWPLACEMENT bad;
  bad.length = sizeof bad - 1;
  SetLastError(0);
  EXPECT_FALSE(GetWindowPlacement(w, &bad));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(SetWindowPlacement(w, &bad));
  EXPECT_FALSE(GetWindowPlacement(w, nullptr));
  EXPECT_FALSE(GetWindowPlacement(reinterpret_cast<HWND>(0x4321), &wp));
}

TEST_F(PlacementTest, SetParentMovesTheWindowBetweenParents) {
  HWND p1 = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {100, 100, 300, 300});
  HWND p2 = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {400, 50, 600, 250});
  HWND c = Make(WS_CHILD | WS_VISIBLE, p1, "", WS_EX_NOPARENTNOTIFY, {10, 20, 60, 70});
  HWND sib = Make(WS_CHILD, p2, "", WS_EX_NOPARENTNOTIFY);
  Reset();
  EXPECT_EQ(SetParent(c, p2), p1);
  EXPECT_EQ(Names({{c, "c"}}, {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}),
            (Seq{"c:WM_SHOWWINDOW", "c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED",
                 "c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED", "c:WM_SHOWWINDOW",
                 "c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetParent(c), p2);
  EXPECT_EQ(GetWindow(p2, GW_CHILD), c);  // on top of its new siblings
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), sib);
  EXPECT_EQ(GetWindow(p1, GW_CHILD), nullptr);
  EXPECT_EQ(WindowRect(c), (RECT{410, 70, 460, 120}));  // same place in the new parent
  EXPECT_TRUE(IsWindowVisible(c));
  EXPECT_TRUE(IsChild(p2, c));

  // To the desktop and back; the styles are the caller's to change.
  EXPECT_EQ(SetParent(c, nullptr), p2);
  EXPECT_EQ(GetAncestor(c, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(WindowRect(c), (RECT{10, 20, 60, 70}));
  EXPECT_TRUE(GetWindowLongPtr(c, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(SetParent(c, p1), GetDesktopWindow());

  // No cycles, no bad handles.
  HWND g = Make(WS_CHILD, c, "", WS_EX_NOPARENTNOTIFY);
  SetLastError(0);
  EXPECT_EQ(SetParent(c, g), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetParent(c, c), nullptr);
  EXPECT_EQ(SetParent(c, reinterpret_cast<HWND>(0x4321)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(SetParent(GetDesktopWindow(), p1), nullptr);
  EXPECT_EQ(GetParent(c), p1);
}

TEST_F(PlacementTest, CoordinatesThroughNestedChildren) {
  // Client origins: top at (100+4, 50+4+19) with its frame and caption; mid 1 px of border in
  // from (10, 20); inner at (3, 4) in mid.
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr, "", 0, {100, 50, 500, 450});
  HWND mid = Make(WS_CHILD | WS_BORDER, top, "", WS_EX_NOPARENTNOTIFY, {10, 20, 210, 220});
  HWND inner = Make(WS_CHILD, mid, "", WS_EX_NOPARENTNOTIFY, {3, 4, 53, 54});
  HWND other = Make(WS_POPUP, nullptr, "", 0, {700, 10, 800, 110});
  const POINT inner_origin{104 + 11 + 3, 73 + 21 + 4};
  POINT pt{1, 2};
  ASSERT_TRUE(ClientToScreen(inner, &pt));
  EXPECT_EQ(pt.x, inner_origin.x + 1);
  EXPECT_EQ(pt.y, inner_origin.y + 2);
  ASSERT_TRUE(ScreenToClient(inner, &pt));
  EXPECT_EQ(pt.x, 1);
  EXPECT_EQ(pt.y, 2);
  EXPECT_EQ(WindowRect(inner),
            (RECT{inner_origin.x, inner_origin.y, inner_origin.x + 50, inner_origin.y + 50}));

  struct Case {
    HWND from, to;
    LONG dx, dy;
  } cases[] = {
      {inner, nullptr, inner_origin.x, inner_origin.y},
      {nullptr, inner, -inner_origin.x, -inner_origin.y},
      {inner, top, 11 + 3, 21 + 4},
      {top, inner, -(11 + 3), -(21 + 4)},
      {inner, other, inner_origin.x - 700, inner_origin.y - 10},
      {GetDesktopWindow(), nullptr, 0, 0},
  };
  for (const Case& c : cases) {
    POINT pts[2] = {{0, 0}, {-5, 7}};
    int r = MapWindowPoints(c.from, c.to, pts, 2);
    EXPECT_EQ(short(LOWORD(DWORD(r))), c.dx);
    EXPECT_EQ(short(HIWORD(DWORD(r))), c.dy);
    EXPECT_EQ(pts[0].x, c.dx);
    EXPECT_EQ(pts[1].x, c.dx - 5);
    EXPECT_EQ(pts[1].y, c.dy + 7);
  }
  POINT p{};
  EXPECT_EQ(MapWindowPoints(inner, reinterpret_cast<HWND>(0x4321), &p, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(ClientToScreen(reinterpret_cast<HWND>(0x4321), &p));
  EXPECT_FALSE(ScreenToClient(inner, nullptr));
  // Moving the middle window moves everything inside it on the screen.
  MoveWindow(mid, 30, 20, 200, 200, TRUE);
  POINT q{};
  ClientToScreen(inner, &q);
  EXPECT_EQ(q.x, inner_origin.x + 20);
}

}  // namespace
}  // namespace usertest
