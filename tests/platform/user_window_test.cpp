#include <cstring>

#include "support/user_fixture.h"

namespace usertest {
namespace {

TEST_F(UserTest, CreationSendsWindowsSequence) {
  HWND parent = Make(WS_OVERLAPPED);
  ASSERT_NE(parent, nullptr);
  struct Case {
    const char* name;
    DWORD style;
    bool child;
    Seq want;
  } cases[] = {
      // An overlapped window is sized at its first show, after WM_WINDOWPOSCHANGED.
      {"visible overlapped",
       WS_OVERLAPPEDWINDOW | WS_VISIBLE,
       false,
       {"w:HCBT_CREATEWND", "w:WM_GETMINMAXINFO", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE",
        "w:WM_SHOWWINDOW", "w:WM_WINDOWPOSCHANGING", "w:WM_ACTIVATEAPP", "p:WM_ACTIVATEAPP",
        "w:WM_NCACTIVATE", "w:WM_ACTIVATE", "w:WM_SETFOCUS", "w:WM_NCPAINT", "w:WM_ERASEBKGND",
        "w:WM_WINDOWPOSCHANGED", "w:WM_MOVE", "w:WM_SIZE"}},
      {"hidden overlapped",
       WS_OVERLAPPED,
       false,
       {"w:HCBT_CREATEWND", "w:WM_GETMINMAXINFO", "w:WM_NCCREATE", "w:WM_NCCALCSIZE",
        "w:WM_CREATE"}},
      {"hidden popup",
       WS_POPUP | WS_BORDER,
       false,
       {"w:HCBT_CREATEWND", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE",
        "w:WM_MOVE"}},
      {"child",
       WS_CHILD,
       true,
       {"w:HCBT_CREATEWND", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE",
        "w:WM_MOVE", "p:WM_PARENTNOTIFY"}},
      // Shown inside a hidden parent: only the style changes, no position messages.
      {"visible sizable child",
       WS_CHILD | WS_THICKFRAME | WS_VISIBLE,
       true,
       {"w:HCBT_CREATEWND", "w:WM_GETMINMAXINFO", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE",
        "w:WM_SIZE", "w:WM_MOVE", "p:WM_PARENTNOTIFY", "w:WM_SHOWWINDOW"}},
  };
  for (auto& c : cases) {
    log.clear();
    HWND w = Make(c.style, c.child ? parent : nullptr);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_EQ(Names({{w, "w"}, {parent, "p"}}), c.want) << c.name;
    EXPECT_EQ(GetWindowLongPtr(w, GWL_STYLE) & WS_VISIBLE, c.style & WS_VISIBLE) << c.name;
  }
  // The hidden overlapped window hears of its size once, at its first show.
  HWND later = Make(WS_OVERLAPPED);
  log.clear();
  ShowWindow(later, SW_SHOWNA);
  ShowWindow(later, SW_HIDE);
  ShowWindow(later, SW_SHOWNA);
  Seq sized;
  for (auto& s : Names({{later, "w"}}))
    if (s == "w:WM_SIZE" || s == "w:WM_MOVE") sized.push_back(s);
  EXPECT_EQ(sized, (Seq{"w:WM_MOVE", "w:WM_SIZE"}));
}

// A child whose parent cannot be seen is shown and hidden by its style alone, when it neither
// moves nor changes state; with a visible parent, or a change of state, SetWindowPos does it.
TEST_F(UserTest, ShowingAChildOfAHiddenParentOnlyChangesItsStyle) {
  HWND hidden = Make(WS_POPUP);
  HWND shown = Make(WS_POPUP | WS_VISIBLE);
  HWND c = Make(WS_CHILD | WS_CAPTION | WS_THICKFRAME, hidden, "", WS_EX_NOPARENTNOTIFY);
  HWND d = Make(WS_CHILD | WS_VISIBLE, shown, "", WS_EX_NOPARENTNOTIFY);
  quiet = {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_MOVE, WM_SIZE};
  struct Step {
    HWND h;
    int cmd;
    Seq want;
  } steps[] = {
      {c, SW_SHOW, {"c:WM_SHOWWINDOW"}},
      {c, SW_HIDE, {"c:WM_SHOWWINDOW"}},
      {c,
       SW_SHOWMAXIMIZED,
       {"c:HCBT_MINMAX", "c:WM_SHOWWINDOW", "c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED"}},
      {d, SW_HIDE, {"d:WM_SHOWWINDOW", "d:WM_WINDOWPOSCHANGING", "d:WM_WINDOWPOSCHANGED"}},
  };
  for (const Step& s : steps) {
    log.clear();
    ShowWindow(s.h, s.cmd);
    Seq got;
    for (auto& m : Names({{c, "c"}, {d, "d"}}))
      if (m.find("HCBT_") == std::string::npos || m == "c:HCBT_MINMAX") got.push_back(m);
    EXPECT_EQ(got, s.want) << s.cmd;
    EXPECT_EQ(bool(GetWindowLongPtr(s.h, GWL_STYLE) & WS_VISIBLE), s.cmd != SW_HIDE) << s.cmd;
  }
}

TEST_F(UserTest, CreationHookSeesParametersFirstAndMayEditOrVeto) {
  static std::string seen;
  static int mode;  // 0 record, 1 widen and show, 2 veto
  static HWND hooked;
  auto hook = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    if (code == HCBT_CREATEWND) {
      auto* cbt = reinterpret_cast<CBT_CREATEWND*>(lp);
      hooked = reinterpret_cast<HWND>(wp);
      char cls[64] = {};
      GetClassName(hooked, cls, sizeof cls);
      seen = std::string(cbt->lpcs->lpszClass) + "/" + cls + "/" +
             std::to_string(cbt->lpcs->style & WS_CHILD ? 1 : 0) + "/" +
             std::to_string(GetWindowTextLength(hooked));
      if (mode == 1) {
        cbt->lpcs->cx = 77;
        cbt->lpcs->style |= WS_VISIBLE;
      }
      if (mode == 2) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  };
  mode = 0;
  HHOOK h = SetWindowsHookEx(WH_CBT, hook, nullptr, 0);
  quiet = {WM_GETTEXTLENGTH};  // the hook's own question
  HWND parent = Make(WS_POPUP);
  HWND child = Make(WS_CHILD, parent, "名字");
  // Class and style readable, the text not yet set: it comes with WM_NCCREATE.
  EXPECT_EQ(seen, std::string(kClass) + "/" + kClass + "/1/0");
  EXPECT_EQ(GetWindowTextLength(child), int(std::strlen("名字")));

  mode = 1;
  HWND edited = Make(WS_POPUP);
  RECT r;
  GetWindowRect(edited, &r);
  EXPECT_EQ(r.right - r.left, 77);
  EXPECT_TRUE(IsWindowVisible(edited));

  mode = 2;
  log.clear();
  EXPECT_EQ(Make(WS_POPUP), nullptr);
  EXPECT_FALSE(IsWindow(hooked));
  // Neither the procedure nor the older hook (the veto did not pass the call on) saw it.
  EXPECT_TRUE(log.empty());
  UnhookWindowsHookEx(h);
}

TEST_F(UserTest, FailedCreationEndsWithNcDestroy) {
  struct Case {
    UINT refuse;
    LRESULT answer;
    Seq want;
  } cases[] = {
      {WM_NCCREATE,
       FALSE,
       {"w:HCBT_CREATEWND", "w:WM_NCCREATE", "w:HCBT_DESTROYWND", "w:WM_DESTROY",
        "w:WM_NCDESTROY"}},
      {WM_CREATE,
       -1,
       {"w:HCBT_CREATEWND", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:HCBT_DESTROYWND",
        "w:WM_DESTROY", "w:WM_NCDESTROY"}},
  };
  for (auto& c : cases) {
    static UINT refuse;
    static LRESULT answer;
    refuse = c.refuse;
    answer = c.answer;
    react = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == refuse) return answer;
      return std::nullopt;
    };
    log.clear();
    EXPECT_EQ(Make(WS_POPUP), nullptr);
    ASSERT_FALSE(log.empty());
    HWND w = log.front().hwnd;
    EXPECT_EQ(Names({{w, "w"}}), c.want) << MsgName(c.refuse);
    EXPECT_FALSE(IsWindow(w));
  }
}

