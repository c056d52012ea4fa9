// System metrics, colours, parameters and the version.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/testing.h"
#include "platform/win.h"

namespace {
using namespace win;

TEST(SystemMetrics, ClassicDesktopValues) {
  struct Case {
    int index, value;
  };
  const Case cases[] = {
      {SM_CXSCREEN, 1024},
      {SM_CYSCREEN, 768},
      {SM_CXVSCROLL, 17},
      {SM_CYHSCROLL, 17},
      {SM_CYCAPTION, 19},
      {SM_CYSMCAPTION, 16},
      {SM_CXBORDER, 1},
      {SM_CXFRAME, 4},
      {SM_CXDLGFRAME, 3},
      {SM_CXEDGE, 2},
      {SM_CYMENU, 19},
      {SM_CXICON, 32},
      {SM_CXSMICON, 16},
      {SM_CXCURSOR, 32},
      {SM_CXDOUBLECLK, 4},
      {SM_CXDRAG, 4},
      {SM_CXMINTRACK, 112},
      {SM_CYMINTRACK, 27},
      {SM_CXMAXTRACK, 1036},
      {SM_CYMAXTRACK, 780},
      // The work area is the screen less a 30-pixel task bar at the bottom.
      {SM_CXMAXIMIZED, 1032},
      {SM_CYMAXIMIZED, 746},
      {SM_CXFULLSCREEN, 1024},
      {SM_CYFULLSCREEN, 719},
      {SM_DBCSENABLED, 1},
      {SM_IMMENABLED, 1},
      {SM_MOUSEPRESENT, 1},
      {SM_CMOUSEBUTTONS, 3},
      {SM_SWAPBUTTON, 0},
      {SM_CXSIZE, 18},
      {SM_CXMENUCHECK, 13},
      {SM_CXMENUSIZE, 18},
      {SM_CXFOCUSBORDER, 1},
      {SM_CMONITORS, 1},
      {SM_CYKANJIWINDOW, 0},
      {SM_REMOTESESSION, 0},
      // Unknown indices answer 0.
      {-1, 0},
      {24, 0},
      {90, 0},
      {100000, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
}

// The frame computation reads the same table as GetSystemMetrics.
TEST(SystemMetrics, FramesAreBuiltFromTheMetrics) {
  RECT rc{0, 0, 100, 100};
  ASSERT_TRUE(AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CLIENTEDGE));
  const int frame = GetSystemMetrics(SM_CXFRAME), edge = GetSystemMetrics(SM_CXEDGE);
  EXPECT_EQ(rc.left, -frame - edge);
  EXPECT_EQ(rc.right, 100 + frame + edge);
  EXPECT_EQ(rc.top, -frame - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYMENU) - edge);
  EXPECT_EQ(rc.bottom, 100 + frame + edge);
}

TEST(SystemColors, ClassicSchemeAndBrushes) {
  struct Case {
    int index;
    COLORREF color;
  };
  const Case cases[] = {
      {COLOR_BTNFACE, RGB(212, 208, 200)},
      {COLOR_BTNSHADOW, RGB(128, 128, 128)},
      {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
      {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
      {COLOR_3DLIGHT, RGB(212, 208, 200)},
      {COLOR_WINDOW, RGB(255, 255, 255)},
      {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
      {COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
      {COLOR_GRADIENTACTIVECAPTION, RGB(166, 202, 240)},
      {COLOR_INACTIVECAPTION, RGB(128, 128, 128)},
      {COLOR_INFOBK, RGB(255, 255, 225)},
      {COLOR_DESKTOP, RGB(58, 110, 165)},
      {COLOR_HOTLIGHT, RGB(0, 0, 128)},
      {COLOR_MENUBAR, RGB(212, 208, 200)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetSysColor(c.index), c.color) << c.index;
    // The brush is the system's: the same handle each time, of the same colour, and
    // DeleteObject does not take it away.
    HBRUSH b = GetSysColorBrush(c.index);
    ASSERT_NE(b, nullptr) << c.index;
    EXPECT_EQ(GetSysColorBrush(c.index), b);
    EXPECT_TRUE(DeleteObject(b));
    LOGBRUSH lb;
    ASSERT_EQ(GetObject(b, sizeof lb, &lb), int(sizeof lb)) << c.index;
    EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(lb.lbColor, c.color);
  }
  for (int bad : {-1, 25, 31, 1000}) {
    EXPECT_EQ(GetSysColor(bad), 0u) << bad;
    EXPECT_EQ(GetSysColorBrush(bad), nullptr) << bad;
  }
}

void ExpectSongTi(const LOGFONT& lf, LONG weight) {
  EXPECT_STREQ(lf.lfFaceName, "\xE5\xAE\x8B\xE4\xBD\x93");  // 宋体
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfWeight, weight);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(lf.lfItalic, 0);
}

TEST(SystemParameters, StructuresCarryTheChineseFonts) {
  NONCLIENTMETRICS ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(ncm.iBorderWidth, 1);
  EXPECT_EQ(ncm.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(ncm.iScrollHeight, GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(ncm.iCaptionHeight, GetSystemMetrics(SM_CYSIZE));
  EXPECT_EQ(ncm.iSmCaptionHeight, GetSystemMetrics(SM_CYSMSIZE));
  EXPECT_EQ(ncm.iMenuHeight, GetSystemMetrics(SM_CYMENUSIZE));
  ExpectSongTi(ncm.lfCaptionFont, FW_BOLD);
  ExpectSongTi(ncm.lfSmCaptionFont, FW_BOLD);
  for (const LOGFONT* lf : {&ncm.lfMenuFont, &ncm.lfStatusFont, &ncm.lfMessageFont})
    ExpectSongTi(*lf, FW_NORMAL);

  LOGFONT icon;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0));
  ExpectSongTi(icon, FW_NORMAL);
  ICONMETRICS im;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETICONMETRICS, 0, &im, 0));
  ExpectSongTi(im.lfFont, FW_NORMAL);
  EXPECT_EQ(im.iHorzSpacing, GetSystemMetrics(SM_CXICONSPACING));

  // A size that does not match, in the structure or in uiParam, is refused untouched.
  struct Bad {
    UINT cb, ui;
  };
  for (Bad bad : {Bad{sizeof ncm - 4, 0}, Bad{0, 0}, Bad{sizeof ncm, sizeof ncm + 4}}) {
    NONCLIENTMETRICS m;
    m.cbSize = bad.cb;
    m.iBorderWidth = 77;
    SetLastError(0);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, bad.ui, &m, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m.iBorderWidth, 77);
  }
  EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, nullptr, 0));
}

