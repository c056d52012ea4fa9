// System metrics, colours, parameters and the version of a classic Windows XP desktop.
#include "platform/user/metrics.h"

#include <cstring>

#include "platform/gdi/internal/draw.h"
#include "platform/gdi/internal/frame.h"
#include "platform/user/internal/window.h"

namespace win {
namespace user {

SIZE ScreenSize() { return {1024, 768}; }

// The task bar is one row of the classic style (30 pixels) along the bottom of the screen, as
// Windows places it out of the box; maximised windows and the work area leave it free.
constexpr int kTaskBarHeight = 30;

RECT WorkArea() {
  SIZE s = ScreenSize();
  return {0, 0, s.cx, s.cy - kTaskBarHeight};
}

namespace {

// The metrics that do not depend on the screen. Indices missing here answer 0.
struct Fixed {
  int index, value;
};
constexpr Fixed kFixed[] = {
    {SM_CXVSCROLL, 17},
    {SM_CYHSCROLL, 17},
    {SM_CYCAPTION, 19},
    {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},
    {SM_CYVTHUMB, 17},
    {SM_CXHTHUMB, 17},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CYMENU, 19},
    {SM_MOUSEPRESENT, 1},
    {SM_CYVSCROLL, 17},
    {SM_CXHSCROLL, 17},
    {SM_CXMIN, 112},
    {SM_CYMIN, 27},
    {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},
    {SM_CXFRAME, 4},
    {SM_CYFRAME, 4},
    {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},
    {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},
    {SM_CXICONSPACING, 75},
    {SM_CYICONSPACING, 75},
    {SM_DBCSENABLED, 1},
    {SM_CMOUSEBUTTONS, 3},
    {SM_CXEDGE, 2},
    {SM_CYEDGE, 2},
    {SM_CXMINSPACING, 160},
    {SM_CYMINSPACING, 24},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CYSMCAPTION, 16},
    {SM_CXSMSIZE, 12},
    {SM_CYSMSIZE, 15},
    {SM_CXMENUSIZE, 18},
    {SM_CYMENUSIZE, 18},
    {SM_ARRANGE, ARW_BOTTOMLEFT | ARW_HIDE},
    {SM_CXMINIMIZED, 160},
    {SM_CYMINIMIZED, 24},
    {SM_NETWORK, 3},
    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},
    {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
    {SM_MOUSEWHEELPRESENT, 1},
    {SM_CMONITORS, 1},
    {SM_SAMEDISPLAYFORMAT, 1},
    {SM_IMMENABLED, 1},
    {SM_CXFOCUSBORDER, 1},
    {SM_CYFOCUSBORDER, 1},
    // SM_CYKANJIWINDOW stays 0: the input method draws its own window, none is reserved.
};

constexpr int kMaxIndex = SM_SERVERR2 + 1;
struct Table {
  int v[kMaxIndex] = {};
  constexpr Table() {
    for (const Fixed& f : kFixed) v[f.index] = f.value;
  }
};
constexpr Table kTable;

void SongTi(LOGFONT* lf, LONG weight) {
  *lf = LOGFONT{};
  lf->lfHeight = -12;
  lf->lfWeight = weight;
  lf->lfCharSet = GB2312_CHARSET;
  std::strncpy(lf->lfFaceName, "\xE5\xAE\x8B\xE4\xBD\x93", LF_FACESIZE - 1);  // 宋体
}

// The structures come with their own size first; a non-zero uiParam has to agree with it.
template <class T>
T* Sized(void* pv, UINT ui) {
  auto* p = static_cast<T*>(pv);
  if (!p || p->cbSize != sizeof(T) || (ui != 0 && ui != sizeof(T))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return p;
}

template <class T>
BOOL Put(void* pv, T value) {
  if (!pv) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::memcpy(pv, &value, sizeof value);
  return TRUE;
}

void FillVersion(DWORD* major, DWORD* minor, DWORD* build, DWORD* platform, char* csd) {
  *major = 5;
  *minor = 1;
  *build = 2600;
  *platform = VER_PLATFORM_WIN32_NT;
  std::strcpy(csd, "Service Pack 3");
}

}  // namespace

int FrameMetric(Metric m) { return kTable.v[int(m)]; }

}  // namespace user

using namespace user;

int GetSystemMetrics(int index) {
  SIZE s = ScreenSize();
  RECT work = WorkArea();
  int frame = kTable.v[SM_CXFRAME];
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return s.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return s.cy;
    // The client area of a maximised window: the work area less the caption.
    case SM_CXFULLSCREEN: return work.right - work.left;
    case SM_CYFULLSCREEN: return work.bottom - work.top - kTable.v[SM_CYCAPTION];
    case SM_CXMAXTRACK: return s.cx + 3 * frame;
    case SM_CYMAXTRACK: return s.cy + 3 * frame;
    // A maximised window's frame hangs just off the work area.
    case SM_CXMAXIMIZED: return work.right - work.left + 2 * frame;
    case SM_CYMAXIMIZED: return work.bottom - work.top + 2 * frame;
  }
  if (index < 0 || index >= kMaxIndex) return 0;
  return kTable.v[index];
}

DWORD GetSysColor(int index) { return gdi::SysColor(index); }

