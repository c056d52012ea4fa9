// Scroll bars: a window's own bars (values, showing and hiding, their information and the
// tracking loop driven by injected input on the manual clock) and the "ScrollBar" control.
//
// The tracking loop reads the queue itself, so a gesture hands it a script: whenever the loop
// finds nothing to do, the idle handler of the manual clock runs the next step (a move, a
// release, the clock moved on). A script that runs out lets the button go, so that a test that
// goes wrong ends instead of scrolling for ever.
#include "support/user_fixture.h"

#include <cstdlib>
#include <string>

namespace usertest {
namespace {

// The window used by most tests: a popup without a frame at (100, 100), 300 x 200, so its
// vertical bar is x 383..400, y 100..283 on the screen and its horizontal bar y 283..300,
// x 100..383; the arrows are 17 pixels long and the track between them 149.
constexpr RECT kPlace{100, 100, 400, 300};
constexpr DWORD kBars = WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL;

struct Scroll {
  HWND to;
  UINT msg;
  WORD code;
  int pos;  // the high word of wParam, for the thumb codes
  LPARAM lp;
  DWORD time;  // the clock when it was sent
  bool operator==(const Scroll&) const = default;
};

std::string CodeName(WORD c) {
  static const char* names[] = {"LINEUP",     "LINEDOWN", "PAGEUP", "PAGEDOWN", "THUMBPOSITION",
                                "THUMBTRACK", "TOP",      "BOTTOM", "ENDSCROLL"};
  return c < 9 ? names[c] : std::to_string(c);
}

class ScrollBarTest : public UserTest {
 protected:
  static inline std::vector<Scroll> scrolls;
  static inline std::vector<std::function<void()>> script;
  static inline std::size_t step = 0;
  // What a window does with its WM_VSCROLL / WM_HSCROLL (after it is recorded); null: nothing.
  static inline std::function<void(HWND, UINT, WPARAM, LPARAM)> on_scroll;

  static std::optional<LRESULT> Record(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_VSCROLL || m == WM_HSCROLL) {
      scrolls.push_back({h, m, LOWORD(wp), short(HIWORD(wp)), lp, GetTickCount()});
      if (on_scroll) on_scroll(h, m, wp, lp);
      return 0;
    }
    return std::nullopt;
  }

  void SetUp() override {
    UserTest::SetUp();
    scrolls.clear();
    script.clear();
    step = 0;
    on_scroll = nullptr;
    react = Record;
    quiet = {WM_NCHITTEST, WM_SETCURSOR, WM_NCMOUSEMOVE, WM_MOUSEMOVE, WM_NCMOUSELEAVE};
    InjectMouseMove(1000, 760);  // where no window is
    Pump();
    SetIdleHandler([] {
      if (step < script.size()) {
        script[step++]();
      } else if (GetKeyState(VK_LBUTTON) & 0x8000) {
        ADD_FAILURE() << "the script ran out with the button held";
        POINT p;
        GetCursorPos(&p);
        InjectMouseButton(MouseButton::Left, false, p.x, p.y);
      }
    });
  }
  void TearDown() override {
    script.clear();
    on_scroll = nullptr;
    UserTest::TearDown();
  }

  static void Pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  // Presses at `at` (screen); the steps run inside the loop; ends with the queue drained.
  static void Gesture(POINT at, std::vector<std::function<void()>> steps) {
    script = std::move(steps);
    step = 0;
    scrolls.clear();
    AdvanceClock(1000);  // never a double click with the press before
    InjectMouseMove(at.x, at.y);
    Pump();
    InjectMouseButton(MouseButton::Left, true, at.x, at.y);
    Pump();
  }
  static std::function<void()> Wait(int ms) {
    return [ms] { AdvanceClock(std::uint64_t(ms)); };
  }
  static std::function<void()> MoveTo(int x, int y) {
    return [x, y] { InjectMouseMove(x, y); };
  }
  static std::function<void()> Release(int x, int y) {
    return [x, y] { InjectMouseButton(MouseButton::Left, false, x, y); };
  }
  static std::vector<std::string> Codes() {
    std::vector<std::string> out;
    for (auto& s : scrolls) out.push_back(CodeName(s.code));
    return out;
  }

  static SCROLLINFO Info(HWND h, int bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(h, bar, &si));
    return si;
  }
  static void Set(HWND h, int bar, int min, int max, UINT page, int pos, UINT extra = 0) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
    si.nMin = min;
    si.nMax = max;
    si.nPage = page;
    si.nPos = pos;
    SetScrollInfo(h, bar, &si, TRUE);
  }
  static SCROLLBARINFO BarInfo(HWND h, LONG object) {
    SCROLLBARINFO sbi;
    EXPECT_TRUE(GetScrollBarInfo(h, object, &sbi));
    return sbi;
  }
  static RECT WindowRect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
  }
  static RECT ClientSize(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
  }
};

// ---- Values ----