TEST_F(UserTest, MinMaxInfoBoundsTheCreatedSize) {
  struct Case {
    DWORD style;
    int cx, want;
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, 5000, 1024 + 12},  // max tracking size: screen plus 12
      {WS_OVERLAPPEDWINDOW, 10, 112},          // min tracking size of a framed window
      {WS_POPUP, 5000, 5000},                  // a plain popup is not asked
  };
  for (auto& c : cases) {
    HWND w = Make(c.style, nullptr, "", 0, {0, 0, c.cx, 100});
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, c.want) << std::hex << c.style;
  }
  // The procedure may tighten the limits.
  react = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lp)->ptMaxTrackSize = {300, 200};
    return std::nullopt;
  };
  RECT r;
  GetWindowRect(Make(WS_OVERLAPPEDWINDOW, nullptr, "", 0, {0, 0, 900, 900}), &r);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
}

TEST_F(UserTest, ClientAreaFollowsTheFrameStyles) {
  struct Case {
    DWORD style, ex;
    RECT client;
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, 0, {0, 0, 200 - 8, 150 - 8 - 19}},
      {WS_POPUP | WS_BORDER, 0, {0, 0, 198, 148}},
      {WS_POPUP | WS_DLGFRAME, 0, {0, 0, 194, 144}},
      {WS_POPUP | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, {0, 0, 200 - 4 - 17, 150 - 4 - 17}},
      {WS_POPUP, 0, {0, 0, 200, 150}},
  };
  for (auto& c : cases) {
    HWND w = Make(c.style, nullptr, "", c.ex);
    RECT r;
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, c.client.right) << std::hex << c.style;
    EXPECT_EQ(r.bottom, c.client.bottom) << std::hex << c.style;
  }
}

