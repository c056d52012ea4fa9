// Painting: message sequences, clipping of window DCs on the backing store, update regions,
// scrolling, printing, window regions.
#include <climits>

#include "support/user_fixture.h"

namespace usertest {
namespace {

const Seq kPaintMsgs = {"WM_PAINT", "WM_NCPAINT",     "WM_ERASEBKGND",
                        "WM_PRINT", "WM_PRINTCLIENT", "WM_WINDOWPOSCHANGED"};

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
                   kGreen = RGB(0, 255, 0), kBlack = RGB(0, 0, 0);

void Fill(HDC dc, const RECT& rc, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &rc, b);
  DeleteObject(b);
}

class PaintTest : public UserTest {
 public:
  using UserTest::Make;  // for the setup steps of table cases

 protected:
  // WM_PAINT of these windows fills their client area; WM_PRINTCLIENT likewise.
  static inline std::map<HWND, COLORREF> paint_color;

  void SetUp() override {
    UserTest::SetUp();
    paint_color.clear();
    react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      auto it = paint_color.find(h);
      if (it == paint_color.end()) return std::nullopt;
      RECT rc;
      GetClientRect(h, &rc);
      if (m == WM_PAINT && !wp) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        Fill(dc, rc, it->second);
        EndPaint(h, &ps);
        return 0;
      }
      if (m == WM_PRINTCLIENT) {
        Fill(reinterpret_cast<HDC>(wp), rc, it->second);
        return 0;
      }
      return std::nullopt;
    };
  }

  // Dispatches until nothing is left; a window that never validates would show as a stuck
  // loop, which the bound turns into a failure.
  static int Pump() {
    int n = int(DrainQueue(false, 500).size());
    EXPECT_LT(n, 500) << "WM_PAINT never stopped";
    return n;
  }

  // The top-level window as the screen shows it, alone on the desktop.
  static display::Capture Shot(HWND top) { return display::HeadlessDisplay().CaptureWindow(top); }
  // What the top-level window shows at window coordinates (x, y).
  static COLORREF Px(HWND top, int x, int y) { return Shot(top).At(x, y); }

  static RECT UpdateRect(HWND h) {
    RECT rc{-1, -1, -1, -1};
    GetUpdateRect(h, &rc, FALSE);
    return rc;
  }

  HWND Popup(RECT r = {0, 0, 100, 100}, DWORD extra = 0) {
    HWND h = Make(WS_POPUP | WS_VISIBLE | extra, nullptr, "", 0, r);
    Pump();
    return h;
  }
};

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
::testing::AssertionResult RectIs(const RECT& got, RECT want) {
  if (Same(got, want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "{" << got.left << "," << got.top << "," << got.right << "," << got.bottom << "}";
}

// ---- clipping of window DCs ------------------------------------------------------------

TEST_F(PaintTest, WindowDCsAreClippedToTheVisibleRegion) {
  struct Case {
    const char* name;
    // Builds the windows under `top` and returns the one whose DC is filled red.
    std::function<HWND(PaintTest*, HWND top)> setup;
    std::vector<POINT> red, untouched;  // top-level window coordinates
  };
  std::vector<Case> cases = {
      {"a child paints only inside itself",
       [](PaintTest* t, HWND top) {
         return t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {10, 10, 50, 50});
       },
       {{10, 10}, {49, 49}},
       {{9, 9}, {50, 50}}},
      {"siblings above clip a WS_CLIPSIBLINGS child",
       [](PaintTest* t, HWND top) {
         t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {30, 30, 70, 70});  // created first: on top
         return t->Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, "", 0, {10, 10, 50, 50});
       },
       {{20, 20}, {29, 45}},
       {{35, 35}, {49, 49}}},
      {"without WS_CLIPSIBLINGS it paints over them",
       [](PaintTest* t, HWND top) {
         t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {30, 30, 70, 70});
         return t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {10, 10, 50, 50});
       },
       {{20, 20}, {35, 35}},
       {{60, 60}}},
      {"siblings below never clip",
       [](PaintTest* t, HWND top) {
         HWND above =
             t->Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, "", 0, {10, 10, 50, 50});
         t->Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, "", 0, {30, 30, 70, 70});
         return above;
       },
       {{35, 35}},
       {{60, 60}}},
      {"a parent with WS_CLIPCHILDREN leaves its children alone",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, top, "", 0, {0, 0, 80, 80});
         t->Make(WS_CHILD | WS_VISIBLE, p, "", 0, {10, 10, 30, 30});
         return p;
       },
       {{5, 5}, {30, 30}},
       {{10, 10}, {29, 29}}},
      {"except a WS_EX_TRANSPARENT child",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, top, "", 0, {0, 0, 80, 80});
         t->Make(WS_CHILD | WS_VISIBLE, p, "", WS_EX_TRANSPARENT, {10, 10, 30, 30});
         return p;
       },
       {{5, 5}, {15, 15}},
       {{85, 85}}},
      {"a parent without it paints over them",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {0, 0, 80, 80});
         t->Make(WS_CHILD | WS_VISIBLE, p, "", 0, {10, 10, 30, 30});
         return p;
       },
       {{5, 5}, {10, 10}},
       {{85, 85}}},
      {"a grandchild stays inside its parent's client area",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, "", 0, {10, 10, 50, 50});
         return t->Make(WS_CHILD | WS_VISIBLE, p, "", 0, {20, 20, 80, 80});
       },
       {{31, 31}, {48, 48}},
       {{49, 49}, {60, 60}, {30, 30}}},
      {"the window region shapes it",
       [](PaintTest* t, HWND top) {
         HWND c = t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {10, 10, 50, 50});
         SetWindowRgn(c, CreateRectRgn(5, 5, 15, 15), FALSE);
         return c;
       },
       {{15, 15}, {24, 24}},
       {{10, 10}, {25, 25}}},
      {"the parent's window region shapes its children",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD | WS_VISIBLE, top, "", 0, {0, 0, 80, 80});
         SetWindowRgn(p, CreateRectRgn(0, 0, 20, 80), FALSE);
         return t->Make(WS_CHILD | WS_VISIBLE, p, "", 0, {10, 10, 30, 30});
       },
       {{15, 15}},
       {{25, 15}}},
      {"a hidden window paints nothing",
       [](PaintTest* t, HWND top) {
         return t->Make(WS_CHILD, top, "", 0, {10, 10, 50, 50});
       },
       {},
       {{10, 10}, {30, 30}}},
      {"nor does the child of a hidden window",
       [](PaintTest* t, HWND top) {
         HWND p = t->Make(WS_CHILD, top, "", 0, {0, 0, 80, 80});
         return t->Make(WS_CHILD | WS_VISIBLE, p, "", 0, {10, 10, 30, 30});
       },
       {},
       {{15, 15}}},
  };
  for (auto& c : cases) {
    HWND top = Popup();
    HWND target = c.setup(this, top);
    Pump();
    HDC dc = GetDC(target);
    ASSERT_NE(dc, nullptr) << c.name;
    Fill(dc, RECT{-1000, -1000, 1000, 1000}, kRed);
    EXPECT_EQ(ReleaseDC(target, dc), 1);
    for (POINT p : c.red)
      EXPECT_EQ(Px(top, p.x, p.y), kRed) << c.name << " at " << p.x << "," << p.y;
    for (POINT p : c.untouched)
      EXPECT_NE(Px(top, p.x, p.y), kRed) << c.name << " at " << p.x << "," << p.y;
    DestroyWindow(top);
  }
}

