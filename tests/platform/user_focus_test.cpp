// Focus and activation: Windows' message orders when windows are shown, hidden, destroyed,
// activated and focused.
#include "support/user_fixture.h"

namespace usertest {
namespace {

class FocusTest : public UserTest {
 protected:
  static inline std::map<HWND, std::string> who;
  static inline bool veto_activate = false, veto_focus = false;

  static std::string Name(std::uintptr_t h) {
    if (!h) return "0";
    auto it = who.find(reinterpret_cast<HWND>(h));
    return it == who.end() ? "?" : it->second;
  }
  // Activation and focus messages are logged with their arguments; the rest are not logged.
  static std::optional<LRESULT> Detail(HWND, UINT m, WPARAM wp, LPARAM lp) {
    std::string& e = log.back().what;
    switch (m) {
      case WM_ACTIVATE: e += "(" + std::to_string(LOWORD(wp)) + "," + Name(lp) + ")"; break;
      case WM_NCACTIVATE:
      case WM_ACTIVATEAPP: e += "(" + std::to_string(wp) + ")"; break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: e += "(" + Name(wp) + ")"; break;
    }
    return std::nullopt;
  }
  static LRESULT Cbt(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
      auto* a = reinterpret_cast<CBTACTIVATESTRUCT*>(lp);
      log.push_back({reinterpret_cast<HWND>(wp),
                     "HCBT_ACTIVATE(" + Name(std::uintptr_t(a->hWndActive)) + ")"});
      if (veto_activate) return 1;
    }
    if (code == HCBT_SETFOCUS) {
      log.push_back(
          {reinterpret_cast<HWND>(wp), "HCBT_SETFOCUS(" + Name(std::uintptr_t(lp)) + ")"});
      if (veto_focus) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }

  void SetUp() override {
    UserTest::SetUp();
    who.clear();
    veto_activate = veto_focus = false;
    react = Detail;
    // Geometry and painting are other tests' business.
    quiet = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SHOWWINDOW, WM_MOVE,       WM_SIZE,
             WM_NCCALCSIZE,        WM_GETMINMAXINFO,    WM_NCPAINT,    WM_ERASEBKGND, WM_PAINT};
    hook_ = SetWindowsHookEx(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook_);
    UserTest::TearDown();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
  }
  HWND Named(const std::string& name, DWORD style, HWND parent = nullptr,
             RECT r = {10, 20, 210, 170}) {
    HWND h = Make(style, parent, name.c_str(), 0, r);
    who[h] = name;
    return h;
  }
  static Seq Got() { return Names(who); }

