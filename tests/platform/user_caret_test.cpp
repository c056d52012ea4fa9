// The caret: blinking on the manual clock, hide and show counting, its owner, and the pixels it
// inverts and gives back, seen on the headless screen.
#include <functional>

#include "support/user_fixture.h"

namespace usertest {
namespace {

constexpr COLORREF kBack = RGB(200, 30, 90), kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0);
COLORREF Inv(COLORREF c) { return c ^ 0x00FFFFFF; }

void Fill(HDC dc, const RECT& rc, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &rc, b);
  DeleteObject(b);
}

class CaretTest : public UserTest {
 protected:
  static inline std::map<HWND, COLORREF> paint_color;
  // Set while a window paints: what the screen showed at a point right after BeginPaint.
  static inline POINT probe{-1, -1};
  static inline COLORREF seen_in_paint = CLR_INVALID;
  static inline display::HeadlessDisplay* screen = nullptr;

  void SetUp() override {
    UserTest::SetUp();
    paint_color.clear();
    probe = {-1, -1};
    seen_in_paint = CLR_INVALID;
    display_ = std::make_unique<display::HeadlessDisplay>();
    screen = display_.get();
    react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      auto it = paint_color.find(h);
      if (m != WM_PAINT || it == paint_color.end()) return std::nullopt;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (probe.x >= 0) seen_in_paint = screen->PixelAt(probe.x, probe.y);
      RECT rc;
      GetClientRect(h, &rc);
      Fill(dc, rc, it->second);
      EndPaint(h, &ps);
      return 0;
    };
  }
  void TearDown() override {
    DestroyCaret();
    SetCaretBlinkTime(530);
    UserTest::TearDown();
    screen = nullptr;
    display_.reset();
  }

  static void Pump() { DrainQueue(false, 500); }
  static void Wait(UINT ms) {
    AdvanceClock(ms);
    Pump();
  }

  // A visible popup at the screen's origin (window, client and screen coordinates agree),
  // painted in one colour.
  HWND Painted(RECT r = {0, 0, 60, 40}, COLORREF c = kBack, DWORD style = WS_POPUP) {
    HWND h = Make(style | WS_VISIBLE, nullptr, "", 0, r);
    paint_color[h] = c;
    Pump();
    return h;
  }

  // Every pixel of `area` (screen coordinates) is as `want` says.
  static ::testing::AssertionResult Shows(RECT area,
                                          const std::function<COLORREF(int, int)>& want) {
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (COLORREF got = screen->PixelAt(x, y); got != want(x, y))
          return ::testing::AssertionFailure() << "at (" << x << "," << y << ") 0x" << std::hex
                                               << got << " instead of 0x" << want(x, y);
    return ::testing::AssertionSuccess();
  }
  // `area` shows `back` with the block `caret` inverted.
  static ::testing::AssertionResult Block(RECT area, RECT caret, COLORREF back = kBack) {
    return Shows(area, [&](int x, int y) {
      return PtInRect(&caret, POINT{x, y}) ? Inv(back) : back;
    });
  }
  static ::testing::AssertionResult Plain(RECT area, COLORREF back = kBack) {
    return Block(area, RECT{}, back);
  }

  static constexpr RECT kAround{0, 0, 30, 30};

  std::unique_ptr<display::HeadlessDisplay> display_;
};

