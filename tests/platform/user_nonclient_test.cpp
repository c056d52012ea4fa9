// The default non-client area: client rectangles and hit codes by style, the classic frame and
// caption on the screen, and the caption buttons and borders driven by the mouse.
#include "support/user_fixture.h"

namespace usertest {
namespace {

constexpr COLORREF kActive = RGB(10, 36, 106), kActiveEnd = RGB(166, 202, 240);
constexpr COLORREF kInactive = RGB(128, 128, 128), kInactiveEnd = RGB(192, 192, 192);
constexpr COLORREF kFace = RGB(212, 208, 200), kWhite = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(64, 64, 64), kShadow = RGB(128, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0), kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

class NonClientTest : public UserTest {
 protected:
  static inline std::vector<WPARAM> commands;  // WM_SYSCOMMAND requests seen, not carried out
  static inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

  void SetUp() override {
    UserTest::SetUp();
    commands.clear();
    answer = nullptr;
    quiet = {WM_NCHITTEST, WM_SETCURSOR, WM_NCMOUSEMOVE, WM_MOUSEMOVE};
    react = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
      if (answer)
        if (auto r = answer(h, m, wp, lp)) return r;
      if (m == WM_SYSCOMMAND) {
        commands.push_back(wp);
        return 0;
      }
      return std::nullopt;
    };
    InjectMouseMove(1000, 760);
    Pump();
  }
  void TearDown() override {
    answer = nullptr;
    UserTest::TearDown();
  }
  static void Pump() { DrainQueue(true); }
  static void Click(int x, int y) {
    InjectMouseButton(MouseButton::Left, true, x, y);
    InjectMouseButton(MouseButton::Left, false, x, y);
    Pump();
  }
  static LRESULT HitAt(HWND h, int x, int y) {
    RECT wr;
    GetWindowRect(h, &wr);
    return SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(WORD(wr.left + x), WORD(wr.top + y)));
  }
  // The client rectangle in window coordinates.
  static RECT ClientInWindow(HWND h) {
    RECT wr, cr;
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    OffsetRect(&cr, o.x - wr.left, o.y - wr.top);
    return cr;
  }
};

