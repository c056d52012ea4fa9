// The move and size loops of SC_MOVE and SC_SIZE driven by injected input, the other system
// commands, and minimised windows on the screen.
//
// The windows here answer WM_NCHITTEST themselves (a 4-pixel sizing border, a 24-pixel
// caption), as skinned windows do, and start the loops from WM_NCLBUTTONDOWN. A loop reads the
// queue itself, so each test hands it a script: whenever the loop finds the queue empty, the
// idle handler of the manual clock runs the next step.
#include "support/user_fixture.h"

#include <tuple>

namespace usertest {
namespace {

std::string Name(UINT m) {
  switch (m) {
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_ENTERSIZEMOVE: return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE: return "WM_EXITSIZEMOVE";
    case WM_MOVING: return "WM_MOVING";
    case WM_SIZING: return "WM_SIZING";
  }
  return MsgName(m);
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

constexpr RECT kStart{100, 100, 400, 300};

class MoveSizeTest : public UserTest {
 protected:
  struct Got {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    RECT rect;  // WM_MOVING and WM_SIZING: the rectangle proposed
  };
  static inline std::vector<Got> got;
  static inline Seq seq;  // messages of interest and hook calls, in order
  static inline std::vector<std::function<void()>> script;
  static inline std::size_t step = 0;
  // Per test: answers before the windows' own hit testing and loop starting.
  static inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;
  static inline std::map<HWND, std::string> who;

  static std::string Who(HWND h) {
    auto it = who.find(h);
    return it == who.end() ? "?" : it->second;
  }

  // A skinned window's hit test, in screen coordinates.
  static LRESULT HitTest(HWND h, POINT pt) {
    RECT r = WindowRect(h);
    bool l = pt.x < r.left + 4, rt = pt.x >= r.right - 4, t = pt.y < r.top + 4,
         b = pt.y >= r.bottom - 4;
    if (t) return l ? HTTOPLEFT : rt ? HTTOPRIGHT : HTTOP;
    if (b) return l ? HTBOTTOMLEFT : rt ? HTBOTTOMRIGHT : HTBOTTOM;
    if (l) return HTLEFT;
    if (rt) return HTRIGHT;
    return pt.y < r.top + 24 ? HTCAPTION : HTCLIENT;
  }

  static std::optional<LRESULT> Record(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    static const std::vector<UINT> kept = {
        WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_GETMINMAXINFO,     WM_ENTERSIZEMOVE,
        WM_MOVING,        WM_SIZING,     WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
        WM_MOVE,          WM_SIZE,       WM_CAPTURECHANGED,    WM_EXITSIZEMOVE,
        WM_TIMER,         WM_USER + 1,   WM_LBUTTONUP};
    Got g{h, m, wp, {}};
    if ((m == WM_MOVING || m == WM_SIZING) && lp) g.rect = *reinterpret_cast<RECT*>(lp);
    got.push_back(g);
    if (std::find(kept.begin(), kept.end(), m) != kept.end()) seq.push_back(Who(h) + ":" + Name(m));
    if (answer)
      if (auto r = answer(h, m, wp, lp)) return r;
    if (m == WM_NCHITTEST) return HitTest(h, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    if (m == WM_NCLBUTTONDOWN && (wp == HTCAPTION || (wp >= HTLEFT && wp <= HTBOTTOMRIGHT))) {
      WPARAM sc = wp == HTCAPTION ? SC_MOVE | HTCAPTION : SC_SIZE | (wp - HTLEFT + WMSZ_LEFT);
      SendMessage(h, WM_SYSCOMMAND, sc, lp);
      return 0;
    }
    return std::nullopt;
  }

  void SetUp() override {
    UserTest::SetUp();
    got.clear();
    seq.clear();
    script.clear();
    step = 0;
    who.clear();
    answer = nullptr;
    react = Record;
    quiet = {WM_NCHITTEST, WM_SETCURSOR, WM_NCMOUSEMOVE, WM_MOUSEMOVE};
    InjectMouseMove(1000, 760);  // where no window is
    Pump();
    SetIdleHandler([] {
      if (step < script.size()) script[step++]();
    });
  }
  void TearDown() override {
    answer = nullptr;
    script.clear();
    UserTest::TearDown();
  }

  HWND Named(const std::string& name, RECT r = kStart,
             DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND owner = nullptr, DWORD ex = 0) {
    HWND h = CreateWindowEx(ex, kClass, name.c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, owner, nullptr, nullptr, nullptr);
    if (h) {
      made_.push_back(h);
      who[h] = name;
    }
    return h;
  }
  static inline int quit_code = -1;  // of a WM_QUIT Pump took
  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) quit_code = int(m.wParam);
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  // Presses at `from`, then the script runs inside the loop; ends with the queue drained.
  static void Gesture(POINT from, std::vector<std::function<void()>> steps) {
    script = std::move(steps);
    step = 0;
    seq.clear();
    got.clear();
    quit_code = -1;
    AdvanceClock(1000);  // never a double click with the press before
    InjectMouseButton(MouseButton::Left, true, from.x, from.y);
    Pump();
  }
  static std::function<void()> MoveTo(int x, int y) {
    return [x, y] { InjectMouseMove(x, y); };
  }
  static std::function<void()> Release(int x, int y) {
    return [x, y] { InjectMouseButton(MouseButton::Left, false, x, y); };
  }
  static std::function<void()> Key(UINT vk) {
    return [vk] {
      InjectKey(vk, 0, true);
      InjectKey(vk, 0, false);
    };
  }
  static std::vector<RECT> Proposed(UINT msg) {
    std::vector<RECT> out;
    for (auto& g : got)
      if (g.msg == msg) out.push_back(g.rect);
    return out;
  }
  static int Count(const std::string& what) {
    return int(std::count(seq.begin(), seq.end(), what));
  }
};

// A drag by the caption: the messages in Windows' order, the window following each move with
// the cursor over the point it grabbed, and the press's release ending it.
TEST_F(MoveSizeTest, DraggingTheCaptionMovesTheWindowLive) {
  HWND w = Named("w");
  static std::vector<RECT> at_move;
  at_move.clear();
  answer = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOVE) at_move.push_back(WindowRect(h));
    return std::nullopt;
  };
  static HHOOK cbt;
  cbt = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_MOVESIZE) {
          seq.push_back(Who(reinterpret_cast<HWND>(wp)) + ":HCBT_MOVESIZE");
          EXPECT_EQ(*reinterpret_cast<RECT*>(lp), kStart);
        }
        return CallNextHookEx(cbt, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  Gesture({150, 110}, {MoveTo(180, 150), MoveTo(200, 130), Release(200, 130)});
  UnhookWindowsHookEx(cbt);

  EXPECT_EQ(
      seq, (Seq{"w:WM_NCLBUTTONDOWN", "w:WM_SYSCOMMAND", "w:WM_GETMINMAXINFO", "w:HCBT_MOVESIZE",
                "w:WM_ENTERSIZEMOVE", "w:WM_MOVING", "w:WM_WINDOWPOSCHANGING",
                "w:WM_WINDOWPOSCHANGED", "w:WM_MOVE", "w:WM_MOVING", "w:WM_WINDOWPOSCHANGING",
                "w:WM_WINDOWPOSCHANGED", "w:WM_MOVE", "w:WM_CAPTURECHANGED", "w:WM_EXITSIZEMOVE"}));
  EXPECT_EQ(Proposed(WM_MOVING), (std::vector<RECT>{{130, 140, 430, 340}, {150, 120, 450, 320}}));
  EXPECT_EQ(at_move, (std::vector<RECT>{{130, 140, 430, 340}, {150, 120, 450, 320}}));
  for (auto& g : got)
    if (g.msg == WM_SYSCOMMAND) { EXPECT_EQ(g.wp, SC_MOVE | HTCAPTION); }
  EXPECT_EQ(GetCapture(), nullptr);

  // The window is at rest: the next press on its caption starts a new drag from there.
  Gesture({160, 125}, {MoveTo(100, 100), Release(100, 100)});
  EXPECT_EQ(WindowRect(w), (RECT{90, 95, 390, 295}));
}

// The same through the default procedure's own hit codes and WM_NCLBUTTONDOWN: the classic
// frame's caption moves the window, its sizing border sizes it.
TEST_F(MoveSizeTest, TheDefaultFrameStartsTheLoops) {
  HWND w = Named("w");
  answer = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_NCHITTEST || m == WM_NCLBUTTONDOWN) return DefWindowProc(h, m, wp, lp);
    return std::nullopt;
  };
  Gesture({250, 110}, {MoveTo(270, 140), Release(270, 140)});
  EXPECT_EQ(WindowRect(w), (RECT{120, 130, 420, 330}));
  Gesture({419, 329}, {MoveTo(439, 339), Release(439, 339)});
  EXPECT_EQ(WindowRect(w), (RECT{120, 130, 440, 340}));
  Gesture({121, 200}, {MoveTo(101, 200), Release(101, 200)});
  EXPECT_EQ(WindowRect(w), (RECT{100, 130, 440, 340}));
  EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1);

  // A whole gesture waiting in the queue before the loop starts is the loop's.
  AdvanceClock(1000);
  InjectMouseButton(MouseButton::Left, true, 250, 140);
  InjectMouseMove(260, 150);
  InjectMouseMove(300, 200);
  InjectMouseButton(MouseButton::Left, false, 300, 200);
  Pump();
  EXPECT_EQ(WindowRect(w), (RECT{150, 190, 490, 400}));
  EXPECT_EQ(GetCapture(), nullptr);

  // A child window with a caption is dragged within its parent's client area only.
  HWND c = Named("c", {20, 20, 120, 100}, WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, w);
  RECT client;
  GetClientRect(w, &client);
  POINT o{0, 0};
  ClientToScreen(w, &o);
  RECT cr = WindowRect(c);
  POINT grab{cr.left + 30, cr.top + 10};
  Gesture(grab, {MoveTo(1000, 700), Release(1000, 700)});
  EXPECT_EQ(WindowRect(c).left - cr.left, o.x + client.right - 1 - grab.x);
  EXPECT_EQ(WindowRect(c).top - cr.top, o.y + client.bottom - 1 - grab.y);
}

