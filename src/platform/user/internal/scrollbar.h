#pragma once
// The scroll-bar part of the window manager (scrollbar.cpp, scrolltrack.cpp): the values,
// geometry and painting of the non-client bars (SB_HORZ, SB_VERT) and of a "ScrollBar"
// control's bar (SB_CTL), and the tracking loop they share.
#include "platform/user/internal/window.h"
#include "platform/user/scrollbar.h"

namespace win::user {

// SetScrollPos's private mask bit (Windows' own value): SetScrollInfo answers the old position.
constexpr UINT SIF_RETURNOLDPOS = 0x1000;

// The parts of a bar, by their index in SCROLLBARINFO's rgstate (Windows' names).
constexpr int INDEX_SCROLLBAR_SELF = 0, INDEX_SCROLLBAR_UP = 1, INDEX_SCROLLBAR_PAGEUP = 2,
              INDEX_SCROLLBAR_THUMB = 3, INDEX_SCROLLBAR_PAGEDOWN = 4, INDEX_SCROLLBAR_DOWN = 5;

// One bar's values, as Windows keeps them. disabled holds the ESB_DISABLE_LTUP and
// ESB_DISABLE_RTDN bits.
struct BarValues {
  int min = 0, max = 100;  // a window's bars start at 0..100, a control's at 0..0
  UINT page = 0;
  int pos = 0;
  UINT disabled = 0;
};

// The part's state per window.
struct ScrollBarState {
  // The window's bar information exists (Windows' pSBInfo): made by the first call that sets
  // it, freed when both bars are hidden with empty ranges. A window whose style shows a bar
  // has it too, with the defaults, until a call writes it.
  bool info = false;
  BarValues horz, vert;
  // A "ScrollBar" control: its class's procedure set its bar up while the window was being
  // created (see ScrollBarDefProc); bar holds the control's values.
  bool control = false;
  BarValues bar{0, 0};
};
ScrollBarState& ScrollBarOf(Window& w);
const ScrollBarState& ScrollBarOf(const Window& w);  // the defaults until the part wrote one

// A bar laid out along its axis. Positions are pixels from the bar's start (its top or left
// edge), arrows included.
struct BarLayout {
  RECT rect{};  // the bar: window coordinates (SB_HORZ, SB_VERT) or client (SB_CTL)
  bool vertical = false;
  int length = 0;  // along the axis
  int arrow = 0;   // each arrow button's length (shorter in a short bar)
  bool thumb = false;
  int thumb_top = 0, thumb_bottom = 0;  // the thumb, when it is shown
  int travel = 0;                       // how far the thumb's top can move
};
// The layout of `bar` (SB_HORZ, SB_VERT, SB_CTL) with its values as they are; false when the
// window shows no such bar.
bool LayOutBar(const Window& w, int bar, BarLayout* out);
// The part of the laid-out bar at p (in the coordinates of g.rect); 0 where none is: outside
// the bar, or on a track that has no room for a thumb.
int BarPartAt(const BarLayout& g, POINT p);
// The position a thumb whose top is at thumb_top (from the bar's start) stands for.
int BarPosAt(const Window& w, int bar, const BarLayout& g, int thumb_top);
// The ESB_DISABLE_ bits in force: a disabled control has both.
UINT BarDisabled(const Window& w, int bar);

// Painting (scrollbar.cpp). The window's non-client bars and the size box between them, into a
// window DC (window coordinates), as WM_NCPAINT draws them.
void PaintWindowScrollBars(HDC dc, const Window& w);
// DefWindowProc's WM_CTLCOLORSCROLLBAR: the track's brush, with the DC's colours set.
HBRUSH DefaultScrollBarBrush(HDC dc);
// Draws a bar again at once (values or pressed parts changed), if the window is visible.
void RedrawBar(HWND hwnd, int bar);

// The tracking loop (scrolltrack.cpp): runs until the press on `bar` ends. pt in screen
// coordinates. Nothing happens when the point is on no live part of the bar.
void TrackScrollBar(HWND hwnd, int bar, POINT pt);
// What painting and GetScrollBarInfo ask of the loop while it runs; null when `bar` of hwnd is
// not being tracked.
struct TrackState {
  int part = 0;       // the part pressed: INDEX_SCROLLBAR_UP .. INDEX_SCROLLBAR_DOWN
  bool over = false;  // the cursor is over it (drawn pressed)
  bool drag = false;  // the thumb is being dragged: drawn at thumb_top
  int thumb_top = 0;  // from the bar's start
  int track_pos = 0;  // the position the dragged thumb stands for (SIF_TRACKPOS)
};
const TrackState* TrackOf(HWND hwnd, int bar);

// The part's entries from the core, ScrollBarDefProc and ScrollBarSysCommand, are declared in
// internal/parts.h.

}  // namespace win::user