TEST_F(UserTest, DestructionOrderWithChildrenAndOwnedWindows) {
  HWND p = Make(WS_OVERLAPPED);
  HWND c1 = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY);
  HWND g = Make(WS_CHILD, c1, "", WS_EX_NOPARENTNOTIFY);
  HWND c2 = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY);
  HWND o = Make(WS_POPUP, c2);  // owned by the top-level window above c2
  // Links and z-order: children are added below their siblings.
  EXPECT_EQ(GetWindow(p, GW_CHILD), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(GetWindow(c2, GW_HWNDPREV), c1);
  EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(c2, GW_HWNDFIRST), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDLAST), c2);
  EXPECT_EQ(GetWindow(o, GW_OWNER), p);
  EXPECT_EQ(GetParent(o), p);  // a popup's "parent" is its owner
  EXPECT_EQ(GetParent(g), c1);
  EXPECT_EQ(GetParent(p), nullptr);
  EXPECT_TRUE(IsChild(p, g));
  EXPECT_FALSE(IsChild(p, o));
  EXPECT_EQ(GetTopWindow(nullptr), o);  // the newest top-level window is on top
  EXPECT_EQ(GetWindow(o, GW_HWNDNEXT), p);

  log.clear();
  ASSERT_TRUE(DestroyWindow(p));
  EXPECT_EQ(Names({{p, "p"}, {c1, "c1"}, {c2, "c2"}, {g, "g"}, {o, "o"}}),
            (Seq{"p:HCBT_DESTROYWND", "o:HCBT_DESTROYWND", "o:WM_DESTROY", "o:WM_NCDESTROY",
                 "p:WM_DESTROY", "c1:WM_DESTROY", "g:WM_DESTROY", "c2:WM_DESTROY", "g:WM_NCDESTROY",
                 "c1:WM_NCDESTROY", "c2:WM_NCDESTROY", "p:WM_NCDESTROY"}));
  for (HWND h : {p, c1, c2, g, o}) EXPECT_FALSE(IsWindow(h));
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(p));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(UserTest, DestroyingAVisibleChildHidesItAndTellsTheParent) {
  static std::vector<std::pair<WPARAM, LPARAM>> notes;
  notes.clear();
  react = [](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_PARENTNOTIFY) notes.push_back({wp, lp});
    return std::nullopt;
  };
  quiet = {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT};
  // Inside a hidden parent only WM_SHOWWINDOW hides it; inside a visible one, SetWindowPos.
  for (DWORD parent_style : {DWORD(WS_POPUP), DWORD(WS_POPUP | WS_VISIBLE)}) {
    const bool seen = parent_style & WS_VISIBLE;
    notes.clear();
    HWND p = Make(parent_style);
    HWND c = Make(WS_CHILD | WS_VISIBLE, p, "", 0, {0, 0, 5, 5}, reinterpret_cast<HMENU>(7));
    log.clear();
    DestroyWindow(c);
    const LPARAM child = reinterpret_cast<LPARAM>(c);
    EXPECT_EQ(notes, (std::vector<std::pair<WPARAM, LPARAM>>{{MAKEWPARAM(WM_CREATE, 7), child},
                                                             {MAKEWPARAM(WM_DESTROY, 7), child}}));
    Seq want{"c:HCBT_DESTROYWND", "p:WM_PARENTNOTIFY", "c:WM_SHOWWINDOW"};
    if (seen) want.insert(want.end(), {"c:WM_WINDOWPOSCHANGING", "c:WM_WINDOWPOSCHANGED"});
    want.insert(want.end(), {"c:WM_DESTROY", "c:WM_NCDESTROY"});
    EXPECT_EQ(Names({{p, "p"}, {c, "c"}}), want) << seen;
    EXPECT_EQ(GetWindow(p, GW_CHILD), nullptr);
  }
}