TEST_F(PaintTest, DCOriginsAndExtraClipping) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, "", 0, {100, 50, 200, 150});
  Pump();
  // The client starts one pixel in, behind the border.
  HDC wdc = GetWindowDC(top);
  SetPixel(wdc, 0, 0, kBlue);
  ReleaseDC(top, wdc);
  EXPECT_EQ(Px(top, 0, 0), kBlue);
  HDC cdc = GetDC(top);
  SetPixel(cdc, 0, 0, kGreen);
  EXPECT_EQ(GetPixel(cdc, 0, 0), kGreen);  // reads back what is there
  ReleaseDC(top, cdc);
  EXPECT_EQ(Px(top, 1, 1), kGreen);

  // Clip regions come in screen coordinates and belong to the DC.
  HRGN keep = CreateRectRgn(110, 60, 120, 70);
  HDC idc = GetDCEx(top, keep, DCX_WINDOW | DCX_INTERSECTRGN);
  Fill(idc, RECT{0, 0, 100, 100}, kRed);
  ReleaseDC(top, idc);
  EXPECT_EQ(Px(top, 10, 10), kRed);
  EXPECT_NE(Px(top, 20, 20), kRed);
  EXPECT_EQ(GetObjectType(keep), 0u);

  HDC edc = GetDCEx(top, CreateRectRgn(100, 50, 150, 150), DCX_WINDOW | DCX_EXCLUDERGN);
  Fill(edc, RECT{0, 0, 100, 100}, kBlue);
  ReleaseDC(top, edc);
  EXPECT_EQ(Px(top, 10, 10), kRed);
  EXPECT_EQ(Px(top, 60, 20), kBlue);
}

// Validating a parent reaches the same area of its children unless it clips them; an inverted
// rectangle invalidates the one it spans; ValidateRgn needs a window.
TEST_F(PaintTest, ValidationReachesChildrenUnlessTheParentClipsThem) {
  for (bool clip : {false, true}) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE | (clip ? WS_CLIPCHILDREN : 0), nullptr, "", 0,
                       {0, 0, 100, 100});
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, "", 0, {10, 10, 50, 50});
    Pump();
    InvalidateRect(child, nullptr, FALSE);
    RECT all{0, 0, 100, 100};
    ValidateRect(parent, &all);
    EXPECT_EQ(GetUpdateRect(child, nullptr, FALSE), clip ? TRUE : FALSE) << clip;
    DestroyWindow(parent);
  }
  HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {0, 0, 100, 100});
  Pump();
  RECT inverted{40, 30, 10, 20};
  InvalidateRect(w, &inverted, FALSE);
  EXPECT_EQ(UpdateRect(w), (RECT{10, 20, 40, 30}));
  ValidateRect(w, nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 5, 5);
  SetLastError(0);
  EXPECT_FALSE(ValidateRgn(nullptr, rgn));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  DeleteObject(rgn);
}

TEST_F(PaintTest, DCsClipToTheUpdateRegionOrLeaveItForThePainter) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, "", 0, {100, 50, 200, 150});
  Pump();
  RECT part{10, 10, 20, 20};
  // DCX_INTERSECTUPDATE clips to the update region; DCX_VALIDATE then validates it.
  InvalidateRect(top, &part, FALSE);
  HDC udc = GetDCEx(top, nullptr, DCX_INTERSECTUPDATE | DCX_VALIDATE);
  Fill(udc, RECT{0, 0, 98, 98}, kGreen);
  ReleaseDC(top, udc);
  EXPECT_EQ(Px(top, 11, 11), kGreen);
  EXPECT_NE(Px(top, 25, 25), kGreen);
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
  // DCX_EXCLUDEUPDATE leaves the invalid part for the painter.
  InvalidateRect(top, &part, FALSE);
  HDC xdc = GetDCEx(top, nullptr, DCX_EXCLUDEUPDATE);
  Fill(xdc, RECT{0, 0, 98, 98}, kBlue);
  ReleaseDC(top, xdc);
  EXPECT_EQ(Px(top, 11, 11), kGreen);
  EXPECT_EQ(Px(top, 25, 25), kBlue);
  EXPECT_TRUE(GetUpdateRect(top, nullptr, FALSE));
  ValidateRect(top, nullptr);
}

TEST_F(PaintTest, GetDCExClipsChildrenOnlyWhenAskedTo) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, "", 0, {100, 50, 200, 150});
  Pump();
  // Whatever the window's style; GetDC follows the style.
  SetWindowLongPtr(top, GWL_STYLE, GetWindowLongPtr(top, GWL_STYLE) | WS_CLIPCHILDREN);
  HWND kid = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {50, 50, 60, 60});
  Pump();
  struct {
    DWORD flags;
    bool over_child;
  } dcx[] = {{DCX_CACHE, true}, {DCX_CACHE | DCX_CLIPCHILDREN, false}};
  for (auto& c : dcx) {
    HDC kdc = GetDCEx(top, nullptr, c.flags);
    Fill(kdc, RECT{0, 0, 98, 98}, c.over_child ? kRed : kGreen);
    ReleaseDC(top, kdc);
    EXPECT_EQ(Px(top, 55, 55), kRed) << c.flags;  // window coordinates: client + 1
    EXPECT_EQ(Px(top, 40, 40), c.over_child ? kRed : kGreen) << c.flags;
  }
  HDC sdc = GetDC(top);  // the style applies
  Fill(sdc, RECT{0, 0, 98, 98}, kBlue);
  ReleaseDC(top, sdc);
  EXPECT_EQ(Px(top, 55, 55), kRed);
  DestroyWindow(kid);
}

