#pragma once
// System metrics, system colours, system parameters and the version: the values of a Windows XP
// desktop in the classic style, at 96 dpi, set up for Simplified Chinese.
//
// The screen comes from the display; everything that depends on it (the work area, the
// maximised and full-screen sizes) follows it. Colours are the classic scheme's, the same table
// the graphics layer draws its edges and frame controls with.
#include "platform/gdi/colors.h"
#include "platform/gdi/frame.h"
#include "platform/gdi/objects.h"
#include "platform/user/messages.h"

namespace win {

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
              SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12,
              SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16,
              SM_CYFULLSCREEN = 17, SM_CYKANJIWINDOW = 18, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20,
              SM_CXHSCROLL = 21, SM_DEBUG = 22, SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29,
              SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXMINTRACK = 34,
              SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38,
              SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40, SM_PENWINDOWS = 41,
              SM_DBCSENABLED = 42, SM_CMOUSEBUTTONS = 43, SM_SECURE = 44, SM_CXEDGE = 45,
              SM_CYEDGE = 46, SM_CXMINSPACING = 47, SM_CYMINSPACING = 48, SM_CXSMICON = 49,
              SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52, SM_CYSMSIZE = 53,
              SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_ARRANGE = 56, SM_CXMINIMIZED = 57,
              SM_CYMINIMIZED = 58, SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61,
              SM_CYMAXIMIZED = 62, SM_NETWORK = 63, SM_CLEANBOOT = 67, SM_CXDRAG = 68,
              SM_CYDRAG = 69, SM_SHOWSOUNDS = 70, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72,
              SM_SLOWMACHINE = 73, SM_MIDEASTENABLED = 74, SM_MOUSEWHEELPRESENT = 75,
              SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78,
              SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80, SM_SAMEDISPLAYFORMAT = 81,
              SM_IMMENABLED = 82, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84, SM_TABLETPC = 86,
              SM_MEDIACENTER = 87, SM_STARTER = 88, SM_SERVERR2 = 89, SM_REMOTESESSION = 0x1000;
// SM_ARRANGE bits.
constexpr int ARW_BOTTOMLEFT = 0x0, ARW_LEFT = 0x0, ARW_HIDE = 0x8;

// 0 for an unknown index, as Windows answers.
int GetSystemMetrics(int index);
// Black for an unknown index.
DWORD GetSysColor(int index);
// A brush of the colour that belongs to the system: DeleteObject leaves it. Null for an
// unknown index.
HBRUSH GetSysColorBrush(int index);

constexpr UINT SPI_GETBEEP = 0x0001, SPI_GETMOUSE = 0x0003, SPI_GETBORDER = 0x0005,
               SPI_GETKEYBOARDSPEED = 0x000A, SPI_ICONHORIZONTALSPACING = 0x000D,
               SPI_GETSCREENSAVETIMEOUT = 0x000E, SPI_GETSCREENSAVEACTIVE = 0x0010,
               SPI_GETKEYBOARDDELAY = 0x0016, SPI_ICONVERTICALSPACING = 0x0018,
               SPI_GETICONTITLEWRAP = 0x0019, SPI_GETMENUDROPALIGNMENT = 0x001B,
               SPI_GETICONTITLELOGFONT = 0x001F, SPI_GETFASTTASKSWITCH = 0x0023,
               SPI_GETDRAGFULLWINDOWS = 0x0026, SPI_GETNONCLIENTMETRICS = 0x0029,
               SPI_GETMINIMIZEDMETRICS = 0x002B, SPI_GETICONMETRICS = 0x002D,
               SPI_GETWORKAREA = 0x0030, SPI_GETKEYBOARDPREF = 0x0044, SPI_GETSCREENREADER = 0x0046,
               SPI_GETFONTSMOOTHING = 0x004A, SPI_GETSNAPTODEFBUTTON = 0x005F,
               SPI_GETMOUSEHOVERWIDTH = 0x0062, SPI_GETMOUSEHOVERHEIGHT = 0x0064,
               SPI_GETMOUSEHOVERTIME = 0x0066, SPI_GETWHEELSCROLLLINES = 0x0068,
               SPI_GETMENUSHOWDELAY = 0x006A, SPI_GETSHOWIMEUI = 0x006E, SPI_GETMOUSESPEED = 0x0070,
               SPI_GETACTIVEWINDOWTRACKING = 0x1000, SPI_GETMENUANIMATION = 0x1002,
               SPI_GETCOMBOBOXANIMATION = 0x1004, SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006,
               SPI_GETGRADIENTCAPTIONS = 0x1008, SPI_GETKEYBOARDCUES = 0x100A,
               SPI_GETMENUUNDERLINES = SPI_GETKEYBOARDCUES, SPI_GETHOTTRACKING = 0x100E,
               SPI_GETMENUFADE = 0x1012, SPI_GETSELECTIONFADE = 0x1014,
               SPI_GETTOOLTIPANIMATION = 0x1016, SPI_GETTOOLTIPFADE = 0x1018,
               SPI_GETCURSORSHADOW = 0x101A, SPI_GETFLATMENU = 0x1022, SPI_GETDROPSHADOW = 0x1024,
               SPI_GETUIEFFECTS = 0x103E, SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000,
               SPI_GETCARETWIDTH = 0x2006, SPI_GETFONTSMOOTHINGTYPE = 0x200A,
               SPI_GETFOCUSBORDERWIDTH = 0x200E, SPI_GETFOCUSBORDERHEIGHT = 0x2010;
constexpr UINT FE_FONTSMOOTHINGSTANDARD = 0x0001;

struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 0, iScrollWidth = 0, iScrollHeight = 0, iCaptionWidth = 0, iCaptionHeight = 0;
  LOGFONT lfCaptionFont{};
  int iSmCaptionWidth = 0, iSmCaptionHeight = 0;
  LOGFONT lfSmCaptionFont{};
  int iMenuWidth = 0, iMenuHeight = 0;
  LOGFONT lfMenuFont{}, lfStatusFont{}, lfMessageFont{};
};
using NONCLIENTMETRICSA = NONCLIENTMETRICS;