void FillColor(HDC dc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// Paints over the whole window, frame included.
void FillWindow(HWND h, RECT r, COLORREF c) {
  HDC dc = GetWindowDC(h);
  FillColor(dc, r, c);
  ReleaseDC(h, dc);
}

std::string Str(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

TEST_F(NonClientTest, ClientRectangleByStyleAgreesWithAdjustWindowRectEx) {
  struct Case {
    const char* what;
    DWORD style, ex;
    bool menu;
    RECT client;  // in window coordinates, for a 200 x 150 window
    // clang-format off
  } cases[] = {
      {"bare popup", WS_POPUP, 0, false, {0, 0, 200, 150}},
      {"thin border", WS_POPUP | WS_BORDER, 0, false, {1, 1, 199, 149}},
      {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, false, {3, 3, 197, 147}},
      {"sizing frame alone", WS_POPUP | WS_THICKFRAME, 0, false, {3, 3, 197, 147}},
      {"overlapped window", WS_OVERLAPPEDWINDOW, 0, false, {4, 23, 196, 146}},
      {"fixed caption", WS_CAPTION | WS_SYSMENU, 0, false, {3, 22, 197, 147}},
      {"modal frame", WS_POPUP, WS_EX_DLGMODALFRAME, false, {3, 3, 197, 147}},
      {"modal frame, caption", WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, false, {3, 22, 197, 147}},
      {"static edge", WS_POPUP, WS_EX_STATICEDGE, false, {1, 1, 199, 149}},
      {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, false, {2, 2, 198, 148}},
      {"window edge adds nothing", WS_POPUP | WS_BORDER, WS_EX_WINDOWEDGE, false, {1, 1, 199, 149}},
      {"both edges and a frame", WS_OVERLAPPEDWINDOW, WS_EX_OVERLAPPEDWINDOW, false, {6, 25, 194, 144}},
      {"tool window", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, false, {4, 20, 196, 146}},
      {"menu bar", WS_OVERLAPPEDWINDOW, 0, true, {4, 42, 196, 146}},
      {"scroll bars", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, false, {0, 0, 183, 133}},
      {"left scroll bar", WS_POPUP | WS_VSCROLL, WS_EX_LEFTSCROLLBAR, false, {17, 0, 200, 150}},
      {"bars inside the edge", WS_POPUP | WS_VSCROLL, WS_EX_CLIENTEDGE, false, {2, 2, 181, 148}},
  };
  // clang-format on
  for (const Case& c : cases) {
    HWND h = Make(c.style, nullptr, "", c.ex, {10, 20, 210, 170},
                  c.menu ? reinterpret_cast<HMENU>(std::uintptr_t(77)) : nullptr);
    ASSERT_NE(h, nullptr) << c.what;
    EXPECT_EQ(Str(ClientInWindow(h)), Str(c.client)) << c.what;
    RECT outer = c.client;
    DWORD style = c.style & ~(WS_VSCROLL | WS_HSCROLL);  // AdjustWindowRectEx leaves the bars out
    if (!(c.style & (WS_VSCROLL | WS_HSCROLL))) {
      AdjustWindowRectEx(&outer, style, c.menu, c.ex);
      EXPECT_EQ(Str(outer), Str(RECT{0, 0, 200, 150})) << c.what;
    }
    DestroyWindow(h);
  }
}

TEST_F(NonClientTest, FrameChangeAddsAndRemovesTheCaption) {
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "x", 0, {10, 20, 310, 220});
  EXPECT_EQ(Str(ClientInWindow(h)), Str(RECT{4, 23, 296, 196}));
  SetWindowLongPtr(h, GWL_STYLE, GetWindowLongPtr(h, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
  EXPECT_EQ(Str(ClientInWindow(h)), Str(RECT{4, 23, 296, 196}));  // nothing until the frame changes
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(Str(ClientInWindow(h)), Str(RECT{3, 3, 297, 197}));
  EXPECT_EQ(HitAt(h, 150, 10), HTCLIENT);  // where the caption was
  SetWindowLongPtr(h, GWL_STYLE, GetWindowLongPtr(h, GWL_STYLE) | WS_CAPTION);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(Str(ClientInWindow(h)), Str(RECT{4, 23, 296, 196}));
  EXPECT_EQ(HitAt(h, 150, 10), HTCAPTION);
}

TEST_F(NonClientTest, HitCodesByStyle) {
  struct Case {
    const char* what;
    DWORD style, ex;
    bool menu;
    POINT at;  // window coordinates of a 300 x 200 window
    LRESULT want;
    // clang-format off
  } cases[] = {
      // Sizing frame 4 wide; the corners reach 18 pixels further along each edge.
      {"client", WS_OVERLAPPEDWINDOW, 0, false, {150, 100}, HTCLIENT},
      {"left", WS_OVERLAPPEDWINDOW, 0, false, {0, 100}, HTLEFT},
      {"right", WS_OVERLAPPEDWINDOW, 0, false, {299, 100}, HTRIGHT},
      {"top", WS_OVERLAPPEDWINDOW, 0, false, {150, 0}, HTTOP},
      {"bottom", WS_OVERLAPPEDWINDOW, 0, false, {150, 199}, HTBOTTOM},
      {"top-left", WS_OVERLAPPEDWINDOW, 0, false, {0, 0}, HTTOPLEFT},
      {"top-left along the top", WS_OVERLAPPEDWINDOW, 0, false, {21, 1}, HTTOPLEFT},
      {"past the corner", WS_OVERLAPPEDWINDOW, 0, false, {22, 1}, HTTOP},
      {"top-left down the side", WS_OVERLAPPEDWINDOW, 0, false, {1, 21}, HTTOPLEFT},
      {"below the corner", WS_OVERLAPPEDWINDOW, 0, false, {1, 22}, HTLEFT},
      {"top-right", WS_OVERLAPPEDWINDOW, 0, false, {299, 0}, HTTOPRIGHT},
      {"bottom-left", WS_OVERLAPPEDWINDOW, 0, false, {3, 196}, HTBOTTOMLEFT},
      {"bottom-right", WS_OVERLAPPEDWINDOW, 0, false, {280, 199}, HTBOTTOMRIGHT},
      // Caption: icon 6..22, minimise 244..260, maximise 260..276, close 278..294.
      {"system menu", WS_OVERLAPPEDWINDOW, 0, false, {10, 10}, HTSYSMENU},
      {"caption", WS_OVERLAPPEDWINDOW, 0, false, {100, 10}, HTCAPTION},
      {"caption's separator row", WS_OVERLAPPEDWINDOW, 0, false, {100, 22}, HTCAPTION},
      {"close", WS_OVERLAPPEDWINDOW, 0, false, {285, 10}, HTCLOSE},
      {"close to the caption's end", WS_OVERLAPPEDWINDOW, 0, false, {295, 4}, HTCLOSE},
      {"gap before close", WS_OVERLAPPEDWINDOW, 0, false, {277, 10}, HTCAPTION},
      {"maximise", WS_OVERLAPPEDWINDOW, 0, false, {270, 10}, HTMAXBUTTON},
      {"minimise", WS_OVERLAPPEDWINDOW, 0, false, {250, 10}, HTMINBUTTON},
      {"left of minimise", WS_OVERLAPPEDWINDOW, 0, false, {243, 10}, HTCAPTION},
      {"help", WS_CAPTION | WS_SYSMENU, WS_EX_CONTEXTHELP, false, {270, 10}, HTHELP},
      {"no buttons without a system menu", WS_CAPTION, 0, false, {285, 10}, HTCAPTION},
      {"no icon on a modal frame", WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, false, {10, 10}, HTCAPTION},
      {"tool window close", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, false, {290, 10}, HTCLOSE},
      {"tool window: no maximise", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, false, {270, 10}, HTCAPTION},
      {"tool window: no icon", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, false, {8, 10}, HTCAPTION},
      {"menu bar", WS_OVERLAPPEDWINDOW, 0, true, {100, 30}, HTMENU},
      {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, false, {1, 100}, HTBORDER},
      {"thin border", WS_POPUP | WS_BORDER, 0, false, {0, 0}, HTBORDER},
      {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, false, {1, 100}, HTBORDER},
      {"vertical bar", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, false, {290, 100}, HTVSCROLL},
      {"horizontal bar", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, false, {100, 190}, HTHSCROLL},
      {"grow box", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, false, {290, 190}, HTGROWBOX},
      {"off the window", WS_OVERLAPPEDWINDOW, 0, false, {300, 100}, HTNOWHERE},
  };
  // clang-format on
  for (const Case& c : cases) {
    HWND h = Make(c.style | WS_VISIBLE, nullptr, "x", c.ex, {100, 100, 400, 300},
                  c.menu ? reinterpret_cast<HMENU>(std::uintptr_t(77)) : nullptr);
    ASSERT_NE(h, nullptr) << c.what;
    EXPECT_EQ(HitAt(h, c.at.x, c.at.y), c.want) << c.what;
    DestroyWindow(h);
  }
}

TEST_F(NonClientTest, HitCodesFollowTheRegionTheStateAndAnOwnClientArea) {
  // A frame the window declares itself, 23 pixels on top and no caption: the part of it that
  // is not sizing border is nowhere, for the window to take as its own caption.
  answer = [](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_NCCALCSIZE) return std::nullopt;
    RECT& r = wp ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : *reinterpret_cast<RECT*>(lp);
    r = {r.left + 4, r.top + 23, r.right - 4, r.bottom - 4};
    return 0;
  };
  HWND own = Make(WS_POPUP | WS_THICKFRAME | WS_SYSMENU | WS_VISIBLE, nullptr, "", 0,
                  {100, 100, 400, 300});
  EXPECT_EQ(HitAt(own, 150, 1), HTTOP);
  EXPECT_EQ(HitAt(own, 150, 10), HTNOWHERE);
  EXPECT_EQ(HitAt(own, 150, 23), HTCLIENT);
  answer = nullptr;

  HWND shaped = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  SetWindowRgn(shaped, CreateRectRgn(10, 10, 300, 200), FALSE);
  EXPECT_EQ(HitAt(shaped, 0, 0), HTNOWHERE);     // outside the region
  EXPECT_EQ(HitAt(shaped, 100, 10), HTCAPTION);  // inside it

  HWND big = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  ShowWindow(big, SW_MAXIMIZE);
  RECT wr;
  GetWindowRect(big, &wr);
  EXPECT_EQ(HitAt(big, 1, 100), HTBORDER);  // a maximised window does not size
  EXPECT_EQ(HitAt(big, 100, 10), HTCAPTION);
  ShowWindow(big, SW_MINIMIZE);
  EXPECT_EQ(HitAt(big, 2, 2), HTCAPTION);  // all of a minimised window is caption

  // A dialog frame has a system-menu box once it is given an icon.
  HWND dlg = Make(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, "", WS_EX_DLGMODALFRAME,
                  {100, 100, 400, 300});
  EXPECT_EQ(HitAt(dlg, 10, 10), HTCAPTION);
  SendMessage(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIcon(nullptr, IDI_QUESTION)));
  EXPECT_EQ(HitAt(dlg, 10, 10), HTSYSMENU);
}

// Pixels of the window at window coordinates, read off the screen.
struct Px {
  int x, y;
  COLORREF want;
  const char* what;
};

void ExpectPixels(display::HeadlessDisplay& d, HWND h, const std::vector<Px>& px,
                  const char* where) {
  RECT wr;
  GetWindowRect(h, &wr);
  for (const Px& p : px)
    EXPECT_EQ(d.PixelAt(wr.left + p.x, wr.top + p.y), p.want) << where << ": " << p.what;
}

// How many pixels of r (window coordinates) have colour c.
int Count(display::HeadlessDisplay& d, HWND h, RECT r, COLORREF c) {
  RECT wr;
  GetWindowRect(h, &wr);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += d.PixelAt(wr.left + x, wr.top + y) == c;
  return n;
}

TEST_F(NonClientTest, ClassicFrameAndCaptionOnTheScreen) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  SetActiveWindow(h);
  UpdateWindow(h);
  ExpectPixels(d, h,
               {
                   {0, 100, kFace, "outer light edge"},
                   {1, 100, kWhite, "inner highlight"},
                   {2, 100, kFace, "sizing border"},
                   {3, 100, kFace, "sizing border"},
                   {299, 100, kDark, "outer dark edge"},
                   {298, 100, kShadow, "inner shadow"},
                   {150, 199, kDark, "bottom dark edge"},
                   {150, 0, kFace, "top light edge"},
                   {4, 4, kActive, "caption's left end"},
                   {295, 4, kActiveEnd, "caption's right end"},
                   {295, 21, kActiveEnd, "caption's last row"},
                   {150, 22, kFace, "separator row"},
                   {278, 6, kWhite, "close button raised"},
                   {293, 19, kDark, "close button's dark edge"},
                   {260, 6, kWhite, "maximise button"},
                   {244, 6, kWhite, "minimise button"},
                   {150, 100, kWhite, "client"},
               },
               "active");
  EXPECT_GT(Count(d, h, {278, 6, 294, 20}, kBlack), 0) << "close glyph";
  SendMessage(h, WM_NCACTIVATE, FALSE, 0);
  ExpectPixels(d, h,
               {{4, 4, kInactive, "left end"},
                {295, 4, kInactiveEnd, "right end"},
                {278, 6, kWhite, "button kept"}},
               "inactive");
  EXPECT_EQ(SendMessage(h, WM_NCACTIVATE, TRUE, 0), TRUE);
  ExpectPixels(d, h, {{4, 4, kActive, "left end"}}, "active again");

  // The text is drawn in the caption text colour, and comes with WM_SETTEXT.
  RECT text{22, 4, 240, 22};
  EXPECT_EQ(Count(d, h, text, kWhite), 0);
  SetWindowText(h, "标题 Title");
  EXPECT_GT(Count(d, h, text, kWhite), 20);
}

