// Scroll bars: the values of a window's bars and of a "ScrollBar" control's bar, their layout,
// their classic painting, and the public calls. The tracking loop is in scrolltrack.cpp.
//
// The values follow Windows: a window's bar information (both bars, 0..100 to start with) is
// made by the first call that sets a range, or by a bar style; SetScrollInfo clips as Windows
// clips, then shows or hides the bar by whether anything is left to scroll (the style bit and
// a frame change), or with SIF_DISABLENOSCROLL keeps a shown bar and disables its arrows.
//
// The "ScrollBar" control's bar. On Windows the control's procedure and the window bars share
// one piece of code inside the window manager, and every SB_CTL call is a message to the
// control (SBM_SETSCROLLINFO for the setters, SBM_GETSCROLLINFO …), which a subclass watches.
// Here the control (controls/scrollbar.cpp) is written against the public API alone, so it
// reaches this code the one way the public API leaves open: it hands the bar's messages — the
// SBM_ messages, and WM_PAINT, WM_PRINTCLIENT and the press of a bar that is no size box — to
// DefWindowProc, and ScrollBarDefProc serves them. They are served only for a window that is a
// scroll-bar control, lest an ordinary window that is sent an SBM_ message by mistake start to
// paint or track as a bar: a window becomes one when its procedure sets the bar up, handing
// DefWindowProc SBM_SETSCROLLINFO while the window is being created (the control does so at
// WM_CREATE). That mirrors Windows, which marks a window as a scroll bar when the ScrollBar
// procedure handles its WM_CREATE, and keeps working for a subclass or a superclass of the
// control, whose messages still pass through the ScrollBar procedure.
#include "platform/user/internal/scrollbar.h"
#include "platform/user/internal/parts.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/base/error.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/objects.h"
#include "platform/user/internal/nonclient.h"
#include "platform/user/message.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/user/winpos.h"