// While a window hears WM_NCDESTROY it takes no new parent and no new child, but still moves.
TEST_F(UserTest, AWindowBeingFreedTakesNoParentAndNoChild) {
  static HWND other;
  static std::vector<DWORD> errors;
  static bool moved;
  errors.clear();
  moved = false;
  react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_NCDESTROY || h == other) return std::nullopt;
    SetLastError(0);
    if (!SetParent(h, other)) errors.push_back(GetLastError());
    SetLastError(0);
    if (!SetParent(other, h)) errors.push_back(GetLastError());
    SetLastError(0);
    if (!CreateWindowEx(0, kClass, "", WS_CHILD, 0, 0, 5, 5, h, nullptr, nullptr, nullptr))
      errors.push_back(GetLastError());
    moved = SetWindowPos(h, nullptr, 3, 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return std::nullopt;
  };
  other = Make(WS_POPUP);
  HWND w = Make(WS_POPUP);
  DestroyWindow(w);
  EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER,
                                        ERROR_INVALID_PARAMETER}));
  EXPECT_TRUE(moved);
  EXPECT_EQ(GetWindow(other, GW_CHILD), nullptr);
}

TEST_F(UserTest, CbtHookMayRefuseDestruction) {
  auto refuse = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    return code == HCBT_DESTROYWND ? 1 : CallNextHookEx(nullptr, code, wp, lp);
  };
  HHOOK h = SetWindowsHookEx(WH_CBT, refuse, nullptr, 0);
  HWND w = Make(WS_POPUP);
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_TRUE(IsWindow(w));
  UnhookWindowsHookEx(h);
  EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(UserTest, DestroyingAWindowInsideItsOwnHandlerIsSafe) {
  react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER) {
      DestroyWindow(h);
      // Everything after is refused cleanly.
      SetLastError(0);
      EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE), 0);
      EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
      EXPECT_EQ(DefWindowProc(h, WM_GETTEXTLENGTH, 0, 0), 0);
      EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 0);
      return 7;
    }
    return std::nullopt;
  };
  HWND w = Make(WS_POPUP);
  log.clear();
  EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 7);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(Names({{w, "w"}}),
            (Seq{"w:WM_USER+0", "w:HCBT_DESTROYWND", "w:WM_DESTROY", "w:WM_NCDESTROY"}));

  react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CREATE) DestroyWindow(h);  // destroyed while being created
    return std::nullopt;
  };
  EXPECT_EQ(Make(WS_POPUP), nullptr);

  // A posted message to a window that died never arrives.
  react = nullptr;
  HWND doomed = Make(WS_POPUP);
  PostMessage(doomed, WM_USER + 5, 0, 0);
  DestroyWindow(doomed);
  MSG m;
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