// The frame draws the scroll bars: push-button arrows, a dithered track, the size box in the
// face colour (the scroll-bar tests look at them closely).
TEST_F(NonClientTest, ScrollBarsAreDrawnWithTheFrame) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, nullptr, "", 0,
                {100, 100, 400, 300});
  UpdateWindow(h);
  ExpectPixels(d, h,
               {{282, 1, kWhite, "up arrow's raised edge"},
                {285, 4, kFace, "up arrow's face"},
                {4, 185, kFace, "left arrow's face"},
                {290, 190, kFace, "size box"},
                {0, 50, kBlack, "border"}},
               "scroll bars");
  RECT wr;
  GetWindowRect(h, &wr);
  COLORREF a = d.PixelAt(wr.left + 290, wr.top + 50), b = d.PixelAt(wr.left + 291, wr.top + 50);
  EXPECT_NE(a, b) << "a dithered track";
  EXPECT_TRUE((a == kFace && b == kWhite) || (a == kWhite && b == kFace));
}

TEST_F(NonClientTest, ChildrenReachingPastTheClientAreaLeaveTheFrameDrawn) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, nullptr, "", 0,
                {100, 100, 400, 300});
  Make(WS_CHILD | WS_VISIBLE, h, "", 0, {200, 100, 400, 300});  // past the right and bottom edges
  UpdateWindow(h);
  ExpectPixels(d, h,
               {{299, 190, kDark, "outer dark edge"},
                {298, 190, kShadow, "inner shadow"},
                {290, 199, kDark, "bottom edge"},
                {290, 196, kFace, "sizing border"}},
               "frame");
}