// A caption drawn by a child window: its press gives up the capture and hands the form
// WM_NCLBUTTONDOWN with HTCAPTION, and the default procedure drags the form from the point
// pressed. Maximised, the form is not dragged.
TEST_F(MoveSizeTest, AChildCaptionDragsItsForm) {
  HWND form = Named("form", kStart, WS_POPUP | WS_THICKFRAME | WS_VISIBLE);
  HWND bar = Named("bar", {0, 0, 292, 20}, WS_CHILD | WS_VISIBLE, form);
  static HWND form_h, bar_h;
  form_h = form;
  bar_h = bar;
  answer = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (h == bar_h && m == WM_NCHITTEST) return HTCLIENT;
    if (h == bar_h && m == WM_LBUTTONDOWN) {
      ReleaseCapture();
      SendMessage(form_h, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return 0;
    }
    if (h == form_h && m == WM_NCLBUTTONDOWN) return DefWindowProc(h, m, wp, lp);
    return std::nullopt;
  };
  Gesture({200, 110}, {MoveTo(230, 150), Release(230, 150)});
  EXPECT_EQ(WindowRect(form), (RECT{130, 140, 430, 340}));
  EXPECT_EQ(Count("form:WM_EXITSIZEMOVE"), 1);
  EXPECT_EQ(Count("bar:WM_LBUTTONUP"), 0);  // the release was the loop's

  ShowWindow(form, SW_MAXIMIZE);
  RECT maximised = WindowRect(form);
  Gesture({200, 10}, {});
  InjectMouseMove(260, 60);
  InjectMouseButton(MouseButton::Left, false, 260, 60);
  Pump();
  EXPECT_EQ(WindowRect(form), maximised);
  EXPECT_EQ(Count("form:WM_ENTERSIZEMOVE"), 0);
}