// Each layer keeps the procedure it replaced. A layer that is not on top when it detaches can
// only step aside (forward everything); putting its saved procedure back would drop the
// layers above it, exactly as on Windows.
struct Layer {
  WNDPROC prev = nullptr;
  bool active = false;
};
Layer layers[3];
template <int N>
LRESULT LayerProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER + 9 && layers[N].active)
    UserTest::log.push_back({h, "L" + std::to_string(N + 1)});
  return CallWindowProc(layers[N].prev, h, m, wp, lp);
}
constexpr WNDPROC kLayerProcs[3] = {LayerProc<0>, LayerProc<1>, LayerProc<2>};

TEST_F(UserTest, SubclassChainsComeOffInAnyOrder) {
  auto chain = [](HWND w) {
    log.clear();
    SendMessage(w, WM_USER + 9, 0, 0);
    std::string s;
    for (auto& e : log) s += (s.empty() ? "" : " ") + (e.what == "WM_USER+9" ? "base" : e.what);
    return s;
  };
  auto attach = [](HWND w, int n) {
    layers[n].active = true;
    layers[n].prev = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kLayerProcs[n])));
  };
  auto detach = [](HWND w, int n) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(w, GWLP_WNDPROC)) == kLayerProcs[n])
      SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layers[n].prev));
    layers[n].active = false;
  };
  struct Case {
    int order[3];
    const char* after[3];
  } cases[] = {
      {{1, 0, 2}, {"L3 L1 base", "L3 base", "base"}},
      {{2, 1, 0}, {"L2 L1 base", "L1 base", "base"}},
      {{0, 2, 1}, {"L3 L2 base", "L2 base", "base"}},
  };
  for (auto& c : cases) {
    HWND w = Make(WS_POPUP);
    for (int n = 0; n < 3; ++n) attach(w, n);
    EXPECT_EQ(chain(w), "L3 L2 L1 base");
    for (int i = 0; i < 3; ++i) {
      detach(w, c.order[i]);
      EXPECT_EQ(chain(w), c.after[i]) << "removing L" << c.order[i] + 1;
    }
    DestroyWindow(w);
  }
  // Putting back a saved procedure out of order drops the layers above.
  HWND w = Make(WS_POPUP);
  for (int n = 0; n < 3; ++n) attach(w, n);
  SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layers[1].prev));
  EXPECT_EQ(chain(w), "L1 base");
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(kLayerProcs[0]));
}

