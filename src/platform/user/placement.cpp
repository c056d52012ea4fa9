// Showing and hiding, minimising, maximising and restoring, and the saved placement.
#include <algorithm>
#include <vector>

#include "platform/base/internal/geometry.h"
#include "platform/user/focus.h"
#include "platform/user/hook.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/placement.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "platform/user/winpos.h"

namespace win {
namespace user {

PlacementState& PlacementOf(Window& w) { return SlotOf(w.parts.placement); }
const PlacementState& PlacementOf(const Window& w) { return SlotOf(w.parts.placement); }

namespace {

constexpr LONG kParked = -32000;  // where minimised top-level windows wait, off the desktop

bool Sizable(DWORD style) { return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD)); }

// The rectangle a window maximises into, before the frame is added: the parent's client area
// for a child, the screen for a top-level window (MinMaxInfo moves that to the work area).
RECT MaxBase(const Window& w) {
  if (!IsTopLevel(w))
    if (auto p = ParentObj(w)) return {0, 0, RectWidth(p->client), RectHeight(p->client)};
  SIZE s = ScreenSize();
  return {0, 0, s.cx, s.cy};
}

}  // namespace

MINMAXINFO DefaultMinMax(const Window& w) {
  DWORD style = w.style;
  if ((style & WS_CAPTION) == WS_CAPTION) style &= ~WS_BORDER;  // the frame, not the caption
  RECT base = MaxBase(w);
  RECT rc = base;
  AdjustWindowRectEx(&rc, style, FALSE, w.ex_style & ~WS_EX_CLIENTEDGE);
  MINMAXINFO mmi;
  int xinc = base.left - rc.left, yinc = base.top - rc.top;
  mmi.ptMaxSize = {rc.right - rc.left, rc.bottom - rc.top};
  mmi.ptMaxPosition = {-xinc, -yinc};
  if (w.style & (WS_DLGFRAME | WS_BORDER))
    mmi.ptMinTrackSize = {FrameMetric(Metric::MinTrackX), FrameMetric(Metric::MinTrackY)};
  else
    mmi.ptMinTrackSize = {2 * xinc, 2 * yinc};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  return mmi;
}

MINMAXINFO MinMaxInfo(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return {};
  MINMAXINFO mmi = DefaultMinMax(*w);
  SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (!(w = FindWindowObj(hwnd))) return {};
  // The application speaks of the screen; a top-level window that would cover it all is
  // kept to the work area instead, so the task bar stays in view. A smaller size it asked
  // for is kept as it is.
  SIZE s = ScreenSize();
  if (IsTopLevel(*w) && mmi.ptMaxSize.x >= s.cx && mmi.ptMaxSize.y >= s.cy) {
    RECT work = WorkArea();
    mmi.ptMaxSize.x -= s.cx - RectWidth(work);
    mmi.ptMaxSize.y -= s.cy - RectHeight(work);
    mmi.ptMaxPosition.x += work.left;
    mmi.ptMaxPosition.y += work.top;
  }
  return mmi;
}

void DefPosChanging(HWND hwnd, WINDOWPOS* pos) {
  auto w = FindWindowObj(hwnd);
  if (!w || !pos || (pos->flags & SWP_NOSIZE) || (w->style & WS_MINIMIZE) || !Sizable(w->style))
    return;
  MINMAXINFO mmi = MinMaxInfo(hwnd);
  if (!IsWindow(hwnd)) return;
  pos->cx = std::max(std::min(pos->cx, int(mmi.ptMaxTrackSize.x)), int(mmi.ptMinTrackSize.x));
  pos->cy = std::max(std::min(pos->cy, int(mmi.ptMaxTrackSize.y)), int(mmi.ptMinTrackSize.y));
}

namespace {

// Where a window goes when minimised: off the desktop for a top-level window, at the bottom
// left of the parent's client area for a child, unless a position was set for it.
RECT IconRect(Window& w) {
  SIZE size{GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED)};
  POINT at{kParked, kParked};
  if (PlacementOf(w).flags & WPF_SETMINPOSITION) {
    at = PlacementOf(w).min_pos;
  } else if (!IsTopLevel(w)) {
    auto p = ParentObj(w);
    at = {0, (p ? RectHeight(p->client) : 0) - size.cy};
  }
  return {at.x, at.y, at.x + size.cx, at.y + size.cy};
}