// Inside the loop the program goes on: timers and posted messages are dispatched, the message
// filter sees every message first (and may eat it); the CBT hook may refuse the loop.
TEST_F(MoveSizeTest, HooksTimersAndPostedMessagesKeepFlowing) {
  HWND w = Named("w");
  static std::vector<int> codes;
  static std::vector<UINT> filtered;
  codes.clear();
  filtered.clear();
  static HHOOK filter;
  filter = SetWindowsHookEx(
      WH_MSGFILTER,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* m = reinterpret_cast<MSG*>(lp);
        codes.push_back(code);
        filtered.push_back(m->message);
        if (m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE) return 1;  // eaten: no cancel
        return CallNextHookEx(filter, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  SetTimer(w, 7, 50, nullptr);
  Timer(w, 7);
  Gesture({150, 110},
          {MoveTo(170, 120), [] { AdvanceClock(60); }, [w] { PostMessage(w, WM_USER + 1, 0, 0); },
           Key(VK_ESCAPE), Release(170, 120)});
  UnhookWindowsHookEx(filter);
  KillTimer(w, 7);

  auto enter = std::find(seq.begin(), seq.end(), "w:WM_ENTERSIZEMOVE");
  auto exit = std::find(seq.begin(), seq.end(), "w:WM_EXITSIZEMOVE");
  ASSERT_NE(exit, seq.end());
  EXPECT_NE(std::find(enter, exit, "w:WM_TIMER"), exit);
  EXPECT_NE(std::find(enter, exit, "w:WM_USER+1"), exit);
  EXPECT_EQ(WindowRect(w), (RECT{120, 110, 420, 310}));  // Escape never reached the loop
  EXPECT_FALSE(codes.empty());
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](int c) { return c == MSGF_MOVE; }));
  for (UINT m : {WM_MOUSEMOVE, WM_TIMER, WM_USER + 1, WM_KEYDOWN, WM_LBUTTONUP})
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), m), filtered.end()) << m;

  // Sizing passes MSGF_SIZE.
  codes.clear();
  filter = SetWindowsHookEx(
      WH_MSGFILTER,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        codes.push_back(code);
        return CallNextHookEx(filter, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  Gesture({419, 200}, {MoveTo(429, 200), Release(429, 200)});
  UnhookWindowsHookEx(filter);
  EXPECT_EQ(WindowRect(w), (RECT{120, 110, 430, 310}));
  ASSERT_FALSE(codes.empty());
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](int c) { return c == MSGF_SIZE; }));

  static HHOOK cbt;
  cbt = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_MOVESIZE) return 1;
        return CallNextHookEx(cbt, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  Gesture({150, 115}, {});
  InjectMouseMove(300, 300);
  InjectMouseButton(MouseButton::Left, false, 300, 300);
  Pump();
  UnhookWindowsHookEx(cbt);
  EXPECT_EQ(Count("w:WM_ENTERSIZEMOVE"), 0);
  EXPECT_EQ(WindowRect(w), (RECT{120, 110, 430, 310}));
  EXPECT_EQ(GetCapture(), nullptr);
}