TEST_F(UserTest, WindowAndClassLongs) {
  HWND p = Make(WS_POPUP);
  HWND w = Make(WS_CHILD, p, "", 0, {0, 0, 10, 10}, reinterpret_cast<HMENU>(42));
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_ID), 42);
  EXPECT_EQ(GetDlgCtrlID(w), 42);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(p));
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
  EXPECT_EQ(SetWindowLongPtr(w, GWLP_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), 1234);

  // Extra bytes: 16 of them, pointer-sized and 32-bit access.
  EXPECT_EQ(SetWindowLongPtr(w, 8, 0x1122334455667788), 0);
  EXPECT_EQ(GetWindowLongPtr(w, 8), 0x1122334455667788);
  EXPECT_EQ(SetWindowLong(w, 0, -5), 0);
  EXPECT_EQ(GetWindowLong(w, 0), -5);
  EXPECT_EQ(GetWindowLong(w, 12), 0x11223344);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtr(w, 12), 0);  // would read past the end
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtr(w, -99), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);

  // Style changes are announced before and after.
  log.clear();
  LONG_PTR old = SetWindowLongPtr(w, GWL_STYLE, LONG_PTR(WS_CHILD | WS_BORDER));
  EXPECT_EQ(DWORD(old), WS_CHILD);
  EXPECT_EQ(DWORD(GetWindowLongPtr(w, GWL_STYLE)), WS_CHILD | WS_BORDER);
  EXPECT_EQ(Names({{w, "w"}}), (Seq{"w:WM_STYLECHANGING", "w:WM_STYLECHANGED"}));
  // Overlapped windows always get a caption and clip their siblings.
  HWND top = Make(WS_OVERLAPPED | WS_THICKFRAME);
  EXPECT_EQ(DWORD(GetWindowLongPtr(top, GWL_STYLE)), WS_CAPTION | WS_CLIPSIBLINGS | WS_THICKFRAME);
  EXPECT_EQ(DWORD(GetWindowLongPtr(top, GWL_EXSTYLE)), WS_EX_WINDOWEDGE);

  EXPECT_EQ(GetClassLongPtr(w, GCLP_HBRBACKGROUND), 6u);
  EXPECT_EQ(GetClassLongPtr(w, GCL_STYLE), CS_DBLCLKS);
  EXPECT_EQ(GetClassLongPtr(w, GCL_CBWNDEXTRA), 16u);
  EXPECT_EQ(GetClassLongPtr(w, GCLP_WNDPROC), reinterpret_cast<ULONG_PTR>(RecordingProc));
  EXPECT_EQ(SetClassLongPtr(w, 0, 99), 0u);
  EXPECT_EQ(GetClassLongPtr(top, 0), 99u);  // shared by the class
  char name[8];
  EXPECT_EQ(GetClassName(w, name, sizeof name), 7);
  EXPECT_STREQ(name, "UserTes");

  SetLastError(0);
  HWND stale = w;
  DestroyWindow(w);
  EXPECT_EQ(GetWindowLongPtr(stale, GWL_STYLE), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(UserTest, ClassRegistration) {
  WNDCLASSEX wc;
  wc.lpszClassName = "usertestwindow";  // names ignore case
  wc.lpfnWndProc = DefWindowProc;
  EXPECT_EQ(RegisterClassEx(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  WNDCLASSEX info;
  ATOM atom = ATOM(GetClassInfoEx(nullptr, "USERTESTWINDOW", &info));
  ASSERT_NE(atom, 0);
  EXPECT_EQ(info.lpfnWndProc, RecordingProc);
  EXPECT_EQ(info.cbWndExtra, 16);
  EXPECT_EQ(info.cbClsExtra, 8);
  // An atom works where a name does.
  HWND w = CreateWindowEx(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                          nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(UnregisterClass(kClass, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  DestroyWindow(w);

  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                           nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_EQ(Make(WS_CHILD), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
  EXPECT_FALSE(UnregisterClass("NoSuchClass", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
}

TEST_F(UserTest, DefaultProcedureTextCloseAndUnknownMessages) {
  HWND w = Make(WS_POPUP, nullptr, "妇女生活");
  char buf[64];
  EXPECT_EQ(GetWindowText(w, buf, sizeof buf), int(std::strlen("妇女生活")));
  EXPECT_STREQ(buf, "妇女生活");
  // A short buffer never splits a character.
  EXPECT_EQ(GetWindowText(w, buf, 5), 3);
  EXPECT_STREQ(buf, "妇");
  WCHAR wide[3];
  EXPECT_EQ(GetWindowTextW(w, wide, 3), 2);
  EXPECT_EQ(wide[0], u'妇');
  EXPECT_EQ(wide[1], u'女');
  EXPECT_TRUE(SetWindowText(w, "abc"));
  EXPECT_EQ(GetWindowTextLength(w), 3);

  // Message numbers nobody knows answer 0 and pass through unchanged.
  for (UINT m : {0x3504u, 0x3515u, 0xB0D0u, WM_USER + 77})
    EXPECT_EQ(SendMessage(w, m, 1, 2), 0) << std::hex << m;

  HANDLE tag = reinterpret_cast<HANDLE>(0x55);
  EXPECT_TRUE(SetProp(w, "Vellisa.Tag", tag));
  EXPECT_TRUE(SetProp(w, MAKEINTATOM(0xC123), tag));
  EXPECT_EQ(GetProp(w, "Vellisa.Tag"), tag);
  EXPECT_EQ(RemoveProp(w, "Vellisa.Tag"), tag);
  EXPECT_EQ(GetProp(w, "Vellisa.Tag"), nullptr);
  EXPECT_EQ(GetProp(w, MAKEINTATOM(0xC123)), tag);

  log.clear();
  SendMessage(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(Names({{w, "w"}}),
            (Seq{"w:WM_CLOSE", "w:HCBT_DESTROYWND", "w:WM_DESTROY", "w:WM_NCDESTROY"}));
}

TEST_F(UserTest, SetWindowPosMovesSizesAndRecomputesTheFrame) {
  HWND p = Make(WS_POPUP);
  HWND c = Make(WS_CHILD | WS_BORDER, p, "", WS_EX_NOPARENTNOTIFY, {5, 5, 25, 25});
  log.clear();
  ASSERT_TRUE(SetWindowPos(c, nullptr, 7, 8, 40, 30, SWP_NOZORDER));
  // Without SWP_NOACTIVATE a child is told it was activated.
  EXPECT_EQ(Names({{c, "c"}}),
            (Seq{"c:WM_WINDOWPOSCHANGING", "c:WM_NCCALCSIZE", "c:WM_CHILDACTIVATE",
                 "c:WM_WINDOWPOSCHANGED", "c:WM_MOVE", "c:WM_SIZE"}));
  RECT r, pr;
  GetWindowRect(c, &r);
  GetWindowRect(p, &pr);
  EXPECT_EQ(r.left - pr.left, 7);
  EXPECT_EQ(r.right - r.left, 40);
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 38);

  // Dropping the border takes effect with a frame change: the client area grows and its
  // origin moves.
  SetWindowLongPtr(c, GWL_STYLE, LONG_PTR(WS_CHILD));
  log.clear();
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Names({{c, "c"}}, {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED",
                               "WM_MOVE", "WM_SIZE"}),
            (Seq{"c:WM_WINDOWPOSCHANGING", "c:WM_NCCALCSIZE", "c:WM_WINDOWPOSCHANGED", "c:WM_MOVE",
                 "c:WM_SIZE"}));
  GetClientRect(c, &r);
  EXPECT_EQ(r.right, 40);

  // Z-order: insert after a sibling, then to the top.
  HWND d = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY);
  HWND e = Make(WS_CHILD, p, "", WS_EX_NOPARENTNOTIFY);
  SetWindowPos(c, e, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(p, GW_CHILD), d);
  EXPECT_EQ(GetWindow(d, GW_HWNDNEXT), e);
  EXPECT_EQ(GetWindow(e, GW_HWNDNEXT), c);
  SetWindowPos(e, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(p, GW_CHILD), e);
  SetWindowPos(e, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(p, GW_CHILD), d);
  EXPECT_EQ(GetWindow(e, GW_HWNDNEXT), nullptr);
}

TEST_F(UserTest, OwnedWindowsStayAboveTheirOwner) {
  HWND a = Make(WS_OVERLAPPED);
  HWND b = Make(WS_POPUP, a);
  HWND c = Make(WS_POPUP);
  auto order = [&] {
    std::vector<HWND> v;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
      if (h == a || h == b || h == c || h == made_.back()) v.push_back(h);
    return v;
  };
  using V = std::vector<HWND>;
  EXPECT_EQ(order(), (V{c, b, a}));
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE;
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, keep);  // b comes along
  EXPECT_EQ(order(), (V{b, a, c}));
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, keep);  // never below its owner
  EXPECT_EQ(order(), (V{b, a, c}));
  HWND d = Make(WS_POPUP, b);  // owned by an owned window
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, keep);
  EXPECT_EQ(order(), (V{c, d, b, a}));
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, keep);
  EXPECT_EQ(order(), (V{d, b, a, c}));
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, keep);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, keep | SWP_NOOWNERZORDER);
  EXPECT_EQ(order(), (V{a, c, d, b}));
}

TEST_F(UserTest, TopmostWindowsStayAboveTheOthers) {
  HWND a = Make(WS_POPUP, nullptr, "", WS_EX_TOPMOST);
  HWND b = Make(WS_POPUP);
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), b);
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
}

}  // namespace
}  // namespace usertest