TEST_F(CaretTest, BlinksOnTheClockAndGivesBackThePixelsUnderIt) {
  HWND w = Painted();
  EXPECT_EQ(GetCaretBlinkTime(), 530u);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  ASSERT_TRUE(SetCaretPos(10, 5));
  EXPECT_TRUE(Plain(kAround));  // a new caret is hidden
  ASSERT_TRUE(ShowCaret(w));
  RECT at{10, 5, 12, 15};
  EXPECT_TRUE(Block(kAround, at));  // shown at once
  Wait(529);
  EXPECT_TRUE(Block(kAround, at));
  Wait(1);
  EXPECT_TRUE(Plain(kAround));
  Wait(530);
  EXPECT_TRUE(Block(kAround, at));
  Wait(530 * 3);  // late: one toggle, not three
  EXPECT_TRUE(Plain(kAround));

  // Another period.
  ASSERT_TRUE(SetCaretBlinkTime(100));
  EXPECT_EQ(GetCaretBlinkTime(), 100u);
  EXPECT_TRUE(Block(kAround, at));
  Wait(100);
  EXPECT_TRUE(Plain(kAround));
  // No blinking at all: the caret stays.
  ASSERT_TRUE(SetCaretBlinkTime(INFINITE));
  EXPECT_TRUE(Block(kAround, at));
  Wait(5000);
  EXPECT_TRUE(Block(kAround, at));
  EXPECT_FALSE(SetCaretBlinkTime(0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  ASSERT_TRUE(DestroyCaret());
  EXPECT_TRUE(Plain(kAround));
}

TEST_F(CaretTest, HidingIsCountedAndBelongsToTheOwner) {
  HWND w = Painted();
  HWND other = Painted({0, 50, 60, 90});
  ASSERT_TRUE(CreateCaret(w, nullptr, 3, 3));
  RECT at{0, 0, 3, 3};
  // Showing more often than hidden counts for nothing.
  EXPECT_TRUE(ShowCaret(nullptr));  // null: the owner
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_TRUE(Block(kAround, at));
  EXPECT_TRUE(HideCaret(w));
  EXPECT_TRUE(Plain(kAround));
  EXPECT_TRUE(HideCaret(nullptr));
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_TRUE(Plain(kAround));
  Wait(2000);  // a hidden caret does not blink back
  EXPECT_TRUE(Plain(kAround));
  EXPECT_TRUE(ShowCaret(w));
  EXPECT_TRUE(Block(kAround, at));

  // Another window may not show, hide or destroy it; only the owner's calls count.
  SetLastError(0);
  EXPECT_FALSE(HideCaret(other));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ShowCaret(other));
  EXPECT_TRUE(Block(kAround, at));

  ASSERT_TRUE(DestroyCaret());
  // Without a caret every call fails.
  POINT pt;
  struct Call {
    const char* name;
    std::function<BOOL()> call;
  };
  for (const Call& c : {Call{"ShowCaret", [&] { return ShowCaret(w); }},
                        Call{"HideCaret", [&] { return HideCaret(nullptr); }},
                        Call{"SetCaretPos", [] { return SetCaretPos(1, 1); }},
                        Call{"GetCaretPos", [&] { return GetCaretPos(&pt); }},
                        Call{"DestroyCaret", [] { return DestroyCaret(); }}}) {
    SetLastError(0);
    EXPECT_FALSE(c.call()) << c.name;
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << c.name;
  }
  EXPECT_FALSE(CreateCaret(reinterpret_cast<HWND>(std::uintptr_t(0x99999)), nullptr, 1, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(CreateCaret(w, reinterpret_cast<HBITMAP>(std::uintptr_t(0x77777)), 1, 1));
  EXPECT_FALSE(CreateCaret(w, nullptr, -1, 4));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(Plain(kAround));
}

TEST_F(CaretTest, SolidGreyAndBitmapShapes) {
  HWND w = Painted();
  // Width and height 0: the border's size.
  ASSERT_TRUE(CreateCaret(w, nullptr, 0, 0));
  SetCaretPos(4, 4);
  ShowCaret(w);
  EXPECT_TRUE(
      Block(kAround, {4, 4, 4 + GetSystemMetrics(SM_CXBORDER), 4 + GetSystemMetrics(SM_CYBORDER)}));

  // Grey: every other pixel, counted from the client's origin.
  ASSERT_TRUE(CreateCaret(w, reinterpret_cast<HBITMAP>(std::uintptr_t(1)), 4, 3));
  EXPECT_TRUE(Plain(kAround));  // the old caret went with its replacement
  SetCaretPos(5, 2);
  ShowCaret(w);
  EXPECT_TRUE(Shows(kAround, [](int x, int y) {
    bool in = x >= 5 && x < 9 && y >= 2 && y < 5 && (x + y) % 2 == 0;
    return in ? Inv(kBack) : kBack;
  }));

  // A bitmap: its white pixels invert, its black ones leave the screen alone. The caret keeps
  // its own copy, so the bitmap may go.
  const BYTE bits[] = {0xA0, 0, 0x40, 0};  // rows of a 3x2 monochrome bitmap, word-aligned
  HBITMAP bmp = CreateBitmap(3, 2, 1, 1, bits);
  ASSERT_TRUE(CreateCaret(w, bmp, 50, 50));  // the bitmap's size wins
  DeleteObject(bmp);
  SetCaretPos(7, 9);
  ShowCaret(w);
  EXPECT_TRUE(Shows(kAround, [](int x, int y) {
    bool in = (y == 9 && (x == 7 || x == 9)) || (y == 10 && x == 8);
    return in ? Inv(kBack) : kBack;
  }));
  Wait(530);
  EXPECT_TRUE(Plain(kAround));
}

TEST_F(CaretTest, DrawnOnlyWhereTheOwnersClientAreaShows) {
  HWND parent = Painted({0, 0, 60, 40}, kBack, WS_POPUP | WS_CLIPCHILDREN);
  HWND child = Make(WS_CHILD | WS_VISIBLE, parent, "", 0, {20, 10, 30, 20});
  paint_color[child] = kGreen;
  Pump();
  // The parent's caret stops at its child; the child's stops at its own edge.
  ASSERT_TRUE(CreateCaret(parent, nullptr, 20, 2));
  SetCaretPos(15, 12);
  ShowCaret(parent);
  EXPECT_TRUE(Shows({10, 10, 40, 16}, [](int x, int y) {
    bool child_px = x >= 20 && x < 30 && y >= 10 && y < 20;
    bool caret = x >= 15 && x < 35 && y >= 12 && y < 14;
    COLORREF back = child_px ? kGreen : kBack;
    return caret && !child_px ? Inv(back) : back;
  }));
  ASSERT_TRUE(CreateCaret(child, nullptr, 6, 2));
  SetCaretPos(7, 3);  // child client coordinates
  ShowCaret(child);
  EXPECT_TRUE(Shows({10, 10, 40, 20}, [](int x, int y) {
    bool child_px = x >= 20 && x < 30 && y >= 10 && y < 20;
    bool caret = x >= 27 && x < 30 && y >= 13 && y < 15;
    COLORREF back = child_px ? kGreen : kBack;
    return caret ? Inv(back) : back;
  }));
  // The caret dies with its window, and with the window's parent.
  DestroyWindow(parent);
  POINT pt;
  EXPECT_FALSE(GetCaretPos(&pt));
}

TEST_F(CaretTest, StepsAsideWhileItsWindowPaints) {
  HWND w = Painted();
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 6));
  SetCaretPos(3, 3);
  ShowCaret(w);
  ASSERT_TRUE(Block(kAround, {3, 3, 5, 9}));
  // The paint sees the pixels without the caret, paints anew, and the caret comes back over
  // the new paint.
  probe = {3, 3};
  paint_color[w] = kRed;
  InvalidateRect(w, nullptr, FALSE);
  Pump();
  EXPECT_EQ(seen_in_paint, kBack);
  EXPECT_TRUE(Block(kAround, {3, 3, 5, 9}, kRed));
  Wait(530);
  EXPECT_TRUE(Plain(kAround, kRed));
  // Painting while the caret is blinked off brings it back, and its blink starts over.
  InvalidateRect(w, nullptr, FALSE);
  Pump();
  EXPECT_TRUE(Block(kAround, {3, 3, 5, 9}, kRed));

  // What was drawn over the caret outside painting is not undone when the caret goes.
  HDC dc = GetDC(w);
  RECT part{0, 0, 30, 5};
  Fill(dc, part, kGreen);
  ReleaseDC(w, dc);
  HideCaret(w);
  EXPECT_TRUE(Shows(kAround, [](int, int y) { return y < 5 ? kGreen : kRed; }));
}

TEST_F(CaretTest, MovingAndScrollingLeaveNoTrace) {
  HWND w = Painted();
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 4));
  SetCaretPos(2, 2);
  ShowCaret(w);
  Wait(300);
  // Moved: gone from the old place, shown at the new one, and the blink starts over.
  ASSERT_TRUE(SetCaretPos(8, 6));
  POINT pt;
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, 8);
  EXPECT_EQ(pt.y, 6);
  EXPECT_TRUE(Block(kAround, {8, 6, 10, 10}));
  Wait(529);
  EXPECT_TRUE(Block(kAround, {8, 6, 10, 10}));

  // Scrolling the window carries no caret pixels along; ScrollWindowEx leaves the caret where
  // it was, ScrollWindow moves it with the text.
  ScrollWindowEx(w, 0, 5, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_TRUE(Block({0, 0, 30, 30}, {8, 6, 10, 10}));
  ScrollWindow(w, 3, 0, nullptr, nullptr);
  Pump();
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, 11);
  EXPECT_TRUE(Block(kAround, {11, 6, 13, 10}));
  HDC dc = GetDC(w);
  ScrollDC(dc, 0, -4, nullptr, nullptr, nullptr, nullptr);
  ReleaseDC(w, dc);
  EXPECT_TRUE(Block(kAround, {11, 6, 13, 10}));

  // The owner moving on the screen, then a toggle: the old place is clean.
  SetWindowPos(w, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  Wait(530);
  EXPECT_TRUE(Plain({5, 5, 35, 35}));

  // Another window's caret replaces it without a trace.
  HWND other = Painted({0, 50, 60, 90});
  Wait(530);
  ASSERT_TRUE(Block({5, 5, 35, 35}, {16, 11, 18, 15}));
  ASSERT_TRUE(CreateCaret(other, nullptr, 1, 1));
  EXPECT_TRUE(Plain({5, 5, 35, 35}));
  EXPECT_FALSE(HideCaret(w));
}

}  // namespace
}  // namespace usertest
