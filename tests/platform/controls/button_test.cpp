// "Button": check states per style, clicks by mouse and Space with their notifications, radio
// groups, owner draw and what the button paints.
#include "support/user_fixture.h"

namespace usertest {
namespace {

class ButtonTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    parent_ = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "parent", 0, {0, 0, 400, 300});
    ASSERT_NE(parent_, nullptr);
    DrainQueue(false);
    log.clear();
  }
  HWND Button(DWORD style, const char* text = "&Go", int id = 100, RECT r = {10, 10, 110, 40}) {
    return CreateWindowEx(0, "Button", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent_,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  // Screen point at client (x, y) of h.
  static POINT At(HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    return p;
  }
  static void Press(POINT p, bool down) {
    InjectMouseButton(MouseButton::Left, down, p.x, p.y);
    DrainQueue(true);
  }
  static void Move(POINT p) {
    InjectMouseMove(p.x, p.y);
    DrainQueue(true);
  }
  static void Key(UINT vk, bool down) {
    InjectKey(vk, 0, down);
    DrainQueue(true);
  }
  // The WM_COMMAND notifications the parent received, as "id:code".
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const Entry& e : Received(parent_, WM_COMMAND))
      out.push_back(std::to_string(LOWORD(e.wp)) + ":" + std::to_string(HIWORD(e.wp)));
    return out;
  }
  HWND parent_ = nullptr;
};

TEST_F(ButtonTest, EachStyleKeepsTheCheckStatesItCanAndAnswersItsDialogCode) {
  struct Case {
    DWORD style;
    LRESULT after_set1, after_set2, after_set5;
    LRESULT dlgcode;
  };
  const Case cases[] = {
      {BS_PUSHBUTTON, 0, 0, 0, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {BS_DEFPUSHBUTTON, 0, 0, 0, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_CHECKBOX, 1, 1, 1, DLGC_BUTTON},
      {BS_AUTOCHECKBOX, 1, 1, 1, DLGC_BUTTON},
      {BS_3STATE, 1, 2, 2, DLGC_BUTTON},
      {BS_AUTO3STATE, 1, 2, 2, DLGC_BUTTON},
      {BS_RADIOBUTTON, 1, 1, 1, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {BS_AUTORADIOBUTTON, 1, 1, 1, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {BS_GROUPBOX, 0, 0, 0, DLGC_STATIC},
      {BS_OWNERDRAW, 0, 0, 0, DLGC_BUTTON},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    HWND b = Button(c.style);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessage(b, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), c.after_set1);
    SendMessage(b, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), c.after_set2);
    SendMessage(b, BM_SETCHECK, 5, 0);  // beyond any state: the highest the kind keeps
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), c.after_set5);
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & 3, c.after_set5);
    SendMessage(b, BM_SETCHECK, WPARAM(-1), 0);  // absurd: still the highest state, no more
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), c.after_set5);
    EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), c.dlgcode);
    DestroyWindow(b);
  }
}

TEST_F(ButtonTest, MouseClicksOnlyWhenReleasedOverTheButtonAndPressesWhileInside) {
  HWND b = Button(BS_AUTOCHECKBOX);
  Press(At(b, 5, 5), true);
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  Move(At(b, 300, 5));  // off the button: it comes up
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  Move(At(b, 6, 6));  // back over it: down again
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  Press(At(b, 6, 6), false);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"100:0"}));
  auto cmd = Received(parent_, WM_COMMAND);
  ASSERT_EQ(cmd.size(), 1u);
  EXPECT_EQ(cmd[0].lp, reinterpret_cast<LPARAM>(b));

  log.clear();
  Press(At(b, 5, 5), true);
  Move(At(b, 300, 5));
  Press(At(b, 300, 5), false);  // released outside: no click, nothing changes
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(GetCapture(), nullptr);
}