namespace win {
namespace user {

ScrollBarState& ScrollBarOf(Window& w) { return SlotOf(w.parts.scrollbar); }
const ScrollBarState& ScrollBarOf(const Window& w) { return SlotOf(w.parts.scrollbar); }

namespace {

constexpr UINT kBoth = ESB_DISABLE_LTUP | ESB_DISABLE_RTDN;

DWORD StyleBit(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

bool HasInfo(const Window& w) {
  return ScrollBarOf(w).info || (w.style & (WS_HSCROLL | WS_VSCROLL));
}

const BarValues& ValuesOf(const Window& w, int bar) {
  const ScrollBarState& s = ScrollBarOf(w);
  return bar == SB_CTL ? s.bar : bar == SB_VERT ? s.vert : s.horz;
}
BarValues& ValuesOf(Window& w, int bar) {
  ScrollBarState& s = ScrollBarOf(w);
  return bar == SB_CTL ? s.bar : bar == SB_VERT ? s.vert : s.horz;
}

// The arrows a bar has disabled; a disabled control has both.
UINT Disabled(const Window& w, int bar) {
  UINT d = ValuesOf(w, bar).disabled & kBoth;
  if (bar == SB_CTL && (w.style & WS_DISABLED)) d = kBoth;
  return d;
}

// x * y / z rounded to the nearest, in a width that cannot overflow.
int Scale(std::int64_t x, std::int64_t y, std::int64_t z) {
  if (z == 0) return 0;
  __int128 p = __int128(x) * y;
  __int128 half = (z < 0 ? -z : z) / 2;
  __int128 q = ((p < 0) != (z < 0)) ? (p - half) / z : (p + half) / z;
  return int(std::clamp<__int128>(q, INT32_MIN, INT32_MAX));
}

// Windows' SBSetParms: the range first (a maximum below the minimum is the minimum), then the
// page (clipped to the range), then the position (clipped to min .. max - (page - 1)); a range
// or page that changed clips the others again. *scroll: whether the bar has anything to
// scroll, when the call said. *result: the new position, or the old with SIF_RETURNOLDPOS.
bool SetParms(BarValues& b, SCROLLINFO si, bool* scroll, int* result) {
  bool changed = false;
  if (si.fMask & SIF_RETURNOLDPOS) *result = b.pos;
  if (si.fMask & SIF_RANGE) {
    if (si.nMax < si.nMin) si.nMax = si.nMin;
    if (b.min != si.nMin || b.max != si.nMax) {
      b.min = si.nMin;
      b.max = si.nMax;
      if (!(si.fMask & SIF_PAGE)) {
        si.fMask |= SIF_PAGE;
        si.nPage = b.page;
      }
      if (!(si.fMask & SIF_POS)) {
        si.fMask |= SIF_POS;
        si.nPos = b.pos;
      }
      changed = true;
    }
  }
  const std::int64_t span = std::int64_t(b.max) - b.min;
  if (si.fMask & SIF_PAGE) {
    const UINT page = UINT(std::min<std::int64_t>(si.nPage, span + 1));
    if (b.page != page) {
      b.page = page;
      if (!(si.fMask & SIF_POS)) {
        si.fMask |= SIF_POS;
        si.nPos = b.pos;
      }
      changed = true;
    }
  }
  if (si.fMask & SIF_POS) {
    const std::int64_t top = std::int64_t(b.max) - (b.page ? std::int64_t(b.page) - 1 : 0);
    const int pos =
        int(std::clamp<std::int64_t>(si.nPos, b.min, std::max<std::int64_t>(top, b.min)));
    if (b.pos != pos) {
      b.pos = pos;
      changed = true;
    }
  }
  if (!(si.fMask & SIF_RETURNOLDPOS)) *result = b.pos;
  if (si.fMask & SIF_RANGE)
    *scroll = b.min != b.max && std::int64_t(b.page) <= span;
  else if (si.fMask & SIF_PAGE)
    *scroll = std::int64_t(b.page) <= span;
  return changed;
}

bool ValidInfo(const SCROLLINFO* si) {
  return si &&
         (si->cbSize == sizeof(SCROLLINFO) || si->cbSize == sizeof(SCROLLINFO) - sizeof(int)) &&
         !(si->fMask & ~(SIF_ALL | SIF_DISABLENOSCROLL | SIF_RETURNOLDPOS));
}

// Windows' _SBGetParms: TRUE when the mask asked for anything.
BOOL GetParms(const Window& w, int bar, SCROLLINFO* si) {
  const BarValues& b = ValuesOf(w, bar);
  if (si->fMask & SIF_RANGE) {
    si->nMin = b.min;
    si->nMax = b.max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = b.page;
  if (si->fMask & SIF_POS) si->nPos = b.pos;
  if ((si->fMask & SIF_TRACKPOS) && si->cbSize == sizeof(SCROLLINFO)) {
    const TrackState* t = TrackOf(w.hwnd(), bar);
    si->nTrackPos = t && t->part == INDEX_SCROLLBAR_THUMB ? t->track_pos : b.pos;
  }
  return (si->fMask & SIF_ALL) ? TRUE : FALSE;
}

// The frame is worked out again (a bar came or went), as SetWindowPos's SWP_FRAMECHANGED does.
void FrameChanged(HWND hwnd) {
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FreeInfo(ScrollBarState& s) {
  s.info = false;
  s.horz = s.vert = BarValues{};
}

// Windows' xxxEnableWndSBArrows: disabling adds to what is disabled, ESB_ENABLE_BOTH clears;
// TRUE when a bar changed, which is drawn again.
BOOL EnableWindowBars(Window& w, int which, UINT arrows) {
  arrows &= kBoth;
  ScrollBarState& s = ScrollBarOf(w);
  if (!HasInfo(w)) {
    if (!arrows) return FALSE;
    s.info = true;
  }
  BOOL changed = FALSE;
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (which != SB_BOTH && which != bar) continue;
    BarValues& b = ValuesOf(w, bar);
    const UINT old = b.disabled;
    b.disabled = arrows ? (b.disabled | arrows) : 0;
    if (b.disabled != old) {
      changed = TRUE;
      RedrawBar(w.hwnd(), bar);
    }
  }
  return changed;
}

// Windows' xxxSetScrollBar for a window's own bar.
int SetWindowBar(Window& w, int bar, const SCROLLINFO* in, bool redraw) {
  const HWND hwnd = w.hwnd();
  const DWORD bit = StyleBit(bar);
  const bool was_shown = (w.style & bit) != 0;
  if (!(in->fMask & SIF_RANGE) && !HasInfo(w)) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return 0;
  }
  const bool fresh = !HasInfo(w);
  ScrollBarState& s = ScrollBarOf(w);
  s.info = true;
  bool scroll = was_shown;
  int result = 0;
  if (!SetParms(ValuesOf(w, bar), *in, &scroll, &result) && !fresh) {
    if (was_shown && redraw) RedrawBar(hwnd, bar);
    return result;
  }
  w.style &= ~bit;
  if (scroll)
    w.style |= bit;
  else if (!(w.style & (WS_HSCROLL | WS_VSCROLL)) && s.horz.min == s.horz.max &&
           s.vert.min == s.vert.max)
    FreeInfo(s);
  if (in->fMask & SIF_DISABLENOSCROLL) {
    if (was_shown) {
      w.style |= bit;
      EnableWindowBars(w, bar, scroll ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    } else if (scroll) {
      FrameChanged(hwnd);
      return result;
    }
  } else if (was_shown != scroll) {
    FrameChanged(hwnd);
    return result;
  }
  if (scroll && redraw) RedrawBar(hwnd, bar);
  return result;
}

// The control's bar: SBM_SETSCROLLINFO, SBM_SETPOS, SBM_SETRANGE(REDRAW). The control is never
// hidden by its values; SIF_DISABLENOSCROLL enables or disables its arrows.
BOOL EnableControlArrows(Window& w, UINT arrows);
int SetControlBar(Window& w, const SCROLLINFO& si, bool redraw) {
  bool scroll = true;
  int result = 0;
  if (SetParms(ScrollBarOf(w).bar, si, &scroll, &result) && redraw) RedrawBar(w.hwnd(), SB_CTL);
  if (si.fMask & SIF_DISABLENOSCROLL)
    EnableControlArrows(w, scroll ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  return result;
}

BOOL EnableControlArrows(Window& w, UINT arrows) {
  BarValues& b = ScrollBarOf(w).bar;
  const UINT old = b.disabled;
  b.disabled = (arrows & kBoth) ? (b.disabled | (arrows & kBoth)) : 0;
  if (b.disabled == old) return FALSE;
  if (IsWindowVisible(w.hwnd())) InvalidateRect(w.hwnd(), nullptr, TRUE);
  return TRUE;
}

// Where a window's bars and a control's bar are, in screen coordinates.
POINT BarOrigin(const Window& w, int bar) {
  if (bar == SB_CTL) return ClientOriginOnScreen(w.hwnd());
  POINT o = w.parent ? ClientOriginOnScreen(w.parent) : POINT{};
  return {o.x + w.window.left, o.y + w.window.top};
}

BOOL BarInfo(const Window& w, LONG object, SCROLLBARINFO* info) {
  if (info->cbSize != sizeof(SCROLLBARINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int bar;
  switch (object) {
    case OBJID_CLIENT: bar = SB_CTL; break;
    case OBJID_VSCROLL: bar = SB_VERT; break;
    case OBJID_HSCROLL: bar = SB_HORZ; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  SCROLLBARINFO out;
  DWORD& self = out.rgstate[0];
  BarLayout g;
  const bool laid = LayOutBar(w, bar, &g);
  if (bar != SB_CTL) {
    if (!(w.style & StyleBit(bar)))
      self |= STATE_SYSTEM_INVISIBLE;
    else if (!laid || g.length <= 0 || RectWidth(g.rect) <= 0 || RectHeight(g.rect) <= 0)
      self |= STATE_SYSTEM_OFFSCREEN;  // the window is too small to show it
    if (!HasInfo(w)) {
      SetLastError(ERROR_NO_SCROLLBARS);
      return FALSE;
    }
  }
  const UINT disabled = Disabled(w, bar);
  if (disabled == kBoth) self |= STATE_SYSTEM_UNAVAILABLE;
  if (disabled & ESB_DISABLE_LTUP) out.rgstate[INDEX_SCROLLBAR_UP] |= STATE_SYSTEM_UNAVAILABLE;
  if (disabled & ESB_DISABLE_RTDN) out.rgstate[INDEX_SCROLLBAR_DOWN] |= STATE_SYSTEM_UNAVAILABLE;
  if (!(self & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) && laid) {
    out.rcScrollBar = g.rect;
    const POINT o = BarOrigin(w, bar);
    OffsetRect(&out.rcScrollBar, o.x, o.y);
    out.dxyLineButton = g.arrow;
    const TrackState* t = TrackOf(w.hwnd(), bar);
    if (g.thumb) {
      const int size = g.thumb_bottom - g.thumb_top;
      out.xyThumbTop = t && t->drag ? t->thumb_top : g.thumb_top;
      out.xyThumbBottom = out.xyThumbTop + size;
    } else {
      for (int i : {INDEX_SCROLLBAR_PAGEUP, INDEX_SCROLLBAR_THUMB, INDEX_SCROLLBAR_PAGEDOWN})
        out.rgstate[i] |= STATE_SYSTEM_INVISIBLE;
    }
    if (t && t->over) out.rgstate[t->part] |= STATE_SYSTEM_PRESSED;
  }
  *info = out;
  return TRUE;
}

// ---- Painting ----

// The 50% grey of Windows' track: a monochrome 8 x 8 checker, drawn in the DC's text and
// background colours. Made once, like a stock object.
HBRUSH DitherBrush() {
  static HBRUSH brush = nullptr;
  if (brush && Quietly([] { return gdi::FindBrush(brush) != nullptr; })) return brush;
  WORD rows[8];
  for (int y = 0; y < 8; ++y) rows[y] = (y & 1) ? 0x55 : 0xAA;
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  brush = CreatePatternBrush(bits);
  DeleteObject(bits);
  if (auto b = gdi::FindBrush(brush)) b->stock = true;
  return brush;
}

RECT Span(const BarLayout& g, int from, int to) {
  const RECT& r = g.rect;
  return g.vertical ? RECT{r.left, r.top + from, r.right, r.top + to}
                    : RECT{r.left + from, r.top, r.left + to, r.bottom};
}

// One bar in the classic look: the arrow buttons, the track in `track`, the thumb a raised
// button face. A pressed arrow sinks, a pressed page area shows inverted.
void PaintBar(HDC dc, const BarLayout& g, HBRUSH track, UINT disabled, const TrackState* t) {
  if (g.length <= 0 || RectWidth(g.rect) <= 0 || RectHeight(g.rect) <= 0) return;
  auto pressed = [&](int part) { return t && t->over && t->part == part; };
  if (g.arrow > 0) {
    RECT a = Span(g, 0, g.arrow), b = Span(g, g.length - g.arrow, g.length);
    DrawFrameControl(dc, &a, DFC_SCROLL,
                     (g.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) |
                         ((disabled & ESB_DISABLE_LTUP) ? DFCS_INACTIVE : 0) |
                         (pressed(INDEX_SCROLLBAR_UP) ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &b, DFC_SCROLL,
                     (g.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) |
                         ((disabled & ESB_DISABLE_RTDN) ? DFCS_INACTIVE : 0) |
                         (pressed(INDEX_SCROLLBAR_DOWN) ? DFCS_PUSHED : 0));
  }
  const int start = g.arrow, end = g.length - g.arrow;
  if (end <= start) return;
  if (!g.thumb) {
    RECT r = Span(g, start, end);
    FillRect(dc, &r, track);
    return;
  }
  const int size = g.thumb_bottom - g.thumb_top;
  const int top = t && t->drag ? t->thumb_top : g.thumb_top;
  RECT up = Span(g, start, top), down = Span(g, top + size, end), thumb = Span(g, top, top + size);
  for (auto [r, part] : {std::pair{up, INDEX_SCROLLBAR_PAGEUP}, {down, INDEX_SCROLLBAR_PAGEDOWN}}) {
    if (RectWidth(r) <= 0 || RectHeight(r) <= 0) continue;
    FillRect(dc, &r, track);
    if (pressed(part)) InvertRect(dc, &r);
  }
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);  // as the arrows: a push button
}

// The colours and brush a control's bar is drawn in: the parent's answer to
// WM_CTLCOLORSCROLLBAR, or the default when it gives no brush.
HBRUSH ControlBrush(HWND hwnd, HDC dc) {
  HWND parent = GetParent(hwnd);
  if (!parent) parent = hwnd;
  auto br = reinterpret_cast<HBRUSH>(SendMessage(
      parent, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!br || GetObjectType(br) != OBJ_BRUSH) br = DefaultScrollBarBrush(dc);
  return br;
}

void PaintControlBar(HDC dc, HWND hwnd) {
  HBRUSH br = ControlBrush(hwnd, dc);
  auto w = FindWindowObj(hwnd);
  BarLayout g;
  if (w && LayOutBar(*w, SB_CTL, &g))
    PaintBar(dc, g, br, Disabled(*w, SB_CTL), TrackOf(hwnd, SB_CTL));
}

// ---- The control's messages ----

LRESULT ControlMessage(Window& w, UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = w.hwnd();
  BarValues& b = ScrollBarOf(w).bar;
  switch (msg) {
    case SBM_SETSCROLLINFO: {
      auto* si = reinterpret_cast<const SCROLLINFO*>(lp);
      if (!ValidInfo(si)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      return SetControlBar(w, *si, wp && IsWindowVisible(hwnd));
    }
    case SBM_GETSCROLLINFO: {
      auto* si = reinterpret_cast<SCROLLINFO*>(lp);
      if (!ValidInfo(si)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      return GetParms(w, SB_CTL, si);
    }
    case SBM_SETPOS: {
      SCROLLINFO si;
      si.fMask = SIF_POS | SIF_RETURNOLDPOS;
      si.nPos = int(wp);
      return SetControlBar(w, si, lp && IsWindowVisible(hwnd));
    }
    case SBM_GETPOS: return b.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      // The old position when the range moved it, else 0, as documented.
      SCROLLINFO si;
      si.fMask = SIF_RANGE | SIF_RETURNOLDPOS;
      si.nMin = int(wp);
      si.nMax = int(lp);
      const int old = b.pos;
      SetControlBar(w, si, msg == SBM_SETRANGEREDRAW && IsWindowVisible(hwnd));
      return b.pos != old ? old : 0;
    }
    case SBM_GETRANGE:
      if (wp) *reinterpret_cast<int*>(wp) = b.min;
      if (lp) *reinterpret_cast<int*>(lp) = b.max;
      return 0;
    case SBM_ENABLE_ARROWS: return EnableControlArrows(w, UINT(wp));
    case SBM_GETSCROLLBARINFO:
      if (!lp) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      return BarInfo(w, OBJID_CLIENT, reinterpret_cast<SCROLLBARINFO*>(lp));
  }
  return 0;
}

}  // namespace

bool LayOutBar(const Window& w, int bar, BarLayout* out) {
  BarLayout g;
  if (bar == SB_CTL) {
    g.rect = {0, 0, RectWidth(w.client), RectHeight(w.client)};
    g.vertical = (w.style & SBS_VERT) != 0;
  } else {
    if (!(w.style & StyleBit(bar))) return false;
    NcLayout L = LayoutFor(w, RectWidth(w.window), RectHeight(w.window));
    g.rect = bar == SB_VERT ? L.vscroll : L.hscroll;
    g.vertical = bar == SB_VERT;
  }
  const BarValues& v = ValuesOf(w, bar);
  g.length = std::max(0, g.vertical ? RectHeight(g.rect) : RectWidth(g.rect));
  // Windows' CalcSBStuff2: arrows of the bar's breadth metric, shortened to half a short bar
  // each; the thumb in proportion to the page, at least half an arrow (a square thumb without
  // a page), placed by the position over the travel left to it.
  const int a = GetSystemMetrics(g.vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
  g.arrow = std::min(g.length / 2, a);
  const int track = g.length - 2 * g.arrow;
  const std::int64_t range = std::int64_t(v.max) - v.min + 1;
  int size = a;
  if (v.page && range > 0) size = std::max(a / 2, Scale(track, v.page, range));
  g.travel = track - size;
  g.thumb = size > 0 && track >= size && Disabled(w, bar) != kBoth;
  if (g.thumb) {
    const std::int64_t denom = range - (v.page ? std::int64_t(v.page) : 1);
    g.thumb_top = g.arrow + (denom > 0 ? Scale(std::int64_t(v.pos) - v.min, g.travel, denom) : 0);
    g.thumb_top = std::clamp(g.thumb_top, g.arrow, g.arrow + g.travel);
    g.thumb_bottom = g.thumb_top + size;
  }
  *out = g;
  return true;
}

int BarPartAt(const BarLayout& g, POINT p) {
  if (!PtInRect(&g.rect, p)) return 0;
  const int v = g.vertical ? p.y - g.rect.top : p.x - g.rect.left;
  if (v < g.arrow) return INDEX_SCROLLBAR_UP;
  if (v >= g.length - g.arrow) return INDEX_SCROLLBAR_DOWN;
  if (!g.thumb) return 0;
  if (v < g.thumb_top) return INDEX_SCROLLBAR_PAGEUP;
  if (v < g.thumb_bottom) return INDEX_SCROLLBAR_THUMB;
  return INDEX_SCROLLBAR_PAGEDOWN;
}

int BarPosAt(const Window& w, int bar, const BarLayout& g, int thumb_top) {
  // Windows' SBPosFromPx.
  const BarValues& v = ValuesOf(w, bar);
  const std::int64_t last = std::int64_t(v.max) - (v.page ? std::int64_t(v.page) - 1 : 0);
  if (thumb_top < g.arrow) return v.min;
  if (thumb_top >= g.arrow + g.travel) return int(std::max<std::int64_t>(last, v.min));
  if (g.travel <= 0) return v.min;
  return int(v.min + std::int64_t(Scale(last - v.min, thumb_top - g.arrow, g.travel)));
}

UINT BarDisabled(const Window& w, int bar) { return Disabled(w, bar); }

HBRUSH DefaultScrollBarBrush(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_3DFACE));
  SetBkColor(dc, GetSysColor(COLOR_3DHILIGHT));
  // Where the highlight is the window colour, a solid track would not stand out from the
  // window: the track is a dither of the face and highlight colours, as on Windows.
  if (GetSysColor(COLOR_3DHILIGHT) == GetSysColor(COLOR_WINDOW)) return DitherBrush();
  return GetSysColorBrush(COLOR_SCROLLBAR);
}

void PaintWindowScrollBars(HDC dc, const Window& w) {
  if (!(w.style & (WS_HSCROLL | WS_VSCROLL))) return;
  const COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
  HBRUSH track = DefaultScrollBarBrush(dc);
  for (int bar : {SB_VERT, SB_HORZ}) {
    BarLayout g;
    if (LayOutBar(w, bar, &g)) PaintBar(dc, g, track, Disabled(w, bar), TrackOf(w.hwnd(), bar));
  }
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  NcLayout L = LayoutFor(w, RectWidth(w.window), RectHeight(w.window));
  if (RectWidth(L.grow) > 0 && RectHeight(L.grow) > 0) {
    // A sizable window's size box shows the grip that sizes it.
    RECT r = L.grow;
    if ((w.style & WS_THICKFRAME) && !(w.style & WS_MAXIMIZE) &&
        !(w.ex_style & WS_EX_LEFTSCROLLBAR))
      DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    else
      FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void RedrawBar(HWND hwnd, int bar) {
  auto w = FindWindowObj(hwnd);
  if (!w || !IsWindowVisible(hwnd)) return;
  if (bar == SB_CTL) {
    if (!ScrollBarOf(*w).control || (w->style & (SBS_SIZEBOX | SBS_SIZEGRIP))) return;
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    PaintControlBar(dc, hwnd);
    ReleaseDC(hwnd, dc);
    return;
  }
  if (!(w->style & StyleBit(bar)) || (w->style & WS_MINIMIZE)) return;
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  BarLayout g;
  if (LayOutBar(*w, bar, &g))
    PaintBar(dc, g, DefaultScrollBarBrush(dc), Disabled(*w, bar), TrackOf(hwnd, bar));
  ReleaseDC(hwnd, dc);
}

bool ScrollBarDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  const bool sbm = msg >= SBM_SETPOS && msg <= SBM_GETSCROLLBARINFO;
  if (!sbm && msg != WM_PAINT && msg != WM_PRINTCLIENT && msg != WM_LBUTTONDOWN &&
      msg != WM_LBUTTONDBLCLK)
    return false;
  auto w = FindWindowObj(hwnd);
  if (!w) return false;
  const ScrollBarState& seen = ScrollBarOf(std::as_const(*w));
  if (sbm) {
    if (!seen.control) {
      // The control sets its bar up while it is created; any other window answers 0.
      if (w->created || msg != SBM_SETSCROLLINFO) return false;
      ScrollBarOf(*w).control = true;
    }
    *result = ControlMessage(*w, msg, wp, lp);
    return true;
  }
  if (!seen.control || (w->style & (SBS_SIZEBOX | SBS_SIZEGRIP))) return false;
  *result = 0;
  if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
    PAINTSTRUCT ps;
    HDC dc = wp ? reinterpret_cast<HDC>(wp) : BeginPaint(hwnd, &ps);
    if (dc) PaintControlBar(dc, hwnd);
    if (!wp) EndPaint(hwnd, &ps);
    return true;
  }
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(hwnd, &p);
  TrackScrollBar(hwnd, SB_CTL, p);
  return true;
}

}  // namespace user

using namespace user;

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if ((bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL) || !ValidInfo(si)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const bool draw = redraw && IsWindowVisible(hwnd);
  if (bar == SB_CTL)
    return int(SendMessage(hwnd, SBM_SETSCROLLINFO, draw, reinterpret_cast<LPARAM>(si)));
  return SetWindowBar(*w, bar, si, draw);
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL)
    return BOOL(SendMessage(hwnd, SBM_GETSCROLLINFO, reinterpret_cast<WPARAM>(hwnd),
                            reinterpret_cast<LPARAM>(si)));
  if ((bar != SB_HORZ && bar != SB_VERT) || !ValidInfo(si)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!HasInfo(*w)) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return FALSE;
  }
  return GetParms(*w, bar, si);
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_POS | SIF_RETURNOLDPOS;
  si.nPos = pos;
  return SetScrollInfo(hwnd, bar, &si, redraw);
}

int GetScrollPos(HWND hwnd, int bar) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (bar == SB_CTL) return int(SendMessage(hwnd, SBM_GETPOS, 0, 0));
  if (bar != SB_HORZ && bar != SB_VERT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!HasInfo(*w)) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return 0;
  }
  return ValuesOf(*w, bar).pos;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  if (!FindWindowObj(hwnd)) return FALSE;
  // The range must be a positive int (so a maximum below the minimum is refused).
  if (std::uint32_t(max) - std::uint32_t(min) > std::uint32_t(INT32_MAX)) {
    SetLastError(ERROR_INVALID_SCROLLBAR_RANGE);
    return FALSE;
  }
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  if (min) *min = 0;
  if (max) *max = 0;
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) {
    SendMessage(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(min), reinterpret_cast<LPARAM>(max));
    return TRUE;
  }
  if (bar != SB_HORZ && bar != SB_VERT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!HasInfo(*w)) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return FALSE;
  }
  if (min) *min = ValuesOf(*w, bar).min;
  if (max) *max = ValuesOf(*w, bar).max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) {
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  DWORD bits;
  switch (bar) {
    case SB_HORZ: bits = WS_HSCROLL; break;
    case SB_VERT: bits = WS_VSCROLL; break;
    case SB_BOTH: bits = WS_HSCROLL | WS_VSCROLL; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  bool changed = false;
  if (show && (w->style & bits) != bits) {
    w->style |= bits;
    ScrollBarOf(*w).info = true;
    changed = true;
  } else if (!show && (w->style & bits)) {
    w->style &= ~bits;
    changed = true;
  }
  if (changed) FrameChanged(hwnd);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (bar == UINT(SB_CTL)) return BOOL(SendMessage(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
  if (bar != UINT(SB_HORZ) && bar != UINT(SB_VERT) && bar != UINT(SB_BOTH)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return EnableWindowBars(*w, int(bar), arrows);
}

BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* info) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (object == OBJID_CLIENT && !ScrollBarOf(std::as_const(*w)).control)
    return BOOL(SendMessage(hwnd, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(info)));
  return BarInfo(*w, object, info);
}

}  // namespace win
