// The scroll bars' tracking loop: started by DefWindowProc's WM_SYSCOMMAND SC_HSCROLL or
// SC_VSCROLL (which WM_NCLBUTTONDOWN on HTHSCROLL or HTVSCROLL sends) for a window's own bar,
// and by WM_LBUTTONDOWN reaching DefWindowProc for a "ScrollBar" control (scrollbar.cpp).
//
// As on Windows: the bar's window holds the capture for the whole gesture, and the loop reads
// the queue itself, handing every message first to WH_MSGFILTER with MSGF_SCROLLBAR; the mouse
// and key input of the bar's window are the loop's, everything else is dispatched.
// - An arrow sends SB_LINEUP (SB_LINEDOWN) at once, again after 200 ms and then every 50 ms
//   while the cursor is over it (Windows' scroll-bar delays), on the platform clock; it is
//   drawn pressed only while the cursor is over it.
// - A page area repeats SB_PAGEUP (SB_PAGEDOWN) the same way while the cursor is over the area
//   as the bar now stands, so the repeat stops when the thumb, moved by the window, reaches the
//   cursor.
// - The thumb follows the cursor, sending SB_THUMBTRACK whenever the position it stands for
//   changes (GetScrollInfo's SIF_TRACKPOS reads it meanwhile); a cursor taken far from the bar
//   puts it back where it started. The release sends SB_THUMBPOSITION.
// - Every gesture ends with SB_ENDSCROLL, after the capture is released. Losing the capture
//   (WM_CANCELMODE releases it) ends the gesture too; a dragged thumb then reports the
//   position the bar holds.
// WM_HSCROLL or WM_VSCROLL goes to the window itself (lParam 0) for its own bars, to a
// control's parent (lParam the control) for a control.
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/base/internal/clock.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/reset.h"
#include "platform/user/hook.h"
#include "platform/user/input.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/scrollbar.h"
#include "platform/user/message.h"
#include "platform/user/timer.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

constexpr UINT kFirstDelay = 200, kRepeatDelay = 50;  // ms, Windows' SCROLL_FIRST/REPEAT_DELAY
constexpr UINT_PTR kTimerId = 0xFFFE;                 // Windows' IDSYS_SCROLL

struct Active {
  HWND hwnd = nullptr;
  int bar = SB_VERT;
  HWND notify = nullptr;  // who hears WM_HSCROLL / WM_VSCROLL
  LPARAM notify_lp = 0;
  bool vertical = false;
  TrackState st;
  POINT cursor{};     // screen, as last seen
  int grab = 0;       // thumb: the cursor's distance from the thumb's top at the press
  int start_top = 0;  // thumb: where it started
  int start_pos = 0;
  bool repeating = false;  // the first delay is over
};
std::optional<Active> active;

void ResetTracking() { active.reset(); }
[[maybe_unused]] const bool kTrackReset = RegisterReset(ResetStage::WindowManager, ResetTracking);

// A screen point in the coordinates of the bar's layout: window coordinates for a window's own
// bar, client coordinates for a control.
POINT ToBar(const Window& w, int bar, POINT screen) {
  if (bar == SB_CTL) {
    POINT o = ClientOriginOnScreen(w.hwnd());
    return {screen.x - o.x, screen.y - o.y};
  }
  POINT o = w.parent ? ClientOriginOnScreen(w.parent) : POINT{};
  return {screen.x - o.x - w.window.left, screen.y - o.y - w.window.top};
}

int Along(const BarLayout& g, POINT p) { return g.vertical ? p.y - g.rect.top : p.x - g.rect.left; }

// Windows lets the dragged thumb follow while the cursor stays within eight breadths of the
// bar across it and two along it.
bool NearBar(const BarLayout& g, POINT p) {
  RECT r = g.rect;
  const int breadth = g.vertical ? RectWidth(r) : RectHeight(r);
  if (g.vertical)
    InflateRect(&r, breadth * 8, breadth * 2);
  else
    InflateRect(&r, breadth * 2, breadth * 8);
  return PtInRect(&r, p) != FALSE;
}