// What a layer that subclasses the button sees, in order, with the parent's notification:
// the order Wine's tests record on Windows.
TEST_F(ButtonTest, AClickReachesASubclassInWindowsOrder) {
  static std::vector<std::string>* seen;
  static WNDPROC base;
  std::vector<std::string> got;
  seen = &got;
  HWND b = Button(BS_AUTOCHECKBOX);
  base = reinterpret_cast<WNDPROC>(GetWindowLongPtr(b, GWLP_WNDPROC));
  SetWindowLongPtr(
      b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) {
        const std::map<UINT, std::string> names = {{WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
                                                   {WM_LBUTTONUP, "WM_LBUTTONUP"},
                                                   {WM_SETFOCUS, "WM_SETFOCUS"},
                                                   {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
                                                   {BM_SETSTATE, "BM_SETSTATE"},
                                                   {BM_SETCHECK, "BM_SETCHECK"},
                                                   {BM_CLICK, "BM_CLICK"}};
        auto it = names.find(m);
        if (it != names.end())
          seen->push_back(it->second + (m == BM_SETSTATE || m == BM_SETCHECK
                                            ? "(" + std::to_string(wp) + ")"
                                            : ""));
        return CallWindowProc(base, h, m, wp, lp);
      }));
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == parent_ && m == WM_COMMAND) got.push_back("parent:WM_COMMAND");
    return std::nullopt;
  };
  Press(At(b, 5, 5), true);
  Press(At(b, 5, 5), false);
  EXPECT_EQ(got, (std::vector<std::string>{"WM_LBUTTONDOWN", "WM_SETFOCUS", "BM_SETSTATE(1)",
                                           "WM_LBUTTONUP", "BM_SETSTATE(0)", "BM_SETCHECK(1)",
                                           "WM_CAPTURECHANGED", "parent:WM_COMMAND"}));
  got.clear();
  SendMessage(b, BM_CLICK, 0, 0);
  EXPECT_EQ(got, (std::vector<std::string>{"BM_CLICK", "WM_LBUTTONDOWN", "BM_SETSTATE(1)",
                                           "WM_LBUTTONUP", "BM_SETSTATE(0)", "BM_SETCHECK(0)",
                                           "WM_CAPTURECHANGED", "parent:WM_COMMAND"}));
  react = nullptr;
  SetWindowLongPtr(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
  DestroyWindow(b);
}

TEST_F(ButtonTest, SpacePressesAndItsReleaseClicks) {
  HWND b = Button(BS_PUSHBUTTON);
  SetFocus(b);
  Key(VK_SPACE, true);
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_TRUE(Commands().empty());
  Key(VK_SPACE, true);  // auto-repeat does not press again
  Key(VK_SPACE, false);
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"100:0"}));
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), BST_FOCUS);
}