namespace usertest {
namespace {

BOOL Collect(HWND h, LPARAM lp) {
  auto* out = reinterpret_cast<std::vector<HWND>*>(lp);
  out->push_back(h);
  return out->size() < 4;  // stop after four
}

TEST_F(UserTest, AncestorsEnumerationAndSearch) {
  HWND owner = Make(WS_OVERLAPPED);
  HWND top = Make(WS_POPUP, owner, "top");
  HWND a = Make(WS_CHILD, top, "a", WS_EX_NOPARENTNOTIFY);
  HWND a1 = Make(WS_CHILD, a, "a1", WS_EX_NOPARENTNOTIFY);
  HWND b = Make(WS_CHILD, top, "b", WS_EX_NOPARENTNOTIFY);
  HWND c = Make(WS_CHILD, top, "a", WS_EX_NOPARENTNOTIFY);
  EXPECT_EQ(GetAncestor(a1, GA_PARENT), a);
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(a1, GA_ROOT), top);
  EXPECT_EQ(GetAncestor(a1, GA_ROOTOWNER), owner);

  std::vector<HWND> got;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got, (std::vector<HWND>{a, a1, b, c}));
  got.clear();
  EnumChildWindows(
      top,
      [](HWND h, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        DestroyWindow(h);  // the snapshot skips what dies: a1 goes with a
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got, (std::vector<HWND>{a, b, c}));
  EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);

