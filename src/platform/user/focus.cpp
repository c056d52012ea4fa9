// Focus and activation.
#include "platform/user/focus.h"

#include "platform/base/internal/reset.h"
#include "platform/user/hook.h"
#include "platform/user/internal/input.h"
#include "platform/user/internal/parts.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace win {
namespace user {
namespace {

struct Focus {
  HWND focus = nullptr;
  HWND active = nullptr;
  bool app_active = false;
  // The top-level window SetFocus is activating: the focus it is after goes elsewhere, so its
  // WM_ACTIVATE does not take it.
  HWND focus_pending = nullptr;
};
Focus& TheFocus() {
  static Focus f;
  return f;
}

HWND Live(HWND& h) {
  if (h && !IsWindow(h)) h = nullptr;
  return h;
}

bool Within(HWND ancestor, HWND h) { return h && ancestor && IsDescendant(ancestor, h); }

bool OwnedBy(HWND h, HWND owner) {
  auto w = FindWindowObj(h);
  for (HWND o = w ? w->owner : nullptr; o;) {
    if (o == owner) return true;
    auto ow = FindWindowObj(o);
    o = ow ? ow->owner : nullptr;
  }
  return false;
}

std::vector<HWND> TopLevelWindows() { return FindWindowObj(GetDesktopWindow())->children; }

WPARAM ActivateParam(WORD how, HWND h) {
  auto w = FindWindowObj(h);
  return MAKEWPARAM(how, WORD(w && (w->style & WS_MINIMIZE) ? 1 : 0));
}

void BroadcastActivateApp(bool active) {
  for (HWND t : TopLevelWindows())
    if (IsWindow(t)) SendMessage(t, WM_ACTIVATEAPP, active, 0);
}

void ChangeFocus(HWND to) {
  Focus& f = TheFocus();
  HWND from = Live(f.focus);
  if (from == to) return;
  if (from) {
    SendMessage(from, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (Live(f.focus) != from) return;  // the window moved the focus itself
  }
  if (to && !IsWindow(to)) to = nullptr;
  f.focus = to;
  if (to) SendMessage(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(from), 0);
}

// Whether a visible window that is neither topmost above a plain one nor owned by h covers
// it in the z-order.
bool NeedsRaise(HWND h) {
  auto w = FindWindowObj(h);
  if (!w || !w->linked) return false;
  bool topmost = (w->ex_style & WS_EX_TOPMOST) != 0;
  for (HWND t : TopLevelWindows()) {
    if (t == h) return false;
    auto o = FindWindowObj(t);
    if (!o || !(o->style & WS_VISIBLE)) continue;
    if ((o->ex_style & WS_EX_TOPMOST) && !topmost) continue;
    if (!OwnedBy(t, h)) return true;
  }
  return false;
}

bool Activate(HWND hwnd, WORD how, bool raise) {
  Focus& f = TheFocus();
  auto w = FindWindowObj(hwnd);
  // A window must be enabled to be activated.
  if (!w || !w->parent || !IsTopLevel(*w) || (w->style & WS_DISABLED)) return false;
  HWND old = Live(f.active);
  if (old == hwnd) return true;
  CBTACTIVATESTRUCT cbt{how == WA_CLICKACTIVE, old};
  if (CallHookChain(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd),
                    reinterpret_cast<LPARAM>(&cbt)))
    return false;
  if (!IsWindow(hwnd)) return false;
  if (raise && NeedsRaise(hwnd)) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!IsWindow(hwnd)) return false;
  }
  if (old) {
    SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    SendMessage(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), reinterpret_cast<LPARAM>(hwnd));
    if (Live(f.active) != old || !IsWindow(hwnd)) return Live(f.active) == hwnd;
  }
  if (!f.app_active) {
    f.app_active = true;
    BroadcastActivateApp(true);
    if (!IsWindow(hwnd)) return false;
  }
  f.active = hwnd;
  SendMessage(hwnd, WM_NCACTIVATE, TRUE, 0);
  if (Live(f.active) != hwnd) return false;
  SendMessage(hwnd, WM_ACTIVATE, ActivateParam(how, hwnd), reinterpret_cast<LPARAM>(old));
  if (Live(f.active) != hwnd) return false;
  // The focus is inside the active window or nowhere.
  if (f.focus_pending != hwnd && !Within(hwnd, Live(f.focus))) ChangeFocus(nullptr);
  return true;
}