TEST_F(PaintTest, AParentDCClassDrawsThroughItsParentsClipping) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, "", 0, {100, 50, 200, 150});
  Pump();
  // A child of a CS_PARENTDC class draws through its parent's clipping.
  WNDCLASSEX wc;
  wc.lpszClassName = "PaintParentDC";
  wc.lpfnWndProc = DefWindowProc;
  wc.style = CS_PARENTDC;
  RegisterClassEx(&wc);
  HWND child = CreateWindowEx(0, "PaintParentDC", "", WS_CHILD | WS_VISIBLE, 10, 10, 10, 10, top,
                              nullptr, nullptr, nullptr);
  HDC pdc = GetDC(child);
  Fill(pdc, RECT{0, 0, 30, 30}, kBlack);
  ReleaseDC(child, pdc);
  EXPECT_EQ(Px(top, 1 + 10 + 25, 1 + 10 + 25), kBlack);  // beyond the child, inside the parent
  DestroyWindow(child);
  UnregisterClass("PaintParentDC", nullptr);
}

TEST_F(PaintTest, AnOwnDCClassKeepsOneDCForLife) {
  HWND top = Make(WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, "", 0, {100, 50, 200, 150});
  Pump();
  // A CS_OWNDC window has one DC for life, its drawing state kept between uses.
  WNDCLASSEX wc;
  wc.lpszClassName = "PaintOwnDC";
  wc.lpfnWndProc = DefWindowProc;
  wc.style = CS_OWNDC;
  RegisterClassEx(&wc);
  HWND own = CreateWindowEx(0, "PaintOwnDC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr,
                            nullptr, nullptr);
  HDC o1 = GetDC(own);
  SetTextColor(o1, kRed);
  ReleaseDC(own, o1);
  InvalidateRect(own, nullptr, FALSE);
  PAINTSTRUCT ps;
  EXPECT_EQ(BeginPaint(own, &ps), o1);
  EndPaint(own, &ps);
  HDC o2 = GetDC(own);
  EXPECT_EQ(o2, o1);
  EXPECT_EQ(GetTextColor(o2), kRed);
  ReleaseDC(own, o2);
  HDC w1 = GetWindowDC(own);
  EXPECT_NE(w1, o1);  // window DCs still come from the cache
  ReleaseDC(own, w1);
  DestroyWindow(own);
  EXPECT_EQ(GetTextColor(o1), CLR_INVALID);  // gone with the window
  UnregisterClass("PaintOwnDC", nullptr);
}

TEST_F(PaintTest, ReleaseAndGetDCRefuseWhatIsNoWindowDC) {
  HWND top = Make(WS_POPUP | WS_VISIBLE);
  HDC mem = CreateCompatibleDC(nullptr);
  EXPECT_EQ(ReleaseDC(top, mem), 0);  // not a window DC
  DeleteDC(mem);
  HWND gone = Make(WS_POPUP);
  DestroyWindow(gone);
  SetLastError(0);
  EXPECT_EQ(GetDC(gone), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

// ---- message sequences -------------------------------------------------------------------

TEST_F(PaintTest, ShowingSendsFrameAndErasureBeforeThePositionIsReported) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr, "", 0, {0, 0, 200, 150});
  HWND child = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, "", 0, {10, 10, 50, 50});
  log.clear();
  ShowWindow(top, SW_SHOW);
  EXPECT_EQ(Names({{top, "t"}, {child, "c"}}, kPaintMsgs),
            (Seq{"t:WM_NCPAINT", "t:WM_ERASEBKGND", "c:WM_NCPAINT", "c:WM_ERASEBKGND",
                 "t:WM_WINDOWPOSCHANGED"}));
  log.clear();
  UpdateWindow(top);
  EXPECT_EQ(Names({{top, "t"}, {child, "c"}}, kPaintMsgs), (Seq{"t:WM_PAINT", "c:WM_PAINT"}));
  log.clear();
  EXPECT_EQ(Pump(), 0);  // all painted
  // Hiding a child leaves its place to the parent.
  ShowWindow(child, SW_HIDE);
  RECT want{10, 10, 50, 50};
  EXPECT_TRUE(RectIs(UpdateRect(top), want));
  Pump();
  EXPECT_EQ(Names({{top, "t"}, {child, "c"}}, kPaintMsgs),
            (Seq{"c:WM_WINDOWPOSCHANGED", "t:WM_PAINT", "t:WM_ERASEBKGND"}));
}