  HWND d = Make(WS_CHILD, top, "x", WS_EX_NOPARENTNOTIFY);
  HWND e = Make(WS_CHILD, top, "y", WS_EX_NOPARENTNOTIFY);
  struct Case {
    HWND after;
    const char* cls;
    const char* text;
    HWND want;
  } cases[] = {
      {nullptr, "usertestWINDOW", nullptr, d},
      {d, kClass, nullptr, e},
      {nullptr, nullptr, "y", e},
      {e, nullptr, nullptr, nullptr},
      {nullptr, kClass, "Y", nullptr},  // the text is compared exactly
  };
  for (auto& k : cases)
    EXPECT_EQ(FindWindowEx(top, k.after, k.cls, k.text), k.want) << (k.text ? k.text : "-");
  EXPECT_EQ(FindWindow(kClass, "top"), top);
  got.clear();
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&got));
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], top);
  EXPECT_EQ(got[1], owner);
}

// At HCBT_CREATEWND the window already answers for its style: the creation style without
// WS_VISIBLE.
LONG_PTR style_at_hook = 0;
LRESULT StyleAtCreation(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND)
    style_at_hook = GetWindowLongPtr(reinterpret_cast<HWND>(wp), GWL_STYLE);
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(UserTest, AtTheCreationHookTheStyleIsNotVisibleYet) {
  HHOOK hook = SetWindowsHookEx(WH_CBT, StyleAtCreation, nullptr, GetCurrentThreadId());
  const DWORD style = WS_POPUP | WS_VISIBLE | WS_BORDER;
  HWND w = Make(style);
  UnhookWindowsHookEx(hook);
  ASSERT_TRUE(w);
  EXPECT_EQ(DWORD(style_at_hook), style & ~WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongPtr(w, GWL_STYLE) & WS_VISIBLE);  // shown once created
}

// RegisterClass is RegisterClassEx without a small icon.
TEST(Classes, RegisterClassWithoutTheSmallIcon) {
  WNDCLASS wc;
  wc.lpszClassName = "PlainClass";
  wc.lpfnWndProc = DefWindowProc;
  wc.cbWndExtra = 12;
  wc.style = CS_DBLCLKS;
  ASSERT_NE(RegisterClassA(&wc), 0);
  WNDCLASSEX got;
  ASSERT_TRUE(GetClassInfoEx(nullptr, "PlainClass", &got));
  EXPECT_EQ(got.cbWndExtra, 12);
  EXPECT_EQ(got.style, UINT(CS_DBLCLKS));
  EXPECT_EQ(got.lpfnWndProc, &DefWindowProc);
  EXPECT_EQ(got.hIconSm, nullptr);
  EXPECT_EQ(RegisterClass(nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  UnregisterClass("PlainClass", nullptr);
}

}  // namespace
}  // namespace usertest