void DeactivateApp() {
  Focus& f = TheFocus();
  if (HWND old = Live(f.active)) {
    SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    SendMessage(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), 0);
    if (Live(f.active) != old) return;  // it activated another window itself
  }
  f.active = nullptr;
  if (f.app_active) {
    f.app_active = false;
    BroadcastActivateApp(false);
  }
  ChangeFocus(nullptr);
}

// Windows prefers the owner; then the first window in z-order that can take it. The windows
// a window being destroyed owns are going too.
HWND NextToActivate(HWND going) {
  auto g = FindWindowObj(going);
  bool destroying = g && g->destroying;
  auto can = [&](HWND h) {
    auto w = FindWindowObj(h);
    if (!w || h == going || w->destroying || !IsTopLevel(*w)) return false;
    if (!(w->style & WS_VISIBLE) || (w->style & WS_DISABLED) || (w->ex_style & WS_EX_NOACTIVATE))
      return false;
    return !(destroying && OwnedBy(h, going));
  };
  if (g && g->owner && can(g->owner)) return g->owner;
  for (HWND t : TopLevelWindows())
    if (can(t)) return t;
  return nullptr;
}

void ActivateNext(HWND going) {
  HWND next = NextToActivate(going);
  if (next && Activate(next, WA_ACTIVE, true)) return;
  if (Live(TheFocus().active) == going) DeactivateApp();
}

bool NoWindowLeftBut(HWND going) {
  for (HWND t : TopLevelWindows()) {
    auto w = FindWindowObj(t);
    if (w && t != going && !w->destroying) return false;
  }
  return true;
}

}  // namespace

bool ActivateWindow(HWND hwnd, WORD how) { return Activate(hwnd, how, true); }
void DeactivateForDesktop() { DeactivateApp(); }

bool FocusDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
  switch (msg) {
    case WM_ACTIVATE: {
      *result = 0;
      auto w = FindWindowObj(hwnd);
      if (w && LOWORD(wp) != WA_INACTIVE && !(w->style & WS_MINIMIZE) &&
          TheFocus().focus_pending != hwnd)
        SetFocus(hwnd);
      return true;
    }
  }
  return false;
}

void FocusBeforePosChanged(HWND hwnd, UINT flags, bool) {
  auto w = FindWindowObj(hwnd);
  if (!w || !IsTopLevel(*w) || w->destroying || (flags & SWP_NOACTIVATE) ||
      !(w->style & WS_VISIBLE))
    return;
  Activate(hwnd, WA_ACTIVE, false);  // already placed by the move itself
}

// A top-level window hidden without SWP_NOACTIVATE hands activation on; with it, it stays
// active (and focused) though hidden. Hiding never moves the focus by itself: ShowWindow does
// that for a window that held it.
void FocusAfterPosChanged(HWND hwnd, UINT flags, bool was_visible) {
  auto w = FindWindowObj(hwnd);
  if (!w || !was_visible || (w->style & WS_VISIBLE) || (flags & SWP_NOACTIVATE)) return;
  if (IsTopLevel(*w) && hwnd == GetActiveWindow()) ActivateNext(hwnd);
}

