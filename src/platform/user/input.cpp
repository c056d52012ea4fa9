// The input queue: injected events become mouse and keyboard messages when they are retrieved.
#include "platform/user/input.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "platform/base/error.h"
#include "platform/base/internal/clock.h"
#include "platform/base/internal/reset.h"
#include "platform/user/focus.h"
#include "platform/user/hook.h"
#include "platform/user/internal/input.h"
#include "platform/user/internal/parts.h"
#include "platform/user/message.h"
#include "platform/user/metrics.h"
#include "platform/user/timer.h"
#include "platform/user/window.h"

namespace win {
namespace user {
namespace {

enum class Kind { Move, Button, Wheel, Key, Char };

struct RawInput {
  Kind kind = Kind::Move;
  std::uint64_t seq = 0;
  POINT pt{};
  DWORD time = 0;
  WPARAM mk = 0;  // MK_ flags after the event
  int button = 0;
  bool down = false;
  int wheel = 0;
  KeyEvent key;
  WCHAR ch = 0;
};

// What a raw event becomes for the window that gets it.
struct Cooked {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  Hit under;         // where the cursor is
  LRESULT code = 0;  // the hit code the message is for (HTCLIENT under capture)
  bool captured = false;
  bool dblclk = false;
};

struct Click {
  HWND hwnd = nullptr;
  int button = -1;
  LRESULT code = 0;
  POINT pt{};
  DWORD time = 0;
};

struct Tracking {
  HWND hwnd = nullptr;
  bool leave = false, hover = false, nonclient = false;
  UINT hover_ms = 0;
  POINT hover_at{};
};

struct Input {
  std::deque<RawInput> queue;
  // Leave notices found while retrieving input; they come out next, whichever loop is asking.
  std::deque<MSG> notices;
  POINT cursor{};   // as injected
  POINT last_pt{};  // of the last mouse message retrieved
  Hit last_hit;
  HWND capture = nullptr;
  Click click;
  Tracking track;
};
Input& TheInput() {
  static Input i;
  return i;
}
std::uint64_t next_seq = 1;
UINT double_click_ms = 500;

constexpr UINT kButtonKey[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
// WM_MOUSEHOVER comes from a timer of the tracked window; the id is out of the range
// applications use.
constexpr UINT_PTR kHoverTimer = ~UINT_PTR(0) - 0x10;

LPARAM PointParam(POINT pt) { return MAKELPARAM(WORD(pt.x), WORD(pt.y)); }

POINT ToClient(HWND h, POINT pt) {
  POINT o = ClientOriginOnScreen(h);
  return {pt.x - o.x, pt.y - o.y};
}

UINT SystemParam(UINT action) {
  UINT v = 0;
  SystemParametersInfo(action, 0, &v, 0);
  return v;
}

HWND KeyboardTarget() {
  if (HWND f = GetFocus()) return f;
  return GetActiveWindow();
}

bool IsMouse(Kind k) { return k == Kind::Move || k == Kind::Button; }

// The client-area message a mouse event stands for (what WM_SETCURSOR and WM_MOUSEACTIVATE
// name, even for the non-client area).
UINT ClientMessage(const RawInput& ev, bool dblclk) {
  if (ev.kind == Kind::Move) return WM_MOUSEMOVE;
  return UINT(WM_LBUTTONDOWN + 3 * ev.button) + (ev.down ? (dblclk ? 2 : 0) : 1);
}

bool IsDoubleClick(const RawInput& ev, const Cooked& c, bool client) {
  const Click& k = TheInput().click;
  if (!ev.down || k.button != ev.button || k.hwnd != c.hwnd || k.code != c.code) return false;
  if (ev.time - k.time > GetDoubleClickTime()) return false;
  if (std::abs(ev.pt.x - k.pt.x) * 2 > GetSystemMetrics(SM_CXDOUBLECLK) ||
      std::abs(ev.pt.y - k.pt.y) * 2 > GetSystemMetrics(SM_CYDOUBLECLK))
    return false;
  // The non-client area has double clicks whatever the class says.
  if (!client) return true;
  auto w = FindWindowObj(c.hwnd);
  return w && (w->cls->style & CS_DBLCLKS);
}

// Decides the target and the message; sends nothing but WM_NCHITTEST. False: no window takes
// the event.
bool Cook(const RawInput& ev, Cooked* c) {
  switch (ev.kind) {
    case Kind::Key:
      c->message = ev.key.message;
      c->wp = ev.key.vk;
      c->lp = ev.key.lparam;
      c->hwnd = GetFocus();
      if (!c->hwnd) {
        // With no focus the active window gets the keys, as system keys.
        c->hwnd = GetActiveWindow();
        if (c->message == WM_KEYDOWN) c->message = WM_SYSKEYDOWN;
        if (c->message == WM_KEYUP) c->message = WM_SYSKEYUP;
      }
      return c->hwnd != nullptr;
    case Kind::Char:
      c->hwnd = KeyboardTarget();
      c->message = WM_CHAR;
      c->wp = ev.ch;
      c->lp = 1;
      return c->hwnd != nullptr;
    case Kind::Wheel:
      c->hwnd = KeyboardTarget();
      c->message = WM_MOUSEWHEEL;
      c->wp = MAKEWPARAM(WORD(ev.mk), WORD(ev.wheel));
      c->lp = PointParam(ev.pt);
      return c->hwnd != nullptr;
    case Kind::Move:
    case Kind::Button: break;
  }
  if (HWND cap = GetCapture()) {
    c->captured = true;
    c->hwnd = cap;
    c->under = HitTestPoint(ev.pt, false);
    c->code = HTCLIENT;
  } else {
    c->under = HitTestPoint(ev.pt, true);
    if (!c->under.hwnd) return false;
    c->hwnd = c->under.hwnd;
    c->code = c->under.code;
  }
  bool client = c->code == HTCLIENT;
  if (ev.kind == Kind::Move) {
    c->message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
  } else {
    c->dblclk = IsDoubleClick(ev, *c, client);
    UINT base = UINT(client ? WM_LBUTTONDOWN : WM_NCLBUTTONDOWN) + UINT(3 * ev.button);
    c->message = base + (ev.down ? (c->dblclk ? 2 : 0) : 1);
  }
  c->wp = client ? ev.mk : WPARAM(c->code);
  c->lp = PointParam(client ? ToClient(c->hwnd, ev.pt) : ev.pt);
  return true;
}

void StopTracking() {
  Tracking& t = TheInput().track;
  if (t.hwnd && t.hover) KillTimer(t.hwnd, kHoverTimer);
  t = Tracking{};
}

bool OverTracked(const Hit& under) {
  const Tracking& t = TheInput().track;
  return under.hwnd == t.hwnd && t.nonclient == (under.code != HTCLIENT);
}

MSG LeaveMessage(HWND h, bool nonclient) {
  return MSG{h,
             UINT(nonclient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE),
             0,
             0,
             GetTickCount(),
             TheInput().last_pt};
}

void HoverTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  Input& in = TheInput();
  Tracking& t = in.track;
  if (t.hwnd != hwnd || !t.hover) return;
  t.hover = false;
  if (t.nonclient)
    PostMessage(hwnd, WM_NCMOUSEHOVER, WPARAM(in.last_hit.code), PointParam(in.last_pt));
  else
    PostMessage(hwnd, WM_MOUSEHOVER, AsyncMouseKeys(), PointParam(ToClient(hwnd, in.last_pt)));
  if (!t.leave) t = Tracking{};
}

void StartHover(POINT at) {
  Tracking& t = TheInput().track;
  t.hover_at = at;
  SetTimer(t.hwnd, kHoverTimer, t.hover_ms, HoverTimer);
}

// A mouse message is being retrieved: has the cursor left the tracked window or its hover
// rectangle?
void FollowTracking(POINT pt, const Hit& under) {
  Tracking& t = TheInput().track;
  if (!t.hwnd) return;
  if (!IsWindow(t.hwnd)) {
    t = Tracking{};
    return;
  }
  if (!OverTracked(under)) {
    if (t.leave) TheInput().notices.push_back(LeaveMessage(t.hwnd, t.nonclient));
    StopTracking();
    return;
  }
  if (t.hover && (std::abs(pt.x - t.hover_at.x) * 2 > int(SystemParam(SPI_GETMOUSEHOVERWIDTH)) ||
                  std::abs(pt.y - t.hover_at.y) * 2 > int(SystemParam(SPI_GETMOUSEHOVERHEIGHT))))
    StartHover(pt);
}

// WM_MOUSEACTIVATE for a press outside the active window, and the activation it asks for.
// Children are never the active window, so a press on one always asks (as frameworks that
// track the active view by it expect). True: the press is eaten.
bool MouseActivate(const Cooked& c, UINT client_msg) {
  if (c.hwnd == GetActiveWindow()) return false;
  HWND top = GetAncestor(c.hwnd, GA_ROOT);
  LRESULT r = SendMessage(c.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                          MAKELPARAM(WORD(c.code), WORD(client_msg)));
  auto t = FindWindowObj(top);
  if (t && r != MA_NOACTIVATE && r != MA_NOACTIVATEANDEAT && top != GetActiveWindow() &&
      !(t->ex_style & WS_EX_NOACTIVATE))
    ActivateWindow(top, WA_CLICKACTIVE);
  return r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT;
}

// The state an event carries takes effect when it leaves the queue, delivered or not.
void TakeEffect(const RawInput& ev, const Cooked& c) {
  Input& in = TheInput();
  if (ev.kind == Kind::Key) ApplyKeyEvent(ev.key);
  if (!IsMouse(ev.kind)) return;
  in.last_pt = ev.pt;
  in.last_hit = c.under;
  if (ev.kind == Kind::Button) SetButtonState(kButtonKey[ev.button], ev.down, true);
  FollowTracking(ev.pt, c.under);
}

// The event has left the queue: the messages that go before it are sent. True with *out
// filled if it is delivered.
bool Deliver(const RawInput& ev, const Cooked& c, MSG* out) {
  Input& in = TheInput();
  TakeEffect(ev, c);
  if (ev.kind == Kind::Button && ev.down) {
    // A double click ends the sequence: the next press starts a new one.
    if (c.dblclk)
      in.click = Click{};
    else
      in.click = Click{c.hwnd, ev.button, c.code, ev.pt, ev.time};
  }
  *out = MSG{c.hwnd, c.message, c.wp, c.lp, ev.time, ev.pt};
  if (ev.kind == Kind::Key || ev.kind == Kind::Char) return true;

  UINT client_msg = ev.kind == Kind::Wheel ? WM_MOUSEWHEEL : ClientMessage(ev, c.dblclk);
  bool press = ev.kind == Kind::Button && ev.down;
  if (!c.captured && c.code == HTERROR) {
    // A disabled top-level window: it is told (for its cursor) and the press brings forward
    // the window that disabled it, as a modal window is brought forward on Windows.
    SendMessage(c.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.hwnd),
                MAKELPARAM(WORD(HTERROR), WORD(client_msg)));
    if (press && IsWindow(c.hwnd)) {
      HWND popup = GetWindow(c.hwnd, GW_ENABLEDPOPUP);
      if (popup && popup != c.hwnd) SetActiveWindow(popup);
    }
    return false;
  }
  if (HasHooks(WH_MOUSE)) {
    MOUSEHOOKSTRUCT mhs{ev.pt, c.hwnd, UINT(c.code), 0};
    if (CallHookChain(WH_MOUSE, HC_ACTION, c.message, reinterpret_cast<LPARAM>(&mhs))) {
      // A discarded click is told to the CBT hook, as Windows does; moves and the wheel are not.
      const bool click =
          c.message != WM_MOUSEMOVE && c.message != WM_NCMOUSEMOVE && c.message != WM_MOUSEWHEEL;
      if (click)
        CallHookChain(WH_CBT, HCBT_CLICKSKIPPED, c.message, reinterpret_cast<LPARAM>(&mhs));
      return false;
    }
  }
  if (!IsWindow(c.hwnd)) return false;
  bool eat = press && !c.captured && MouseActivate(c, client_msg);
  if (!IsWindow(c.hwnd)) return false;
  if (ev.kind != Kind::Wheel && !c.captured)
    SendMessage(c.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.hwnd),
                MAKELPARAM(WORD(c.code), WORD(client_msg)));
  return !eat && IsWindow(c.hwnd);
}

std::size_t IndexOf(std::uint64_t seq) {
  auto& q = TheInput().queue;
  for (std::size_t i = 0; i < q.size(); ++i)
    if (q[i].seq == seq) return i;
  return q.size();
}

// The queue's input source. Sends made while cooking or delivering may pump messages, so an
// event is found again by its sequence number after each one.
bool TakeNotice(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  auto& notices = TheInput().notices;
  for (auto it = notices.begin(); it != notices.end();) {
    if (!IsWindow(it->hwnd)) {
      it = notices.erase(it);
      continue;
    }
    if (MessageFilter{filter, min, max}.Takes(it->hwnd, it->message)) {
      *out = *it;
      if (remove) notices.erase(it);
      return true;
    }
    ++it;
  }
  return false;
}

bool Source(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  if (TakeNotice(out, filter, min, max, remove)) return true;
  auto& q = TheInput().queue;
  for (std::size_t i = 0; i < q.size();) {
    RawInput ev = q[i];
    Cooked c;
    bool taken = Cook(ev, &c);
    i = IndexOf(ev.seq);
    if (i == q.size()) {
      i = 0;
      continue;
    }  // retrieved meanwhile
    if (!taken) {
      // Nothing is there to get it; its state still counts.
      if (!remove) {
        ++i;
        continue;
      }
      q.erase(q.begin() + std::ptrdiff_t(i));
      TakeEffect(ev, c);
      if (TakeNotice(out, filter, min, max, remove)) return true;
      continue;
    }
    if (!MessageFilter{filter, min, max}.Takes(c.hwnd, c.message)) {
      ++i;
      continue;
    }
    if (!remove) {
      *out = MSG{c.hwnd, c.message, c.wp, c.lp, ev.time, ev.pt};
      return true;
    }
    q.erase(q.begin() + std::ptrdiff_t(i));
    if (Deliver(ev, c, out)) return true;
    if (TakeNotice(out, filter, min, max, remove)) return true;
    i = std::min(i, q.size());
  }
  return false;
}

void Push(RawInput ev) {
  Input& in = TheInput();
  ev.seq = next_seq++;
  ev.time = GetTickCount();
  ev.pt = in.cursor;
  ev.mk = AsyncMouseKeys();
  in.queue.push_back(ev);
  SetInputSource(Source);
  WakeMessageLoop();
}

POINT Clip(int x, int y) {
  SIZE s = ScreenSize();
  return {std::clamp(x, 0, int(s.cx) - 1), std::clamp(y, 0, int(s.cy) - 1)};
}

}  // namespace