TEST_F(NonClientTest, ClientBitsFollowTheClientAreaOnAFrameChange) {
  display::HeadlessDisplay d;
  static constexpr COLORREF kPainted = RGB(0, 128, 255);
  answer = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    FillColor(dc, r, kPainted);
    SetPixel(dc, 0, 0, kMagenta);  // marks the client's corner
    EndPaint(h, &ps);
    return 0;
  };
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  UpdateWindow(h);
  ExpectPixels(d, h, {{4, 23, kMagenta, "corner"}}, "before");
  struct Case {
    const char* what;
    DWORD remove, add;
    std::vector<Px> px;
  } cases[] = {
      // The caption's rows become client: painted, not left showing the caption.
      {"caption removed",
       WS_CAPTION,
       0,
       {{3, 3, kMagenta, "corner"}, {100, 10, kPainted, "old caption"}}},
      {"caption back",
       0,
       WS_CAPTION,
       {{4, 23, kMagenta, "corner"}, {100, 24, kPainted, "client"}, {4, 4, kActive, "caption"}}},
  };
  for (const Case& c : cases) {
    SetWindowLongPtr(h, GWL_STYLE, (GetWindowLongPtr(h, GWL_STYLE) & ~LONG_PTR(c.remove)) | c.add);
    SetActiveWindow(h);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    UpdateWindow(h);
    ExpectPixels(d, h, c.px, c.what);
  }
}

TEST_F(NonClientTest, NcCalcSizeAnswerDecidesWhichClientPixelsStay) {
  display::HeadlessDisplay d;
  struct Case {
    const char* what;
    LRESULT wvr;
    RECT valid_dst, valid_src;  // rgrc[1] and rgrc[2] with WVR_VALIDRECTS
    std::vector<Px> px;         // in the widened window, before it repaints
    std::vector<POINT> lost, kept;
  } cases[] = {
      {"top-left by default",
       0,
       {},
       {},
       {{0, 50, kMagenta, "left marker"}, {199, 50, kGreen, "right marker"}},
       {{250, 50}},
       {{10, 50}, {199, 50}}},
      {"aligned right",
       WVR_ALIGNRIGHT,
       {},
       {},
       {{100, 50, kMagenta, "left marker"}, {299, 50, kGreen, "right marker"}},
       {{50, 50}},
       {{100, 50}, {299, 50}}},
      {"redraw", WVR_REDRAW, {}, {}, {}, {{10, 50}, {250, 50}}, {}},
      {"valid rectangles",
       WVR_VALIDRECTS,
       {50, 0, 150, 100},
       {0, 0, 100, 100},
       {{50, 50, kMagenta, "left marker moved"}},
       {{10, 50}, {160, 50}},
       {{50, 50}, {149, 50}}},
  };
  for (const Case& c : cases) {
    answer = nullptr;
    HWND h = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {0, 0, 200, 100});
    UpdateWindow(h);
    HDC dc = GetDC(h);
    SetPixel(dc, 0, 50, kMagenta);
    SetPixel(dc, 199, 50, kGreen);
    ReleaseDC(h, dc);
    answer = [&c](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
      if (m != WM_NCCALCSIZE || !wp) return std::nullopt;
      DefWindowProc(h, m, wp, lp);
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
      if (c.wvr & WVR_VALIDRECTS) {
        p->rgrc[1] = c.valid_dst;
        p->rgrc[2] = c.valid_src;
      }
      return c.wvr;
    };
    SetWindowPos(h, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    answer = nullptr;
    dc = GetDC(h);
    for (const Px& p : c.px) EXPECT_EQ(GetPixel(dc, p.x, p.y), p.want) << c.what << ": " << p.what;
    ReleaseDC(h, dc);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(h, update, FALSE);
    for (POINT p : c.lost) EXPECT_TRUE(PtInRegion(update, p.x, p.y)) << c.what << " lost " << p.x;
    for (POINT p : c.kept) EXPECT_FALSE(PtInRegion(update, p.x, p.y)) << c.what << " kept " << p.x;
    DeleteObject(update);
    DestroyWindow(h);
  }
}