// Each edge and corner moves its own sides by the cursor's travel; WM_SIZING names it.
TEST_F(MoveSizeTest, SizingFromEachEdgeAndCorner) {
  HWND w = Named("w");
  struct Case {
    POINT grab;
    WPARAM edge;
    RECT want;
  } cases[] = {
      {{101, 200}, WMSZ_LEFT, {125, 100, 400, 300}},
      {{398, 200}, WMSZ_RIGHT, {100, 100, 425, 300}},
      {{250, 101}, WMSZ_TOP, {100, 115, 400, 300}},
      {{250, 298}, WMSZ_BOTTOM, {100, 100, 400, 315}},
      {{101, 101}, WMSZ_TOPLEFT, {125, 115, 400, 300}},
      {{398, 101}, WMSZ_TOPRIGHT, {100, 115, 425, 300}},
      {{101, 298}, WMSZ_BOTTOMLEFT, {125, 100, 400, 315}},
      {{398, 298}, WMSZ_BOTTOMRIGHT, {100, 100, 425, 315}},
  };
  for (const Case& c : cases) {
    MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
    int x = c.grab.x + 25, y = c.grab.y + 15;
    Gesture(c.grab, {MoveTo(x, y), Release(x, y)});
    EXPECT_EQ(WindowRect(w), c.want) << c.edge;
    EXPECT_EQ(Proposed(WM_SIZING), (std::vector<RECT>{c.want})) << c.edge;
    std::vector<WPARAM> edges;
    for (auto& g : got)
      if (g.msg == WM_SIZING || g.msg == WM_SYSCOMMAND) edges.push_back(g.wp);
    EXPECT_EQ(edges, (std::vector<WPARAM>{SC_SIZE | c.edge, c.edge})) << c.edge;
    EXPECT_EQ(Count("w:WM_SIZE"), 1) << c.edge;
    EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1) << c.edge;
  }
  // A window without a sizing frame is not sized, whatever it answers to WM_NCHITTEST.
  HWND fixed = Named("fixed", {500, 100, 700, 300}, WS_POPUP | WS_CAPTION | WS_VISIBLE);
  Gesture({698, 200}, {MoveTo(720, 200), Release(720, 200)});
  EXPECT_EQ(WindowRect(fixed), (RECT{500, 100, 700, 300}));
  EXPECT_EQ(Count("fixed:WM_ENTERSIZEMOVE"), 0);
}