TEST_F(PaintTest, QueuedPaintGoesParentsFirstAndStaysUntilValidated) {
  HWND top = Popup();
  HWND a = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {0, 0, 20, 20});
  HWND b = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {30, 0, 50, 20});
  HWND a1 = Make(WS_CHILD | WS_VISIBLE, a, "", 0, {0, 0, 5, 5});
  Pump();
  log.clear();
  InvalidateRect(top, nullptr, TRUE);  // no WS_CLIPCHILDREN: the children are invalid too
  Pump();
  std::map<HWND, std::string> who{{top, "t"}, {a, "a"}, {b, "b"}, {a1, "a1"}};
  EXPECT_EQ(Names(who, {"WM_PAINT"}),
            (Seq{"t:WM_PAINT", "b:WM_PAINT", "a:WM_PAINT", "a1:WM_PAINT"}));

  // A procedure that ignores WM_PAINT is asked again, and again, until it validates.
  static int seen;
  seen = 0;
  react = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_PAINT) {
      ++seen;
      return 0;
    }
    return std::nullopt;
  };
  InvalidateRect(b, nullptr, FALSE);
  MSG m;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, b);
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    DispatchMessage(&m);
  }
  EXPECT_EQ(seen, 3);
  // A filter on another window or another range does not see it.
  EXPECT_FALSE(PeekMessage(&m, a, 0, 0, PM_NOREMOVE));
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
  EXPECT_TRUE(PeekMessage(&m, top, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  EXPECT_EQ(GetQueueStatus(QS_PAINT) & QS_PAINT, UINT(QS_PAINT));
  ValidateRect(b, nullptr);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));

  // An internal paint request is one message, gone once handed out.
  RedrawWindow(a, nullptr, nullptr, RDW_INTERNALPAINT | RDW_NOCHILDREN);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PaintTest, RedrawWindowFlags) {
  struct Case {
    const char* name;
    UINT flags;
    Seq now;  // sent during the call
    bool still_invalid;
    Seq queued;  // what pumping the queue brings afterwards
  };
  const UINT inv = RDW_INVALIDATE;
  Case cases[] = {
      {"invalidate only", inv, {}, true, {"w:WM_PAINT"}},
      {"with erase", inv | RDW_ERASE, {}, true, {"w:WM_PAINT", "w:WM_ERASEBKGND"}},
      {"with frame", inv | RDW_FRAME, {}, true, {"w:WM_PAINT", "w:WM_NCPAINT"}},
      {"erase now",
       inv | RDW_ERASE | RDW_FRAME | RDW_ERASENOW,
       {"w:WM_NCPAINT", "w:WM_ERASEBKGND"},
       true,
       {"w:WM_PAINT"}},
      {"update now",
       inv | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW,
       {"w:WM_PAINT", "w:WM_NCPAINT", "w:WM_ERASEBKGND"},
       false,
       {}},
      {"erase and update now",
       inv | RDW_ERASE | RDW_FRAME | RDW_ERASENOW | RDW_UPDATENOW,
       {"w:WM_NCPAINT", "w:WM_ERASEBKGND", "w:WM_PAINT"},
       false,
       {}},
      {"no erase cancels the erase",
       inv | RDW_ERASE | RDW_NOERASE | RDW_UPDATENOW,
       {"w:WM_PAINT"},
       false,
       {}},
      {"children too",
       inv | RDW_ALLCHILDREN | RDW_UPDATENOW,
       {"w:WM_PAINT", "c:WM_PAINT", "c:WM_NCPAINT"},
       false,
       {}},
      {"no children", inv | RDW_NOCHILDREN | RDW_UPDATENOW, {"w:WM_PAINT"}, false, {}},
      {"internal paint", RDW_INTERNALPAINT, {}, false, {"w:WM_PAINT"}},
      {"internal paint withdrawn", RDW_INTERNALPAINT | RDW_NOINTERNALPAINT, {}, false, {}},
  };
  for (auto& c : cases) {
    HWND w =
        Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, nullptr, "", 0, {0, 0, 200, 150});
    HWND child = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {10, 10, 50, 50});
    Pump();
    log.clear();
    EXPECT_TRUE(RedrawWindow(w, nullptr, nullptr, c.flags)) << c.name;
    std::map<HWND, std::string> who{{w, "w"}, {child, "c"}};
    EXPECT_EQ(Names(who, kPaintMsgs), c.now) << c.name;
    EXPECT_EQ(GetUpdateRect(w, nullptr, FALSE) != 0, c.still_invalid) << c.name;
    log.clear();
    Pump();
    EXPECT_EQ(Names(who, kPaintMsgs), c.queued) << c.name;
    DestroyWindow(w);
  }
  // Validation: the client goes, the frame with RDW_NOFRAME only.
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {0, 0, 200, 150});
  Pump();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  log.clear();
  Pump();
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{"w:WM_NCPAINT"});
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME);
  log.clear();
  Pump();
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{});
  EXPECT_FALSE(RedrawWindow(reinterpret_cast<HWND>(std::uintptr_t(0x123456)), nullptr, nullptr,
                            RDW_INVALIDATE));
}

TEST_F(PaintTest, BeginPaintReportsTheUpdateAndWhetherErasingIsLeft) {
  HWND w = Popup({0, 0, 100, 100});
  RECT a{10, 10, 20, 20}, b{50, 60, 70, 80};
  InvalidateRect(w, &a, TRUE);
  InvalidateRect(w, &b, FALSE);
  PAINTSTRUCT ps;
  log.clear();
  HDC dc = BeginPaint(w, &ps);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RectIs(ps.rcPaint, {10, 10, 70, 80}));
  EXPECT_FALSE(ps.fErase);  // the class brush erased it
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{"w:WM_ERASEBKGND"});
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));  // validated at once
  // The DC is clipped to the update region.
  Fill(dc, RECT{0, 0, 100, 100}, kRed);
  EndPaint(w, &ps);
  EXPECT_EQ(Px(w, 15, 15), kRed);
  EXPECT_EQ(Px(w, 30, 30), kWhite);

  // An erase answered 0 leaves fErase for the painter.
  react = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_ERASEBKGND) return 0;
    return std::nullopt;
  };
  InvalidateRect(w, nullptr, TRUE);
  BeginPaint(w, &ps);
  EXPECT_TRUE(ps.fErase);
  EndPaint(w, &ps);
  // Erased early by GetUpdateRect: BeginPaint does not erase again but still reports it.
  InvalidateRect(w, nullptr, TRUE);
  log.clear();
  RECT rc;
  EXPECT_TRUE(GetUpdateRect(w, &rc, TRUE));
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{"w:WM_ERASEBKGND"});
  log.clear();
  BeginPaint(w, &ps);
  EXPECT_TRUE(ps.fErase);
  EndPaint(w, &ps);
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{});

  EXPECT_EQ(BeginPaint(w, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  // WM_PAINT with a DC is the window's business: DefWindowProc leaves the update alone.
  InvalidateRect(w, nullptr, FALSE);
  HDC mem = CreateCompatibleDC(nullptr);
  DefWindowProc(w, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE));
  DefWindowProc(w, WM_PAINT, 0, 0);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  DeleteDC(mem);
}

TEST_F(PaintTest, NcPaintCarriesTheUpdateInScreenCoordinatesOrOneForAll) {
  static std::vector<RECT> boxes;
  boxes.clear();
  react = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCPAINT) {
      RECT box{-1, -1, -1, -1};
      if (wp != 1) GetRgnBox(reinterpret_cast<HRGN>(wp), &box);
      boxes.push_back(box);
    }
    return std::nullopt;
  };
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {100, 100, 300, 250});
  Pump();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(RectIs(boxes[0], {-1, -1, -1, -1}));  // shown: the whole window
  boxes.clear();
  RECT client_rc;
  GetClientRect(w, &client_rc);
  RECT part{-2, -2, 10, 10};  // client coordinates reaching into the frame
  RedrawWindow(w, &part, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  ASSERT_EQ(boxes.size(), 1u);
  POINT o = {0, 0};
  RECT wr;
  GetWindowRect(w, &wr);
  // The client's screen position: frame and caption from AdjustWindowRectEx.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_WINDOWEDGE);
  o = {wr.left - frame.left, wr.top - frame.top};
  EXPECT_TRUE(RectIs(boxes[0], {o.x - 2, o.y - 2, o.x + 10, o.y + 10}));
  // Handing the region on to GetDCEx is the usual way to draw the frame; nothing breaks.
  react = [](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCPAINT) {
      HDC dc = GetDCEx(h, reinterpret_cast<HRGN>(wp), DCX_WINDOW | DCX_INTERSECTRGN);
      Fill(dc, RECT{0, 0, 4, 4}, kBlue);
      ReleaseDC(h, dc);
      return 0;
    }
    return std::nullopt;
  };
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(Px(w, 1, 1), kBlue);
}