TEST_F(NonClientTest, CaptionButtonsByStyle) {
  display::HeadlessDisplay d;
  // Top-left corners of the button places of a 300 x 200 window with a sizing frame (close,
  // maximise, minimise) or a fixed one, where a help button stands next to close.
  struct Case {
    const char* what;
    DWORD style, ex;
    bool close, max, min;  // present
    bool max_on, min_on;   // enabled
  } cases[] = {
      {"all three", WS_OVERLAPPEDWINDOW, 0, true, true, true, true, true},
      {"no system menu, no buttons", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX, 0,
       false, false, false, false, false},
      {"close only", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, true, false, false, false, false},
      {"maximise disabled", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, true, true,
       true, false, true},
      {"minimise disabled", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, 0, true, true,
       true, true, false},
      {"tool window: close only", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, true, false, false, false,
       false},
  };
  for (const Case& c : cases) {
    HWND h = Make(c.style | WS_VISIBLE, nullptr, "", c.ex, {100, 100, 400, 300});
    SetActiveWindow(h);
    UpdateWindow(h);
    const bool tool = c.ex & WS_EX_TOOLWINDOW;
    RECT close = tool ? RECT{284, 6, 294, 17} : RECT{278, 6, 294, 20};
    RECT max{260, 6, 276, 20}, min{244, 6, 260, 20};
    auto present = [&](const RECT& r) { return d.PixelAt(100 + r.left, 100 + r.top) == kWhite; };
    EXPECT_EQ(present(close), c.close) << c.what;
    EXPECT_EQ(present(max), c.max) << c.what;
    EXPECT_EQ(present(min), c.min) << c.what;
    // A disabled glyph is drawn without black.
    if (c.max) { EXPECT_EQ(Count(d, h, max, kBlack) > 0, c.max_on) << c.what; }
    if (c.min) { EXPECT_EQ(Count(d, h, min, kBlack) > 0, c.min_on) << c.what; }
    DestroyWindow(h);
  }
  HWND help = Make(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, "", WS_EX_CONTEXTHELP,
                   {100, 100, 400, 300});
  UpdateWindow(help);
  EXPECT_EQ(d.PixelAt(100 + 261, 100 + 5), kWhite) << "help beside close";
  EXPECT_GT(Count(d, help, {261, 5, 277, 19}, kBlack), 0) << "help glyph";
  DestroyWindow(help);

  // A class without closing: the close button is there, disabled, and does nothing.
  WNDCLASSEX wc;
  wc.lpszClassName = "NoCloseWindow";
  wc.lpfnWndProc = RecordingProc;
  wc.style = CS_NOCLOSE;
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND shut = CreateWindowEx(0, "NoCloseWindow", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                             300, 200, nullptr, nullptr, nullptr, nullptr);
  UpdateWindow(shut);
  EXPECT_EQ(d.PixelAt(100 + 278, 100 + 6), kWhite) << "close present";
  EXPECT_EQ(Count(d, shut, {278, 6, 294, 20}, kBlack), 0) << "close disabled";
  Click(385, 110);
  AdvanceClock(1000);
  Click(110, 110);
  Click(110, 110);  // a double click on the icon does not close either
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MOUSEMENU | HTSYSMENU}));
  DestroyWindow(shut);
  UnregisterClass("NoCloseWindow", nullptr);
}

TEST_F(NonClientTest, WindowAnsweringActivationItselfKeepsItsCaption) {
  display::HeadlessDisplay d;
  answer = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCPAINT) {
      FillWindow(h, {0, 0, 300, 23}, kMagenta);
      return 0;
    }
    if (m == WM_NCACTIVATE) return TRUE;
    return std::nullopt;
  };
  HWND own = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "own", 0, {100, 100, 400, 300});
  HWND other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "other", 0, {500, 100, 700, 300});
  SetActiveWindow(own);
  UpdateWindow(own);
  for (HWND next : {other, own, other}) {
    SetActiveWindow(next);
    SetWindowText(own, "renamed");
    ExpectPixels(d, own,
                 {{4, 4, kMagenta, "caption"},
                  {295, 10, kMagenta, "right end"},
                  {285, 10, kMagenta, "close place"}},
                 "own");
  }
}

TEST_F(NonClientTest, CaptionButtonIsDrawnPushedWhileTracked) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  SetActiveWindow(h);
  UpdateWindow(h);
  // Close is 378..394 x 106..120 on the screen; its bottom-right edge pixel tells its state.
  std::vector<COLORREF> seen;
  int step = 0;
  SetIdleHandler([&] {
    seen.push_back(d.PixelAt(393, 119));
    switch (step++) {
      case 0: InjectMouseMove(200, 110); break;  // off the button: drawn up
      case 1: InjectMouseMove(385, 112); break;  // back on it: pushed again
      case 2: InjectMouseButton(MouseButton::Left, false, 385, 112); break;
    }
  });
  InjectMouseButton(MouseButton::Left, true, 385, 110);
  Pump();
  SetIdleHandler(nullptr);
  EXPECT_EQ(seen, (std::vector<COLORREF>{kWhite, kDark, kWhite}));
  EXPECT_EQ(d.PixelAt(393, 119), kDark);  // up again afterwards
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_CLOSE}));
  EXPECT_EQ(GetCapture(), nullptr);

  // Let go elsewhere: no command.
  commands.clear();
  step = 10;
  SetIdleHandler([&] {
    if (step++ == 10) {
      InjectMouseMove(200, 110);
      InjectMouseButton(MouseButton::Left, false, 200, 110);
    }
  });
  AdvanceClock(1000);
  InjectMouseButton(MouseButton::Left, true, 385, 110);
  Pump();
  SetIdleHandler(nullptr);
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(GetCapture(), nullptr);

  // The window goes while its button is held: the loop ends, nothing is sent.
  SetIdleHandler([&] { DestroyWindow(h); });
  AdvanceClock(1000);
  InjectMouseButton(MouseButton::Left, true, 385, 110);
  Pump();
  SetIdleHandler(nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(GetCapture(), nullptr);
  InjectMouseButton(MouseButton::Left, false, 385, 110);
  Pump();
}