// WM_GETMINMAXINFO's tracking sizes hold the dragged edges (the opposite ones stay), the edge
// picks up again only when the cursor is back over the point it grabbed, and what the window
// does to the WM_SIZING rectangle is kept.
TEST_F(MoveSizeTest, TrackingSizesAndTheWindowsOwnChangesHoldSizing) {
  HWND w = Named("w");
  answer = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = {150, 100};
      mmi->ptMaxTrackSize = {320, 220};
      return 0;
    }
    return std::nullopt;
  };
  Gesture({398, 298}, {MoveTo(598, 498), MoveTo(408, 308), Release(408, 308)});
  EXPECT_EQ(Proposed(WM_SIZING), (std::vector<RECT>{{100, 100, 420, 320}, {100, 100, 410, 310}}));
  EXPECT_EQ(WindowRect(w), (RECT{100, 100, 410, 310}));

  MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
  Gesture({101, 101}, {MoveTo(351, 351), Release(351, 351)});
  EXPECT_EQ(WindowRect(w), (RECT{250, 200, 400, 300}));

  // The window keeps its width a multiple of 50.
  answer = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_SIZING) {
      auto* rc = reinterpret_cast<RECT*>(lp);
      rc->right = rc->left + (rc->right - rc->left) / 50 * 50;
      return TRUE;
    }
    return std::nullopt;
  };
  MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
  Gesture({398, 200}, {MoveTo(437, 200), Release(437, 200)});
  EXPECT_EQ(WindowRect(w), (RECT{100, 100, 400, 300}));
  Gesture({398, 200}, {MoveTo(452, 200), Release(452, 200)});
  EXPECT_EQ(WindowRect(w), (RECT{100, 100, 450, 300}));
}

// Escape puts the window back where the loop found it, moved or sized.
TEST_F(MoveSizeTest, EscapeRestoresTheStartingRectangle) {
  HWND w = Named("w");
  for (POINT grab : {POINT{150, 110}, POINT{398, 298}}) {
    MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
    Gesture(grab,
            {MoveTo(grab.x + 40, grab.y + 30), MoveTo(grab.x + 60, grab.y + 50), Key(VK_ESCAPE)});
    EXPECT_EQ(WindowRect(w), kStart) << grab;
    EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1) << grab;
    InjectMouseButton(MouseButton::Left, false, 250, 200);
    Pump();
    EXPECT_EQ(seq.back(), "w:WM_LBUTTONUP") << grab;  // the release comes after the loop
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

// Without a mouse the arrows move the cursor 8 pixels at a time and the window with it; for
// sizing the first arrow takes an edge and one across it makes a corner. Enter keeps the
// result, Escape does not.
TEST_F(MoveSizeTest, KeyboardMovesAndSizes) {
  HWND w = Named("w");
  SetActiveWindow(w);
  const int caption_y = 100 + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  POINT pt{};
  script = {[&pt] {
              GetCursorPos(&pt);
              Key(VK_RIGHT)();
            },
            Key(VK_RIGHT), Key(VK_DOWN),
            [] {  // the mouse moves it too
              POINT p;
              GetCursorPos(&p);
              InjectMouseMove(p.x - 4, p.y + 5);
            },
            Key(VK_RETURN)};
  SendMessage(w, WM_SYSCOMMAND, SC_MOVE, 0);
  EXPECT_EQ(pt, (POINT{250, caption_y}));  // the middle of the caption
  EXPECT_EQ(WindowRect(w), (RECT{112, 113, 412, 313}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1);

  MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
  script = {Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_DOWN), Key(VK_DOWN), [&pt] {
              GetCursorPos(&pt);
              Key(VK_RETURN)();
            }};
  step = 0;
  SendMessage(w, WM_SYSCOMMAND, SC_SIZE, 0);
  EXPECT_EQ(WindowRect(w), (RECT{100, 100, 408, 308}));
  EXPECT_EQ(pt, (POINT{407, 307}));  // on the corner it drags

  seq.clear();
  script = {Key(VK_LEFT), Key(VK_UP), Key(VK_UP), Key(VK_ESCAPE)};
  step = 0;
  SendMessage(w, WM_SYSCOMMAND, SC_SIZE, 0);
  EXPECT_EQ(WindowRect(w), (RECT{100, 100, 408, 308}));
  EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1);
}