// ---- update regions ------------------------------------------------------------------------

TEST_F(PaintTest, UpdateRegionArithmetic) {
  HWND w = Popup({0, 0, 100, 100});
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(w, rgn, FALSE), NULLREGION);
  RECT a{10, 10, 30, 30}, b{20, 20, 40, 40}, outside{90, 90, 200, 200};
  InvalidateRect(w, &a, FALSE);
  EXPECT_EQ(GetUpdateRgn(w, rgn, FALSE), SIMPLEREGION);
  InvalidateRect(w, &b, FALSE);
  EXPECT_EQ(GetUpdateRgn(w, rgn, FALSE), COMPLEXREGION);
  EXPECT_TRUE(RectIs(UpdateRect(w), {10, 10, 40, 40}));
  EXPECT_TRUE(PtInRegion(rgn, 15, 15));
  EXPECT_FALSE(PtInRegion(rgn, 35, 15));
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  InvalidateRect(w, &huge, FALSE);
  EXPECT_TRUE(RectIs(UpdateRect(w), {0, 0, 100, 100}));
  ValidateRect(w, &huge);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, FALSE);
  InvalidateRect(w, &outside, FALSE);  // cut to the client area
  EXPECT_TRUE(RectIs(UpdateRect(w), {10, 10, 100, 100}));
  ValidateRect(w, &outside);
  ValidateRect(w, &a);
  EXPECT_EQ(GetUpdateRgn(w, rgn, FALSE), COMPLEXREGION);  // b less a: an L
  EXPECT_TRUE(RectIs(UpdateRect(w), {20, 20, 40, 40}));
  EXPECT_FALSE(PtInRegion(rgn, 25, 25));
  EXPECT_TRUE(PtInRegion(rgn, 35, 25));
  HRGN r2 = CreateRectRgn(0, 0, 100, 100);
  ValidateRgn(w, r2);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  InvalidateRgn(w, r2, FALSE);
  EXPECT_TRUE(RectIs(UpdateRect(w), {0, 0, 100, 100}));
  ValidateRgn(w, nullptr);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  EXPECT_EQ(GetUpdateRgn(w, reinterpret_cast<HRGN>(std::uintptr_t(0x77777)), FALSE), ERROR);
  DeleteObject(rgn);
  DeleteObject(r2);

  // Hidden windows collect nothing; a child's update is cut by its parent.
  HWND hidden = Make(WS_POPUP, nullptr, "", 0, {0, 0, 50, 50});
  InvalidateRect(hidden, nullptr, FALSE);
  EXPECT_FALSE(GetUpdateRect(hidden, nullptr, FALSE));
  HWND child = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {80, 80, 140, 140});
  Pump();
  InvalidateRect(child, nullptr, FALSE);
  EXPECT_TRUE(RectIs(UpdateRect(child), {0, 0, 20, 20}));
}

TEST_F(PaintTest, NullWindowInvalidatesEveryWindowAndErasesAtOnce) {
  HWND a = Popup({0, 0, 50, 50});
  HWND b = Popup({200, 200, 260, 260});
  HWND c = Make(WS_CHILD | WS_VISIBLE, b, "", 0, {0, 0, 10, 10});
  Pump();
  log.clear();
  EXPECT_TRUE(InvalidateRect(nullptr, nullptr, TRUE));
  std::map<HWND, std::string> who{{a, "a"}, {b, "b"}, {c, "c"}};
  EXPECT_EQ(Names(who, {"WM_ERASEBKGND"}),
            (Seq{"b:WM_ERASEBKGND", "c:WM_ERASEBKGND", "a:WM_ERASEBKGND"}));
  EXPECT_TRUE(GetUpdateRect(a, nullptr, FALSE));
  EXPECT_TRUE(GetUpdateRect(c, nullptr, FALSE));
  Pump();
  // A rectangle is in screen coordinates.
  RECT near_b{190, 190, 205, 205};
  ValidateRect(nullptr, &near_b);  // documented to invalidate, like InvalidateRect
  EXPECT_FALSE(GetUpdateRect(a, nullptr, FALSE));
  EXPECT_TRUE(RectIs(UpdateRect(b), {0, 0, 5, 5}));
}

// ---- moving, sizing, z-order -------------------------------------------------------------------