TEST_F(ButtonTest, LosingTheCaptureOrFocusMidPressCancelsTheClick) {
  HWND b = Button(BS_PUSHBUTTON);
  Press(At(b, 5, 5), true);
  ReleaseCapture();
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  Press(At(b, 5, 5), false);
  SetFocus(b);
  Key(VK_SPACE, true);
  SetFocus(parent_);
  EXPECT_EQ(GetCapture(), nullptr);
  Key(VK_SPACE, false);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(ButtonTest, ThreeStateCyclesAndAutoRadioClearsOnlyItsOwnGroup) {
  HWND tri = Button(BS_AUTO3STATE, "tri", 1, {10, 200, 100, 220});
  std::vector<LRESULT> seen;
  for (int i = 0; i < 4; ++i) {
    SendMessage(tri, BM_CLICK, 0, 0);
    seen.push_back(SendMessage(tri, BM_GETCHECK, 0, 0));
  }
  EXPECT_EQ(seen, (std::vector<LRESULT>{1, 2, 0, 1}));

  HWND r1 = Button(BS_AUTORADIOBUTTON | WS_GROUP, "a", 11, {10, 10, 100, 30});
  HWND r2 = Button(BS_AUTORADIOBUTTON, "b", 12, {10, 40, 100, 60});
  HWND r3 = Button(BS_AUTORADIOBUTTON, "c", 13, {10, 70, 100, 90});
  HWND other = Button(BS_AUTORADIOBUTTON | WS_GROUP, "d", 14, {10, 100, 100, 120});
  SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(r1, BM_CLICK, 0, 0);
  SendMessage(r3, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(r3, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED);
  // The checked radio button is the group's tab stop.
  EXPECT_TRUE(GetWindowLongPtr(r3, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtr(r1, GWL_STYLE) & WS_TABSTOP);
  // A plain radio button is only clicked; its parent decides.
  HWND plain = Button(BS_RADIOBUTTON, "p", 15, {200, 10, 300, 30});
  SendMessage(plain, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(plain, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Commands().back(), "15:0");
}

TEST_F(ButtonTest, SetStyleChangesTheKindAndDoubleClickNotifiesRadioButtons) {
  HWND b = Button(BS_PUSHBUTTON);
  SendMessage(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongPtr(b, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);

  HWND r = Button(BS_RADIOBUTTON, "r", 7, {10, 50, 100, 70});
  SendMessage(r, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"7:5"}));
}

TEST_F(ButtonTest, OwnerDrawAsksTheParentWithItsState) {
  std::vector<DRAWITEMSTRUCT> items;
  react = [&](HWND h, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (h == parent_ && m == WM_DRAWITEM) {
      items.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
      return TRUE;
    }
    return std::nullopt;
  };
  HWND b = Button(BS_OWNERDRAW, "od", 42);
  UpdateWindow(b);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back().CtlType, ODT_BUTTON);
  EXPECT_EQ(items.back().CtlID, 42u);
  EXPECT_EQ(items.back().itemAction, ODA_DRAWENTIRE);
  EXPECT_EQ(items.back().hwndItem, b);
  EXPECT_EQ(items.back().rcItem, (RECT{0, 0, 100, 30}));
  items.clear();
  SendMessage(b, BM_SETSTATE, TRUE, 0);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].itemAction, ODA_SELECT);
  EXPECT_TRUE(items[0].itemState & ODS_SELECTED);
  items.clear();
  EnableWindow(b, FALSE);
  UpdateWindow(b);
  ASSERT_FALSE(items.empty());
  EXPECT_TRUE(items.back().itemState & ODS_DISABLED);
  react = nullptr;
}

// Paints the button into a memory DC through WM_PRINTCLIENT (or WM_PAINT with the DC in
// wParam, as a skin engine asks) and reads it back.
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
  int Count(COLORREF c, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }

 private:
  RECT rc_{};
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