// The loop also ends when the window loses the capture, however that happens, when WM_QUIT
// comes (it is posted again for the program's loop), and when the release never reaches it.
// The window stays where the last move put it.
TEST_F(MoveSizeTest, TheLoopEndsCleanlyWithoutItsRelease) {
  HWND w = Named("w");
  HWND other = Named("other", {600, 100, 800, 300});
  static HHOOK mouse;
  struct Case {
    const char* what;
    std::function<void()> end;
  } cases[] = {
      {"capture taken",
       [other] {
         SetCapture(other);
         InjectMouseMove(250, 250);
       }},
      {"capture taken while sizing",
       [other] {
         SetCapture(other);
         InjectMouseMove(250, 250);
       }},
      {"cancel mode",
       [w] {
         SendMessage(w, WM_CANCELMODE, 0, 0);
         InjectMouseMove(250, 250);
       }},
      {"capture released",
       [] {
         ReleaseCapture();
         InjectMouseMove(250, 250);
       }},
      {"quit",
       [] {
         PostQuitMessage(5);
         InjectMouseMove(250, 250);
       }},
      {"release dropped by a hook",
       [] {
         mouse = SetWindowsHookEx(
             WH_MOUSE,
             [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
               if (wp == WM_LBUTTONUP) return 1;
               return CallNextHookEx(mouse, code, wp, lp);
             },
             nullptr, GetCurrentThreadId());
         InjectMouseButton(MouseButton::Left, false, 170, 120);
         InjectMouseMove(175, 125);
       }},
  };
  for (const Case& c : cases) {
    MoveWindow(w, kStart.left, kStart.top, RectWidth(kStart), RectHeight(kStart), TRUE);
    mouse = nullptr;
    const bool sizing = std::string(c.what).find("sizing") != std::string::npos;
    if (sizing)
      Gesture({398, 298}, {MoveTo(418, 308), c.end});
    else
      Gesture({150, 110}, {MoveTo(170, 120), c.end});
    if (mouse) UnhookWindowsHookEx(mouse);
    const RECT want = sizing ? RECT{100, 100, 420, 310} : RECT{120, 110, 420, 310};
    EXPECT_EQ(WindowRect(w), want) << c.what;
    EXPECT_EQ(Count("w:WM_ENTERSIZEMOVE"), 1) << c.what;
    EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 1) << c.what;
    EXPECT_NE(GetCapture(), w) << c.what;
    EXPECT_EQ(quit_code, std::string(c.what) == "quit" ? 5 : -1) << c.what;
    ReleaseCapture();
    InjectMouseButton(MouseButton::Left, false, 250, 250);
    Pump();
  }
}