HBRUSH GetSysColorBrush(int index) { return gdi::SysColorBrush(index); }

BOOL SystemParametersInfo(UINT action, UINT ui, void* pv, UINT) {
  switch (action) {
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = Sized<NONCLIENTMETRICS>(pv, ui);
      if (!m) return FALSE;
      m->iBorderWidth = 1;
      m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      m->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
      m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      // Captions are bold, as in the classic style; every other text is plain 宋体.
      SongTi(&m->lfCaptionFont, FW_BOLD);
      SongTi(&m->lfSmCaptionFont, FW_BOLD);
      SongTi(&m->lfMenuFont, FW_NORMAL);
      SongTi(&m->lfStatusFont, FW_NORMAL);
      SongTi(&m->lfMessageFont, FW_NORMAL);
      return TRUE;
    }
    case SPI_GETICONMETRICS: {
      auto* m = Sized<ICONMETRICS>(pv, ui);
      if (!m) return FALSE;
      m->iHorzSpacing = GetSystemMetrics(SM_CXICONSPACING);
      m->iVertSpacing = GetSystemMetrics(SM_CYICONSPACING);
      m->iTitleWrap = TRUE;
      SongTi(&m->lfFont, FW_NORMAL);
      return TRUE;
    }
    case SPI_GETMINIMIZEDMETRICS: {
      auto* m = Sized<MINIMIZEDMETRICS>(pv, ui);
      if (!m) return FALSE;
      // The minimised window less its frame.
      m->iWidth = GetSystemMetrics(SM_CXMINIMIZED) - 2 * GetSystemMetrics(SM_CXDLGFRAME);
      m->iHorzGap = 0;
      m->iVertGap = 0;
      m->iArrange = GetSystemMetrics(SM_ARRANGE);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT: {
      if (!pv || (ui != 0 && ui != sizeof(LOGFONT))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      SongTi(static_cast<LOGFONT*>(pv), FW_NORMAL);
      return TRUE;
    }
    case SPI_GETWORKAREA: return Put(pv, WorkArea());
    case SPI_GETBORDER: return Put<int>(pv, 1);
    case SPI_ICONHORIZONTALSPACING: return Put<int>(pv, GetSystemMetrics(SM_CXICONSPACING));
    case SPI_ICONVERTICALSPACING: return Put<int>(pv, GetSystemMetrics(SM_CYICONSPACING));
    case SPI_GETMOUSE: {
      const int mouse[3] = {6, 10, 1};  // thresholds and acceleration: "enhance precision"
      if (!pv) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      std::memcpy(pv, mouse, sizeof mouse);
      return TRUE;
    }
    case SPI_GETKEYBOARDSPEED: return Put<UINT>(pv, 31);
    case SPI_GETKEYBOARDDELAY: return Put<int>(pv, 1);
    case SPI_GETSCREENSAVETIMEOUT: return Put<int>(pv, 600);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return Put<UINT>(pv, 4);
    case SPI_GETMOUSEHOVERTIME: return Put<UINT>(pv, 400);
    case SPI_GETWHEELSCROLLLINES: return Put<UINT>(pv, 3);
    case SPI_GETMENUSHOWDELAY: return Put<int>(pv, 400);
    case SPI_GETMOUSESPEED: return Put<int>(pv, 10);
    case SPI_GETFOREGROUNDLOCKTIMEOUT: return Put<DWORD>(pv, 200000);
    case SPI_GETCARETWIDTH: return Put<DWORD>(pv, 1);
    case SPI_GETFONTSMOOTHINGTYPE: return Put<UINT>(pv, FE_FONTSMOOTHINGSTANDARD);
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT: return Put<UINT>(pv, 1);
    case SPI_GETMENUDROPALIGNMENT: return Put<BOOL>(pv, FALSE);
    // The switches of a fresh classic XP desktop: effects on, flat menus off, menu
    // underlines shown only once the keyboard is used.
    case SPI_GETBEEP:
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETICONTITLEWRAP:
    case SPI_GETFASTTASKSWITCH:
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETFONTSMOOTHING:
    case SPI_GETSHOWIMEUI:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETHOTTRACKING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETUIEFFECTS: return Put<BOOL>(pv, TRUE);
    case SPI_GETKEYBOARDCUES:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSCREENREADER:
    case SPI_GETSNAPTODEFBUTTON: return Put<BOOL>(pv, FALSE);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

DWORD GetVersion() { return 5u | (1u << 8) | (2600u << 16); }

BOOL GetVersionEx(OSVERSIONINFO* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFO)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  FillVersion(&info->dwMajorVersion, &info->dwMinorVersion, &info->dwBuildNumber,
              &info->dwPlatformId, info->szCSDVersion);
  return TRUE;
}

BOOL GetVersionEx(OSVERSIONINFOEX* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEX)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  FillVersion(&info->dwMajorVersion, &info->dwMinorVersion, &info->dwBuildNumber,
              &info->dwPlatformId, info->szCSDVersion);
  info->wServicePackMajor = 3;
  info->wServicePackMinor = 0;
  info->wSuiteMask = VER_SUITE_SINGLEUSERTS;
  info->wProductType = VER_NT_WORKSTATION;
  info->wReserved = 0;
  return TRUE;
}

}  // namespace win