// Changes the window's state for a show command that minimises, maximises or restores;
// *rc receives the new window rectangle. Returns the SetWindowPos flags that go with it: no
// move and no size when the CBT hook or WM_QUERYOPEN refused.
UINT MinMaximize(HWND hwnd, int cmd, RECT* rc) {
  constexpr UINT refused = SWP_NOSIZE | SWP_NOMOVE;
  if (CallHookChain(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(hwnd), cmd)) return refused;
  auto w = FindWindowObj(hwnd);
  if (!w) return refused;
  bool minimising = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE ||
                    cmd == SW_FORCEMINIMIZE;
  if ((w->style & WS_MINIMIZE) && !minimising) {
    if (!SendMessage(hwnd, WM_QUERYOPEN, 0, 0)) return refused;
    if (!(w = FindWindowObj(hwnd))) return refused;
  }
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) PlacementOf(*w).normal = w->window;
  bool maximise = cmd == SW_SHOWMAXIMIZED;
  if (minimising) {
    if (w->style & WS_MAXIMIZE)
      PlacementOf(*w).flags |= WPF_RESTORETOMAXIMIZED;
    else
      PlacementOf(*w).flags &= ~WPF_RESTORETOMAXIMIZED;
    w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
    *rc = IconRect(*w);
    PlacementOf(*w).min_pos = {rc->left, rc->top};
  } else if (!maximise && (w->style & WS_MINIMIZE) &&
             (PlacementOf(*w).flags & WPF_RESTORETOMAXIMIZED)) {
    maximise = true;  // a window minimised from maximised comes back maximised
  } else if (!maximise) {
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    *rc = PlacementOf(*w).normal;
  }
  if (maximise) {
    MINMAXINFO mmi = MinMaxInfo(hwnd);
    if (!(w = FindWindowObj(hwnd))) return refused;
    w->style = (w->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
    PlacementOf(*w).flags &= ~WPF_RESTORETOMAXIMIZED;
    *rc = {mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
           mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
    PlacementOf(*w).max_pos = mmi.ptMaxPosition;
  }
  return SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_STATECHANGED;
}

}  // namespace