TEST_F(PaintTest, MovingAChildCarriesItsPixelsAndExposesWhatItLeft) {
  HWND top = Popup({0, 0, 100, 100});
  HWND child = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {10, 10, 30, 30});
  Pump();
  HDC dc = GetDC(child);
  Fill(dc, RECT{0, 0, 20, 10}, kRed);
  Fill(dc, RECT{0, 10, 20, 20}, kBlue);
  ReleaseDC(child, dc);
  log.clear();
  SetWindowPos(child, nullptr, 15, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  // Pixels moved at once; the child has nothing left to paint; the strip it left is the
  // parent's.
  EXPECT_EQ(Px(top, 15, 10), kRed);
  EXPECT_EQ(Px(top, 34, 29), kBlue);
  EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
  EXPECT_TRUE(RectIs(UpdateRect(top), {10, 10, 15, 30}));
  EXPECT_EQ(Names({{top, "t"}, {child, "c"}}, kPaintMsgs), Seq{"c:WM_WINDOWPOSCHANGED"});
  Pump();
  EXPECT_EQ(Px(top, 12, 12), kWhite);  // erased by the parent's class brush

  // Without copying, the child repaints in full.
  SetWindowPos(child, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOCOPYBITS);
  EXPECT_TRUE(RectIs(UpdateRect(child), {0, 0, 20, 20}));
  Pump();
  // Moved partly outside the parent: only the part that stays visible is carried along.
  dc = GetDC(child);
  Fill(dc, RECT{0, 0, 20, 20}, kGreen);
  ReleaseDC(child, dc);
  SetWindowPos(child, nullptr, 90, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(child, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(RectIs(UpdateRect(child), {10, 0, 20, 20}));
  EXPECT_EQ(Px(top, 45, 45), kGreen);

  // With SWP_NOREDRAW nothing is invalidated.
  Pump();
  SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
}

TEST_F(PaintTest, SizingRepaintsWhatIsNewOrAllWithRedrawStyles) {
  WNDCLASSEX wc;
  wc.lpszClassName = "PaintRedrawAll";
  wc.lpfnWndProc = RecordingProc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  RegisterClassEx(&wc);
  struct Case {
    const char* cls;
    RECT want;  // client update after growing from 40x30 to 60x50
  } cases[] = {{kClass, {0, 0, 60, 50}}, {"PaintRedrawAll", {0, 0, 60, 50}}};
  HWND top = Popup({0, 0, 100, 100});
  for (auto& c : cases) {
    HWND w = CreateWindowEx(0, c.cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 30, top, nullptr,
                            nullptr, nullptr);
    Pump();
    SetWindowPos(w, nullptr, 0, 0, 60, 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(RectIs(UpdateRect(w), c.want)) << c.cls;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(w, rgn, FALSE);
    // Only the redraw styles take the old part along.
    EXPECT_EQ(PtInRegion(rgn, 5, 5) != 0, std::string(c.cls) == "PaintRedrawAll") << c.cls;
    EXPECT_TRUE(PtInRegion(rgn, 50, 5));
    EXPECT_TRUE(PtInRegion(rgn, 5, 40));
    DeleteObject(rgn);
    // Shrinking exposes the parent.
    ValidateRect(w, nullptr);
    ValidateRect(top, nullptr);
    SetWindowPos(w, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(RectIs(UpdateRect(top), {0, 0, 60, 50}));
    DestroyWindow(w);
    Pump();
  }
  UnregisterClass("PaintRedrawAll", nullptr);

  // A top-level window's backing store follows its size and keeps what still fits.
  HWND big = Popup({0, 0, 50, 50});
  HDC dc = GetDC(big);
  SetPixel(dc, 10, 10, kRed);
  ReleaseDC(big, dc);
  SetWindowPos(big, nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
  auto shot = Shot(big);
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot.width, 80);
  EXPECT_EQ(shot.height, 60);
  EXPECT_EQ(Px(big, 10, 10), kRed);
}

TEST_F(PaintTest, RaisingAChildRepaintsIt) {
  HWND top = Popup({0, 0, 100, 100});
  HWND upper = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, "", 0, {0, 0, 50, 50});
  HWND lower = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, "", 0, {25, 25, 75, 75});
  paint_color[upper] = kRed;
  paint_color[lower] = kBlue;
  Pump();
  EXPECT_EQ(Px(top, 30, 30), kRed);
  SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  EXPECT_EQ(Px(top, 30, 30), kBlue);
  SetWindowPos(lower, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump();
  EXPECT_EQ(Px(top, 30, 30), kRed);
  EXPECT_EQ(Px(top, 60, 60), kBlue);
}

TEST_F(PaintTest, ReparentedWindowsDrawWhereTheyNowLive) {
  HWND host = Popup({0, 0, 100, 100});
  HWND popup = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {0, 0, 20, 20});
  SetParent(popup, host);
  SetWindowPos(popup, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HDC dc = GetDC(popup);
  Fill(dc, RECT{0, 0, 20, 20}, kRed);
  ReleaseDC(popup, dc);
  EXPECT_EQ(Px(host, 35, 35), kRed);
  EXPECT_FALSE(Shot(popup));  // part of its host now

  HWND child = Make(WS_CHILD | WS_VISIBLE, host, "", 0, {0, 0, 10, 10});
  SetParent(child, nullptr);  // keeps WS_CHILD, yet stands on the desktop
  ASSERT_TRUE(Shot(child));
  dc = GetDC(child);
  Fill(dc, RECT{0, 0, 10, 10}, kBlue);
  ReleaseDC(child, dc);
  EXPECT_EQ(Px(child, 5, 5), kBlue);
  EXPECT_NE(Px(host, 5, 5), kBlue);
}

// ---- scrolling -----------------------------------------------------------------------------

TEST_F(PaintTest, ScrollingMovesPixelsAndInvalidatesWhatItUncovers) {
  HWND w = Popup({0, 0, 40, 40});
  auto stripes = [&] {
    HDC dc = GetDC(w);
    Fill(dc, RECT{0, 0, 40, 10}, kRed);
    Fill(dc, RECT{0, 10, 40, 20}, kGreen);
    Fill(dc, RECT{0, 20, 40, 30}, kBlue);
    Fill(dc, RECT{0, 30, 40, 40}, kBlack);
    ReleaseDC(w, dc);
  };
  stripes();
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  RECT box;
  EXPECT_EQ(ScrollWindowEx(w, 0, -10, nullptr, nullptr, upd, &box, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_TRUE(RectIs(box, {0, 30, 40, 40}));
  EXPECT_EQ(Px(w, 5, 5), kGreen);
  EXPECT_EQ(Px(w, 5, 25), kBlack);
  EXPECT_TRUE(RectIs(UpdateRect(w), {0, 30, 40, 40}));
  Pump();

  // A scroll rectangle and a clip rectangle: only the clip's inside changes.
  stripes();
  RECT scroll{0, 0, 20, 40}, clip{0, 10, 20, 40};
  // What scrolls in from outside the clip rectangle is drawn: nothing is left uncovered.
  EXPECT_EQ(ScrollWindowEx(w, 0, 10, &scroll, &clip, upd, &box, 0), NULLREGION);
  EXPECT_TRUE(RectIs(box, {0, 0, 0, 0}));
  EXPECT_EQ(Px(w, 5, 5), kRed);                    // outside the clip: unchanged
  EXPECT_EQ(Px(w, 5, 15), kRed);                   // scrolled in
  EXPECT_EQ(Px(w, 5, 25), kGreen);                 // moved down
  EXPECT_EQ(Px(w, 25, 25), kBlue);                 // outside the scroll rectangle
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));  // no SW_INVALIDATE

  // A pending update moves with the scrolled pixels.
  RECT pending{0, 0, 10, 10};
  InvalidateRect(w, &pending, FALSE);
  ScrollWindowEx(w, 5, 5, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_TRUE(RectIs(UpdateRect(w), {5, 5, 15, 15}));
  ValidateRect(w, nullptr);

  // Children come along with SW_SCROLLCHILDREN.
  HWND child = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {10, 10, 20, 20});
  ScrollWindowEx(w, 3, 4, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  RECT cr;
  GetWindowRect(child, &cr);
  EXPECT_TRUE(RectIs(cr, {13, 14, 23, 24}));
  EXPECT_TRUE(ScrollWindow(w, 0, 0, nullptr, nullptr));
  // Scrolled out of sight entirely, however far.
  EXPECT_EQ(ScrollWindowEx(w, INT_MAX, INT_MIN, nullptr, nullptr, upd, &box, 0), SIMPLEREGION);
  EXPECT_TRUE(RectIs(box, {0, 0, 40, 40}));
  EXPECT_EQ(ScrollWindowEx(w, 0, 0, nullptr, nullptr, nullptr, nullptr, 0), NULLREGION);
  EXPECT_EQ(ScrollWindowEx(reinterpret_cast<HWND>(std::uintptr_t(0x99999)), 1, 1, nullptr, nullptr,
                           nullptr, nullptr, 0),
            ERROR);

  // ScrollDC on a memory DC reports the uncovered part without invalidating anything.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(20, 20, 1, 32, nullptr);
  SelectObject(mem, bmp);
  SetPixel(mem, 0, 0, kRed);
  EXPECT_TRUE(ScrollDC(mem, 4, 2, nullptr, nullptr, upd, &box));
  EXPECT_EQ(GetPixel(mem, 4, 2), kRed);
  EXPECT_EQ(GetRgnBox(upd, &box), COMPLEXREGION);
  EXPECT_TRUE(RectIs(box, {0, 0, 20, 20}));
  EXPECT_TRUE(PtInRegion(upd, 1, 10));
  EXPECT_TRUE(PtInRegion(upd, 10, 1));
  EXPECT_FALSE(PtInRegion(upd, 10, 10));
  DeleteDC(mem);
  DeleteObject(bmp);
  DeleteObject(upd);
}

// ---- printing --------------------------------------------------------------------------------

TEST_F(PaintTest, PrintDrawsTheWindowAndOnRequestItsChildrenIntoAnyDC) {
  HWND w = Popup({0, 0, 60, 60});
  HWND c1 = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {10, 10, 30, 30});
  HWND c2 = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {20, 20, 40, 40});  // below c1
  HWND hidden = Make(WS_CHILD, w, "", 0, {0, 40, 10, 50});
  paint_color = {{w, kRed}, {c1, kGreen}, {c2, kBlue}, {hidden, kBlack}};
  Pump();
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(60, 60, 1, 32, nullptr);
  SelectObject(mem, bmp);
  std::map<HWND, std::string> who{{w, "w"}, {c1, "c1"}, {c2, "c2"}, {hidden, "h"}};
  struct Case {
    LPARAM flags;
    Seq msgs;
    std::vector<std::pair<POINT, COLORREF>> px;
  } cases[] = {
      {PRF_CLIENT, {"w:WM_PRINT", "w:WM_PRINTCLIENT"}, {{{5, 5}, kRed}, {{15, 15}, kRed}}},
      {PRF_ERASEBKGND, {"w:WM_PRINT", "w:WM_ERASEBKGND"}, {{{5, 5}, kWhite}}},
      {PRF_CLIENT | PRF_CHILDREN | PRF_CHECKVISIBLE,
       {"w:WM_PRINT", "w:WM_PRINTCLIENT", "c2:WM_PRINT", "c2:WM_PRINTCLIENT", "c1:WM_PRINT",
        "c1:WM_PRINTCLIENT"},
       {{{5, 5}, kRed},
        {{15, 15}, kGreen},
        {{25, 25}, kGreen},
        {{35, 35}, kBlue},
        {{5, 45}, kRed}}},
  };
  for (auto& c : cases) {
    Fill(mem, RECT{0, 0, 60, 60}, kBlack);
    log.clear();
    SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(mem), c.flags);
    EXPECT_EQ(Names(who, kPaintMsgs), c.msgs) << c.flags;
    for (auto& [p, col] : c.px)
      EXPECT_EQ(GetPixel(mem, p.x, p.y), col) << c.flags << " " << p.x << "," << p.y;
  }
  // With PRF_NONCLIENT the DC's origin is the window's corner, the client further in; owned
  // windows land where they are on the screen relative to their owner.
  HWND framed = Make(WS_CHILD | WS_BORDER, w, "", 0, {0, 0, 10, 10});
  HWND owned = Make(WS_POPUP | WS_VISIBLE, w, "", 0, {40, 0, 60, 20});
  paint_color[framed] = kGreen;
  paint_color[owned] = kBlue;
  Pump();
  Fill(mem, RECT{0, 0, 60, 60}, kBlack);
  SendMessage(framed, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(GetPixel(mem, 0, 0), kBlack);
  EXPECT_EQ(GetPixel(mem, 1, 1), kGreen);
  EXPECT_EQ(GetPixel(mem, 9, 9), kBlack);
  Fill(mem, RECT{0, 0, 60, 60}, kBlack);
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_OWNED);
  EXPECT_EQ(GetPixel(mem, 5, 5), kRed);
  EXPECT_EQ(GetPixel(mem, 45, 5), kBlue);
  EXPECT_EQ(GetPixel(mem, 45, 25), kRed);
  // PRF_CHECKVISIBLE on a hidden window: nothing.
  log.clear();
  SendMessage(hidden, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_CHECKVISIBLE);
  EXPECT_EQ(Names(who, kPaintMsgs), Seq{"h:WM_PRINT"});
  // Printing leaves the screen alone.
  EXPECT_EQ(Px(w, 5, 5), kWhite);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  DeleteDC(mem);
  DeleteObject(bmp);
}

// ---- window regions, redraw switch, lock -------------------------------------------------------

TEST_F(PaintTest, WindowRegionsBelongToTheWindow) {
  HWND w = Popup({0, 0, 50, 50});
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(w, out), ERROR);
  HRGN first = CreateRectRgn(0, 0, 10, 10);
  log.clear();
  EXPECT_EQ(SetWindowRgn(w, first, TRUE), 1);
  // A new shape is a frame change: the window recomputes its frame.
  EXPECT_EQ(Names({{w, "w"}}, {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED"}),
            (Seq{"w:WM_WINDOWPOSCHANGING", "w:WM_NCCALCSIZE", "w:WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetWindowRgn(w, out), SIMPLEREGION);
  HRGN second = CreateEllipticRgn(0, 0, 40, 40);
  EXPECT_EQ(SetWindowRgn(w, second, FALSE), 1);
  EXPECT_EQ(GetObjectType(first), 0u);  // replaced: deleted
  EXPECT_EQ(GetWindowRgn(w, out), COMPLEXREGION);
  // The screen shows the window through its region.
  auto shot = Shot(w);
  ASSERT_TRUE(shot);
  const COLORREF desktop = display::HeadlessOptions{}.desktop;
  EXPECT_EQ(shot.At(1, 1), desktop);
  EXPECT_NE(shot.At(20, 20), desktop);
  EXPECT_EQ(SetWindowRgn(w, nullptr, FALSE), 1);
  EXPECT_EQ(GetObjectType(second), 0u);
  // A child's new shape gives back to the parent what it no longer covers.
  HWND child = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {0, 0, 20, 20});
  Pump();
  SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), TRUE);
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(w, upd, FALSE);
  EXPECT_TRUE(PtInRegion(upd, 15, 15));
  EXPECT_FALSE(PtInRegion(upd, 5, 5));
  DeleteObject(upd);
  HRGN third = CreateRectRgn(0, 0, 5, 5);
  SetWindowRgn(w, third, FALSE);
  DestroyWindow(w);
  EXPECT_EQ(GetObjectType(third), 0u);  // gone with the window
  EXPECT_EQ(SetWindowRgn(w, nullptr, FALSE), 0);
  EXPECT_EQ(GetWindowRgn(w, out), ERROR);
  DeleteObject(out);
}

TEST_F(PaintTest, SetRedrawAndLockSuppressDrawing) {
  HWND w = Popup({0, 0, 50, 50});
  HWND child = Make(WS_CHILD | WS_VISIBLE, w, "", 0, {0, 0, 20, 20});
  Pump();
  SendMessage(w, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(w, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
  HDC dc = GetDC(child);
  Fill(dc, RECT{0, 0, 20, 20}, kRed);
  ReleaseDC(child, dc);
  EXPECT_NE(Px(w, 5, 5), kRed);
  EXPECT_TRUE(Shot(w));  // still on the screen
  log.clear();
  SendMessage(w, WM_SETREDRAW, TRUE, 0);
  EXPECT_EQ(Names({{w, "w"}}, kPaintMsgs), Seq{});
  EXPECT_EQ(Pump(), 0);
  EXPECT_TRUE(IsWindowVisible(w));

  EXPECT_TRUE(LockWindowUpdate(w));
  EXPECT_FALSE(LockWindowUpdate(child));  // one at a time
  dc = GetDC(child);
  Fill(dc, RECT{0, 0, 20, 20}, kRed);
  ReleaseDC(child, dc);
  EXPECT_NE(Px(w, 5, 5), kRed);
  dc = GetDCEx(child, nullptr, DCX_LOCKWINDOWUPDATE);
  Fill(dc, RECT{0, 0, 20, 20}, kBlue);
  ReleaseDC(child, dc);
  EXPECT_EQ(Px(w, 5, 5), kBlue);
  EXPECT_TRUE(LockWindowUpdate(nullptr));
  EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE));
  EXPECT_TRUE(GetUpdateRect(child, nullptr, FALSE));
}

TEST_F(PaintTest, AWindowDestroyedWhilePaintingIsLeftAlone) {
  static UINT fatal;
  static HWND victim;
  react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == victim && m == fatal) {
      DestroyWindow(h);
      return 0;
    }
    return std::nullopt;
  };
  for (UINT m : {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}) {
    fatal = m;
    HWND top = Make(WS_POPUP, nullptr, "", 0, {0, 0, 50, 50});
    HWND child = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, "", 0, {5, 5, 25, 25});
    HWND sibling = Make(WS_CHILD | WS_VISIBLE, top, "", 0, {20, 20, 40, 40});
    victim = child;
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    Pump();
    EXPECT_FALSE(IsWindow(child)) << MsgName(m);
    EXPECT_FALSE(GetUpdateRect(sibling, nullptr, FALSE)) << MsgName(m);  // painted all the same
    victim = top;
    RedrawWindow(top, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_FALSE(IsWindow(top)) << MsgName(m);
  }
}

