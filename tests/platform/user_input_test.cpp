// Input injected at screen coordinates: routing, hit codes, activation by click, cursors,
// capture, double clicks, the mouse hook, mouse tracking and the keyboard.
#include "support/user_fixture.h"

namespace usertest {
namespace {

class InputTest : public UserTest {
 protected:
  struct Got {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  static inline std::map<HWND, std::string> who;
  static inline std::vector<Got> got;
  // Per test: answers a message before the default handling.
  static inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

  static std::optional<LRESULT> Record(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    got.push_back({h, m, wp, lp});
    if (answer) return answer(h, m, wp, lp);
    return std::nullopt;
  }

  void SetUp() override {
    UserTest::SetUp();
    who.clear();
    got.clear();
    answer = nullptr;
    react = Record;
    // Park the cursor where no test puts a window; with no window the move goes nowhere.
    InjectMouseMove(1000, 760);
    Pump();
  }
  void TearDown() override {
    answer = nullptr;
    UserTest::TearDown();
  }

  HWND Named(const std::string& name, DWORD style, RECT r, HWND parent = nullptr, DWORD ex = 0,
             const char* cls = kClass) {
    HWND h = CreateWindowEx(ex, cls, name.c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    if (h) {
      made_.push_back(h);
      who[h] = name;
    }
    return h;
  }
  static void Pump() { DrainQueue(true); }
  static std::string Name(HWND h) {
    auto it = who.find(h);
    return it == who.end() ? "?" : it->second;
  }
  // The messages received among `keep`, as "window:MESSAGE".
  static Seq Msgs(const std::vector<UINT>& keep) {
    Seq out;
    for (auto& g : got)
      if (std::find(keep.begin(), keep.end(), g.msg) != keep.end())
        out.push_back(Name(g.hwnd) + ":" + MsgName(g.msg));
    return out;
  }
  static const Got* First(const std::vector<UINT>& of) {
    for (auto& g : got)
      if (std::find(of.begin(), of.end(), g.msg) != of.end()) return &g;
    return nullptr;
  }
  static void Click(int x, int y, MouseButton b = MouseButton::Left) {
    InjectMouseButton(b, true, x, y);
    InjectMouseButton(b, false, x, y);
    Pump();
  }
  static POINT Pt(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }
};

const std::vector<UINT> kPresses = {WM_LBUTTONDOWN,     WM_NCLBUTTONDOWN, WM_LBUTTONDBLCLK,
                                    WM_NCLBUTTONDBLCLK, WM_RBUTTONDOWN,   WM_RBUTTONDBLCLK};

TEST_F(InputTest, PressesGoToTheWindowUnderTheCursorWithItsHitCode) {
  HWND back = Named("back", WS_POPUP | WS_BORDER | WS_VISIBLE, {0, 0, 300, 200});
  HWND kid = Named("kid", WS_CHILD | WS_VISIBLE, {20, 20, 120, 80}, back);
  HWND dis = Named("dis", WS_CHILD | WS_VISIBLE | WS_DISABLED, {150, 20, 250, 80}, back);
  HWND glass = Named("glass", WS_CHILD | WS_VISIBLE, {20, 100, 120, 180}, back);
  HWND under = Named("under", WS_CHILD | WS_VISIBLE, {20, 100, 120, 180}, back);  // below glass
  HWND front = Named("front", WS_POPUP | WS_VISIBLE, {200, 120, 400, 300});
  HRGN shape = CreateRectRgn(0, 0, 200, 180);
  HRGN hole = CreateRectRgn(20, 20, 60, 60);
  CombineRgn(shape, shape, hole, RGN_DIFF);
  DeleteObject(hole);
  SetWindowRgn(front, shape, FALSE);
  answer = [glass](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCHITTEST && h == glass) return HTTRANSPARENT;
    if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;  // keep the z-order as set up
    return std::nullopt;
  };
  struct Case {
    POINT at;
    HWND want;
    UINT msg;
    WPARAM wp;
    POINT lp;
  } cases[] = {
      {{50, 50}, kid, WM_LBUTTONDOWN, MK_LBUTTON, {29, 29}},         // deepest child, client
      {{0, 50}, back, WM_NCLBUTTONDOWN, WPARAM(HTBORDER), {0, 50}},  // frame, screen coords
      {{200, 50}, back, WM_LBUTTONDOWN, MK_LBUTTON, {199, 49}},      // disabled child: its parent
      {{50, 150}, under, WM_LBUTTONDOWN, MK_LBUTTON, {29, 49}},      // HTTRANSPARENT above
      {{300, 250}, front, WM_LBUTTONDOWN, MK_LBUTTON, {100, 130}},   // the window on top
      {{230, 150}, back, WM_LBUTTONDOWN, MK_LBUTTON, {229, 149}},    // the hole in its region
  };
  for (auto& c : cases) {
    got.clear();
    AdvanceClock(1000);  // never a double click
    Click(c.at.x, c.at.y);
    EXPECT_EQ(WindowFromPoint(c.at), c.want) << c.at;
    const Got* g = First(kPresses);
    ASSERT_NE(g, nullptr) << c.at;
    EXPECT_EQ(Name(g->hwnd), Name(c.want)) << c.at;
    EXPECT_EQ(MsgName(g->msg), MsgName(c.msg)) << c.at;
    EXPECT_EQ(g->wp, c.wp) << c.at;
    EXPECT_EQ(Pt(g->lp), c.lp) << c.at;
  }
  (void)dis;
  got.clear();
  Click(600, 600);  // on no window
  EXPECT_EQ(First(kPresses), nullptr);
  EXPECT_EQ(WindowFromPoint({600, 600}), nullptr);