void PlaceCreated(HWND hwnd, DWORD style) {
  if (!(style & (WS_MINIMIZE | WS_MAXIMIZE))) return;
  RECT rc{};
  UINT flags = MinMaximize(hwnd, (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED, &rc);
  SetWindowPos(hwnd, nullptr, rc.left, rc.top, RectWidth(rc), RectHeight(rc),
               flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

MenuCommandHandler menu_handler = nullptr;

// The windows SC_NEXTWINDOW and SC_PREVWINDOW step through: unowned top-level windows on the
// desktop that could be activated.
bool Cyclable(HWND h) {
  auto w = FindWindowObj(h);
  return w && !w->owner && (w->style & WS_VISIBLE) &&
         !(w->style & (WS_DISABLED | WS_MINIMIZE | WS_CHILD)) &&
         !(w->ex_style & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
}

// Next: the window goes to the bottom and the one below it is activated, so that repeating
// visits every window in turn. Previous: the bottom one comes up, undoing a next.
void CycleWindows(HWND hwnd, bool next) {
  HWND top = GetAncestor(hwnd, GA_ROOT);
  auto desk = FindWindowObj(GetDesktopWindow());
  if (!top || !desk) return;
  std::vector<HWND> order = desk->children;  // top first
  auto at = std::find(order.begin(), order.end(), top);
  if (at == order.end()) return;
  HWND target = nullptr;
  if (next) {
    auto found = std::find_if(at + 1, order.end(), Cyclable);
    if (found == order.end()) found = std::find_if(order.begin(), at, Cyclable);
    if (found != at) target = *found;
  } else {
    auto found = std::find_if(order.rbegin(), order.rend(), Cyclable);
    if (found != order.rend() && *found != top) target = *found;
  }
  if (!target) return;
  auto t = FindWindowObj(top);
  if (next && t && !(t->ex_style & WS_EX_TOPMOST))
    SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (IsWindow(target)) SetActiveWindow(target);
}

}  // namespace

void SetMenuCommandHandler(MenuCommandHandler handler) { menu_handler = handler; }

void DefSysCommand(HWND hwnd, WPARAM wp, LPARAM lp) {
  if (CallHookChain(WH_CBT, HCBT_SYSCOMMAND, wp, lp)) return;
  switch (wp & 0xFFF0) {
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE:
      if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
      break;
    case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MOVE:
    case SC_SIZE: MoveSizeLoop(hwnd, wp); break;
    case SC_HSCROLL:
    case SC_VSCROLL: PartsScrollCommand(hwnd, wp, lp); break;
    case SC_NEXTWINDOW: CycleWindows(hwnd, true); break;
    case SC_PREVWINDOW: CycleWindows(hwnd, false); break;
    case SC_KEYMENU:
    case SC_MOUSEMENU:
      if (menu_handler) menu_handler(hwnd, wp, lp);
      break;
  }
}

}  // namespace user

using namespace user;

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!w->parent) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (cmd < SW_HIDE || cmd > SW_FORCEMINIMIZE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool was_visible = (w->style & WS_VISIBLE) != 0;
  const bool show = cmd != SW_HIDE;
  const DWORD state = w->style & (WS_MINIMIZE | WS_MAXIMIZE);
  // Hiding a top-level window lets SetWindowPos hand activation on once it is hidden.
  UINT swp = show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  int minmax = -1;  // the state change asked for, if any
  switch (cmd) {
    case SW_HIDE: break;
    // SW_MINIMIZE hands activation on to another window; so does a forced minimise, which
    // on the one thread is the same thing.
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
    case SW_SHOWMINNOACTIVE: swp |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    case SW_SHOWMINIMIZED:
      if (!(state & WS_MINIMIZE)) minmax = cmd;
      break;
    case SW_SHOWMAXIMIZED:
      if (!(state & WS_MAXIMIZE)) minmax = cmd;
      break;
    case SW_SHOWNA: swp |= SWP_NOACTIVATE | SWP_NOZORDER; break;
    case SW_SHOW: break;
    case SW_SHOWNOACTIVATE: swp |= SWP_NOACTIVATE | SWP_NOZORDER; [[fallthrough]];
    default:  // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT
      if (state) minmax = SW_RESTORE;
      break;
  }
  if (show == was_visible && minmax < 0) return was_visible;
  if (w->style & WS_CHILD) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
  RECT rc{};
  if (minmax >= 0) {
    swp |= MinMaximize(hwnd, minmax, &rc);
    if (!(w = FindWindowObj(hwnd))) return was_visible;
  } else {
    swp |= SWP_NOSIZE | SWP_NOMOVE;
  }
  if (show != was_visible) {
    SendMessage(hwnd, WM_SHOWWINDOW, show, 0);
    if (!(w = FindWindowObj(hwnd))) return was_visible;
  }
  const bool in_place = (swp & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE);
  if ((w->style & WS_CHILD) && in_place && !IsWindowVisible(w->parent)) {
    // Nothing of it can be seen: only the style changes, and no position messages are sent.
    if (show)
      w->style |= WS_VISIBLE;
    else
      w->style &= ~WS_VISIBLE;
  } else if (show || was_visible) {
    SetWindowPos(hwnd, HWND_TOP, rc.left, rc.top, RectWidth(rc), RectHeight(rc), swp);
  }
  if (!(w = FindWindowObj(hwnd))) return was_visible;
  if (minmax >= 0 && show) PartsStateChanged(hwnd, cmd == SW_MINIMIZE || cmd == SW_FORCEMINIMIZE);
  // Keys typed into a hidden window would go nowhere the user can see: when it held the focus
  // itself, its parent takes it (a focused window inside it keeps it, as on Windows).
  if (!show && GetFocus() == hwnd) SetFocus(IsTopLevel(*w) ? nullptr : w->parent);
  return was_visible;
}

BOOL IsIconic(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL OpenIcon(HWND hwnd) {
  if (!FindWindowObj(hwnd)) return FALSE;
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CloseWindow(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (w->style & WS_CHILD) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ShowWindow(hwnd, SW_SHOWMINIMIZED);
  return TRUE;
}

namespace {
// Top-level placements are in workspace coordinates: the work area's origin is their 0,0.
POINT WorkspaceOrigin(const Window& w) {
  if (!IsTopLevel(w) || (w.ex_style & WS_EX_TOOLWINDOW)) return {};
  RECT work = WorkArea();
  return {work.left, work.top};
}
}  // namespace

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!wp || wp->length != sizeof(WINDOWPLACEMENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = WorkspaceOrigin(*w);
  wp->flags = PlacementOf(*w).flags & (WPF_SETMINPOSITION | WPF_RESTORETOMAXIMIZED);
  wp->showCmd = (w->style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                           : SW_SHOWNORMAL;
  wp->rcNormalPosition =
      (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? PlacementOf(*w).normal : w->window;
  OffsetRect(&wp->rcNormalPosition, -o.x, -o.y);
  wp->ptMinPosition = PlacementOf(*w).min_pos;
  wp->ptMaxPosition = PlacementOf(*w).max_pos;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!wp || wp->length != sizeof(WINDOWPLACEMENT) || wp->showCmd > UINT(SW_FORCEMINIMIZE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = WorkspaceOrigin(*w);
  RECT normal = wp->rcNormalPosition;
  OffsetRect(&normal, o.x, o.y);
  PlacementOf(*w).normal = normal;
  PlacementOf(*w).max_pos = wp->ptMaxPosition;
  if (wp->flags & WPF_SETMINPOSITION) {
    PlacementOf(*w).min_pos = wp->ptMinPosition;
    PlacementOf(*w).flags |= WPF_SETMINPOSITION;
  }
  // A window in its normal state moves there now; a minimised or maximised one goes there when
  // it is restored. Then the show command.
  if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE)))
    SetWindowPos(hwnd, nullptr, normal.left, normal.top, RectWidth(normal), RectHeight(normal),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (!IsWindow(hwnd)) return FALSE;
  ShowWindow(hwnd, int(wp->showCmd));
  // Whether a minimised window comes back maximised is the placement's word, not the state it
  // was minimised from.
  if (!(w = FindWindowObj(hwnd))) return FALSE;
  if (wp->flags & WPF_RESTORETOMAXIMIZED)
    PlacementOf(*w).flags |= WPF_RESTORETOMAXIMIZED;
  else
    PlacementOf(*w).flags &= ~WPF_RESTORETOMAXIMIZED;
  return TRUE;
}

}  // namespace win
