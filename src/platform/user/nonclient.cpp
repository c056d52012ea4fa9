// The default non-client area: frame geometry (WM_NCCALCSIZE, AdjustWindowRectEx), hit codes,
// the classic frame and caption (WM_NCPAINT, WM_NCACTIVATE), and the non-client mouse.
#include "platform/user/internal/nonclient.h"

#include <algorithm>
#include <utility>

#include "platform/base/error.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/draw.h"
#include "platform/gdi/internal/frame.h"
#include "platform/gdi/internal/objects.h"
#include "platform/gdi/internal/region.h"
#include "platform/gdi/text.h"
#include "platform/user/icon.h"
#include "platform/user/internal/input.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/scrollbar.h"
#include "platform/user/message.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/user/winpos.h"

namespace win {
namespace user {

NonClientState& NonClientOf(Window& w) { return SlotOf(w.parts.nonclient); }
const NonClientState& NonClientOf(const Window& w) { return SlotOf(w.parts.nonclient); }

namespace {

bool In(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The outer frame's thickness by style: a static edge, a dialog or sizing frame, a border.
int FrameThickness(DWORD style, DWORD ex) {
  int t = 0;
  if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    t = FrameMetric(Metric::Border);
  else if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    t = FrameMetric(Metric::DlgFrame) - FrameMetric(Metric::Border);
  if (style & WS_THICKFRAME) t += FrameMetric(Metric::Frame) - FrameMetric(Metric::DlgFrame);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME))
    t += FrameMetric(Metric::Border);
  return t;
}

bool Tool(const Window& w) { return (w.ex_style & WS_EX_TOOLWINDOW) != 0; }

void LayOutCaption(const Window& w, NcLayout* L) {
  const bool tool = Tool(w);
  const RECT& c = L->caption;
  const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  const int bh = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
  const int top = c.top + 2;
  if (!(w.style & WS_SYSMENU)) return;
  int x = c.right - 2;
  auto take = [&](RECT* r, int gap) {
    *r = {x - bw, top, x, top + bh};
    x = r->left - gap;
  };
  take(&L->close, 2);
  L->close_on = !(w.cls->style & CS_NOCLOSE);
  if (!tool && (w.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
    take(&L->max, 0);
    take(&L->min, 0);
    L->max_on = (w.style & WS_MAXIMIZEBOX) != 0;
    L->min_on = (w.style & WS_MINIMIZEBOX) != 0;
  } else if (!tool && (w.ex_style & WS_EX_CONTEXTHELP)) {
    take(&L->help, 0);
  }
  // Dialog frames show an icon only when they were given one.
  if (!tool && (!(w.ex_style & WS_EX_DLGMODALFRAME) || NonClientOf(w).icon_small ||
                NonClientOf(w).icon_big)) {
    const int s = GetSystemMetrics(SM_CXSMICON);
    const int y = c.top + (RectHeight(c) - 1 - GetSystemMetrics(SM_CYSMICON)) / 2;
    L->icon = {c.left + 2, y, c.left + 2 + s, y + GetSystemMetrics(SM_CYSMICON)};
  }
}

}  // namespace

NcLayout LayoutFor(const Window& w, int width, int height) {
  NcLayout L;
  L.window = {0, 0, std::max(width, 0), std::max(height, 0)};
  L.frame = FrameThickness(w.style, w.ex_style);
  RECT r = L.window;
  InflateRect(&r, -L.frame, -L.frame);
  L.inner = r;
  if (HasCaption(w.style)) {
    int ch = FrameMetric(Tool(w) ? Metric::SmCaption : Metric::Caption);
    L.caption = {r.left, r.top, r.right, r.top + ch};
    r.top += ch;
    LayOutCaption(w, &L);
  }
  if (HasMenuBar(w)) {
    L.menu = {r.left, r.top, r.right, r.top + FrameMetric(Metric::Menu)};
    r.top = L.menu.bottom;
  }
  if (w.ex_style & WS_EX_CLIENTEDGE) {
    L.edge = r;
    InflateRect(&r, -FrameMetric(Metric::Edge), -FrameMetric(Metric::Edge));
  }
  const int vw = FrameMetric(Metric::VScroll), hh = FrameMetric(Metric::HScroll);
  const bool left = (w.ex_style & WS_EX_LEFTSCROLLBAR) != 0;
  if (w.style & WS_VSCROLL) {
    L.vscroll = left ? RECT{r.left, r.top, r.left + vw, r.bottom}
                     : RECT{r.right - vw, r.top, r.right, r.bottom};
    if (left)
      r.left += vw;
    else
      r.right -= vw;
  }
  if (w.style & WS_HSCROLL) {
    L.hscroll = {r.left, r.bottom - hh, r.right, r.bottom};
    r.bottom -= hh;
    if (w.style & WS_VSCROLL) {
      L.vscroll.bottom = r.bottom;
      L.grow = {L.vscroll.left, r.bottom, L.vscroll.right, L.hscroll.bottom};
    }
  }
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  L.client = r;
  return L;
}

ClientBits KeptClient(const Window& w, LRESULT wvr, const NCCALCSIZE_PARAMS* params,
                      const RECT& old_window, const RECT& old_client, const RECT& new_window,
                      const RECT& new_client) {
  auto in = [](RECT r, const RECT& win) {
    OffsetRect(&r, -win.left, -win.top);
    return r;
  };
  const UINT cs = w.cls->style;
  const bool wider = RectWidth(old_client) != RectWidth(new_client);
  const bool taller = RectHeight(old_client) != RectHeight(new_client);
  if ((wider && ((wvr & WVR_HREDRAW) || (cs & CS_HREDRAW))) ||
      (taller && ((wvr & WVR_VREDRAW) || (cs & CS_VREDRAW))))
    return {};
  RECT src = in(old_client, old_window), dst = in(new_client, new_window);
  const bool valid = params && (wvr & WVR_VALIDRECTS);
  if (valid) {
    RECT d = in(params->rgrc[1], new_window), s = in(params->rgrc[2], old_window);
    IntersectRect(&dst, &dst, &d);
    IntersectRect(&src, &src, &s);
  }
  const int cw = std::min(RectWidth(src), RectWidth(dst)),
            ch = std::min(RectHeight(src), RectHeight(dst));
  if (cw <= 0 || ch <= 0) return {};
  // Kept at the top-left unless the answer aligns the old pixels to another side.
  const bool right = !valid && (wvr & WVR_ALIGNRIGHT), bottom = !valid && (wvr & WVR_ALIGNBOTTOM);
  const int sx = right ? src.right - cw : src.left, sy = bottom ? src.bottom - ch : src.top;
  const int dx = right ? dst.right - cw : dst.left, dy = bottom ? dst.bottom - ch : dst.top;
  return {{sx, sy, sx + cw, sy + ch}, {dx, dy, dx + cw, dy + ch}};
}

void DefaultClient(const Window& w, RECT* rc) {
  if (w.style & WS_MINIMIZE) {  // a minimised window is all frame
    rc->right = rc->left;
    rc->bottom = rc->top;
    return;
  }
  NcLayout L = LayoutFor(w, RectWidth(*rc), RectHeight(*rc));
  RECT c = L.client;
  OffsetRect(&c, rc->left, rc->top);
  *rc = c;
}

LRESULT DefaultHitTest(const Window& w, POINT pt) {
  if (!InWindowShape(w, pt)) return HTNOWHERE;
  POINT o = w.parent ? ClientOriginOnScreen(w.parent) : POINT{};
  RECT client = w.client;
  OffsetRect(&client, o.x, o.y);
  if (In(client, pt)) return HTCLIENT;
  if (w.style & WS_MINIMIZE) return HTCAPTION;
  POINT p{pt.x - o.x - w.window.left, pt.y - o.y - w.window.top};
  NcLayout L = LayoutFor(w, RectWidth(w.window), RectHeight(w.window));
  if (!In(L.inner, p)) {
    if (!(w.style & WS_THICKFRAME) || (w.style & WS_MAXIMIZE)) return HTBORDER;
    // The corners reach a caption button's size along each edge, as on Windows.
    const RECT& r = L.inner;
    const int cx = GetSystemMetrics(SM_CXSIZE), cy = GetSystemMetrics(SM_CYSIZE);
    if (p.y < r.top)
      return p.x < r.left + cx ? HTTOPLEFT : p.x >= r.right - cx ? HTTOPRIGHT : HTTOP;
    if (p.y >= r.bottom)
      return p.x < r.left + cx ? HTBOTTOMLEFT : p.x >= r.right - cx ? HTBOTTOMRIGHT : HTBOTTOM;
    if (p.x < r.left)
      return p.y < r.top + cy ? HTTOPLEFT : p.y >= r.bottom - cy ? HTBOTTOMLEFT : HTLEFT;
    return p.y < r.top + cy ? HTTOPRIGHT : p.y >= r.bottom - cy ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (In(L.caption, p)) {
    // The buttons take the caption's whole height; the close box reaches its right end.
    auto column = [&](const RECT& b, int right) {
      return !Empty(b) && p.x >= b.left && p.x < right;
    };
    if (!Empty(L.icon) && p.x < L.icon.right + 2) return HTSYSMENU;
    if (column(L.close, L.caption.right)) return HTCLOSE;
    if (column(L.max, L.max.right)) return HTMAXBUTTON;
    if (column(L.min, L.min.right)) return HTMINBUTTON;
    if (column(L.help, L.help.right)) return HTHELP;
    return HTCAPTION;
  }
  if (In(L.menu, p)) return HTMENU;
  if (In(L.vscroll, p)) return HTVSCROLL;
  if (In(L.hscroll, p)) return HTHSCROLL;
  if (In(L.grow, p)) return HTGROWBOX;
  if (!Empty(L.edge) && In(L.edge, p) && !In(L.client, p)) return HTBORDER;
  return HTNOWHERE;
}

namespace {

void Fill(HDC dc, const RECT& r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

// A ring of thickness t just inside r.
void Ring(HDC dc, const RECT& r, int t, HBRUSH b) {
  if (t <= 0) return;
  RECT side[4] = {{r.left, r.top, r.right, r.top + t},
                  {r.left, r.bottom - t, r.right, r.bottom},
                  {r.left, r.top + t, r.left + t, r.bottom - t},
                  {r.right - t, r.top + t, r.right, r.bottom - t}};
  for (RECT& s : side) FillRect(dc, &s, b);
}

void PaintBorder(HDC dc, const Window& w, const NcLayout& L, bool active) {
  RECT r = L.window;
  const DWORD style = w.style, ex = w.ex_style;
  const bool stat = (ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE;
  if (!stat && ((style & (WS_THICKFRAME | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME))) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int color = !(style & WS_THICKFRAME) ? COLOR_3DFACE
                : active                 ? COLOR_ACTIVEBORDER
                                         : COLOR_INACTIVEBORDER;
    Ring(dc, r, L.frame - 2 * FrameMetric(Metric::Border), GetSysColorBrush(color));
    return;
  }
  if (style & (WS_BORDER | WS_DLGFRAME)) {
    Ring(dc, r, FrameMetric(Metric::Border), GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -FrameMetric(Metric::Border), -FrameMetric(Metric::Border));
  }
  if (stat) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

// Left to right from the caption colour to its gradient partner; both ends exact.
void Gradient(HDC dc, const RECT& r, COLORREF a, COLORREF b) {
  const int n = RectWidth(r);
  auto mix = [&](int ca, int cb, int i) { return n == 1 ? ca : ca + (cb - ca) * i / (n - 1); };
  auto at = [&](int i) {
    return RGB(mix(GetRValue(a), GetRValue(b), i), mix(GetGValue(a), GetGValue(b), i),
               mix(GetBValue(a), GetBValue(b), i));
  };
  // One fill per run of equal columns.
  for (int start = 0, end; start < n; start = end) {
    const COLORREF c = at(start);
    for (end = start + 1; end < n && at(end) == c; ++end) {}
    HBRUSH br = CreateSolidBrush(c);
    RECT part{r.left + start, r.top, r.left + end, r.bottom};
    FillRect(dc, &part, br);
    DeleteObject(br);
  }
}

void PaintButton(HDC dc, const RECT& rc, UINT kind, bool on, bool pushed) {
  if (Empty(rc)) return;
  RECT r = rc;
  DrawFrameControl(dc, &r, DFC_CAPTION,
                   kind | (on ? 0 : DFCS_INACTIVE) | (pushed ? DFCS_PUSHED : 0));
}

// The window's small icon, else its big one, else the class's, else the system's; an icon
// destroyed since it was set is passed over.
void DrawCaptionIcon(HDC dc, const Window& w, const RECT& r) {
  Quietly([&] {
    for (HICON c : {NonClientOf(w).icon_small, NonClientOf(w).icon_big, w.cls->icon_small,
                    w.cls->icon, LoadIcon(nullptr, IDI_APPLICATION)})
      if (c && DrawIconEx(dc, r.left, r.top, c, RectWidth(r), RectHeight(r), 0, nullptr, DI_NORMAL))
        break;
  });
}

void PaintCaption(HDC dc, const Window& w, const NcLayout& L, bool active) {
  const RECT& c = L.caption;
  RECT strip{c.left, c.top, c.right, c.bottom - 1};
  Gradient(dc, strip, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION),
           GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION));
  Fill(dc, {c.left, c.bottom - 1, c.right, c.bottom}, COLOR_3DFACE);
  if (!Empty(L.icon)) DrawCaptionIcon(dc, w, L.icon);
  int right = c.right - 2;
  for (const RECT* b : {&L.close, &L.max, &L.min, &L.help})
    if (!Empty(*b)) right = std::min<int>(right, b->left - 2);
  RECT text{Empty(L.icon) ? c.left + 2 : L.icon.right + 2, strip.top, right, strip.bottom};
  if (!w.text.empty() && text.right > text.left) {
    NONCLIENTMETRICS m;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    HFONT font = CreateFontIndirect(Tool(w) ? &m.lfSmCaptionFont : &m.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawText(dc, w.text.c_str(), int(w.text.size()), &text,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  const LRESULT pressed = NonClientOf(w).pressed;
  PaintButton(dc, L.close, DFCS_CAPTIONCLOSE, L.close_on, pressed == HTCLOSE);
  PaintButton(dc, L.max, (w.style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX, L.max_on,
              pressed == HTMAXBUTTON);
  PaintButton(dc, L.min, (w.style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN, L.min_on,
              pressed == HTMINBUTTON);
  PaintButton(dc, L.help, DFCS_CAPTIONHELP, true, pressed == HTHELP);
}

enum class Part { Whole, Caption };

// Draws the frame through a window DC, clipped to `clip` (screen coordinates; null: all of
// it) and never over the client area.
void PaintFrame(HWND h, HRGN clip, Part part) {
  auto w = FindWindowObj(h);
  if (!w) return;
  NcLayout L = LayoutFor(*w, RectWidth(w->window), RectHeight(w->window));
  if (part == Part::Caption && Empty(L.caption)) return;
  // The DC takes a copy of the caller's region; one that is no region means all of it.
  HRGN own = clip ? CreateRectRgn(0, 0, 0, 0) : nullptr;
  if (own && CombineRgn(own, clip, nullptr, RGN_COPY) == ERROR) {
    DeleteObject(own);
    own = nullptr;
  }
  HDC dc = own ? GetDCEx(h, own, DCX_WINDOW | DCX_INTERSECTRGN) : GetWindowDC(h);
  if (!dc) return;
  RECT client = w->client;
  OffsetRect(&client, -w->window.left, -w->window.top);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  const bool active = NonClientOf(*w).active;
  if (part == Part::Whole) {
    PaintBorder(dc, *w, L, active);
    if (!Empty(L.edge)) {
      RECT e = L.edge;
      DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
    }
    // The menu bar is drawn by its own code; its strip starts in its background colour rather
    // than as bare backing store.
    if (!Empty(L.menu)) FillRect(dc, &L.menu, GetSysColorBrush(COLOR_MENU));
    PaintWindowScrollBars(dc, *w);  // the scroll bars and the size box between them
  }
  if (!Empty(L.caption)) PaintCaption(dc, *w, L, active);
  ReleaseDC(h, dc);
}

WPARAM ButtonCommand(const Window& w, LRESULT code) {
  switch (code) {
    case HTCLOSE: return SC_CLOSE;
    case HTMINBUTTON: return (w.style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON: return (w.style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
    case HTHELP: return SC_CONTEXTHELP;
  }
  return 0;
}

bool ButtonEnabled(const Window& w, LRESULT code) {
  NcLayout L = LayoutFor(w, RectWidth(w.window), RectHeight(w.window));
  switch (code) {
    case HTCLOSE: return L.close_on;
    case HTMINBUTTON: return L.min_on;
    case HTMAXBUTTON: return L.max_on;
    case HTHELP: return !Empty(L.help);
  }
  return false;
}

void SetPressed(HWND h, LRESULT code) {
  auto w = FindWindowObj(h);
  if (!w || NonClientOf(*w).pressed == code) return;
  NonClientOf(*w).pressed = code;
  PaintFrame(h, nullptr, Part::Caption);
}

// The caption button's own loop: drawn pushed while the cursor is over it, the command sent
// when the button is let go over it. Losing the capture or the window ends it without one.
void TrackButton(HWND h, LRESULT code) {
  SetCapture(h);
  SetPressed(h, code);
  bool over = true;
  POINT at{};
  for (;;) {
    if (!IsWindow(h) || GetCapture() != h) {
      over = false;
      break;
    }
    MSG m;
    if (!GetMessage(&m, nullptr, 0, 0)) {
      PostQuitMessage(int(m.wParam));
      over = false;
      break;
    }
    if (m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST) {
      TranslateMessage(&m);
      DispatchMessage(&m);
      continue;
    }
    at = m.pt;
    auto w = FindWindowObj(h);
    if (!w) {
      over = false;
      break;
    }
    over = DefaultHitTest(*w, at) == code;
    if (m.message == WM_LBUTTONUP) break;
    SetPressed(h, over ? code : HTNOWHERE);
  }
  if (GetCapture() == h) ReleaseCapture();
  SetPressed(h, HTNOWHERE);
  auto w = FindWindowObj(h);
  if (w && over)
    SendMessage(h, WM_SYSCOMMAND, ButtonCommand(*w, code), MAKELPARAM(WORD(at.x), WORD(at.y)));
}

void LeftButtonDown(HWND h, const Window& w, LRESULT code, LPARAM lp) {
  switch (code) {
    case HTCAPTION: SendMessage(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp); return;
    case HTSYSMENU: SendMessage(h, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, lp); return;
    case HTMENU: SendMessage(h, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lp); return;
    case HTVSCROLL: SendMessage(h, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, lp); return;
    case HTHSCROLL: SendMessage(h, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, lp); return;
    case HTCLOSE:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTHELP:
      if (ButtonEnabled(w, code)) TrackButton(h, code);
      return;
    case HTGROWBOX:
      if (w.style & WS_THICKFRAME) SendMessage(h, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lp);
      return;
  }
  // HTLEFT ... HTBOTTOMRIGHT are in the order of the WMSZ_ edges.
  if (code >= HTLEFT && code <= HTBOTTOMRIGHT)
    SendMessage(h, WM_SYSCOMMAND, SC_SIZE | WPARAM(code - HTLEFT + WMSZ_LEFT), lp);
}

// WM_CTLCOLOR*: controls draw on the window colour (edits and lists) or the face colour.
LRESULT ControlColor(UINT msg, HDC dc) {
  if (msg == WM_CTLCOLORSCROLLBAR) return reinterpret_cast<LRESULT>(DefaultScrollBarBrush(dc));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  int bk = (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) ? COLOR_WINDOW : COLOR_3DFACE;
  SetBkColor(dc, GetSysColor(bk));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(bk));
}

}  // namespace

void RepaintCaption(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w || !HasCaption(w->style)) return;
  // Through WM_NCPAINT, at once, so that a window drawing its own frame draws this too.
  NcLayout L = LayoutFor(*w, RectWidth(w->window), RectHeight(w->window));
  RECT r = L.caption;
  OffsetRect(&r, w->window.left - w->client.left, w->window.top - w->client.top);
  RedrawWindow(hwnd, &r, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN | RDW_ERASENOW);
}

bool NonClientDefProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  auto w = FindWindowObj(h);
  if (!w) return false;
  *result = 0;
  switch (msg) {
    case WM_NCPAINT:
      PaintFrame(h, wp == 1 ? nullptr : reinterpret_cast<HRGN>(wp), Part::Whole);
      return true;
    case WM_NCACTIVATE:
      NonClientOf(*w).active = wp != 0;
      // lParam -1 asks for the state change without the repaint.
      if (lp != -1) PaintFrame(h, nullptr, Part::Caption);
      *result = TRUE;
      return true;
    case WM_NCLBUTTONDOWN: LeftButtonDown(h, *w, LRESULT(wp), lp); return true;
    case WM_NCLBUTTONDBLCLK:
      if (wp == WPARAM(HTCAPTION)) {
        if (w->style & (WS_MAXIMIZE | WS_MINIMIZE))
          SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, lp);
        else if (w->style & WS_MAXIMIZEBOX)
          SendMessage(h, WM_SYSCOMMAND, SC_MAXIMIZE, lp);
      } else if (wp == WPARAM(HTSYSMENU)) {
        if (ButtonEnabled(*w, HTCLOSE)) SendMessage(h, WM_SYSCOMMAND, SC_CLOSE, lp);
      } else {
        LeftButtonDown(h, *w, LRESULT(wp), lp);  // a second press on a button is a press
      }
      return true;
    case WM_NCRBUTTONUP:
      SendMessage(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), lp);
      return true;
    case WM_CONTEXTMENU:
      // A child leaves it to its parent; on a top-level caption the system menu opens, which
      // the menus own.
      if (w->style & WS_CHILD) *result = SendMessage(w->parent, msg, wp, lp);
      return true;
    case WM_SETICON: {
      if (wp != ICON_SMALL && wp != ICON_BIG) return true;
      HICON& slot = wp == ICON_SMALL ? NonClientOf(*w).icon_small : NonClientOf(*w).icon_big;
      *result = reinterpret_cast<LRESULT>(slot);
      slot = reinterpret_cast<HICON>(lp);
      RepaintCaption(h);
      return true;
    }
    case WM_GETICON:
      if (wp == ICON_SMALL2)
        *result = reinterpret_cast<LRESULT>(NonClientOf(*w).icon_small ? NonClientOf(*w).icon_small
                                                                       : NonClientOf(*w).icon_big);
      else if (wp == ICON_SMALL || wp == ICON_BIG)
        *result = reinterpret_cast<LRESULT>(wp == ICON_SMALL ? NonClientOf(*w).icon_small
                                                             : NonClientOf(*w).icon_big);
      return true;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: *result = ControlColor(msg, reinterpret_cast<HDC>(wp)); return true;
  }
  return false;
}

}  // namespace user

using namespace user;

BOOL AdjustWindowRectEx(RECT* rc, DWORD style, BOOL menu, DWORD ex) {
  if (!rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int t = FrameThickness(style, ex);
  InflateRect(rc, t, t);
  if (HasCaption(style))
    rc->top -= FrameMetric((ex & WS_EX_TOOLWINDOW) ? Metric::SmCaption : Metric::Caption);
  if (menu) rc->top -= FrameMetric(Metric::Menu);
  if (ex & WS_EX_CLIENTEDGE) InflateRect(rc, FrameMetric(Metric::Edge), FrameMetric(Metric::Edge));
  return TRUE;
}

}  // namespace win