// A window destroyed during its own loop ends it there: nothing more is sent to it, the
// capture is gone, and the next window's drag works.
TEST_F(MoveSizeTest, WindowDestroyedDuringItsOwnLoop) {
  struct Case {
    const char* what;
    UINT in;
    bool from_script;
  } cases[] = {
      {"in WM_GETMINMAXINFO", WM_GETMINMAXINFO, false},
      {"in WM_ENTERSIZEMOVE", WM_ENTERSIZEMOVE, false},
      {"in WM_MOVING", WM_MOVING, false},
      {"in WM_SIZING", WM_SIZING, false},
      {"in WM_WINDOWPOSCHANGED", WM_WINDOWPOSCHANGED, false},
      {"in its timer", WM_TIMER, false},
      {"between messages", 0, true},
  };
  for (const Case& c : cases) {
    HWND w = Named("w");
    static UINT kill_in;
    static HWND victim;
    kill_in = c.in;
    victim = w;
    answer = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (h == victim && m == kill_in && m != 0) {
        DestroyWindow(h);
        return 0;
      }
      return std::nullopt;
    };
    SetTimer(w, 3, 20, nullptr);
    POINT grab = c.in == WM_SIZING ? POINT{398, 298} : POINT{150, 110};
    std::vector<std::function<void()>> steps = {MoveTo(grab.x + 20, grab.y + 10),
                                                [] { AdvanceClock(30); }};
    if (c.from_script) steps.push_back([w] { DestroyWindow(w); });
    steps.push_back(MoveTo(grab.x + 40, grab.y + 20));
    steps.push_back(Release(grab.x + 40, grab.y + 20));
    Gesture(grab, steps);
    answer = nullptr;
    EXPECT_FALSE(IsWindow(w)) << c.what;
    EXPECT_EQ(GetCapture(), nullptr) << c.what;
    EXPECT_EQ(Count("w:WM_EXITSIZEMOVE"), 0) << c.what;
    InjectMouseButton(MouseButton::Left, false, grab.x + 40, grab.y + 20);
    Pump();

    HWND next = Named("next", {500, 400, 700, 600});
    Gesture({550, 410}, {MoveTo(560, 430), Release(560, 430)});
    EXPECT_EQ(WindowRect(next), (RECT{510, 420, 710, 620})) << c.what;
    DestroyWindow(next);
  }
}

// The state commands around a loop: the placement keeps the rectangle the drag left, WM_SIZE
// tells each state, a maximised window is not dragged, and a minimised one is off the screen.
TEST_F(MoveSizeTest, StatesAroundTheLoopAndMinimisedWindowsOffTheScreen) {
  display::HeadlessDisplay screen;
  HWND w = Named("w");
  static std::vector<WPARAM> sizes;
  static bool refuse_open;
  sizes.clear();
  refuse_open = false;
  answer = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SIZE) sizes.push_back(wp);
    if (m == WM_QUERYOPEN && refuse_open) return FALSE;
    return std::nullopt;
  };
  Pump();
  Gesture({150, 110}, {MoveTo(190, 140), Release(190, 140)});
  const RECT moved{140, 130, 440, 330};
  ASSERT_EQ(WindowRect(w), moved);
  const COLORREF desktop = screen.PixelAt(900, 700);
  EXPECT_NE(screen.PixelAt(300, 250), desktop);

  sizes.clear();
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  EXPECT_EQ(WindowRect(w),
            (RECT{work.left - fx, work.top - fy, work.right + fx, work.bottom + fy}));
  Gesture({300, 10}, {});
  InjectMouseMove(350, 60);
  InjectMouseButton(MouseButton::Left, false, 350, 60);
  Pump();
  EXPECT_EQ(Count("w:WM_ENTERSIZEMOVE"), 0);
  EXPECT_TRUE(IsZoomed(w));

  SendMessage(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(WindowRect(w).left, -32000);
  EXPECT_EQ(WindowRect(w).top, -32000);
  EXPECT_EQ(screen.PixelAt(300, 250), desktop);
  EXPECT_FALSE(screen.CaptureWindow(w));
  EXPECT_NE(WindowFromPoint({300, 250}), w);

  refuse_open = true;
  SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(IsIconic(w));
  refuse_open = false;
  SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);  // back to maximised, as it was minimised
  EXPECT_TRUE(IsZoomed(w));
  SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(WindowRect(w), moved);
  EXPECT_EQ(sizes,
            (std::vector<WPARAM>{SIZE_MAXIMIZED, SIZE_MINIMIZED, SIZE_MAXIMIZED, SIZE_RESTORED}));
  Pump();
  EXPECT_NE(screen.PixelAt(300, 250), desktop);

  // WM_GETMINMAXINFO's maximised size and position are where SC_MAXIMIZE puts it.
  answer = [](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_GETMINMAXINFO) return std::nullopt;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
    mmi->ptMaxSize = {500, 400};
    mmi->ptMaxPosition = {20, 30};
    return 0;
  };
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(WindowRect(w), (RECT{20, 30, 520, 430}));
}