// One bar through a run of calls: what each returns and leaves, and whether the bar shows.
TEST_F(ScrollBarTest, ValuesAreClippedAsWindowsClipsThem) {
  HWND h = Make(WS_POPUP | WS_VSCROLL, nullptr, "", 0, kPlace);
  EXPECT_EQ(Info(h, SB_VERT).nMax, 100);  // a window's bar starts at 0..100
  struct Case {
    const char* what;
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int ret;
    int want_min, want_max;
    UINT want_page;
    int want_pos;
    bool shown;
  } cases[] = {
      {"range", SIF_RANGE, 0, 99, 0, 0, 0, 0, 99, 0, 0, true},
      {"page", SIF_PAGE, 0, 0, 10, 0, 0, 0, 99, 10, 0, true},
      {"position past the last page", SIF_POS, 0, 0, 0, 95, 90, 0, 99, 10, 90, true},
      {"position below the range", SIF_POS, 0, 0, 0, -5, 0, 0, 99, 10, 0, true},
      {"old position asked for", SIF_POS | 0x1000 /* SetScrollPos's own */, 0, 0, 0, 30, 0, 0, 99,
       10, 30, true},
      {"a page past the range", SIF_PAGE, 0, 0, 500, 0, 0, 0, 99, 100, 0, false},
      {"a range that scrolls again", SIF_RANGE, 0, 199, 0, 0, 0, 0, 199, 100, 0, true},
      {"a maximum below the minimum", SIF_ALL, 10, 5, 3, 7, 10, 10, 10, 1, 10, false},
      {"negative range, position kept", SIF_RANGE | SIF_POS, -50, 50, 0, 20, 20, -50, 50, 1, 20,
       true},
      {"nothing asked", 0, 0, 0, 0, 0, 20, -50, 50, 1, 20, true},
  };
  for (const Case& c : cases) {
    SCROLLINFO si;
    si.fMask = c.mask;
    si.nMin = c.min;
    si.nMax = c.max;
    si.nPage = c.page;
    si.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), c.ret) << c.what;
    SCROLLINFO got = Info(h, SB_VERT);
    EXPECT_EQ(got.nMin, c.want_min) << c.what;
    EXPECT_EQ(got.nMax, c.want_max) << c.what;
    EXPECT_EQ(got.nPage, c.want_page) << c.what;
    EXPECT_EQ(got.nPos, c.want_pos) << c.what;
    EXPECT_EQ(got.nTrackPos, c.want_pos) << c.what;
    EXPECT_EQ((GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL) != 0, c.shown) << c.what;
  }
  // The other calls on the same values.
  EXPECT_EQ(SetScrollPos(h, SB_VERT, 40, TRUE), 20);  // the old position
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 40);
  int lo = 1, hi = 1;
  EXPECT_TRUE(GetScrollRange(h, SB_VERT, &lo, &hi));
  EXPECT_EQ(lo, -50);
  EXPECT_EQ(hi, 50);
  EXPECT_TRUE(SetScrollRange(h, SB_VERT, 0, 30, TRUE));
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 30);  // clipped to the new range (page 1)
  SCROLLINFO none;
  none.fMask = SIF_DISABLENOSCROLL;
  EXPECT_FALSE(GetScrollInfo(h, SB_VERT, &none));  // asked for nothing
}

TEST_F(ScrollBarTest, BadArgumentsFailClearly) {
  HWND h = Make(WS_POPUP | WS_VSCROLL, nullptr, "", 0, kPlace);
  HWND stale = Make(WS_POPUP);
  DestroyWindow(stale);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  auto fails = [](DWORD error, auto call) {
    SetLastError(0);
    EXPECT_FALSE(call());
    EXPECT_EQ(GetLastError(), error);
  };
  fails(ERROR_INVALID_WINDOW_HANDLE, [&] { return SetScrollInfo(stale, SB_VERT, &si, TRUE); });
  fails(ERROR_INVALID_WINDOW_HANDLE, [&] { return GetScrollInfo(stale, SB_VERT, &si); });
  fails(ERROR_INVALID_WINDOW_HANDLE, [&] { return ShowScrollBar(stale, SB_VERT, TRUE); });
  fails(ERROR_INVALID_WINDOW_HANDLE, [&] { return EnableScrollBar(stale, SB_VERT, 3); });
  fails(ERROR_INVALID_PARAMETER, [&] { return SetScrollInfo(h, 7, &si, TRUE); });
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollInfo(h, SB_BOTH, &si); });
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollPos(h, -1); });
  fails(ERROR_INVALID_PARAMETER, [&] { return ShowScrollBar(h, 9, TRUE); });
  fails(ERROR_INVALID_PARAMETER, [&] { return EnableScrollBar(h, 9, ESB_DISABLE_BOTH); });
  fails(ERROR_INVALID_PARAMETER, [&] { return SetScrollInfo(h, SB_VERT, nullptr, TRUE); });
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollInfo(h, SB_VERT, nullptr); });
  SCROLLINFO bad = si;
  bad.cbSize = 3;
  fails(ERROR_INVALID_PARAMETER, [&] { return SetScrollInfo(h, SB_VERT, &bad, TRUE); });
  bad = si;
  bad.fMask = 0x80;
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollInfo(h, SB_VERT, &bad); });
  fails(ERROR_INVALID_SCROLLBAR_RANGE, [&] { return SetScrollRange(h, SB_VERT, 10, 5, TRUE); });
  fails(ERROR_INVALID_SCROLLBAR_RANGE,
        [&] { return SetScrollRange(h, SB_VERT, INT32_MIN, INT32_MAX, TRUE); });
  SCROLLBARINFO sbi;
  sbi.cbSize = 12;
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollBarInfo(h, OBJID_VSCROLL, &sbi); });
  sbi.cbSize = sizeof sbi;
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollBarInfo(h, 12345, &sbi); });
  fails(ERROR_INVALID_PARAMETER, [&] { return GetScrollBarInfo(h, OBJID_VSCROLL, nullptr); });
  EXPECT_TRUE(GetScrollRange(h, SB_VERT, nullptr, nullptr));  // no outputs wanted

  // The extreme range is taken through SetScrollInfo; the thumb still lies inside the bar.
  Set(h, SB_VERT, INT32_MIN, INT32_MAX, 0x7FFFFFFF, INT32_MAX);
  EXPECT_EQ(Info(h, SB_VERT).nPos, 1);
  SCROLLINFO short_si;  // the old size, without nTrackPos, is accepted
  short_si.cbSize = sizeof(SCROLLINFO) - sizeof(int);
  short_si.fMask = SIF_ALL;
  short_si.nTrackPos = 77;
  EXPECT_TRUE(GetScrollInfo(h, SB_VERT, &short_si));
  EXPECT_EQ(short_si.nTrackPos, 77);
}