WORD CodeOf(int part) {
  switch (part) {
    case INDEX_SCROLLBAR_UP: return SB_LINEUP;
    case INDEX_SCROLLBAR_PAGEUP: return SB_PAGEUP;
    case INDEX_SCROLLBAR_PAGEDOWN: return SB_PAGEDOWN;
    case INDEX_SCROLLBAR_DOWN: return SB_LINEDOWN;
  }
  return SB_ENDSCROLL;
}

void Notify(const Active& a, WORD code, int pos = 0) {
  const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
  SendMessage(a.notify, a.vertical ? WM_VSCROLL : WM_HSCROLL,
              MAKEWPARAM(code, thumb ? WORD(pos) : 0), a.notify_lp);
}

// The position the bar holds now (the window may have moved it).
int BarPos(HWND hwnd, int bar) {
  auto w = Quietly([&] { return FindWindowObj(hwnd); });
  if (!w) return 0;
  const ScrollBarState& s = ScrollBarOf(std::as_const(*w));
  return bar == SB_CTL ? s.bar.pos : bar == SB_VERT ? s.vert.pos : s.horz.pos;
}

// The cursor moved (or the button came up there).
void Follow(POINT screen) {
  active->cursor = screen;
  auto w = FindWindowObj(active->hwnd);
  BarLayout g;
  if (!w || !LayOutBar(*w, active->bar, &g)) return;
  const POINT p = ToBar(*w, active->bar, screen);
  TrackState& st = active->st;
  if (!st.drag) {
    const bool over = BarPartAt(g, p) == st.part;
    if (over != st.over) {
      st.over = over;
      RedrawBar(active->hwnd, active->bar);
    }
    return;
  }
  int top = active->start_top, pos = active->start_pos;
  if (NearBar(g, p)) {
    top = std::clamp(Along(g, p) - active->grab, g.arrow, g.arrow + std::max(g.travel, 0));
    pos = BarPosAt(*w, active->bar, g, top);
  }
  if (top != st.thumb_top) {
    st.thumb_top = top;
    RedrawBar(active->hwnd, active->bar);
  }
  if (active && pos != st.track_pos) {
    st.track_pos = pos;
    Notify(*active, SB_THUMBTRACK, pos);
  }
}

// The repeat timer: the pressed arrow or page area scrolls again if the cursor is over it.
void Tick() {
  if (!active->repeating) {
    active->repeating = true;
    SetTimer(active->hwnd, kTimerId, kRepeatDelay, nullptr);
  }
  auto w = FindWindowObj(active->hwnd);
  BarLayout g;
  if (!w || !LayOutBar(*w, active->bar, &g)) return;
  TrackState& st = active->st;
  const bool over = BarPartAt(g, ToBar(*w, active->bar, active->cursor)) == st.part;
  if (over != st.over) {
    st.over = over;
    RedrawBar(active->hwnd, active->bar);
  }
  if (over && active) Notify(*active, CodeOf(st.part));
}

// The next message for the loop; false when none will come (the manual clock ran dry).
bool NextMessage(MSG* m) {
  while (!PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
    WaitMessage();
    if (IsManualClock() && !PeekMessage(m, nullptr, 0, 0, PM_NOREMOVE)) return false;
  }
  return true;
}