TEST_F(NonClientTest, NonClientMouseSendsSystemCommands) {
  constexpr WPARAM kDrag = SC_MOVE | HTCAPTION;
  struct Case {
    const char* what;
    DWORD style, ex;
    POINT at;  // screen, for a window at 100, 100, 400, 300
    bool twice;
    std::vector<WPARAM> want;
  } cases[] = {
      {"close", WS_OVERLAPPEDWINDOW, 0, {385, 110}, false, {SC_CLOSE}},
      {"maximise", WS_OVERLAPPEDWINDOW, 0, {370, 110}, false, {SC_MAXIMIZE}},
      {"minimise", WS_OVERLAPPEDWINDOW, 0, {350, 110}, false, {SC_MINIMIZE}},
      {"help", WS_CAPTION | WS_SYSMENU, WS_EX_CONTEXTHELP, {370, 110}, false, {SC_CONTEXTHELP}},
      {"disabled maximise", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, {370, 110}, false, {}},
      {"caption drags", WS_OVERLAPPEDWINDOW, 0, {200, 110}, false, {kDrag}},
      {"left border sizes", WS_OVERLAPPEDWINDOW, 0, {100, 200}, false, {SC_SIZE | 1}},
      {"top border", WS_OVERLAPPEDWINDOW, 0, {250, 100}, false, {SC_SIZE | 3}},
      {"bottom-right corner", WS_OVERLAPPEDWINDOW, 0, {399, 299}, false, {SC_SIZE | 8}},
      {"fixed border: nothing", WS_CAPTION | WS_SYSMENU, 0, {100, 200}, false, {}},
      {"system menu", WS_OVERLAPPEDWINDOW, 0, {110, 110}, false, {SC_MOUSEMENU | HTSYSMENU}},
      {"double click maximises", WS_OVERLAPPEDWINDOW, 0, {200, 110}, true, {kDrag, SC_MAXIMIZE}},
      {"not without a maximise box", WS_CAPTION | WS_SYSMENU, 0, {200, 110}, true, {kDrag}},
      {"double click on the icon closes",
       WS_OVERLAPPEDWINDOW,
       0,
       {110, 110},
       true,
       {SC_MOUSEMENU | HTSYSMENU, SC_CLOSE}},
  };
  for (const Case& c : cases) {
    HWND h = Make(c.style | WS_VISIBLE, nullptr, "", c.ex, {100, 100, 400, 300});
    commands.clear();
    AdvanceClock(1000);  // never a double click with the case before
    Click(c.at.x, c.at.y);
    if (c.twice) Click(c.at.x, c.at.y);
    EXPECT_EQ(commands, c.want) << c.what;
    DestroyWindow(h);
  }
  // On a maximised window a double click on the caption restores.
  HWND big = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  ShowWindow(big, SW_MAXIMIZE);
  commands.clear();
  AdvanceClock(1000);
  Click(300, 10);
  Click(300, 10);
  EXPECT_EQ(commands, (std::vector<WPARAM>{kDrag, SC_RESTORE}));
  EXPECT_EQ(HitAt(big, 300, 10), HTCAPTION);
}

TEST_F(NonClientTest, DraggingTheCaptionMovesAndABorderSizes) {
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  // The commands are carried out this time.
  react = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SYSCOMMAND) commands.push_back(wp);
    return std::nullopt;
  };
  auto drag = [](POINT from, POINT to) {
    InjectMouseButton(MouseButton::Left, true, from.x, from.y);
    InjectMouseMove(to.x, to.y);
    InjectMouseButton(MouseButton::Left, false, to.x, to.y);
    Pump();
  };
  drag({200, 110}, {260, 150});
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(Str(r), Str(RECT{160, 140, 460, 340}));
  AdvanceClock(1000);
  drag({459, 339}, {489, 359});  // the bottom-right corner
  GetWindowRect(h, &r);
  EXPECT_EQ(Str(r), Str(RECT{160, 140, 490, 360}));
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MOVE | HTCAPTION, SC_SIZE | WMSZ_BOTTOMRIGHT}));
}

TEST_F(NonClientTest, RightClickOnTheCaptionAsksForTheContextMenu) {
  HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  HWND kid = Make(WS_CHILD | WS_VISIBLE | WS_CAPTION, top, "", 0, {10, 10, 200, 150});
  std::vector<std::pair<HWND, WPARAM>> asked;
  answer = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_CONTEXTMENU) {
      asked.push_back({h, wp});
      EXPECT_EQ(GET_X_LPARAM(lp), 250);
    }
    return std::nullopt;
  };
  InjectMouseButton(MouseButton::Right, true, 250, 110);
  InjectMouseButton(MouseButton::Right, false, 250, 110);
  Pump();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, top);
  asked.clear();
  // A child's caption: the child is asked, then its parent on its behalf.
  InjectMouseButton(MouseButton::Right, true, 250, 140);
  InjectMouseButton(MouseButton::Right, false, 250, 140);
  Pump();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].first, kid);
  EXPECT_EQ(asked[1].first, top);
  EXPECT_EQ(asked[1].second, reinterpret_cast<WPARAM>(kid));
}

TEST_F(NonClientTest, CursorFollowsTheHitCodeAndTheParentChoosesFirst) {
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  HWND kid = Make(WS_CHILD | WS_VISIBLE, h, "", 0, {10, 10, 60, 60});
  struct Case {
    POINT at;
    const char* want;
  } cases[] = {
      {{100, 200}, IDC_SIZEWE},   {{399, 200}, IDC_SIZEWE},   {{250, 100}, IDC_SIZENS},
      {{250, 299}, IDC_SIZENS},   {{100, 100}, IDC_SIZENWSE}, {{399, 299}, IDC_SIZENWSE},
      {{399, 100}, IDC_SIZENESW}, {{100, 299}, IDC_SIZENESW}, {{200, 110}, IDC_ARROW},
      {{385, 110}, IDC_ARROW},
  };
  for (const Case& c : cases) {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    InjectMouseMove(c.at.x, c.at.y);
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, c.want)) << c.at.x << "," << c.at.y;
  }
  // Over the child, the parent is asked first and may settle it.
  answer = [h](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_SETCURSOR || w != h) return std::nullopt;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return TRUE;
  };
  InjectMouseMove(130, 150);
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  EXPECT_TRUE(IsWindow(kid));
}