// A window without bars has no bar information until a range is set; showing and hiding a bar
// changes the style and the client area.
TEST_F(ScrollBarTest, BarsComeAndGoWithTheirRanges) {
  HWND h = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, kPlace);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  SetLastError(0);
  EXPECT_FALSE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_SCROLLBARS));
  EXPECT_EQ(SetScrollPos(h, SB_VERT, 5, TRUE), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_SCROLLBARS));
  SCROLLBARINFO sbi;
  EXPECT_FALSE(GetScrollBarInfo(h, OBJID_VSCROLL, &sbi));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_SCROLLBARS));

  log.clear();
  EXPECT_TRUE(SetScrollRange(h, SB_VERT, 0, 50, TRUE));
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(ClientSize(h), (RECT{0, 0, 283, 200}));
  EXPECT_FALSE(Received(h, WM_NCCALCSIZE).empty());   // the frame was worked out again
  EXPECT_TRUE(Received(h, WM_STYLECHANGED).empty());  // the style bit changes silently
  EXPECT_EQ(Info(h, SB_HORZ).nMax, 100);              // the other bar has its defaults
  EXPECT_EQ(BarInfo(h, OBJID_HSCROLL).rgstate[0], STATE_SYSTEM_INVISIBLE);

  SetScrollRange(h, SB_VERT, 0, 0, TRUE);
  EXPECT_FALSE(GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(ClientSize(h), (RECT{0, 0, 300, 200}));
  EXPECT_TRUE(GetScrollInfo(h, SB_VERT, &si));  // kept while the other range is not empty
  SetScrollRange(h, SB_HORZ, 0, 0, TRUE);       // both hidden and empty: the information goes
  EXPECT_FALSE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_SCROLLBARS));

  // ShowScrollBar shows and hides whatever the values (both at once with SB_BOTH).
  EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, TRUE));
  EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
  EXPECT_EQ(ClientSize(h), (RECT{0, 0, 283, 183}));
  EXPECT_EQ(Info(h, SB_VERT).nMax, 100);
  EXPECT_TRUE(ShowScrollBar(h, SB_HORZ, FALSE));
  EXPECT_EQ(ClientSize(h), (RECT{0, 0, 283, 200}));
}

// SIF_DISABLENOSCROLL keeps a bar with nothing to scroll shown, both arrows disabled; a range
// that scrolls enables it again. Without it the bar goes.
TEST_F(ScrollBarTest, DisableNoScrollKeepsTheBarShownAndDisabled) {
  HWND h = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, nullptr, "", 0, kPlace);
  Set(h, SB_VERT, 0, 9, 10, 0, SIF_DISABLENOSCROLL);
  EXPECT_TRUE(GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL);
  SCROLLBARINFO sbi = BarInfo(h, OBJID_VSCROLL);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[5], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[3], STATE_SYSTEM_INVISIBLE);  // a disabled bar has no thumb
  EXPECT_EQ(sbi.rcScrollBar, (RECT{383, 100, 400, 300}));

  Set(h, SB_VERT, 0, 19, 10, 0, SIF_DISABLENOSCROLL);
  sbi = BarInfo(h, OBJID_VSCROLL);
  EXPECT_EQ(sbi.rgstate[0], 0u);
  EXPECT_EQ(sbi.rgstate[1], 0u);

  Set(h, SB_VERT, 0, 9, 10, 0);  // no DISABLENOSCROLL: hidden
  EXPECT_FALSE(GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL);
  sbi = BarInfo(h, OBJID_VSCROLL);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  EXPECT_EQ(sbi.rcScrollBar, (RECT{}));
}

TEST_F(ScrollBarTest, EnableScrollBarDisablesArrowsOneByOne) {
  HWND h = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, nullptr, "", 0, kPlace);
  EXPECT_TRUE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_UP));
  EXPECT_FALSE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_UP));  // no change
  SCROLLBARINFO sbi = BarInfo(h, OBJID_VSCROLL);
  EXPECT_EQ(sbi.rgstate[0], 0u);
  EXPECT_EQ(sbi.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.rgstate[5], 0u);
  EXPECT_TRUE(EnableScrollBar(h, SB_VERT, ESB_DISABLE_DOWN));  // adds to what is disabled
  EXPECT_EQ(BarInfo(h, OBJID_VSCROLL).rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_TRUE(EnableScrollBar(h, SB_BOTH, ESB_ENABLE_BOTH));
  EXPECT_EQ(BarInfo(h, OBJID_VSCROLL).rgstate[0], 0u);
  EXPECT_EQ(BarInfo(h, OBJID_VSCROLL).rgstate[1], 0u);
}