TEST(SystemParameters, WorkAreaSwitchesAndNumbers) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work.left, 0);
  EXPECT_EQ(work.top, 0);
  EXPECT_EQ(work.right, 1024);
  EXPECT_EQ(work.bottom, 768 - 30);

  struct Case {
    UINT action;
    int value;
  };
  const Case cases[] = {
      {SPI_GETDRAGFULLWINDOWS, TRUE}, {SPI_GETFLATMENU, FALSE},    {SPI_GETGRADIENTCAPTIONS, TRUE},
      {SPI_GETKEYBOARDCUES, FALSE},   {SPI_GETDROPSHADOW, FALSE},  {SPI_GETMENUANIMATION, TRUE},
      {SPI_GETWHEELSCROLLLINES, 3},   {SPI_GETMENUSHOWDELAY, 400}, {SPI_GETMOUSEHOVERTIME, 400},
      {SPI_GETFOCUSBORDERWIDTH, 1},   {SPI_GETCARETWIDTH, 1},      {SPI_GETBORDER, 1},
  };
  for (const Case& c : cases) {
    int v = -99;
    ASSERT_TRUE(SystemParametersInfo(c.action, 0, &v, 0)) << c.action;
    EXPECT_EQ(v, c.value) << c.action;
    SetLastError(0);
    EXPECT_FALSE(SystemParametersInfo(c.action, 0, nullptr, 0)) << c.action;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  int v = 5;
  EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &v, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(v, 5);
}

TEST(Version, WindowsXpServicePack3) {
  DWORD v = GetVersion();
  EXPECT_EQ(LOWORD(v) & 0xFF, 5);
  EXPECT_EQ(LOWORD(v) >> 8, 1);
  EXPECT_EQ(HIWORD(v), 2600);  // top bit clear: an NT system

  OSVERSIONINFO vi;
  ASSERT_TRUE(GetVersionEx(&vi));
  EXPECT_EQ(vi.dwMajorVersion, 5u);
  EXPECT_EQ(vi.dwMinorVersion, 1u);
  EXPECT_EQ(vi.dwBuildNumber, 2600u);
  EXPECT_EQ(vi.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_STREQ(vi.szCSDVersion, "Service Pack 3");

  OSVERSIONINFOEX ex;
  ASSERT_TRUE(GetVersionEx(&ex));
  EXPECT_EQ(ex.dwBuildNumber, 2600u);
  EXPECT_EQ(ex.wServicePackMajor, 3);
  EXPECT_EQ(ex.wServicePackMinor, 0);
  EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

  OSVERSIONINFO bad;
  bad.dwOSVersionInfoSize = sizeof bad + 1;
  SetLastError(0);
  EXPECT_FALSE(GetVersionEx(&bad));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(bad.dwMajorVersion, 0u);
  EXPECT_FALSE(GetVersionEx(static_cast<OSVERSIONINFO*>(nullptr)));
}

}  // namespace
