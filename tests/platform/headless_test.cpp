// The headless screen: composition of top-level windows in z-order, shaped by their regions.
#include <cstdio>
#include <fstream>

#include "support/user_fixture.h"

namespace usertest {
namespace {

constexpr COLORREF kDesk = RGB(0, 128, 128), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

class HeadlessTest : public UserTest {
 protected:
  // A popup filled with one colour, painted and validated; shaped first by `shape` if given
  // (reshaping repaints the window).
  HWND Solid(RECT r, COLORREF c, HRGN shape = nullptr) {
    HWND h = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, r);
    if (shape) SetWindowRgn(h, shape, TRUE);
    ValidateRect(h, nullptr);
    HDC dc = GetDC(h);
    HBRUSH b = CreateSolidBrush(c);
    RECT all{0, 0, r.right - r.left, r.bottom - r.top};
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
    return h;
  }
};

TEST_F(HeadlessTest, ComposesWindowsInZOrderShapedByTheirRegions) {
  display::HeadlessDisplay screen({200, 150, kDesk});
  HWND lower = Solid({10, 10, 110, 110}, kRed);
  // Created later: on top.
  HWND upper = Solid({60, 60, 160, 160}, kBlue, CreateEllipticRgn(0, 0, 100, 100));
  auto shot = screen.CaptureScreen();
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot.width, 200);
  EXPECT_EQ(shot.height, 150);
  struct Case {
    POINT p;
    COLORREF want;
  } cases[] = {
      {{5, 5}, kDesk},      // no window
      {{20, 20}, kRed},     // the lower window alone
      {{100, 100}, kBlue},  // both: the upper one wins inside its ellipse
      {{62, 62}, kRed},     // the ellipse's corner shows the lower one
      {{158, 62}, kDesk},   // and beyond it the desktop
      {{140, 130}, kBlue},
  };
  for (auto& c : cases) {
    EXPECT_EQ(shot.At(c.p.x, c.p.y), c.want) << c.p.x << "," << c.p.y;
    EXPECT_EQ(screen.PixelAt(c.p.x, c.p.y), c.want) << c.p.x << "," << c.p.y;
  }
  EXPECT_EQ(screen.PixelAt(-1, 0), CLR_INVALID);

  // Raising the lower window puts it on top; hiding it shows what was underneath.
  SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(screen.PixelAt(100, 100), kRed);
  ShowWindow(lower, SW_HIDE);
  EXPECT_EQ(screen.PixelAt(100, 100), kBlue);
  EXPECT_EQ(screen.PixelAt(20, 20), kDesk);

  // One window alone: its whole store, the desktop outside its region.
  auto alone = screen.CaptureWindow(upper);
  ASSERT_TRUE(alone);
  EXPECT_EQ(alone.width, 100);
  EXPECT_EQ(alone.At(1, 1), kDesk);
  EXPECT_EQ(alone.At(50, 50), kBlue);
  EXPECT_FALSE(screen.CaptureWindow(lower));  // hidden: not on the screen
}

TEST_F(HeadlessTest, ReportsWhatChangedAndWritesPng) {
  display::HeadlessDisplay screen;
  EXPECT_EQ(screen.Width(), 1024);
  EXPECT_EQ(screen.Height(), 768);
  HWND w = Solid({10, 20, 60, 50}, kRed);
  screen.TakeChanged();
  SetWindowPos(w, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT changed = screen.TakeChanged();
  RECT want{10, 20, 150, 150};  // the old and the new place
  EXPECT_TRUE(EqualRect(&changed, &want));
  RECT none = screen.TakeChanged();
  EXPECT_TRUE(IsRectEmpty(&none));
  HDC dc = GetDC(w);
  SetPixel(dc, 0, 0, kBlue);
  ReleaseDC(w, dc);
  changed = screen.TakeChanged();
  RECT own{100, 120, 150, 150};
  EXPECT_TRUE(EqualRect(&changed, &own));

  std::string path = ::testing::TempDir() + "headless_screen.png";
  ASSERT_TRUE(screen.SaveScreen(path));
  std::ifstream in(path, std::ios::binary);
  char sig[8] = {};
  in.read(sig, 8);
  EXPECT_EQ(std::string(sig + 1, 3), "PNG");
  std::remove(path.c_str());
  EXPECT_FALSE(screen.SaveWindow(reinterpret_cast<HWND>(std::uintptr_t(0x4242)), path));
  EXPECT_FALSE(screen.SaveScreen("/nonexistent-dir/x.png"));
}

}  // namespace
}  // namespace usertest