  // Moves waiting together merge into the last one.
  got.clear();
  InjectMouseMove(30, 30);
  InjectMouseMove(40, 40);
  InjectMouseMove(50, 60);
  Pump();
  EXPECT_EQ(Msgs({WM_MOUSEMOVE}), Seq{"kid:WM_MOUSEMOVE"});
  EXPECT_EQ(Pt(First({WM_MOUSEMOVE})->lp), (POINT{29, 39}));
}

TEST_F(InputTest, APressOnAnInactiveWindowAsksWmMouseActivate) {
  HWND a = Named("a", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND b = Named("b", WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  HWND bc = Named("bc", WS_CHILD | WS_VISIBLE, {50, 50, 100, 100}, b);
  SetActiveWindow(a);
  got.clear();
  Click(220, 20);
  // The press: hit test, WM_MOUSEACTIVATE, the activation, WM_SETCURSOR, then the message.
  EXPECT_EQ(Msgs({WM_NCHITTEST, WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                  WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (Seq{"b:WM_NCHITTEST", "b:WM_SETCURSOR", "b:WM_MOUSEMOVE", "b:WM_NCHITTEST",
                 "b:WM_MOUSEACTIVATE", "a:WM_NCACTIVATE", "a:WM_ACTIVATE", "b:WM_NCACTIVATE",
                 "b:WM_ACTIVATE", "b:WM_SETFOCUS", "b:WM_SETCURSOR", "b:WM_LBUTTONDOWN",
                 "b:WM_NCHITTEST", "b:WM_SETCURSOR", "b:WM_LBUTTONUP"}));
  for (auto& g : got) {
    if (g.msg == WM_MOUSEACTIVATE) {
      EXPECT_EQ(g.wp, reinterpret_cast<WPARAM>(b));
      EXPECT_EQ(g.lp, MAKELPARAM(WORD(HTCLIENT), WORD(WM_LBUTTONDOWN)));
    }
    if (g.msg == WM_ACTIVATE && g.hwnd == b) { EXPECT_EQ(LOWORD(g.wp), WA_CLICKACTIVE); }
  }

  // Each answer; a child's default asks its parent, whose answer counts.
  struct Case {
    LRESULT answer;
    HWND at;  // the window clicked
    bool activates, delivered;
  } cases[] = {
      {MA_ACTIVATE, b, true, true},
      {MA_NOACTIVATE, b, false, true},
      {MA_ACTIVATEANDEAT, b, true, false},
      {MA_NOACTIVATEANDEAT, b, false, false},
      {MA_NOACTIVATEANDEAT, bc, false, false},
      {MA_ACTIVATE, bc, true, true},
  };
  for (auto& c : cases) {
    SetActiveWindow(a);
    LRESULT r = c.answer;
    answer = [b, r](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_MOUSEACTIVATE && h == b) return r;
      return std::nullopt;
    };
    got.clear();
    AdvanceClock(1000);
    if (c.at == b)
      Click(220, 20);
    else
      Click(280, 80);
    EXPECT_EQ(GetActiveWindow(), c.activates ? b : a) << r << " " << Name(c.at);
    EXPECT_EQ(Msgs({WM_LBUTTONDOWN}).size(), c.delivered ? 1u : 0u) << r << " " << Name(c.at);
    if (c.at == bc) {
      EXPECT_EQ(Msgs({WM_MOUSEACTIVATE}), (Seq{"bc:WM_MOUSEACTIVATE", "b:WM_MOUSEACTIVATE"}));
    }
  }

  // A window disabled while its popup is up refuses the press with HTERROR and brings the
  // popup forward.
  answer = nullptr;
  HWND popup = Named("popup", WS_POPUP | WS_VISIBLE, {400, 0, 500, 100}, a);
  EnableWindow(a, FALSE);
  SetActiveWindow(b);
  got.clear();
  Click(50, 50);
  EXPECT_EQ(GetActiveWindow(), popup);
  EXPECT_EQ(Msgs({WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, WM_NCHITTEST}), Seq{});
  const Got* sc = First({WM_SETCURSOR});
  ASSERT_NE(sc, nullptr);
  EXPECT_EQ(sc->hwnd, a);
  EXPECT_EQ(short(LOWORD(std::uintptr_t(sc->lp))), HTERROR);
}

TEST_F(InputTest, DefaultWmSetCursorAsksTheParentThenUsesTheClassCursor) {
  HCURSOR ibeam = LoadCursor(nullptr, IDC_IBEAM), cross = LoadCursor(nullptr, IDC_CROSS);
  WNDCLASSEX wc;
  wc.lpszClassName = "InputTestEdit";
  wc.lpfnWndProc = RecordingProc;
  wc.hCursor = ibeam;
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND top = Named("top", WS_POPUP | WS_BORDER | WS_VISIBLE, {0, 0, 200, 200});
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, top, 0, "InputTestEdit");
  HWND side = Named("side", WS_CHILD | WS_VISIBLE, {10, 100, 110, 150}, top);
  struct Case {
    const char* name;
    POINT at;
    bool parent_decides;
    LRESULT hit;  // what `side` answers to WM_NCHITTEST (0: the default)
    HCURSOR want;
  } cases[] = {
      {"class cursor", {50, 30}, false, 0, ibeam},
      {"the parent decides", {50, 30}, true, 0, cross},
      {"no class cursor: the window's business", {50, 120}, false, 0, cross},
      {"frame", {0, 120}, false, 0, LoadCursor(nullptr, IDC_ARROW)},
      {"sizing border", {50, 120}, false, HTLEFT, LoadCursor(nullptr, IDC_SIZEWE)},
      {"corner", {50, 120}, false, HTBOTTOMLEFT, LoadCursor(nullptr, IDC_SIZENESW)},
  };
  for (auto& c : cases) {
    bool decides = c.parent_decides;
    LRESULT hit = c.hit;
    answer = [=](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_SETCURSOR && h == top && decides) return TRUE;
      if (m == WM_NCHITTEST && h == side && hit) return hit;
      return std::nullopt;
    };
    SetCursor(cross);
    got.clear();
    InjectMouseMove(c.at.x, c.at.y);
    Pump();
    EXPECT_EQ(GetCursor(), c.want) << c.name;
  }
  // The parent is asked on behalf of the child: wParam names the window under the cursor.
  answer = nullptr;
  got.clear();
  InjectMouseMove(60, 30);
  Pump();
  ASSERT_EQ(Msgs({WM_SETCURSOR}), (Seq{"edit:WM_SETCURSOR", "top:WM_SETCURSOR"}));
  EXPECT_EQ(First({WM_SETCURSOR})->wp, reinterpret_cast<WPARAM>(edit));
  EXPECT_EQ(First({WM_SETCURSOR})->lp, MAKELPARAM(WORD(HTCLIENT), WORD(WM_MOUSEMOVE)));
  for (HWND h : {edit, side}) DestroyWindow(h);
  UnregisterClass("InputTestEdit", nullptr);
}

TEST_F(InputTest, CaptureGetsEveryMouseMessageAsAClientMessage) {
  HWND w = Named("w", WS_POPUP | WS_BORDER | WS_VISIBLE, {0, 0, 100, 100});
  HWND other = Named("other", WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  EXPECT_EQ(SetCapture(w), nullptr);
  EXPECT_EQ(GetCapture(), w);
  got.clear();
  InjectMouseMove(250, 50);  // over another window
  Pump();
  InjectMouseButton(MouseButton::Left, true, 500, 300);  // over nothing
  InjectMouseMove(0, 50);                                // over its own frame
  Pump();
  EXPECT_EQ(Msgs({WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEACTIVATE, WM_MOUSEMOVE, WM_NCMOUSEMOVE,
                  WM_LBUTTONDOWN}),
            (Seq{"w:WM_MOUSEMOVE", "w:WM_MOUSEMOVE", "w:WM_LBUTTONDOWN", "w:WM_MOUSEMOVE"}));
  std::vector<POINT> at;
  for (auto& g : got)
    if (g.msg == WM_MOUSEMOVE || g.msg == WM_LBUTTONDOWN) at.push_back(Pt(g.lp));
  EXPECT_EQ(at, (std::vector<POINT>{{249, 49}, {499, 299}, {499, 299}, {-1, 49}}));
  EXPECT_EQ(First({WM_LBUTTONDOWN})->wp, MK_LBUTTON);
  InjectMouseButton(MouseButton::Left, false, 0, 50);
  Pump();

  // Moving the capture tells the window losing it; so does releasing it.
  got.clear();
  EXPECT_EQ(SetCapture(other), w);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(Msgs({WM_CAPTURECHANGED}), (Seq{"w:WM_CAPTURECHANGED", "other:WM_CAPTURECHANGED"}));
  EXPECT_EQ(got[0].lp, reinterpret_cast<LPARAM>(other));
  EXPECT_EQ(got[1].lp, 0);

  // A window that goes lets go of the capture between WM_DESTROY and WM_NCDESTROY.
  SetCapture(other);
  got.clear();
  DestroyWindow(other);
  EXPECT_EQ(Msgs({WM_CAPTURECHANGED, WM_DESTROY, WM_NCDESTROY}),
            (Seq{"other:WM_DESTROY", "other:WM_CAPTURECHANGED", "other:WM_NCDESTROY"}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetCapture(reinterpret_cast<HWND>(0x7654321)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTheTimeAndTheDistance) {
  WNDCLASSEX wc;
  wc.lpszClassName = "InputTestPlain";
  wc.lpfnWndProc = RecordingProc;
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND dbl = Named("dbl", WS_POPUP | WS_CAPTION | WS_VISIBLE, {0, 0, 200, 150});
  HWND plain = Named("plain", WS_POPUP | WS_CAPTION | WS_VISIBLE, {300, 0, 500, 150}, nullptr, 0,
                     "InputTestPlain");
  struct Case {
    const char* name;
    POINT first;
    int dx, dy;
    DWORD wait;
    MouseButton button;
    UINT want;
  } cases[] = {
      {"at once", {100, 100}, 0, 0, 0, MouseButton::Left, WM_LBUTTONDBLCLK},
      {"just in time", {100, 100}, 0, 0, 500, MouseButton::Left, WM_LBUTTONDBLCLK},
      {"too late", {100, 100}, 0, 0, 501, MouseButton::Left, WM_LBUTTONDOWN},
      {"two pixels off", {100, 100}, 2, -2, 100, MouseButton::Left, WM_LBUTTONDBLCLK},
      {"three pixels across", {100, 100}, 3, 0, 100, MouseButton::Left, WM_LBUTTONDOWN},
      {"three pixels down", {100, 100}, 0, 3, 100, MouseButton::Left, WM_LBUTTONDOWN},
      {"right button", {100, 100}, 0, 0, 100, MouseButton::Right, WM_RBUTTONDBLCLK},
      {"class without CS_DBLCLKS", {400, 100}, 0, 0, 100, MouseButton::Left, WM_LBUTTONDOWN},
      {"its frame still has them", {400, 10}, 0, 0, 100, MouseButton::Left, WM_NCLBUTTONDBLCLK},
  };
  for (auto& c : cases) {
    AdvanceClock(10000);
    Click(c.first.x, c.first.y, c.button);
    AdvanceClock(c.wait);
    got.clear();
    Click(c.first.x + c.dx, c.first.y + c.dy, c.button);
    const Got* g = First(kPresses);
    ASSERT_NE(g, nullptr) << c.name;
    EXPECT_EQ(MsgName(g->msg), MsgName(c.want)) << c.name;
  }

  // A double click ends the sequence; the click after it is a plain one.
  AdvanceClock(10000);
  Click(50, 50);
  Click(50, 50);
  got.clear();
  Click(50, 50);
  EXPECT_EQ(Msgs(kPresses), Seq{"dbl:WM_LBUTTONDOWN"});

  // The time is a setting; 0 restores the default.
  SetDoubleClickTime(200);
  AdvanceClock(10000);
  Click(50, 50);
  AdvanceClock(300);
  got.clear();
  Click(50, 50);
  EXPECT_EQ(Msgs(kPresses), Seq{"dbl:WM_LBUTTONDOWN"});
  SetDoubleClickTime(0);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  (void)dbl;
  DestroyWindow(plain);
  UnregisterClass("InputTestPlain", nullptr);
}

TEST_F(InputTest, AMouseHookSeesMessagesFirstAndMayDropThem) {
  static std::vector<MOUSEHOOKSTRUCT> seen;
  static std::vector<WPARAM> seen_msg;
  seen.clear();
  seen_msg.clear();
  auto hook = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    seen_msg.push_back(wp);
    seen.push_back(*reinterpret_cast<MOUSEHOOKSTRUCT*>(lp));
    if (code == HC_ACTION && wp == WM_LBUTTONDOWN) return 1;
    return CallNextHookEx(nullptr, code, wp, lp);
  };
  HWND top = Named("top", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND kid = Named("kid", WS_CHILD | WS_VISIBLE, {50, 50, 150, 150}, top);
  HWND other = Named("other", WS_POPUP | WS_VISIBLE, {300, 0, 400, 100});
  SetActiveWindow(other);
  // The CBT hook is told of the click the mouse hook dropped, and of nothing else.
  static std::vector<WPARAM> skipped;
  skipped.clear();
  auto cbt = [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    if (code == HCBT_CLICKSKIPPED) skipped.push_back(wp);
    return CallNextHookEx(nullptr, code, wp, lp);
  };
  HHOOK c = SetWindowsHookEx(WH_CBT, cbt, nullptr, GetCurrentThreadId());
  HHOOK h = SetWindowsHookEx(WH_MOUSE, hook, nullptr, GetCurrentThreadId());
  InjectMouseMove(60, 70);
  Pump();
  got.clear();
  seen.clear();
  seen_msg.clear();
  Click(60, 70);
  UnhookWindowsHookEx(h);
  UnhookWindowsHookEx(c);
  EXPECT_EQ(skipped, (std::vector<WPARAM>{WM_LBUTTONDOWN}));
  // The dropped press activates nothing and sets no cursor; the release arrives.
  EXPECT_EQ(Msgs({WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (Seq{"kid:WM_SETCURSOR", "top:WM_SETCURSOR", "kid:WM_LBUTTONUP"}));
  EXPECT_EQ(GetActiveWindow(), other);
  ASSERT_EQ(seen_msg, (std::vector<WPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(seen[0].hwnd, kid);
  EXPECT_EQ(seen[0].wHitTestCode, UINT(HTCLIENT));
  EXPECT_EQ(seen[0].pt, (POINT{60, 70}));  // the screen position
}

TEST_F(InputTest, TrackMouseEventReportsLeavingAndHovering) {
  // A caption frame (a dialog frame and the caption): the client area starts at (3, 22).
  HWND w = Named("w", WS_POPUP | WS_CAPTION | WS_VISIBLE, {0, 0, 200, 150});
  auto track = [w](DWORD flags, DWORD time = HOVER_DEFAULT) {
    TRACKMOUSEEVENT t;
    t.dwFlags = flags;
    t.hwndTrack = w;
    t.dwHoverTime = time;
    return TrackMouseEvent(&t);
  };
  auto query = [] {
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_QUERY;
    EXPECT_TRUE(TrackMouseEvent(&t));
    return t;
  };
  auto move = [](int x, int y) {
    InjectMouseMove(x, y);
    Pump();
  };
  const std::vector<UINT> kTrack = {WM_MOUSEHOVER, WM_MOUSELEAVE, WM_NCMOUSEHOVER, WM_NCMOUSELEAVE};
  move(100, 100);
  ASSERT_TRUE(track(TME_LEAVE | TME_HOVER));
  TRACKMOUSEEVENT q = query();
  EXPECT_EQ(q.dwFlags, TME_LEAVE | TME_HOVER);
  EXPECT_EQ(q.hwndTrack, w);
  EXPECT_EQ(q.dwHoverTime, 400u);

  // Hover: the cursor stays within the hover rectangle for the hover time; once.
  got.clear();
  AdvanceClock(300);
  move(101, 101);
  AdvanceClock(99);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{});
  AdvanceClock(1);
  Pump();
  ASSERT_EQ(Msgs(kTrack), Seq{"w:WM_MOUSEHOVER"});
  EXPECT_EQ(Pt(First({WM_MOUSEHOVER})->lp), (POINT{98, 79}));
  AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{"w:WM_MOUSEHOVER"});
  EXPECT_EQ(query().dwFlags, TME_LEAVE);

  // Leaving the rectangle starts the wait again.
  got.clear();
  track(TME_HOVER, 100);
  AdvanceClock(60);
  move(110, 101);
  AdvanceClock(60);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{});
  AdvanceClock(40);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{"w:WM_MOUSEHOVER"});

  // Leaving the client area for the frame ends the tracking.
  got.clear();
  move(100, 10);
  EXPECT_EQ(Msgs(kTrack), Seq{"w:WM_MOUSELEAVE"});
  EXPECT_EQ(query().dwFlags, 0u);

  // The frame is tracked on its own; off the window it is left.
  got.clear();
  track(TME_LEAVE | TME_NONCLIENT);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{});
  move(600, 600);
  EXPECT_EQ(Msgs(kTrack), Seq{"w:WM_NCMOUSELEAVE"});

  // Asked while not over the window, the leave is immediate; a cancelled tracking says nothing.
  got.clear();
  track(TME_LEAVE);
  Pump();
  EXPECT_EQ(Msgs(kTrack), Seq{"w:WM_MOUSELEAVE"});
  move(100, 100);
  got.clear();
  track(TME_LEAVE);
  track(TME_LEAVE | TME_CANCEL);
  move(600, 600);
  EXPECT_EQ(Msgs(kTrack), Seq{});

  TRACKMOUSEEVENT bad;
  bad.cbSize = 4;
  EXPECT_FALSE(TrackMouseEvent(&bad));
}

TEST_F(InputTest, KeysGoToTheFocusWindowWithWindowsParameters) {
  HWND top = Named("top", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, top);
  SetFocus(edit);
  struct Key {
    UINT vk, scan;
    bool down;
  };
  auto type = [](std::initializer_list<Key> keys) {
    got.clear();
    for (auto& k : keys) InjectKey(k.vk, k.scan, k.down);
    Pump();
    Seq out;
    for (auto& g : got) {
      if (g.msg < WM_KEYFIRST || g.msg > WM_KEYLAST) continue;
      char buf[80];
      std::snprintf(buf, sizeof buf, "%s:%s %X %08X", Name(g.hwnd).c_str(), MsgName(g.msg).c_str(),
                    unsigned(g.wp), unsigned(g.lp));
      out.push_back(buf);
    }
    return out;
  };
  const UINT A = 0x1E, F = 0x21, ALT = 0x38, SHIFT = 0x2A, KEY2 = 0x03;
  EXPECT_EQ(
      type({{'A', A, true}, {'A', A, true}, {'A', A, false}}),
      (Seq{"edit:WM_KEYDOWN 41 001E0001", "edit:WM_CHAR 61 001E0001", "edit:WM_KEYDOWN 41 401E0001",
           "edit:WM_CHAR 61 401E0001", "edit:WM_KEYUP 41 C01E0001"}));
  EXPECT_EQ(
      type({{VK_SHIFT, SHIFT, true},
            {'2', KEY2, true},
            {'2', KEY2, false},
            {VK_SHIFT, SHIFT, false}}),
      (Seq{"edit:WM_KEYDOWN 10 002A0001", "edit:WM_KEYDOWN 32 00030001", "edit:WM_CHAR 40 00030001",
           "edit:WM_KEYUP 32 C0030001", "edit:WM_KEYUP 10 C02A0001"}));
  // With Alt: system keys and characters; Alt let go after a combination is a plain key up,
  // on its own a system one.
  EXPECT_EQ(type({{VK_MENU, ALT, true}, {'F', F, true}, {'F', F, false}, {VK_MENU, ALT, false}}),
            (Seq{"edit:WM_SYSKEYDOWN 12 20380001", "edit:WM_SYSKEYDOWN 46 20210001",
                 "edit:WM_SYSCHAR 66 20210001", "edit:WM_SYSKEYUP 46 E0210001",
                 "edit:WM_KEYUP 12 C0380001"}));
  EXPECT_EQ(type({{VK_MENU, ALT, true}, {VK_MENU, ALT, false}, {VK_F10, 0x44, true}}),
            (Seq{"edit:WM_SYSKEYDOWN 12 20380001", "edit:WM_SYSKEYUP 12 E0380001",
                 "edit:WM_SYSKEYDOWN 79 00440001"}));
  InjectKey(VK_F10, 0x44, false);
  Pump();
  // With no focus, the active window gets the keys as system keys.
  SetFocus(nullptr);
  EXPECT_EQ(type({{'A', A, true}}),
            (Seq{"top:WM_SYSKEYDOWN 41 001E0001", "top:WM_SYSCHAR 61 001E0001"}));
  InjectKey('A', A, false);
  Pump();

  // GetKeyState follows the messages retrieved, GetAsyncKeyState the keys injected.
  SetFocus(edit);
  InjectKey(VK_SHIFT, SHIFT, true);
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Pump();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
  EXPECT_GE(GetKeyState(VK_RSHIFT), 0);
  InjectKey(VK_SHIFT, SHIFT, false);
  InjectKey(VK_CAPITAL, 0x3A, true);
  InjectKey(VK_CAPITAL, 0x3A, false);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);  // up and toggled on
  EXPECT_EQ(type({{'Q', 0x10, true}}),
            (Seq{"edit:WM_KEYDOWN 51 00100001", "edit:WM_CHAR 51 00100001"}));
  BYTE state[256];
  ASSERT_TRUE(GetKeyboardState(state));
  EXPECT_EQ(state[UINT('Q')] & 0x80, 0x80);
}

TEST_F(InputTest, CharactersOfTheUsLayout) {
  enum { S = 1, C = 2, L = 4, A = 8 };  // shift, ctrl, caps lock, alt
  struct Case {
    UINT vk;
    int mods;
    WCHAR want;  // 0: none
  } cases[] = {
      {'A', 0, 'a'},
      {'A', S, 'A'},
      {'A', L, 'A'},
      {'A', S | L, 'a'},
      {'1', S, '!'},
      {'1', L, '1'},
      {VK_OEM_7, S, '"'},
      {VK_OEM_2, 0, '/'},
      {'A', C, 0x01},
      {'Z', C | S, 0x1A},
      {VK_OEM_4, C, 0x1B},
      {'1', C, 0},
      {VK_RETURN, 0, '\r'},
      {VK_RETURN, C, '\n'},
      {VK_BACK, C, 0x7F},
      {VK_LEFT, 0, 0},
      {VK_NUMPAD0 + 5, 0, '5'},
      {VK_SPACE, S, ' '},
      {'A', A, 'a'},
      {'A', C | A, 0},
  };
  for (auto& c : cases) {
    BYTE state[256] = {};
    if (c.mods & S) state[VK_SHIFT] = 0x80;
    if (c.mods & C) state[VK_CONTROL] = 0x80;
    if (c.mods & A) state[VK_MENU] = 0x80;
    if (c.mods & L) state[VK_CAPITAL] = 0x01;
    WCHAR out[2] = {};
    int n = ToUnicode(c.vk, 0, state, out, 2, 0);
    EXPECT_EQ(n, c.want ? 1 : 0) << c.vk << " " << c.mods;
    if (c.want) { EXPECT_EQ(out[0], c.want) << c.vk << " " << c.mods; }
  }
}

TEST_F(InputTest, TextAndTheWheelGoToTheFocusWindow) {
  HWND top = Named("top", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND edit = Named("edit", WS_CHILD | WS_VISIBLE, {10, 10, 110, 60}, top);
  SetFocus(edit);
  got.clear();
  const char32_t text[] = {U'中', U'\U0001F600'};
  InjectText(text, 2);
  InjectMouseWheel(-WHEEL_DELTA, 150, 150);  // over the parent: the focus still gets it
  Pump();
  EXPECT_EQ(Msgs({WM_CHAR, WM_MOUSEWHEEL}),
            (Seq{"edit:WM_CHAR", "edit:WM_CHAR", "edit:WM_CHAR", "edit:WM_MOUSEWHEEL",
                 "top:WM_MOUSEWHEEL"}));  // the default passes the wheel to the parent
  std::vector<WPARAM> chars;
  for (auto& g : got)
    if (g.msg == WM_CHAR) chars.push_back(g.wp);
  EXPECT_EQ(chars, (std::vector<WPARAM>{0x4E2D, 0xD83D, 0xDE00}));
  const Got* wheel = First({WM_MOUSEWHEEL});
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wp), -WHEEL_DELTA);
  EXPECT_EQ(Pt(wheel->lp), (POINT{150, 150}));  // screen coordinates
}

TEST_F(InputTest, CursorsArePositionedShownAndLoadedAsData) {
  HWND w = Named("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  got.clear();
  EXPECT_TRUE(SetCursorPos(50, 60));
  POINT pt;
  ASSERT_TRUE(GetCursorPos(&pt));
  EXPECT_EQ(pt, (POINT{50, 60}));
  Pump();
  ASSERT_EQ(Msgs({WM_MOUSEMOVE}), Seq{"w:WM_MOUSEMOVE"});
  EXPECT_EQ(Pt(First({WM_MOUSEMOVE})->lp), (POINT{50, 60}));
  SetCursorPos(-5, 5000);  // the cursor stays on the screen
  GetCursorPos(&pt);
  EXPECT_EQ(pt, (POINT{0, GetSystemMetrics(SM_CYSCREEN) - 1}));

  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW), hand = LoadCursor(nullptr, IDC_HAND);
  EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), hand);
  EXPECT_EQ(LoadCursor(reinterpret_cast<HINSTANCE>(1), "Custom"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);

  SetCursor(arrow);
  EXPECT_EQ(SetCursor(hand), arrow);
  EXPECT_EQ(SetCursor(nullptr), hand);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(w)), nullptr);  // not a cursor: no change
  EXPECT_TRUE(DestroyCursor(hand));                             // shared: it stays
  EXPECT_EQ(SetCursor(hand), nullptr);
  EXPECT_EQ(GetCursor(), hand);

  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(InputTest, ChildWindowFromPointExSkipsWhatItIsAskedTo) {
  HWND p = Named("p", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  // Stacked at the same place, top first.
  HWND hidden = Named("hidden", WS_CHILD, {10, 10, 60, 60}, p);
  HWND disabled = Named("disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED, {10, 10, 60, 60}, p);
  HWND clear = Named("clear", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, p, WS_EX_TRANSPARENT);
  HWND plain = Named("plain", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, p);
  struct Case {
    POINT at;
    UINT flags;
    HWND want;
  } cases[] = {
      {{20, 20}, CWP_ALL, hidden},
      {{20, 20}, CWP_SKIPINVISIBLE, disabled},
      {{20, 20}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED, clear},
      {{20, 20}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT, plain},
      {{100, 100}, CWP_ALL, p},
      {{300, 20}, CWP_ALL, nullptr},
  };
  for (auto& c : cases)
    EXPECT_EQ(Name(ChildWindowFromPointEx(p, c.at, c.flags)), Name(c.want))
        << c.at << " " << c.flags;
  EXPECT_EQ(ChildWindowFromPoint(p, {20, 20}), hidden);
}

}  // namespace
}  // namespace usertest