struct ICONMETRICS {
  UINT cbSize = sizeof(ICONMETRICS);
  int iHorzSpacing = 0, iVertSpacing = 0, iTitleWrap = 0;
  LOGFONT lfFont{};
};
using ICONMETRICSA = ICONMETRICS;

struct MINIMIZEDMETRICS {
  UINT cbSize = sizeof(MINIMIZEDMETRICS);
  int iWidth = 0, iHorzGap = 0, iVertGap = 0, iArrange = 0;
};

// Only the queries: nothing here is settable. A query taking a structure wants its cbSize
// (and a non-zero uiParam, where given, to match); a BOOL query writes a BOOL, a number query
// a UINT or int as Windows documents. Unknown actions fail with ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfo(UINT action, UINT ui_param, void* pv_param, UINT win_ini);
inline constexpr auto& SystemParametersInfoA = SystemParametersInfo;

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr WORD VER_SUITE_SINGLEUSERTS = 0x0100;
constexpr BYTE VER_NT_WORKSTATION = 1;

struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
  DWORD dwMajorVersion = 0, dwMinorVersion = 0, dwBuildNumber = 0, dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
struct OSVERSIONINFOEX {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOEX);
  DWORD dwMajorVersion = 0, dwMinorVersion = 0, dwBuildNumber = 0, dwPlatformId = 0;
  char szCSDVersion[128] = {};
  WORD wServicePackMajor = 0, wServicePackMinor = 0, wSuiteMask = 0;
  BYTE wProductType = 0, wReserved = 0;
};
using OSVERSIONINFOA = OSVERSIONINFO;
using OSVERSIONINFOEXA = OSVERSIONINFOEX;

// Windows XP, 5.1 build 2600, Service Pack 3: major in the low byte, minor in the next, the
// build in the high word (its top bit clear: an NT system).
DWORD GetVersion();
// The structure's dwOSVersionInfoSize must be its own size, or the call fails with
// ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionEx(OSVERSIONINFO* info);
BOOL GetVersionEx(OSVERSIONINFOEX* info);
inline BOOL GetVersionExA(OSVERSIONINFO* info) { return GetVersionEx(info); }
inline BOOL GetVersionExA(OSVERSIONINFOEX* info) { return GetVersionEx(info); }

}  // namespace win