// The bar's rectangle on the screen, the arrow length and the thumb for a table of values.
TEST_F(ScrollBarTest, BarInformationRectanglesAndThumbs) {
  HWND h = Make(kBars, nullptr, "", 0, kPlace);
  SCROLLBARINFO v = BarInfo(h, OBJID_VSCROLL), hz = BarInfo(h, OBJID_HSCROLL);
  EXPECT_EQ(v.rcScrollBar, (RECT{383, 100, 400, 283}));
  EXPECT_EQ(hz.rcScrollBar, (RECT{100, 283, 383, 300}));
  EXPECT_EQ(v.dxyLineButton, 17);
  EXPECT_EQ(v.rgstate[0], 0u);
  struct Case {
    int min, max;
    UINT page;
    int pos;
    int top, bottom;
  } cases[] = {
      {0, 100, 0, 0, 17, 34},                              // no page: a square thumb
      {0, 100, 0, 50, 83, 100},                            // 17 + 132 * 50 / 100
      {0, 99, 10, 0, 17, 32},                              // 149 * 10 / 100 = 15 long
      {0, 99, 10, 45, 84, 99},                             // 17 + 134 * 45 / 90
      {0, 99, 10, 90, 151, 166},                           // the last page: against the lower arrow
      {0, 99, 50, 25, 54, 129},  {0, 9999, 1, 0, 17, 25},  // never shorter than half an arrow
      {-10, 10, 0, 0, 83, 100},
  };
  for (const Case& c : cases) {
    Set(h, SB_VERT, c.min, c.max, c.page, c.pos);
    v = BarInfo(h, OBJID_VSCROLL);
    EXPECT_EQ(v.xyThumbTop, c.top) << c.max << " " << c.page << " " << c.pos;
    EXPECT_EQ(v.xyThumbBottom, c.bottom) << c.max << " " << c.page << " " << c.pos;
  }
  // A bar too short for a thumb: shorter arrows, no thumb.
  HWND low = Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL, nullptr, "", 0, {500, 100, 600, 140});
  v = BarInfo(low, OBJID_VSCROLL);
  EXPECT_EQ(v.rcScrollBar, (RECT{583, 100, 600, 140}));
  EXPECT_EQ(v.dxyLineButton, 17);
  EXPECT_EQ(v.xyThumbTop, 0);
  EXPECT_EQ(v.rgstate[3], STATE_SYSTEM_INVISIBLE);
  MoveWindow(low, 500, 100, 100, 20, TRUE);
  EXPECT_EQ(BarInfo(low, OBJID_VSCROLL).dxyLineButton, 10);
}

// ---- The tracking loop ----

// An arrow scrolls at once, then after 200 ms and every 50 ms while the cursor stays over it;
// it is drawn pressed only then, and the release ends the gesture with SB_ENDSCROLL.
TEST_F(ScrollBarTest, ArrowsRepeatAfterTheFirstDelay) {
  HWND h = Make(kBars, nullptr, "", 0, kPlace);
  Set(h, SB_VERT, 0, 99, 10, 0);
  static DWORD pressed_over, pressed_off;
  static HWND cap;
  // A step that changes nothing lets the clock run on to the next timer, so each check rides
  // with the step after it.
  Gesture({390, 275}, {Wait(199), Wait(1), Wait(50), Wait(50),
                       [h] {
                         pressed_over = BarInfo(h, OBJID_VSCROLL).rgstate[5];
                         InjectMouseMove(390, 200);
                       },
                       Wait(50), Wait(50),
                       [h] {
                         pressed_off = BarInfo(h, OBJID_VSCROLL).rgstate[5];
                         cap = GetCapture();
                         InjectMouseMove(390, 276);
                       },
                       Wait(50), Release(390, 276)});
  ASSERT_EQ(scrolls.size(), 6u) << ::testing::PrintToString(Codes());
  const DWORD start = scrolls[0].time;  // the first at the press
  std::vector<DWORD> at;
  for (auto& s : scrolls) at.push_back(s.time - start);
  EXPECT_EQ(at, (std::vector<DWORD>{0, 200, 250, 300, 450, 450}));
  EXPECT_EQ(Codes(), (std::vector<std::string>{"LINEDOWN", "LINEDOWN", "LINEDOWN", "LINEDOWN",
                                               "LINEDOWN", "ENDSCROLL"}));
  for (auto& s : scrolls) {
    EXPECT_EQ(s.to, h);
    EXPECT_EQ(s.msg, UINT(WM_VSCROLL));
    EXPECT_EQ(s.lp, 0);  // the window's own bar
    EXPECT_EQ(s.pos, 0);
  }
  EXPECT_EQ(pressed_over, STATE_SYSTEM_PRESSED);
  EXPECT_EQ(pressed_off, 0u);
  EXPECT_EQ(cap, h);  // held all along
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Received(h, WM_CAPTURECHANGED).size(), 1u);

  // The horizontal bar's left arrow.
  Gesture({105, 290}, {Release(105, 290)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"LINEUP", "ENDSCROLL"}));
  EXPECT_EQ(scrolls[0].msg, UINT(WM_HSCROLL));
  // A disabled arrow does nothing.
  EnableScrollBar(h, SB_VERT, ESB_DISABLE_DOWN);
  Gesture({390, 275}, {Wait(300), Release(390, 275)});
  EXPECT_TRUE(scrolls.empty());
}

