// "Static": where each text style puts its text, frames and rectangles, images, and clicks
// reported only with SS_NOTIFY.
#include "support/user_fixture.h"

namespace usertest {
namespace {

// A control painted into a memory DC through WM_PRINTCLIENT (or WM_PAINT with the DC in
// wParam), on white.
class Picture {
 public:
  explicit Picture(HWND h, UINT how = WM_PRINTCLIENT) {
    GetClientRect(h, &rc_);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = CreateCompatibleBitmap(screen, rc_.right, rc_.bottom);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    FillRect(dc_, &rc_, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessage(h, how, reinterpret_cast<WPARAM>(dc_), how == WM_PRINTCLIENT ? PRF_CLIENT : 0);
  }
  ~Picture() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // The box around every pixel of colour c; empty when there is none.
  RECT Ink(COLORREF c) const {
    RECT r{rc_.right, rc_.bottom, 0, 0};
    for (int y = 0; y < rc_.bottom; ++y)
      for (int x = 0; x < rc_.right; ++x)
        if (At(x, y) == c) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r.right > r.left ? r : RECT{};
  }

 private:
  RECT rc_{};
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

class StaticTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    parent_ = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "parent", 0, {0, 0, 400, 300});
    ASSERT_NE(parent_, nullptr);
    // White behind the text, black text, so the ink is easy to find.
    react = [this](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      if (h != parent_ || m != WM_CTLCOLORSTATIC) return std::nullopt;
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush_ ? brush_ : GetStockObject(WHITE_BRUSH));
    };
    DrainQueue(false);
    log.clear();
  }
  void TearDown() override {
    react = nullptr;
    UserTest::TearDown();
  }
  HWND Static(DWORD style, const char* text, RECT r = {10, 10, 210, 60}, int id = 50) {
    return CreateWindowEx(0, "Static", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent_,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  HWND parent_ = nullptr;
  HBRUSH brush_ = nullptr;
};

TEST_F(StaticTest, TextStylesPlaceWrapAndCutTheirText) {
  const COLORREF black = RGB(0, 0, 0);
  struct Case {
    DWORD style;
    const char* text;
    const char* expect;  // where the ink is
  };
  const char* long_text = "这是一段很长的中文说明文字，它应该在静态控件里折行显示出来";
  const Case cases[] = {
      {SS_LEFT, "左 left", "left"},
      {SS_CENTER, "中 centre", "centre"},
      {SS_RIGHT, "右 right", "right"},
      {SS_LEFT, long_text, "two lines"},
      {SS_LEFTNOWORDWRAP, long_text, "one line"},
      {SS_SIMPLE, long_text, "one line"},
      {SS_LEFT | SS_ENDELLIPSIS, long_text, "one line"},
      {SS_LEFT | SS_PATHELLIPSIS, "C:\\很长的目录名\\另一个很长的目录名\\文件名很长的文件.txt",
       "one line"},
      {SS_CENTER | SS_CENTERIMAGE, "中", "middle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.style) + " " + c.expect);
    HWND s = Static(c.style, c.text);
    RECT ink = Picture(s).Ink(black);
    ASSERT_GT(ink.right, ink.left);
    const std::string e = c.expect;
    if (e == "left") { EXPECT_LT(ink.left, 3); }
    if (e == "right") { EXPECT_GT(ink.right, 196); }
    if (e == "centre") { EXPECT_LT(std::abs((ink.left + ink.right) / 2 - 100), 4); }
    if (e == "two lines") {
      EXPECT_GT(ink.bottom - ink.top, 20);
      EXPECT_LE(ink.right, 200);
    }
    if (e == "one line") { EXPECT_LT(ink.bottom - ink.top, 16); }
    if (e == "middle") { EXPECT_LT(std::abs((ink.top + ink.bottom) / 2 - 25), 4); }
    DestroyWindow(s);
  }
}

TEST_F(StaticTest, PrefixUnderlinesUnlessNoPrefix) {
  HWND with = Static(SS_LEFT, "&Name");
  HWND without = Static(SS_LEFT | SS_NOPREFIX, "&Name");
  RECT a = Picture(with).Ink(RGB(0, 0, 0));
  RECT b = Picture(without).Ink(RGB(0, 0, 0));
  EXPECT_LT(a.right, b.right);        // the "&" is drawn only with SS_NOPREFIX
  EXPECT_GT(a.bottom, b.bottom - 1);  // the underline under "N"
}

TEST_F(StaticTest, FramesRectanglesAndEtchedLinesUseTheSystemColours) {
  struct Case {
    DWORD style;
    POINT edge, inside;
    COLORREF edge_colour, inside_colour;
  };
  const COLORREF white = RGB(255, 255, 255);
  const Case cases[] = {
      {SS_BLACKRECT,
       {0, 0},
       {20, 20},
       GetSysColor(COLOR_3DDKSHADOW),
       GetSysColor(COLOR_3DDKSHADOW)},
      {SS_GRAYRECT, {0, 0}, {20, 20}, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW)},
      {SS_BLACKFRAME, {0, 0}, {20, 20}, GetSysColor(COLOR_3DDKSHADOW), white},
      {SS_GRAYFRAME, {5, 0}, {20, 20}, GetSysColor(COLOR_3DSHADOW), white},
      {SS_ETCHEDFRAME, {5, 0}, {20, 20}, GetSysColor(COLOR_3DSHADOW), white},
      {SS_ETCHEDHORZ, {5, 1}, {20, 20}, GetSysColor(COLOR_3DHIGHLIGHT), white},
      {SS_ETCHEDVERT, {1, 5}, {20, 20}, GetSysColor(COLOR_3DHIGHLIGHT), white},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    HWND s = Static(c.style, "");
    Picture p(s);
    EXPECT_EQ(p.At(c.edge.x, c.edge.y), c.edge_colour);
    EXPECT_EQ(p.At(c.inside.x, c.inside.y), c.inside_colour);
    DestroyWindow(s);
  }
}

TEST_F(StaticTest, SunkenTakesTheStaticEdge) {
  HWND s = Static(SS_LEFT | SS_SUNKEN, "x");
  EXPECT_TRUE(GetWindowLongPtr(s, GWL_EXSTYLE) & WS_EX_STATICEDGE);
  RECT wr, cr;
  GetWindowRect(s, &wr);
  GetClientRect(s, &cr);
  EXPECT_EQ(wr.right - wr.left - cr.right, 2);  // one pixel each side
}

TEST_F(StaticTest, IconsAndBitmapsSizeTheControlAndComeBack) {
  HWND icon = Static(SS_ICON, "");
  HICON hand = LoadIcon(nullptr, IDI_HAND);
  EXPECT_EQ(SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(hand), 0), 0);
  EXPECT_EQ(SendMessage(icon, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(hand));
  EXPECT_EQ(SendMessage(icon, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(hand));
  RECT rc;
  GetClientRect(icon, &rc);
  EXPECT_EQ(rc, (RECT{0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}));
  RECT ink = Picture(icon).Ink(RGB(255, 255, 255));
  EXPECT_GT(ink.right, ink.left);  // the hand icon's white cross

  HWND bitmap = Static(SS_BITMAP, "", {10, 100, 20, 110});
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 24, 16);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(SendMessage(bitmap, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hand)), 0);
  EXPECT_EQ(SendMessage(bitmap, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)), 0);
  EXPECT_EQ(SendMessage(bitmap, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
  GetClientRect(bitmap, &rc);
  EXPECT_EQ(rc, (RECT{0, 0, 24, 16}));
  EXPECT_EQ(Picture(bitmap).At(3, 3), RGB(0, 0, 0));  // a new bitmap is black
  // A handle that is not a bitmap is refused; the old image stays.
  EXPECT_EQ(SendMessage(bitmap, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hand)), 0);
  EXPECT_EQ(SendMessage(bitmap, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
  // A text static takes no image.
  HWND text = Static(SS_LEFT, "x", {10, 200, 50, 220});
  EXPECT_EQ(SendMessage(text, STM_SETICON, reinterpret_cast<WPARAM>(hand), 0), 0);
  EXPECT_EQ(SendMessage(text, STM_GETICON, 0, 0), 0);
  DestroyWindow(bitmap);
  DeleteObject(bmp);
}

TEST_F(StaticTest, ClicksAreReportedOnlyWithNotifyOtherwiseTheyReachTheParent) {
  HWND plain = Static(SS_LEFT, "plain", {10, 10, 110, 40}, 1);
  HWND notify = Static(SS_LEFT | SS_NOTIFY, "notify", {10, 50, 110, 80}, 2);
  EXPECT_EQ(SendMessage(plain, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  EXPECT_EQ(SendMessage(notify, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
  auto click = [](HWND h) {
    POINT p{5, 5};
    ClientToScreen(h, &p);
    InjectMouseButton(MouseButton::Left, true, p.x, p.y);
    InjectMouseButton(MouseButton::Left, false, p.x, p.y);
    DrainQueue(false);
  };
  click(plain);
  EXPECT_TRUE(Received(parent_, WM_COMMAND).empty());
  EXPECT_EQ(Received(parent_, WM_LBUTTONDOWN).size(), 1u);  // through to the parent
  log.clear();
  click(notify);
  AdvanceClock(50);
  click(notify);
  std::vector<std::string> codes;
  for (const Entry& e : Received(parent_, WM_COMMAND)) {
    EXPECT_EQ(e.lp, reinterpret_cast<LPARAM>(notify));
    codes.push_back(std::to_string(LOWORD(e.wp)) + ":" + std::to_string(HIWORD(e.wp)));
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"2:0", "2:1"}));  // STN_CLICKED, STN_DBLCLK
  EXPECT_TRUE(Received(parent_, WM_LBUTTONDOWN).empty());
}

TEST_F(StaticTest, TextIsDrawnOnTheParentsBrushAndGreyWhenDisabled) {
  brush_ = CreateSolidBrush(RGB(0, 0, 255));
  HWND s = Static(SS_LEFT, "蓝底 text");
  {
    Picture p(s);
    EXPECT_EQ(p.At(150, 40), RGB(0, 0, 255));
    EXPECT_GT(p.Ink(RGB(0, 0, 0)).right, 0);
  }
  {
    Picture p(s, WM_PAINT);
    EXPECT_EQ(p.At(150, 40), RGB(0, 0, 255));
    EXPECT_GT(p.Ink(RGB(0, 0, 0)).right, 0);
  }
  EnableWindow(s, FALSE);
  {
    Picture p(s);
    EXPECT_EQ(p.Ink(RGB(0, 0, 0)).right, 0);
    EXPECT_GT(p.Ink(GetSysColor(COLOR_GRAYTEXT)).right, 0);
  }
  DestroyWindow(s);
  DeleteObject(brush_);
  brush_ = nullptr;
}

}  // namespace
}  // namespace usertest