  HHOOK hook_ = nullptr;
};

TEST_F(FocusTest, ShowingTheFirstWindowActivatesTheApplication) {
  HWND a = Named("a", WS_OVERLAPPEDWINDOW);
  HWND b = Named("b", WS_OVERLAPPEDWINDOW);
  log.clear();
  ShowWindow(a, SW_SHOW);
  // Shown, a is on top: every top-level window hears of the activation, in z-order.
  EXPECT_EQ(Got(), (Seq{"a:HCBT_ACTIVATE(0)", "a:WM_ACTIVATEAPP(1)", "b:WM_ACTIVATEAPP(1)",
                        "a:WM_NCACTIVATE(1)", "a:WM_ACTIVATE(1,0)", "a:HCBT_SETFOCUS(0)",
                        "a:WM_SETFOCUS(0)"}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(GetFocus(), a);

  // Shown without activation, b stays inactive; no activation of a shown window repeats.
  log.clear();
  ShowWindow(b, SW_SHOWNA);
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Got(), Seq{});
  EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(FocusTest, SwitchingTheActiveWindow) {
  HWND a = Named("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND b = Named("b", WS_OVERLAPPEDWINDOW);
  ShowWindow(b, SW_SHOWNA);  // above a, inactive
  log.clear();
  EXPECT_EQ(SetActiveWindow(b), a);
  EXPECT_EQ(Got(), (Seq{"b:HCBT_ACTIVATE(a)", "a:WM_NCACTIVATE(0)", "a:WM_ACTIVATE(0,b)",
                        "b:WM_NCACTIVATE(1)", "b:WM_ACTIVATE(1,a)", "b:HCBT_SETFOCUS(a)",
                        "a:WM_KILLFOCUS(b)", "b:WM_SETFOCUS(a)"}));
  EXPECT_EQ(GetTopWindow(nullptr), b);

  // Activating the window below raises it first.
  log.clear();
  EXPECT_EQ(SetActiveWindow(a), b);
  EXPECT_EQ(GetTopWindow(nullptr), a);
  EXPECT_EQ(GetFocus(), a);

  // A hook may refuse; nothing changes then. Activating the active window sends nothing.
  veto_activate = true;
  log.clear();
  EXPECT_EQ(SetActiveWindow(b), nullptr);
  EXPECT_EQ(Got(), Seq{"b:HCBT_ACTIVATE(a)"});
  EXPECT_EQ(GetActiveWindow(), a);
  veto_activate = false;
  log.clear();
  EXPECT_EQ(SetActiveWindow(a), a);
  EXPECT_EQ(Got(), Seq{});

  // A disabled window cannot be activated.
  EnableWindow(b, FALSE);
  EXPECT_EQ(SetActiveWindow(b), nullptr);
  EXPECT_FALSE(SetForegroundWindow(b));
  EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(FocusTest, HidingTheActiveWindowActivatesItsOwnerThenTheNextOneThenNothing) {
  HWND main = Named("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND other = Named("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND dlg = Named("dlg", WS_POPUP | WS_VISIBLE, main);
  ASSERT_EQ(GetActiveWindow(), dlg);
  log.clear();
  ShowWindow(dlg, SW_HIDE);  // other is above main, but the owner comes first
  EXPECT_EQ(Got(),
            (Seq{"main:HCBT_ACTIVATE(dlg)", "dlg:WM_NCACTIVATE(0)", "dlg:WM_ACTIVATE(0,main)",
                 "main:WM_NCACTIVATE(1)", "main:WM_ACTIVATE(1,dlg)", "main:HCBT_SETFOCUS(dlg)",
                 "dlg:WM_KILLFOCUS(main)", "main:WM_SETFOCUS(dlg)"}));
  EXPECT_EQ(GetWindow(main, GW_HWNDNEXT), other);  // raised, its popup still above it

  ShowWindow(main, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetFocus(), other);

  // Hidden, a top-level window goes to the top of the z-order, so it hears first that the
  // application lost activation.
  log.clear();
  ShowWindow(other, SW_HIDE);
  EXPECT_EQ(Got(),
            (Seq{"other:WM_NCACTIVATE(0)", "other:WM_ACTIVATE(0,0)", "other:WM_ACTIVATEAPP(0)",
                 "dlg:WM_ACTIVATEAPP(0)", "main:WM_ACTIVATEAPP(0)", "other:WM_KILLFOCUS(0)"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);

  // The application comes back with the next activation.
  log.clear();
  ShowWindow(other, SW_SHOW);
  Seq again = Got();
  EXPECT_NE(std::find(again.begin(), again.end(), "main:WM_ACTIVATEAPP(1)"), again.end());
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(FocusTest, DestroyingTheActiveWindowMovesActivationAndFocusBeforeWmDestroy) {
  HWND other = Named("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND main = Named("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND owned = Named("owned", WS_POPUP | WS_VISIBLE, main);
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, main);
  SetActiveWindow(main);
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);
  log.clear();
  DestroyWindow(main);
  Seq got;
  for (auto& s : Got())
    if (s.find("HCBT_") == std::string::npos && s.find("NCDESTROY") == std::string::npos)
      got.push_back(s);
  // Hidden without giving up activation, it destroys the popup it owns first (never activated);
  // then activation moves on and the focus leaves the edit box while it still works.
  EXPECT_EQ(got,
            (Seq{"owned:WM_DESTROY", "main:WM_NCACTIVATE(0)", "main:WM_ACTIVATE(0,other)",
                 "other:WM_NCACTIVATE(1)", "other:WM_ACTIVATE(1,main)", "edit:WM_KILLFOCUS(other)",
                 "other:WM_SETFOCUS(edit)", "main:WM_DESTROY", "edit:WM_DESTROY"}));
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(FocusTest, FocusingAChildOfAnInactiveWindowActivatesItFirst) {
  HWND a = Named("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND b = Named("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND bc = Named("bc", WS_CHILD | WS_VISIBLE, b);
  SetActiveWindow(a);
  log.clear();
  EXPECT_EQ(SetFocus(bc), a);
  // b's WM_ACTIVATE does not take the focus on its way to the child.
  EXPECT_EQ(Got(), (Seq{"bc:HCBT_SETFOCUS(a)", "b:HCBT_ACTIVATE(a)", "a:WM_NCACTIVATE(0)",
                        "a:WM_ACTIVATE(0,b)", "b:WM_NCACTIVATE(1)", "b:WM_ACTIVATE(1,a)",
                        "a:WM_KILLFOCUS(bc)", "bc:WM_SETFOCUS(a)"}));
  EXPECT_EQ(GetActiveWindow(), b);

  struct Case {
    const char* name;
    HWND target;
    bool veto;
    HWND returned, after;
    Seq want;
  } cases[] = {
      {"again", bc, false, bc, bc, {}},
      {"vetoed", b, true, nullptr, bc, {"b:HCBT_SETFOCUS(bc)"}},
      {"parent",
       b,
       false,
       bc,
       b,
       {"b:HCBT_SETFOCUS(bc)", "bc:WM_KILLFOCUS(b)", "b:WM_SETFOCUS(bc)"}},
      {"none", nullptr, false, b, nullptr, {"?:HCBT_SETFOCUS(b)", "b:WM_KILLFOCUS(0)"}},
      {"stale", reinterpret_cast<HWND>(0x7654321), false, nullptr, nullptr, {}},
  };
  for (auto& c : cases) {
    veto_focus = c.veto;
    log.clear();
    SetLastError(0);
    EXPECT_EQ(SetFocus(c.target), c.returned) << c.name;
    EXPECT_EQ(GetFocus(), c.after) << c.name;
    EXPECT_EQ(Got(), c.want) << c.name;
  }
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

// Hiding moves the focus only off the window hidden itself, and only through ShowWindow (a
// focused window inside it keeps the focus); destroying moves it off the whole window, before
// WM_DESTROY.
TEST_F(FocusTest, AFocusedWindowHiddenOrDestroyedGivesTheFocusToItsParent) {
  HWND top = Named("top", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND panel = Named("panel", WS_CHILD | WS_VISIBLE, top);
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, panel);
  constexpr UINT kHide = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;

  SetFocus(edit);
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(GetFocus(), edit);
  ShowWindow(panel, SW_SHOW);
  SetWindowPos(edit, nullptr, 0, 0, 0, 0, kHide);
  EXPECT_EQ(GetFocus(), edit);
  ShowWindow(edit, SW_SHOW);
  ShowWindow(edit, SW_HIDE);
  EXPECT_EQ(GetFocus(), panel);
  ShowWindow(edit, SW_SHOW);

  SetFocus(edit);
  log.clear();
  DestroyWindow(edit);
  Seq got;
  for (auto& s : Got())
    if (s.find("HCBT_") == std::string::npos && s.find("PARENTNOTIFY") == std::string::npos)
      got.push_back(s);
  EXPECT_EQ(got, (Seq{"edit:WM_KILLFOCUS(panel)", "panel:WM_SETFOCUS(edit)", "edit:WM_DESTROY",
                      "edit:WM_NCDESTROY"}));
}

// The active window hidden with SWP_NOACTIVATE stays active and focused; ShowWindow(SW_HIDE)
// hands activation on once the window is hidden.
TEST_F(FocusTest, HidingWithoutActivationKeepsTheActiveWindowActive) {
  HWND main = Named("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND popup = Named("popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, main);
  constexpr UINT kHide = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  for (HWND h : {popup, main}) {
    SCOPED_TRACE(who[h]);
    SetActiveWindow(h);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kHide);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(GetActiveWindow(), h);
    EXPECT_EQ(GetFocus(), h);
    ShowWindow(h, SW_SHOW);
  }
  SetActiveWindow(popup);
  std::erase(quiet, UINT(WM_WINDOWPOSCHANGED));
  log.clear();
  ShowWindow(popup, SW_HIDE);
  Seq got;
  for (auto& s : Got())
    if (s.find("ACTIVATE") != std::string::npos || s.find("POSCHANGED") != std::string::npos)
      got.push_back(s);
  EXPECT_EQ(got, (Seq{"popup:WM_WINDOWPOSCHANGED", "main:HCBT_ACTIVATE(popup)",
                      "popup:WM_NCACTIVATE(0)", "popup:WM_ACTIVATE(0,main)",
                      "main:WM_NCACTIVATE(1)", "main:WM_ACTIVATE(1,popup)"}));
  EXPECT_EQ(GetActiveWindow(), main);
}

// EnableWindow(FALSE) in Windows' order: WM_CANCELMODE while the window is still enabled, the
// style, the focus when the window itself holds it, the capture when it or a window inside it
// holds it, then WM_ENABLE.
TEST_F(FocusTest, DisablingEndsModesThenTakesTheFocusAndTheCapture) {
  static HWND panel;
  static std::vector<bool> enabled_at_cancel;
  auto spy = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
    if (m->message == WM_CANCELMODE) enabled_at_cancel.push_back(IsWindowEnabled(panel));
    return CallNextHookEx(nullptr, code, wp, lp);
  };
  HHOOK h = SetWindowsHookEx(WH_CALLWNDPROC, spy, nullptr, GetCurrentThreadId());
  HWND top = Named("top", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  panel = Named("panel", WS_CHILD | WS_VISIBLE, top);
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, panel);
  struct Case {
    HWND focus, capture;
    HWND focus_after;
    Seq want;
  } cases[] = {
      {panel,
       panel,
       nullptr,
       {"panel:WM_CANCELMODE", "panel:WM_CAPTURECHANGED", "panel:WM_KILLFOCUS(0)",
        "panel:WM_ENABLE"}},
      {edit, edit, edit, {"panel:WM_CANCELMODE", "edit:WM_CAPTURECHANGED", "panel:WM_ENABLE"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(who[c.focus]);
    enabled_at_cancel.clear();
    EnableWindow(panel, TRUE);
    SetFocus(c.focus);
    SetCapture(c.capture);
    log.clear();
    EXPECT_FALSE(EnableWindow(panel, FALSE));
    EXPECT_EQ(GetFocus(), c.focus_after);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(panel));
    Seq got;
    for (auto& s : Got())
      if (s.find("HCBT_") == std::string::npos) got.push_back(s);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(enabled_at_cancel, std::vector<bool>{true});
  }
  UnhookWindowsHookEx(h);
  log.clear();
  EXPECT_TRUE(EnableWindow(panel, FALSE));  // already disabled: nothing is sent
  EXPECT_TRUE(EnableWindow(panel, TRUE));
  EXPECT_FALSE(EnableWindow(panel, TRUE));
  EXPECT_EQ(Got(), Seq{"panel:WM_ENABLE"});
  EXPECT_TRUE(IsWindowEnabled(panel));
}

}  // namespace
}  // namespace usertest