// A press on the track pages toward the cursor, repeating while the cursor is over the page
// area as the bar now stands: the repeat stops when the thumb, moved by the window, reaches
// the cursor.
TEST_F(ScrollBarTest, PagingStopsWhenTheThumbReachesThePointer) {
  HWND h = Make(kBars, nullptr, "", 0, kPlace);
  Set(h, SB_VERT, 0, 99, 10, 0);
  on_scroll = [](HWND w, UINT, WPARAM wp, LPARAM) {
    int pos = GetScrollPos(w, SB_VERT);
    if (LOWORD(wp) == SB_PAGEDOWN) SetScrollPos(w, SB_VERT, pos + 10, TRUE);
    if (LOWORD(wp) == SB_PAGEUP) SetScrollPos(w, SB_VERT, pos - 10, TRUE);
  };
  // The cursor at y 100 in the bar: the thumb covers it at position 50 (91..106).
  Gesture({390, 200},
          {Wait(200), Wait(50), Wait(50), Wait(50), Wait(50), Wait(200), Release(390, 200)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"PAGEDOWN", "PAGEDOWN", "PAGEDOWN", "PAGEDOWN",
                                               "PAGEDOWN", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 50);
  // And back up from below the thumb's top.
  // The cursor at y 50: the thumb covers it at position 20 (47..62).
  Gesture({390, 150}, {Wait(200), Wait(50), Wait(50), Wait(200), Release(390, 150)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"PAGEUP", "PAGEUP", "PAGEUP", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 20);
}

// The thumb follows the cursor with SB_THUMBTRACK for each new position (SIF_TRACKPOS reads it
// meanwhile), goes back where it started when the cursor is taken far from the bar, and ends
// with SB_THUMBPOSITION and SB_ENDSCROLL.
TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  HWND h = Make(kBars, nullptr, "", 0, kPlace);
  Set(h, SB_VERT, 0, 99, 10, 0);
  static SCROLLINFO during;
  static SCROLLBARINFO bar_during;
  // The thumb is at 17..32 (screen y 117..132): grabbed 3 pixels below its top.
  Gesture({390, 120}, {MoveTo(390, 187),  // its top to 84: position 45
                       [h] {
                         during.fMask = SIF_ALL;
                         GetScrollInfo(h, SB_VERT, &during);
                         bar_during = BarInfo(h, OBJID_VSCROLL);
                         InjectMouseMove(391, 187);  // the same position: nothing new
                       },
                       MoveTo(200, 187),  // far off the bar: back to the start
                       MoveTo(390, 300),  // below the bar but near it: the last position
                       Release(390, 300)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"THUMBTRACK", "THUMBTRACK", "THUMBTRACK",
                                               "THUMBPOSITION", "ENDSCROLL"}));
  std::vector<int> pos;
  for (auto& s : scrolls) pos.push_back(s.pos);
  EXPECT_EQ(pos, (std::vector<int>{45, 0, 90, 90, 0}));
  EXPECT_EQ(during.nTrackPos, 45);
  EXPECT_EQ(during.nPos, 0);  // the window did not follow
  EXPECT_EQ(bar_during.xyThumbTop, 84);
  EXPECT_EQ(bar_during.xyThumbBottom, 99);
  EXPECT_EQ(bar_during.rgstate[3], STATE_SYSTEM_PRESSED);
  // Afterwards the bar shows the position the window holds.
  EXPECT_EQ(BarInfo(h, OBJID_VSCROLL).xyThumbTop, 17);
  EXPECT_EQ(BarInfo(h, OBJID_VSCROLL).rgstate[3], 0u);
  SCROLLINFO after;
  after.fMask = SIF_TRACKPOS;
  GetScrollInfo(h, SB_VERT, &after);
  EXPECT_EQ(after.nTrackPos, 0);
}

// The loop hands every message to WH_MSGFILTER as MSGF_SCROLLBAR first; timers and posted
// messages go on being dispatched; WM_CANCELMODE ends a drag with the position the bar holds.
TEST_F(ScrollBarTest, HooksTimersAndCancelMode) {
  HWND h = Make(kBars, nullptr, "", 0, kPlace);
  Set(h, SB_VERT, 0, 99, 10, 0);
  on_scroll = [](HWND w, UINT, WPARAM wp, LPARAM) {
    if (LOWORD(wp) == SB_THUMBTRACK) SetScrollPos(w, SB_VERT, short(HIWORD(wp)), TRUE);
  };
  static std::vector<int> codes;
  codes.clear();
  static HHOOK filter;
  filter = SetWindowsHookEx(
      WH_MSGFILTER,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        codes.push_back(code);
        return CallNextHookEx(filter, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  SetTimer(h, 7, 30, nullptr);
  Timer(h, 7);
  Gesture({390, 120}, {MoveTo(390, 187), Wait(40), [h] { PostMessage(h, WM_USER + 1, 0, 0); },
                       [h] { SendMessage(h, WM_CANCELMODE, 0, 0); }});
  UnhookWindowsHookEx(filter);
  KillTimer(h, 7);
  EXPECT_EQ(Codes(), (std::vector<std::string>{"THUMBTRACK", "THUMBPOSITION", "ENDSCROLL"}));
  EXPECT_EQ(scrolls[1].pos, 45);  // what the window made of the drag
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_FALSE(codes.empty());
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](int c) { return c == MSGF_SCROLLBAR; }));
  EXPECT_FALSE(Received(h, WM_TIMER).empty());
  EXPECT_FALSE(Received(h, WM_USER + 1).empty());
  InjectMouseButton(MouseButton::Left, false, 390, 187);
  Pump();

  // A window that takes the capture away while it is told ends the gesture as well.
  on_scroll = [](HWND, UINT, WPARAM wp, LPARAM) {
    if (LOWORD(wp) == SB_LINEDOWN) ReleaseCapture();
  };
  Gesture({390, 275}, {Wait(500)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"LINEDOWN", "ENDSCROLL"}));
  InjectMouseButton(MouseButton::Left, false, 390, 275);
  Pump();
}