// Runs the gesture's messages; true when it ended by the button's release, false when it was
// cut short (the capture lost, the window gone, WM_QUIT).
bool Loop(HWND hwnd) {
  MSG m;
  for (;;) {
    if (!IsWindow(hwnd) || GetCapture() != hwnd || !active) return false;
    if (!NextMessage(&m)) return false;
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      return false;
    }
    if (!IsWindow(hwnd) || GetCapture() != hwnd) {
      // Lost while the message was being fetched: it belongs to the program's own loop.
      TranslateMessage(&m);
      DispatchMessage(&m);
      return false;
    }
    if (CallMsgFilter(&m, MSGF_SCROLLBAR)) continue;
    if (m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == kTimerId) {
      Tick();
      continue;
    }
    const bool mouse = m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST;
    const bool key = m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST;
    if (m.hwnd == hwnd && (mouse || key)) {
      if (m.message == WM_MOUSEMOVE) {
        // A release the loop never saw (a hook took it) still ends the gesture.
        if (!(m.wParam & MK_LBUTTON)) return true;
        Follow(m.pt);
      } else if (m.message == WM_LBUTTONUP) {
        Follow(m.pt);
        return true;
      }
      continue;  // the rest of the bar window's input is the loop's
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

}  // namespace

const TrackState* TrackOf(HWND hwnd, int bar) {
  return active && active->hwnd == hwnd && active->bar == bar ? &active->st : nullptr;
}

void TrackScrollBar(HWND hwnd, int bar, POINT pt) {
  if (active) return;  // one gesture at a time
  auto w = FindWindowObj(hwnd);
  BarLayout g;
  if (!w || !LayOutBar(*w, bar, &g)) return;
  const int part = BarPartAt(g, ToBar(*w, bar, pt));
  const UINT disabled = BarDisabled(*w, bar);
  if (!part || disabled == (ESB_DISABLE_LTUP | ESB_DISABLE_RTDN)) return;
  if ((part == INDEX_SCROLLBAR_UP || part == INDEX_SCROLLBAR_PAGEUP) &&
      (disabled & ESB_DISABLE_LTUP))
    return;
  if ((part == INDEX_SCROLLBAR_DOWN || part == INDEX_SCROLLBAR_PAGEDOWN) &&
      (disabled & ESB_DISABLE_RTDN))
    return;

  Active a;
  a.hwnd = hwnd;
  a.bar = bar;
  a.vertical = g.vertical;
  if (bar == SB_CTL) {
    a.notify = GetParent(hwnd);
    if (!a.notify) a.notify = hwnd;
    a.notify_lp = reinterpret_cast<LPARAM>(hwnd);
  } else {
    a.notify = hwnd;
  }
  a.cursor = pt;
  a.st.part = part;
  a.st.over = true;
  if (part == INDEX_SCROLLBAR_THUMB) {
    a.st.drag = true;
    a.st.thumb_top = a.start_top = g.thumb_top;
    a.grab = Along(g, ToBar(*w, bar, pt)) - g.thumb_top;
    a.start_pos = a.st.track_pos = BarPos(hwnd, bar);  // the position the bar holds
  }
  active = a;

  SetCapture(hwnd);
  RedrawBar(hwnd, bar);
  if (part != INDEX_SCROLLBAR_THUMB && active) {
    Notify(*active, CodeOf(part));
    if (IsWindow(hwnd)) SetTimer(hwnd, kTimerId, kFirstDelay, nullptr);
  }
  // A press already over (sent without the button held) is a click: nothing repeats.
  bool released = true;
  if (GetKeyState(VK_LBUTTON) & 0x8000) released = Loop(hwnd);

  if (!active || active->hwnd != hwnd) return;
  Quietly([&] { KillTimer(hwnd, kTimerId); });
  if (!IsWindow(hwnd)) {
    active.reset();
    return;
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  Active done = *active;
  active->st.over = false;
  active->st.drag = false;
  RedrawBar(hwnd, bar);
  if (part == INDEX_SCROLLBAR_THUMB) {
    int pos = done.st.track_pos;
    if (!released) pos = BarPos(hwnd, bar);
    Notify(done, SB_THUMBPOSITION, pos);
  }
  Notify(done, SB_ENDSCROLL);
  active.reset();
}

void ScrollBarSysCommand(HWND hwnd, WPARAM wp, LPARAM lp) {
  const WPARAM cmd = wp & 0xFFF0, hit = wp & 0x000F;
  int bar;
  if (cmd == SC_VSCROLL && hit == WPARAM(HTVSCROLL))
    bar = SB_VERT;
  else if (cmd == SC_HSCROLL && hit == WPARAM(HTHSCROLL))
    bar = SB_HORZ;
  else
    return;
  TrackScrollBar(hwnd, bar, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
}

}  // namespace win::user
