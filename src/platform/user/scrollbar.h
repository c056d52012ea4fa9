#pragma once
// Scroll bars: the non-client bars of WS_HSCROLL and WS_VSCROLL windows and the "ScrollBar"
// control's bar, their information and the tracking loop.
#include "platform/user/messages.h"

namespace win {

// Which bar (SB_HORZ, SB_VERT, SB_CTL for a "ScrollBar" control, SB_BOTH) and the request
// codes of WM_HSCROLL and WM_VSCROLL.
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
               SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
               SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7,
               SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x0001, SIF_PAGE = 0x0002, SIF_POS = 0x0004,
               SIF_DISABLENOSCROLL = 0x0008, SIF_TRACKPOS = 0x0010,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

// EnableScrollBar's arrows.
constexpr UINT ESB_ENABLE_BOTH = 0x0000, ESB_DISABLE_BOTH = 0x0003, ESB_DISABLE_LEFT = 0x0001,
               ESB_DISABLE_RIGHT = 0x0002, ESB_DISABLE_UP = 0x0001, ESB_DISABLE_DOWN = 0x0002,
               ESB_DISABLE_LTUP = ESB_DISABLE_LEFT, ESB_DISABLE_RTDN = ESB_DISABLE_RIGHT;

// GetScrollBarInfo: which bar, and the states of its parts (rgstate: the bar, the top or left
// arrow, the page area above, the thumb, the page area below, the bottom or right arrow).
constexpr LONG OBJID_HSCROLL = LONG(0xFFFFFFFA), OBJID_VSCROLL = LONG(0xFFFFFFFB),
               OBJID_CLIENT = LONG(0xFFFFFFFC);
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001, STATE_SYSTEM_PRESSED = 0x00000008,
                STATE_SYSTEM_INVISIBLE = 0x00008000, STATE_SYSTEM_OFFSCREEN = 0x00010000;
constexpr int CCHILDREN_SCROLLBAR = 5;
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar{};  // screen coordinates
  int dxyLineButton = 0;
  int xyThumbTop = 0;  // from the bar's top or left edge
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[CCHILDREN_SCROLLBAR + 1] = {};
};

// "ScrollBar" control styles and messages.
constexpr DWORD SBS_HORZ = 0x0000, SBS_VERT = 0x0001, SBS_TOPALIGN = 0x0002, SBS_LEFTALIGN = 0x0002,
                SBS_BOTTOMALIGN = 0x0004, SBS_RIGHTALIGN = 0x0004, SBS_SIZEBOXTOPLEFTALIGN = 0x0002,
                SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004, SBS_SIZEBOX = 0x0008, SBS_SIZEGRIP = 0x0010;
constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2,
               SBM_SETRANGEREDRAW = 0x00E6, SBM_GETRANGE = 0x00E3, SBM_ENABLE_ARROWS = 0x00E4,
               SBM_SETSCROLLINFO = 0x00E9, SBM_GETSCROLLINFO = 0x00EA,
               SBM_GETSCROLLBARINFO = 0x00EB;

// The scroll-bar functions' errors.
constexpr DWORD ERROR_NO_SCROLLBARS = 1447, ERROR_INVALID_SCROLLBAR_RANGE = 1448;

// Windows' answers and order. SB_CTL is the bar of a "ScrollBar" control: every call on it is a
// message to the control (SetScrollInfo, SetScrollPos and SetScrollRange send
// SBM_SETSCROLLINFO, GetScrollInfo SBM_GETSCROLLINFO, GetScrollPos SBM_GETPOS, GetScrollRange
// SBM_GETRANGE, EnableScrollBar SBM_ENABLE_ARROWS, GetScrollBarInfo with OBJID_CLIENT
// SBM_GETSCROLLBARINFO to a window that is no scroll-bar control), so a subclass sees them; a
// window that is no scroll bar answers 0. ShowScrollBar shows or hides the control.
//
// A window's own bars (SB_HORZ, SB_VERT): their information exists once the window has a bar
// style or a call has set a range; until then the calls fail with ERROR_NO_SCROLLBARS. A range
// or page that leaves nothing to scroll hides the bar (the style bit goes and the frame is
// recalculated), unless SIF_DISABLENOSCROLL keeps a shown bar with both arrows disabled; a
// range that scrolls again shows it. nMax below nMin is taken as nMin; nPage is clipped to the
// range and nPos to min .. max - (page - 1). SetScrollInfo answers the new position,
// SetScrollPos the old one; bad arguments answer 0 or FALSE with ERROR_INVALID_PARAMETER.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info);

}  // namespace win