TEST_F(PaintTest, StaleHandlesFailWithWindowsResults) {
  HWND gone = Make(WS_POPUP | WS_VISIBLE);
  HDC held = GetDC(gone);
  DestroyWindow(gone);
  EXPECT_EQ(GetPixel(held, 0, 0), CLR_INVALID);  // its DC went with it
  EXPECT_EQ(ReleaseDC(gone, held), 0);
  HRGN dead = CreateRectRgn(0, 0, 1, 1);
  DeleteObject(dead);
  HWND w = Popup({0, 0, 20, 20});
  RECT rc{0, 0, 5, 5};
  PAINTSTRUCT ps{};
  struct Case {
    const char* name;
    std::function<bool()> fails;
    DWORD error;
  } cases[] = {
      {"InvalidateRect", [&] { return !InvalidateRect(gone, &rc, TRUE); },
       ERROR_INVALID_WINDOW_HANDLE},
      {"ValidateRgn", [&] { return !ValidateRgn(gone, nullptr); }, ERROR_INVALID_WINDOW_HANDLE},
      {"UpdateWindow", [&] { return !UpdateWindow(gone); }, ERROR_INVALID_WINDOW_HANDLE},
      {"GetUpdateRect", [&] { return !GetUpdateRect(gone, &rc, TRUE); },
       ERROR_INVALID_WINDOW_HANDLE},
      {"BeginPaint", [&] { return !BeginPaint(gone, &ps); }, ERROR_INVALID_WINDOW_HANDLE},
      {"EndPaint", [&] { return !EndPaint(gone, &ps); }, ERROR_INVALID_WINDOW_HANDLE},
      {"GetWindowDC", [&] { return !GetWindowDC(gone); }, ERROR_INVALID_WINDOW_HANDLE},
      {"SetWindowRgn", [&] { return !SetWindowRgn(gone, nullptr, TRUE); },
       ERROR_INVALID_WINDOW_HANDLE},
      {"ScrollWindow", [&] { return !ScrollWindow(gone, 1, 1, nullptr, nullptr); },
       ERROR_INVALID_WINDOW_HANDLE},
      {"LockWindowUpdate", [&] { return !LockWindowUpdate(gone); }, ERROR_INVALID_WINDOW_HANDLE},
      {"InvalidateRgn with a dead region", [&] { return !InvalidateRgn(w, dead, TRUE); },
       ERROR_INVALID_HANDLE},
      {"SetWindowRgn with a dead region", [&] { return !SetWindowRgn(w, dead, TRUE); },
       ERROR_INVALID_HANDLE},
      {"GetWindowRgn into a dead region", [&] { return GetWindowRgn(w, dead) == ERROR; },
       ERROR_INVALID_HANDLE},
      {"ScrollDC on a dead DC",
       [&] { return !ScrollDC(held, 1, 1, nullptr, nullptr, nullptr, nullptr); },
       ERROR_INVALID_HANDLE},
  };
  for (auto& c : cases) {
    SetLastError(0);
    EXPECT_TRUE(c.fails()) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
  EXPECT_EQ(WindowFromDC(held), nullptr);
}

}  // namespace
}  // namespace usertest