Hit LastMouseHit() { return TheInput().last_hit; }
POINT LastMousePos() { return TheInput().last_pt; }
POINT CursorPosNow() { return TheInput().cursor; }

void InputWindowGoing(HWND hwnd) {
  Input& in = TheInput();
  if (in.track.hwnd && IsDescendant(hwnd, in.track.hwnd)) StopTracking();
  if (in.click.hwnd && IsDescendant(hwnd, in.click.hwnd)) in.click = Click{};
  if (in.last_hit.hwnd && IsDescendant(hwnd, in.last_hit.hwnd)) in.last_hit = Hit{};
}

void InputWindowEnding(HWND hwnd) {
  if (GetCapture() == hwnd) ReleaseCapture();
}

// Input still waiting has nowhere to go once the last window has gone.
void ResetInput() {
  Input& in = TheInput();
  StopTracking();
  POINT cursor = in.cursor;
  in = Input{};
  in.cursor = in.last_pt = cursor;
  ResetKeyboard();
}

bool InputDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  auto w = FindWindowObj(hwnd);
  if (!w) return false;
  bool child = (w->style & WS_CHILD) != 0;
  switch (msg) {
    case WM_NCHITTEST:
    case WM_SETCURSOR: return HitTestDefProc(hwnd, msg, wp, lp, result);
    case WM_MOUSEACTIVATE:
      *result = child ? SendMessage(w->parent, msg, wp, lp) : 0;
      if (!*result) *result = MA_ACTIVATE;
      return true;
    case WM_MOUSEWHEEL: *result = child ? SendMessage(w->parent, msg, wp, lp) : 0; return true;
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) ReleaseCapture();
      *result = 0;
      return true;
  }
  return FocusDefProc(hwnd, msg, wp, lp, result);
}

}  // namespace user