// A window of its own laid over the bar (as a skin's cover is) forwards its press: it lets the
// capture go and sends the bar's window WM_NCLBUTTONDOWN with HTVSCROLL and the screen point;
// the whole gesture runs inside that call, and the release is the loop's.
TEST_F(ScrollBarTest, APressForwardedFromACoverRunsTheLoop) {
  static HWND host, cover;
  host = Make(kBars, nullptr, "", 0, kPlace);
  Set(host, SB_VERT, 0, 99, 10, 0);
  cover = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {383, 100, 400, 283});
  static bool returned_after_end;
  react = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (h == cover && m == WM_LBUTTONDOWN) {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(h, &p);
      ReleaseCapture();
      SendMessage(host, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(WORD(p.x), WORD(p.y)));
      returned_after_end = !scrolls.empty() && scrolls.back().code == SB_ENDSCROLL;
      return 0;
    }
    return Record(h, m, wp, lp);
  };
  Gesture({390, 275}, {Wait(200), Release(390, 275)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"LINEDOWN", "LINEDOWN", "ENDSCROLL"}));
  EXPECT_TRUE(returned_after_end);
  EXPECT_TRUE(Received(cover, WM_LBUTTONUP).empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---- The "ScrollBar" control ----

class ScrollBarControlTest : public ScrollBarTest {
 protected:
  // The messages the control itself receives, seen by a subclass.
  static inline std::vector<UINT> seen;
  static inline WNDPROC original = nullptr;
  static LRESULT Spy(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= SBM_SETPOS && m <= SBM_GETSCROLLBARINFO) seen.push_back(m);
    return CallWindowProc(original, h, m, wp, lp);
  }
  HWND Control(HWND parent, DWORD style, RECT r, void* params = nullptr) {
    HWND c = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(5),
                            nullptr, params);
    return c;
  }
  void Watch(HWND c) {
    seen.clear();
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Spy)));
  }
};