void FocusStateChanged(HWND hwnd, bool hand_on) {
  auto w = FindWindowObj(hwnd);
  if (!w || !IsTopLevel(*w) || hwnd != GetActiveWindow()) return;
  if (!(w->style & WS_MINIMIZE)) {
    if (!GetFocus()) SetFocus(hwnd);
    return;
  }
  if (hand_on) {
    for (HWND t : TopLevelWindows()) {
      auto o = FindWindowObj(t);
      if (!o || t == hwnd || o->destroying || (o->style & (WS_MINIMIZE | WS_DISABLED)) ||
          !(o->style & WS_VISIBLE) || (o->ex_style & WS_EX_NOACTIVATE))
        continue;
      if (Activate(t, WA_ACTIVE, true)) return;
      break;
    }
  }
  // Parked off the screen, it keeps no focus: its keys come as WM_SYSKEYDOWN to it.
  if (Within(hwnd, GetFocus())) ChangeFocus(nullptr);
}

void FocusWindowDestroying(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return;
  Focus& f = TheFocus();
  InputWindowGoing(hwnd);
  if (!IsTopLevel(*w)) {
    if (Within(hwnd, GetFocus())) SetFocus(w->parent);
  } else if (hwnd == GetActiveWindow()) {
    ActivateNext(hwnd);
  }
  if (Within(hwnd, GetFocus())) ChangeFocus(nullptr);
  if (Live(f.active) == hwnd) f.active = nullptr;  // a hook refused every way out
  if (NoWindowLeftBut(hwnd)) {
    f.app_active = false;
    ResetInput();
  }
}

}  // namespace user

using namespace user;

HWND SetFocus(HWND hwnd) {
  Focus& f = TheFocus();
  HWND old = Live(f.focus);
  if (!hwnd) {
    if (CallHookChain(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(old))) return nullptr;
    ChangeFocus(nullptr);
    return old;
  }
  if (!FindWindowObj(hwnd)) return nullptr;
  if (hwnd == old) return old;
  if (CallHookChain(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hwnd),
                    reinterpret_cast<LPARAM>(old)))
    return nullptr;
  if (!IsWindow(hwnd)) return nullptr;
  HWND top = GetAncestor(hwnd, GA_ROOT);
  if (top != Live(f.active)) {
    HWND saved = f.focus_pending;
    f.focus_pending = top;
    bool ok = Activate(top, WA_ACTIVE, true);
    f.focus_pending = saved;
    if (!ok || !IsWindow(hwnd)) return nullptr;
  }
  ChangeFocus(hwnd);
  return old;
}

HWND GetFocus() { return Live(TheFocus().focus); }

HWND SetActiveWindow(HWND hwnd) {
  if (!FindWindowObj(hwnd)) return nullptr;
  HWND old = GetActiveWindow();
  if (!Activate(GetAncestor(hwnd, GA_ROOT), WA_ACTIVE, true)) return nullptr;
  return old;
}

HWND GetActiveWindow() { return Live(TheFocus().active); }

BOOL SetForegroundWindow(HWND hwnd) {
  if (!FindWindowObj(hwnd)) return FALSE;
  return Activate(GetAncestor(hwnd, GA_ROOT), WA_ACTIVE, true) ? TRUE : FALSE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  bool was_disabled = (w->style & WS_DISABLED) != 0;
  if (bool(enable) == !was_disabled) return was_disabled;  // no change
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    // Windows' order: the window ends its modes while still enabled, then is disabled, loses
    // the focus if it holds it itself (a focused child keeps it), and lets go of the mouse.
    SendMessage(hwnd, WM_CANCELMODE, 0, 0);
    if (!(w = FindWindowObj(hwnd))) return was_disabled;
    w->style |= WS_DISABLED;
    if (GetFocus() == hwnd) SetFocus(nullptr);
    if (!IsWindow(hwnd)) return was_disabled;
    if (HWND cap = GetCapture(); cap && IsDescendant(hwnd, cap)) ReleaseCapture();
    if (!IsWindow(hwnd)) return was_disabled;
  }
  SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return was_disabled;
}

namespace {
void ResetFocus() { TheFocus() = Focus{}; }
[[maybe_unused]] const bool kFocusReset = RegisterReset(ResetStage::WindowManager, ResetFocus);
}  // namespace

}  // namespace win