TEST_F(NonClientTest, NcPaintDrawsOnlyTheRegionItIsGiven) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  SetActiveWindow(h);
  UpdateWindow(h);
  FillWindow(h, {0, 0, 300, 200}, kMagenta);
  HRGN left = CreateRectRgn(100, 100, 104, 300);  // the left border, on the screen
  SendMessage(h, WM_NCPAINT, reinterpret_cast<WPARAM>(left), 0);
  ExpectPixels(d, h,
               {{1, 100, kWhite, "left border drawn"},
                {298, 100, kMagenta, "right border left"},
                {150, 10, kMagenta, "caption left"},
                {150, 100, kMagenta, "client never"}},
               "region");
  EXPECT_EQ(GetObjectType(left), OBJ_REGION);  // still the caller's
  DeleteObject(left);
  // 1 is the whole frame; so is a region that no longer exists.
  for (WPARAM whole : {WPARAM(1), reinterpret_cast<WPARAM>(left)}) {
    FillWindow(h, {0, 0, 300, 200}, kMagenta);
    SendMessage(h, WM_NCPAINT, whole, 0);
    ExpectPixels(d, h,
                 {{298, 100, kShadow, "right border"},
                  {4, 4, kActive, "caption"},
                  {150, 100, kMagenta, "client never"}},
                 whole == 1 ? "whole" : "stale region");
  }
}

TEST_F(NonClientTest, ControlColoursByDefault) {
  HWND h = Make(WS_POPUP);
  HDC dc = GetDC(h);
  struct Case {
    UINT msg;
    int brush, text, back;
  } cases[] = {
      {WM_CTLCOLOREDIT, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_WINDOW},
      {WM_CTLCOLORLISTBOX, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_WINDOW},
      {WM_CTLCOLORSTATIC, COLOR_3DFACE, COLOR_WINDOWTEXT, COLOR_3DFACE},
      {WM_CTLCOLORBTN, COLOR_3DFACE, COLOR_WINDOWTEXT, COLOR_3DFACE},
      {WM_CTLCOLORDLG, COLOR_3DFACE, COLOR_WINDOWTEXT, COLOR_3DFACE},
      {WM_CTLCOLORMSGBOX, COLOR_3DFACE, COLOR_WINDOWTEXT, COLOR_3DFACE},
  };
  for (const Case& c : cases) {
    SetTextColor(dc, kMagenta);
    SetBkColor(dc, kMagenta);
    LRESULT r = DefWindowProc(h, c.msg, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), GetSysColorBrush(c.brush)) << MsgName(c.msg);
    EXPECT_EQ(SetTextColor(dc, 0), GetSysColor(c.text)) << MsgName(c.msg);
    EXPECT_EQ(SetBkColor(dc, 0), GetSysColor(c.back)) << MsgName(c.msg);
  }
  // Scroll bars: with the highlight colour that of windows, a dither of the face and highlight
  // colours (the DC's text and background colours), one brush for all, as on Windows.
  LRESULT r = DefWindowProc(h, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HBRUSH>(r)), DWORD(OBJ_BRUSH));
  EXPECT_NE(reinterpret_cast<HBRUSH>(r), GetSysColorBrush(COLOR_SCROLLBAR));
  EXPECT_EQ(DefWindowProc(h, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), 0), r);
  EXPECT_EQ(SetTextColor(dc, 0), GetSysColor(COLOR_3DFACE));
  EXPECT_EQ(SetBkColor(dc, 0), GetSysColor(COLOR_3DHILIGHT));
  ReleaseDC(h, dc);
}

// A 1-bpp bitmap from rows of '0' and '1'.
HBITMAP Mono(std::vector<std::string> rows) {
  const int w = int(rows[0].size()), h = int(rows.size());
  std::vector<BYTE> bits(std::size_t(2 * h), 0);  // word-aligned rows of up to 16 pixels
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (rows[y][x] == '1') bits[std::size_t(2 * y + x / 8)] |= BYTE(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, bits.data());
}

// A 4 x 4 icon: the left half opaque red; on the right, a transparent column and one that
// inverts what is under it.
HICON TestIcon() {
  HBITMAP mask = Mono({"0011", "0011", "0011", "0011"});
  HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, color);
  for (int y = 0; y < 4; ++y) {
    SetPixel(dc, 0, y, RGB(255, 0, 0));
    SetPixel(dc, 1, y, RGB(255, 0, 0));
    SetPixel(dc, 3, y, kWhite);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);  // the icon has copies
  DeleteObject(color);
  return icon;
}