// Minimising the active window hands activation on to the next window that is not
// minimised; with none left it stays active without the focus, and gets it back when restored.
TEST_F(MoveSizeTest, MinimisingTheActiveWindowHandsActivationOn) {
  HWND b = Named("b", {500, 100, 700, 300});
  HWND a = Named("a");
  SetActiveWindow(a);
  ASSERT_EQ(GetFocus(), a);
  SendMessage(a, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(Who(GetActiveWindow()), "b");
  EXPECT_EQ(Who(GetFocus()), "b");
  SendMessage(b, WM_SYSCOMMAND, SC_MINIMIZE, 0);  // a is minimised too: nothing to hand on to
  EXPECT_EQ(Who(GetActiveWindow()), "b");
  EXPECT_EQ(GetFocus(), nullptr);
  got.clear();
  InjectKey('X', 0x2D, true);
  InjectKey('X', 0x2D, false);
  Pump();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(Who(got[0].hwnd) + ":" + Name(got[0].msg), "b:WM_SYSKEYDOWN");  // keys without a focus
  SendMessage(b, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(Who(GetActiveWindow()), "b");
  EXPECT_EQ(Who(GetFocus()), "b");
  ShowWindow(b, SW_SHOWMINIMIZED);  // activates it, minimised, without the focus
  EXPECT_EQ(Who(GetActiveWindow()), "b");
  EXPECT_EQ(GetFocus(), nullptr);
  SendMessage(a, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(Who(GetActiveWindow()), "a");
  EXPECT_EQ(Who(GetFocus()), "a");
}

// SC_NEXTWINDOW sends the window to the bottom and activates the one below; SC_PREVWINDOW
// brings the bottom one back. Owned, tool, hidden and minimised windows are passed over.
TEST_F(MoveSizeTest, NextAndPreviousWindow) {
  HWND c = Named("c", {300, 300, 500, 500});
  HWND b = Named("b", {200, 200, 400, 400});
  HWND a = Named("a", {100, 100, 300, 300});
  Named("owned", {50, 50, 150, 150}, WS_OVERLAPPEDWINDOW | WS_VISIBLE, a);
  Named("tool", {60, 60, 160, 160}, WS_POPUP | WS_VISIBLE, nullptr, WS_EX_TOOLWINDOW);
  HWND icon = Named("icon", {70, 70, 170, 170});
  ShowWindow(icon, SW_MINIMIZE);
  Named("hidden", {80, 80, 180, 180}, WS_OVERLAPPEDWINDOW);
  SetActiveWindow(a);
  struct Step {
    WPARAM sc;
    HWND active;
  } steps[] = {
      {SC_NEXTWINDOW, b}, {SC_NEXTWINDOW, c}, {SC_NEXTWINDOW, a},
      {SC_PREVWINDOW, c}, {SC_PREVWINDOW, b}, {SC_NEXTWINDOW | 3, c},
  };
  for (const Step& s : steps) {
    HWND from = GetActiveWindow();
    SendMessage(from, WM_SYSCOMMAND, s.sc, 0);
    EXPECT_EQ(Who(GetActiveWindow()), Who(s.active)) << Who(from) << " " << s.sc;
  }
  // Alone, a window stays active.
  for (HWND h : {a, b}) DestroyWindow(h);
  SetActiveWindow(c);
  SendMessage(c, WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
  EXPECT_EQ(GetActiveWindow(), c);
}

}  // namespace
}  // namespace usertest