// Every SB_CTL call is a message to the control, answered with Windows' results; a window that
// is no scroll bar answers them with 0.
TEST_F(ScrollBarControlTest, CallsOnTheControlAreItsMessages) {
  HWND p = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, kPlace);
  HWND c = Control(p, SBS_VERT, {10, 10, 27, 160});
  Watch(c);
  EXPECT_EQ(Info(c, SB_CTL).nMax, 0);  // a control's range starts empty
  Set(c, SB_CTL, 0, 99, 10, 30);
  EXPECT_EQ(SetScrollPos(c, SB_CTL, 95, TRUE), 30);
  EXPECT_EQ(GetScrollPos(c, SB_CTL), 90);
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(c, SB_CTL, &lo, &hi));
  EXPECT_EQ(hi, 99);
  EXPECT_TRUE(EnableScrollBar(c, SB_CTL, ESB_DISABLE_UP));
  SCROLLBARINFO sbi = BarInfo(c, OBJID_CLIENT);
  EXPECT_EQ(seen, (std::vector<UINT>{SBM_GETSCROLLINFO, SBM_SETSCROLLINFO, SBM_SETSCROLLINFO,
                                     SBM_GETPOS, SBM_GETRANGE, SBM_ENABLE_ARROWS}));
  // Its bar is its whole client area, on the screen.
  EXPECT_EQ(sbi.rcScrollBar, (RECT{110, 110, 127, 260}));
  EXPECT_EQ(sbi.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(sbi.xyThumbBottom - sbi.xyThumbTop, 12);  // (150 - 34) * 10 / 100
  EXPECT_EQ(sbi.xyThumbBottom, 150 - 17);             // the last page

  // The messages themselves.
  EXPECT_EQ(SendMessage(c, SBM_SETPOS, 40, TRUE), 90);
  EXPECT_EQ(SendMessage(c, SBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(SendMessage(c, SBM_SETRANGE, 0, 200), 0);        // the position did not move
  EXPECT_EQ(SendMessage(c, SBM_SETRANGEREDRAW, 0, 20), 40);  // it did: the old one
  EXPECT_EQ(GetScrollPos(c, SB_CTL), 11);
  EXPECT_EQ(SendMessage(c, SBM_ENABLE_ARROWS, ESB_ENABLE_BOTH, 0), TRUE);
  EXPECT_EQ(SendMessage(c, SBM_ENABLE_ARROWS, ESB_ENABLE_BOTH, 0), FALSE);
  SCROLLINFO si;
  si.fMask = SIF_POS | SIF_DISABLENOSCROLL | SIF_RANGE;
  si.nMin = si.nMax = 0;
  SendMessage(c, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  EXPECT_EQ(BarInfo(c, OBJID_CLIENT).rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_TRUE(IsWindowVisible(c));  // a control is never hidden by its values
  ShowScrollBar(c, SB_CTL, FALSE);
  EXPECT_FALSE(IsWindowVisible(c));

  // The creation parameters' first range, and a disabled control's state.
  HWND made = Control(p, SBS_HORZ | WS_DISABLED, {0, 0, 100, 17},
                      reinterpret_cast<void*>(std::uintptr_t(MAKELONG(5, 50))));
  SCROLLINFO first = Info(made, SB_CTL);
  EXPECT_EQ(first.nMin, 5);
  EXPECT_EQ(first.nMax, 50);
  EXPECT_EQ(first.nPos, 5);
  EXPECT_EQ(BarInfo(made, OBJID_CLIENT).rgstate[0], STATE_SYSTEM_UNAVAILABLE);

  // An ordinary window is no scroll bar.
  SetLastError(0);
  EXPECT_EQ(SetScrollInfo(p, SB_CTL, &si, TRUE), 0);
  EXPECT_FALSE(GetScrollInfo(p, SB_CTL, &si));
  SCROLLBARINFO none;
  EXPECT_FALSE(GetScrollBarInfo(p, OBJID_CLIENT, &none));
  EXPECT_EQ(SendMessage(p, SBM_GETPOS, 0, 0), 0);
  UpdateWindow(p);
}

// The control's alignment styles size it to the standard breadth at creation.
TEST_F(ScrollBarControlTest, AlignmentStylesSizeTheBar) {
  HWND p = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, kPlace);
  struct Case {
    DWORD style;
    RECT want;  // in the parent's client area
  } cases[] = {
      {SBS_HORZ, {10, 10, 110, 60}},
      {SBS_HORZ | SBS_TOPALIGN, {10, 10, 110, 27}},
      {SBS_HORZ | SBS_BOTTOMALIGN, {10, 43, 110, 60}},
      {SBS_VERT | SBS_LEFTALIGN, {10, 10, 27, 60}},
      {SBS_VERT | SBS_RIGHTALIGN, {93, 10, 110, 60}},
      {SBS_SIZEBOX | SBS_SIZEBOXTOPLEFTALIGN, {10, 10, 27, 27}},
      {SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, {93, 43, 110, 60}},
  };
  for (const Case& c : cases) {
    HWND b = Control(p, c.style, {10, 10, 110, 60});
    RECT r = WindowRect(b);
    OffsetRect(&r, -kPlace.left, -kPlace.top);
    EXPECT_EQ(r, c.want) << c.style;
    DestroyWindow(b);
  }
}

// A press on the control runs the same tracking loop; the parent hears WM_VSCROLL with the
// control's handle and is asked for the bar's brush; the focused control scrolls by keys.
TEST_F(ScrollBarControlTest, TheParentHearsTheControl) {
  HWND p = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, kPlace);
  HWND c = Control(p, SBS_VERT | WS_TABSTOP, {10, 10, 27, 160});
  Set(c, SB_CTL, 0, 99, 10, 0);
  UpdateWindow(p);
  EXPECT_FALSE(Received(p, WM_CTLCOLORSCROLLBAR).empty());
  EXPECT_EQ(HWND(Received(p, WM_CTLCOLORSCROLLBAR)[0].lp), c);
  on_scroll = [](HWND, UINT, WPARAM wp, LPARAM lp) {
    HWND bar = reinterpret_cast<HWND>(lp);
    int pos = GetScrollPos(bar, SB_CTL);
    if (LOWORD(wp) == SB_LINEDOWN) SetScrollPos(bar, SB_CTL, pos + 1, TRUE);
    if (LOWORD(wp) == SB_THUMBTRACK) SetScrollPos(bar, SB_CTL, short(HIWORD(wp)), TRUE);
  };
  Gesture({118, 255}, {Wait(200), Release(118, 255)});  // the lower arrow
  EXPECT_EQ(Codes(), (std::vector<std::string>{"LINEDOWN", "LINEDOWN", "ENDSCROLL"}));
  for (auto& s : scrolls) {
    EXPECT_EQ(s.to, p);
    EXPECT_EQ(s.msg, UINT(WM_VSCROLL));
    EXPECT_EQ(HWND(s.lp), c);
  }
  EXPECT_EQ(GetScrollPos(c, SB_CTL), 2);
  EXPECT_EQ(GetFocus(), c);  // a tab stop takes the focus when pressed
  // The thumb (at 17 + 116 * 2 / 90 = 20 from the top) dragged to the end.
  Gesture({118, 132}, {MoveTo(118, 280), Release(118, 280)});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"THUMBTRACK", "THUMBPOSITION", "ENDSCROLL"}));
  EXPECT_EQ(GetScrollPos(c, SB_CTL), 90);

  scrolls.clear();
  for (UINT vk : {VK_DOWN, VK_PRIOR, VK_HOME, VK_END, VK_LEFT}) {
    InjectKey(vk, 0, true, true);
    InjectKey(vk, 0, false, true);
  }
  Pump();
  EXPECT_EQ(Codes(),
            (std::vector<std::string>{"LINEDOWN", "ENDSCROLL", "PAGEUP", "ENDSCROLL", "TOP",
                                      "ENDSCROLL", "BOTTOM", "ENDSCROLL", "LINEUP", "ENDSCROLL"}));
  EXPECT_EQ(SendMessage(c, WM_GETDLGCODE, 0, 0), 0x0001);  // DLGC_WANTARROWS
}