TEST_F(NonClientTest, IconsDrawThroughTheirMaskAndImage) {
  HICON icon = TestIcon();
  ASSERT_NE(icon, nullptr);
  HBITMAP mono_and_xor = Mono({"0011", "0011", "0011", "0011", "0101", "0101", "0101", "0101"});
  ICONINFO mi{TRUE, 0, 0, mono_and_xor, nullptr};
  HICON mono = CreateIconIndirect(&mi);
  DeleteObject(mono_and_xor);
  ASSERT_NE(mono, nullptr);
  HBRUSH blue = CreateSolidBrush(kBlue);
  struct Case {
    const char* what;
    HICON icon;
    int cx, cy;
    HBRUSH brush;
    UINT flags;
    std::vector<Px> px;  // on a green 40 x 40 bitmap, the icon at 0, 0
    // clang-format off
  } cases[] = {
      {"normal", icon, 0, 0, nullptr, DI_NORMAL,
       {{0, 0, kRed, "opaque"}, {2, 3, kGreen, "transparent"}, {3, 1, kMagenta, "inverted"},
        {4, 0, kGreen, "beside"}}},
      {"mask alone", icon, 0, 0, nullptr, DI_MASK, {{1, 0, kBlack, "opaque"}, {3, 0, kWhite, "clear"}}},
      {"image alone", icon, 0, 0, nullptr, DI_IMAGE, {{1, 0, kRed, "red"}, {2, 0, kBlack, "black"}}},
      {"stretched", icon, 8, 8, nullptr, DI_NORMAL,
       {{3, 7, kRed, "opaque"}, {5, 0, kGreen, "transparent"}, {7, 7, kMagenta, "inverted"},
        {8, 8, kGreen, "beside"}}},
      {"default size", icon, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE,
       {{15, 31, kRed, "opaque"}, {20, 0, kGreen, "transparent"}, {31, 31, kMagenta, "inverted"},
        {32, 0, kGreen, "beside"}}},
      {"on a brush", icon, 0, 0, blue, DI_NORMAL, {{0, 0, kRed, "opaque"}, {2, 0, kBlue, "brush"},
                                                  {3, 0, kWhite ^ kBlue, "inverted brush"}}},
      {"monochrome", mono, 0, 0, nullptr, DI_NORMAL,
       {{0, 0, kBlack, "black"}, {1, 0, kWhite, "white"}, {2, 0, kGreen, "transparent"},
        {3, 0, kMagenta, "inverted"}}},
  };
  // clang-format on
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateBitmap(40, 40, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  HBRUSH green = CreateSolidBrush(kGreen);
  for (const Case& c : cases) {
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, green);
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, c.icon, c.cx, c.cy, 0, c.brush, c.flags)) << c.what;
    for (const Px& p : c.px) EXPECT_EQ(GetPixel(dc, p.x, p.y), p.want) << c.what << ": " << p.what;
  }
  // The DC's colours come back as they were.
  SetTextColor(dc, kBlue);
  DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(GetTextColor(dc), kBlue);
  EXPECT_FALSE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, 0));  // neither mask nor image

  ICONINFO out{};
  ASSERT_TRUE(GetIconInfo(icon, &out));
  EXPECT_TRUE(out.fIcon);
  EXPECT_EQ(out.xHotspot, 2u);
  BITMAP bm{};
  GetObject(out.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 4);
  HDC rd = CreateCompatibleDC(nullptr);
  HGDIOBJ rold = SelectObject(rd, out.hbmColor);
  EXPECT_EQ(GetPixel(rd, 0, 0), kRed);  // the icon's own pixels, the caller's copy
  SelectObject(rd, rold);
  DeleteDC(rd);
  DeleteObject(out.hbmColor);
  DeleteObject(out.hbmMask);
  EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));  // unharmed by that

  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(GetIconInfo(icon, &out));
  DestroyIcon(mono);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteObject(green);
  DeleteObject(blue);
  DeleteDC(dc);

  ICONINFO bad{TRUE, 0, 0, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&bad), nullptr);
  EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
}

TEST_F(NonClientTest, SystemIconsAreSharedAndStay) {
  for (const char* id : {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK,
                         IDI_WINLOGO, IDI_SHIELD}) {
    HICON a = LoadIcon(nullptr, id);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, id), a);
    EXPECT_TRUE(DestroyIcon(a));
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(a, &ii));  // still there
    BITMAP bm{};
    GetObject(ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(ii.hbmMask);
    DeleteObject(ii.hbmColor);
  }
  SetLastError(0);
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(32600)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(LoadIcon(reinterpret_cast<HINSTANCE>(1), IDI_APPLICATION), nullptr);
}

TEST_F(NonClientTest, CaptionShowsTheWindowIcon) {
  display::HeadlessDisplay d;
  HWND h = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 400, 300});
  SetActiveWindow(h);
  UpdateWindow(h);
  // The icon's place is 6..22 x 5..21; without an icon of its own the window shows the
  // application icon, a small white window outlined in black.
  ExpectPixels(d, h, {{14, 13, kWhite, "body"}, {7, 13, kBlack, "outline"}}, "system icon");

  HBITMAP mask = Mono({"0000", "0000", "0000", "0000"});
  HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, color);
  FillColor(mdc, {0, 0, 4, 4}, kMagenta);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON small = CreateIconIndirect(&ii), big = TestIcon();
  DeleteObject(mask);
  DeleteObject(color);

  EXPECT_EQ(SendMessage(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
  EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(big));
  ExpectPixels(d, h, {{6, 5, kRed, "big icon's red half"}}, "big");
  EXPECT_EQ(SendMessage(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small)), 0);
  ExpectPixels(d, h,
               {{6, 5, kMagenta, "top-left"},
                {21, 20, kMagenta, "bottom-right"},
                {5, 13, kActive, "left of it"}},
               "small");
  EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(small));
  EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(big));
  EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(small));
  EXPECT_EQ(SendMessage(h, WM_SETICON, ICON_SMALL, 0),
            reinterpret_cast<LRESULT>(small));  // the old one
  ExpectPixels(d, h, {{6, 5, kRed, "back to the big icon"}}, "cleared");
  // A destroyed icon is passed over.
  DestroyIcon(big);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  ExpectPixels(d, h, {{14, 13, kWhite, "body"}, {7, 13, kBlack, "outline"}}, "destroyed");
  DestroyIcon(small);
}

}  // namespace
}  // namespace usertest