using namespace user;

void InjectMouseMove(int x, int y) {
  Input& in = TheInput();
  in.cursor = Clip(x, y);
  // Windows keeps one mouse move waiting: the latest position.
  if (!in.queue.empty() && in.queue.back().kind == Kind::Move) {
    RawInput& last = in.queue.back();
    last.pt = in.cursor;
    last.time = GetTickCount();
    last.mk = AsyncMouseKeys();
    return;
  }
  Push(RawInput{});
}

void InjectMouseButton(MouseButton button, bool down, int x, int y) {
  Input& in = TheInput();
  POINT pt = Clip(x, y);
  if (pt.x != in.cursor.x || pt.y != in.cursor.y) InjectMouseMove(pt.x, pt.y);
  RawInput ev;
  ev.kind = Kind::Button;
  ev.button = int(button);
  ev.down = down;
  SetButtonState(kButtonKey[ev.button], down, false);
  Push(ev);
}

void InjectMouseWheel(int delta, int x, int y) {
  Input& in = TheInput();
  POINT pt = Clip(x, y);
  if (pt.x != in.cursor.x || pt.y != in.cursor.y) InjectMouseMove(pt.x, pt.y);
  RawInput ev;
  ev.kind = Kind::Wheel;
  ev.wheel = delta;
  Push(ev);
}