// The size grip sizes the top-level window it sits in from its bottom-right corner.
TEST_F(ScrollBarControlTest, TheSizeGripSizesItsTopLevelWindow) {
  HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, kPlace);
  HWND panel = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {0, 0, 200, 150});
  HWND grip = Control(panel, SBS_SIZEGRIP, {183, 133, 200, 150});
  ASSERT_NE(grip, nullptr);
  RECT g = WindowRect(grip);
  Gesture({g.left + 8, g.top + 8},
          {MoveTo(g.left + 38, g.top + 28), Release(g.left + 38, g.top + 28)});
  EXPECT_EQ(WindowRect(top), (RECT{100, 100, 430, 320}));
  auto sys = Received(top, WM_SYSCOMMAND);
  ASSERT_FALSE(sys.empty());
  EXPECT_EQ(sys[0].wp, WPARAM(SC_SIZE + WMSZ_BOTTOMRIGHT));
  EXPECT_TRUE(scrolls.empty());
}

// ---- Painting ----

// Where to leave the screenshots: $SCROLLBAR_SHOTS, or the test's temporary folder.
std::string ShotPath(const char* name) {
  const char* dir = std::getenv("SCROLLBAR_SHOTS");
  return (dir ? std::string(dir) + "/" : ::testing::TempDir()) + name;
}

TEST_F(ScrollBarTest, BarsAreDrawnInTheClassicLook) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, nullptr, "Bars", 0,
                {100, 100, 400, 300});
  Set(h, SB_VERT, 0, 99, 10, 45);
  Set(h, SB_HORZ, 0, 9, 10, 0, SIF_DISABLENOSCROLL);  // nothing to scroll: disabled
  HWND c = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 20, 20, 150, 17, h,
                          nullptr, nullptr, nullptr);
  Set(c, SB_CTL, 0, 9, 3, 0);
  UpdateWindow(h);
  RECT wr;
  GetWindowRect(h, &wr);
  const COLORREF face = GetSysColor(COLOR_3DFACE), white = GetSysColor(COLOR_3DHILIGHT),
                 black = RGB(0, 0, 0), grey = GetSysColor(COLOR_3DSHADOW);
  auto at = [&](int x, int y) { return d.PixelAt(wr.left + x, wr.top + y); };
  SCROLLBARINFO v = BarInfo(h, OBJID_VSCROLL);
  RECT vb = v.rcScrollBar;
  OffsetRect(&vb, -wr.left, -wr.top);
  const int mid = (vb.left + vb.right) / 2;
  // The up arrow: a raised face with a black glyph in its middle.
  int glyph = 0;
  for (int y = vb.top; y < vb.top + 17; ++y)
    for (int x = vb.left; x < vb.right; ++x) glyph += at(x, y) == black;
  EXPECT_GT(glyph, 5);
  EXPECT_EQ(at(vb.left, vb.top), white);                 // a push button's raised edge
  EXPECT_EQ(at(vb.left, vb.top + v.xyThumbTop), white);  // the thumb's
  // The track: a checker of face and white.
  const int ty = vb.top + 30;
  EXPECT_NE(at(mid, ty), at(mid + 1, ty));
  EXPECT_EQ(at(mid, ty), at(mid + 1, ty + 1));
  EXPECT_TRUE(at(mid, ty) == face || at(mid, ty) == white);
  // The thumb: a raised face where the information says.
  EXPECT_EQ(at(mid, vb.top + (v.xyThumbTop + v.xyThumbBottom) / 2), face);
  EXPECT_EQ(at(mid, vb.top + v.xyThumbBottom - 2), grey);  // its inner shadow
  // The disabled horizontal bar: grey glyphs, no black, no thumb.
  SCROLLBARINFO hz = BarInfo(h, OBJID_HSCROLL);
  RECT hb = hz.rcScrollBar;
  OffsetRect(&hb, -wr.left, -wr.top);
  int dark = 0;
  for (int y = hb.top; y < hb.bottom; ++y)
    for (int x = hb.left; x < hb.left + 17; ++x) dark += at(x, y) == black;
  EXPECT_LE(dark, 17);  // the edge's bottom row only
  // The size box of a sizable window shows the grip.
  int grip = 0;
  for (int y = hb.top; y < hb.bottom; ++y)
    for (int x = vb.left; x < vb.right; ++x) grip += at(x, y) == grey;
  EXPECT_GT(grip, 10);
  EXPECT_TRUE(d.SaveWindow(h, ShotPath("scrollbars.png")));

  // Pressing the control's right arrow draws it sunk while held.
  static bool saved;
  static display::HeadlessDisplay* disp;
  disp = &d;
  saved = false;
  RECT cr = WindowRect(c);
  const POINT arrow{cr.right - 8, cr.top + 8};
  Gesture(arrow, {[h, arrow] {
            saved = disp->SaveWindow(h, ShotPath("scrollbars-pressed.png"));
            InjectMouseButton(MouseButton::Left, false, arrow.x, arrow.y);
          }});
  EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace usertest