TEST_F(ButtonTest, PaintsTheClassicLookWithTheParentsBrush) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == parent_ && m == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(red);
    return std::nullopt;
  };
  HWND check = Button(BS_CHECKBOX, "中文 &Check", 1, {10, 10, 130, 30});
  {
    Picture p(check);
    EXPECT_GT(p.Count(RGB(255, 0, 0), {40, 0, 120, 20}), 100);  // the brush behind the text
    EXPECT_EQ(p.At(4, 10), RGB(255, 255, 255));                 // the box's white well
    EXPECT_EQ(p.Count(RGB(0, 0, 0), {2, 5, 11, 15}), 0);        // unchecked: no mark
    EXPECT_GT(p.Count(RGB(0, 0, 0), {20, 0, 120, 20}), 10);     // the caption
  }
  SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
  {
    Picture p(check);
    EXPECT_GT(p.Count(RGB(0, 0, 0), {2, 5, 11, 15}), 5);  // the check mark
  }
  EnableWindow(check, FALSE);
  {
    Picture p(check);
    EXPECT_EQ(p.Count(RGB(0, 0, 0), {20, 0, 120, 20}), 0);  // grey text now
    EXPECT_GT(p.Count(GetSysColor(COLOR_GRAYTEXT), {20, 0, 120, 20}), 10);
  }
  HWND push = Button(BS_DEFPUSHBUTTON, "OK", 2, {10, 50, 85, 73});
  {
    Picture p(push);
    EXPECT_EQ(p.At(0, 0), RGB(0, 0, 0));  // the default button's black frame
    EXPECT_EQ(p.At(37, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(p.Count(GetSysColor(COLOR_BTNTEXT), {20, 4, 55, 19}), 5);
  }
  {
    Picture p(push, WM_PAINT);  // the same picture into the DC WM_PAINT was given
    EXPECT_EQ(p.At(0, 0), RGB(0, 0, 0));
    EXPECT_GT(p.Count(GetSysColor(COLOR_BTNTEXT), {20, 4, 55, 19}), 5);
  }
  react = nullptr;
  DestroyWindow(check);
  DestroyWindow(push);
  DeleteObject(red);
}

TEST_F(ButtonTest, AlignmentLeftTextAndMultilinePlaceTheCaption) {
  // A white brush and black caption so that the ink is easy to find.
  react = [&](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (h != parent_ || m != WM_CTLCOLORSTATIC) return std::nullopt;
    SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  };
  enum Where { kLeft, kRight, kCentre, kTop, kBottom, kTwoLines };
  struct Case {
    DWORD style;
    const char* text;
    Where where;
  };
  const Case cases[] = {
      {BS_CHECKBOX, "左", kLeft},
      {BS_CHECKBOX | BS_RIGHT, "右", kRight},
      {BS_CHECKBOX | BS_CENTER, "中", kCentre},
      {BS_CHECKBOX | BS_TOP, "上", kTop},
      {BS_CHECKBOX | BS_BOTTOM, "下", kBottom},
      {BS_CHECKBOX | BS_MULTILINE, "一段会折成两行的很长很长很长的说明文字和更多的字", kTwoLines},
  };
  const RECT area{10, 10, 210, 60};  // 200 x 50
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    HWND b = Button(c.style, c.text, 1, area);
    Picture p(b);
    RECT ink{200, 50, 0, 0};
    for (int y = 0; y < 50; ++y)
      for (int x = 16; x < 200; ++x)  // right of the box
        if (p.At(x, y) == RGB(0, 0, 0)) {
          ink.left = std::min<LONG>(ink.left, x);
          ink.right = std::max<LONG>(ink.right, x + 1);
          ink.top = std::min<LONG>(ink.top, y);
          ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    ASSERT_GT(ink.right, ink.left);
    switch (c.where) {
      case kLeft: EXPECT_LT(ink.left, 22); break;
      case kRight: EXPECT_GT(ink.right, 195); break;
      case kCentre: EXPECT_LT(std::abs((ink.left + ink.right) / 2 - 108), 4); break;
      case kTop: EXPECT_LT(ink.top, 4); break;
      case kBottom: EXPECT_GT(ink.bottom, 45); break;
      case kTwoLines: EXPECT_GT(ink.bottom - ink.top, 20); break;
    }
    DestroyWindow(b);
  }
  // BS_LEFTTEXT: the box on the right, its white well there.
  HWND b = Button(BS_AUTOCHECKBOX | BS_LEFTTEXT, "文字", 1, area);
  Picture p(b);
  EXPECT_EQ(p.At(193, 25), RGB(255, 255, 255));
  EXPECT_EQ(p.At(4, 25), RGB(255, 255, 255));    // the brush, not the well's frame
  EXPECT_NE(p.At(188, 25), RGB(255, 255, 255));  // the well's sunken edge
  DestroyWindow(b);
  react = nullptr;
}

TEST_F(ButtonTest, PushLikeBoxesLookLikePushButtonsDownWhenChecked) {
  HWND b = Button(BS_AUTOCHECKBOX | BS_PUSHLIKE, "开关", 1, {10, 10, 85, 33});
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(Picture(b).At(0, 0), light);  // raised: lit from the top left
  SendMessage(b, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_NE(Picture(b).At(0, 0), light);  // checked: sunken
}

TEST_F(ButtonTest, TheFocusedButtonShowsAFocusRectangle) {
  HWND b = Button(BS_PUSHBUTTON, "OK", 1, {10, 10, 85, 33});
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto dotted = [&] {  // pixels of the column three in that are not the face
    Picture p(b);
    int n = 0;
    for (int y = 4; y < 19; ++y) n += p.At(3, y) != face;
    return n;
  };
  EXPECT_EQ(dotted(), 0);
  SetFocus(b);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), BST_FOCUS);
  EXPECT_GT(dotted(), 4);
}

TEST_F(ButtonTest, KeepsItsFontAndFailsQuietlyWhenGone) {
  HWND b = Button(BS_PUSHBUTTON);
  HFONT font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessage(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(SendMessage(b, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  DestroyWindow(b);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), 0);
  EXPECT_EQ(SendMessage(b, BM_CLICK, 0, 0), 0);
  EXPECT_TRUE(Commands().empty());
}

}  // namespace
}  // namespace usertest