void InjectKey(UINT vk, UINT scan, bool down, bool extended) {
  RawInput ev;
  ev.kind = Kind::Key;
  ev.key = MakeKeyEvent(vk, scan, down, extended);
  Push(ev);
}

// Characters go to windows as UTF-16 units, as a Unicode window gets them on Windows: a code
// point beyond the first plane arrives as two WM_CHAR, the high surrogate first. (Our ANSI
// code page is UTF-8, whose bytes one at a time would be of no use to a window.)
void InjectText(const char32_t* code_points, std::size_t count) {
  if (!code_points) return;
  for (std::size_t i = 0; i < count; ++i) {
    char32_t cp = code_points[i];
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) continue;
    RawInput ev;
    ev.kind = Kind::Char;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      ev.ch = WCHAR(0xD800 + (cp >> 10));
      Push(ev);
      ev.ch = WCHAR(0xDC00 + (cp & 0x3FF));
    } else {
      ev.ch = WCHAR(cp);
    }
    Push(ev);
  }
}

HWND SetCapture(HWND hwnd) {
  if (hwnd && !FindWindowObj(hwnd)) return nullptr;
  HWND old = GetCapture();
  TheInput().capture = hwnd;
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  HWND old = GetCapture();
  TheInput().capture = nullptr;
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  HWND& c = TheInput().capture;
  if (c && !IsWindow(c)) c = nullptr;
  return c;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Tracking& t = TheInput().track;
  if (t.hwnd && !IsWindow(t.hwnd)) t = Tracking{};
  DWORD flags = tme->dwFlags;
  if (flags & TME_QUERY) {
    tme->dwFlags = (t.hover ? TME_HOVER : 0) | (t.leave ? TME_LEAVE : 0) |
                   (t.hwnd && t.nonclient ? TME_NONCLIENT : 0);
    tme->hwndTrack = t.hwnd;
    tme->dwHoverTime = t.hwnd ? t.hover_ms : 0;
    return TRUE;
  }
  HWND h = tme->hwndTrack;
  if (!FindWindowObj(h)) return FALSE;
  bool nonclient = (flags & TME_NONCLIENT) != 0;
  if (flags & TME_CANCEL) {
    if (t.hwnd != h || t.nonclient != nonclient) return TRUE;
    if ((flags & TME_HOVER) && t.hover) {
      KillTimer(h, kHoverTimer);
      t.hover = false;
    }
    if (flags & TME_LEAVE) t.leave = false;
    if (!t.hover && !t.leave) t = Tracking{};
    return TRUE;
  }
  if (!(flags & (TME_HOVER | TME_LEAVE))) return TRUE;
  if (t.hwnd != h || t.nonclient != nonclient) StopTracking();
  Hit under = LastMouseHit();
  if (under.hwnd != h || nonclient != (under.code != HTCLIENT)) {
    // Not over the window (or that part of it): the leave is immediate.
    if (flags & TME_LEAVE) {
      MSG m = LeaveMessage(h, nonclient);
      PostMessage(m.hwnd, m.message, 0, 0);
    }
    StopTracking();
    return TRUE;
  }
  t.hwnd = h;
  t.nonclient = nonclient;
  if (flags & TME_LEAVE) t.leave = true;
  if (flags & TME_HOVER) {
    t.hover = true;
    t.hover_ms =
        tme->dwHoverTime == HOVER_DEFAULT ? SystemParam(SPI_GETMOUSEHOVERTIME) : tme->dwHoverTime;
    StartHover(LastMousePos());
  }
  return TRUE;
}

UINT GetDoubleClickTime() { return double_click_ms; }

BOOL SetDoubleClickTime(UINT ms) {
  double_click_ms = ms ? ms : 500;
  return TRUE;
}

namespace {
// The cursor stays where it is, as it would for a new process.
void ResetInputPart() {
  ResetInput();
  double_click_ms = 500;
}
[[maybe_unused]] const bool kInputReset = RegisterReset(ResetStage::WindowManager, ResetInputPart);
}  // namespace

}  // namespace win
