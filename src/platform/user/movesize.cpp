// The modal move and size loop of the default WM_SYSCOMMAND (SC_MOVE, SC_SIZE).
//
// The window has the capture for the whole loop and follows the cursor live (full-window
// drag). The loop reads the queue itself: mouse and key input drive it, everything else
// (posted messages, timers, paint) is dispatched as the program's own loop would. It ends on
// the button's release, Enter or Escape (which puts the window back), when the window loses
// the capture, when WM_QUIT arrives (posted again for the outer loop), or when the window is
// destroyed, after which nothing of the window is touched.
#include <algorithm>
#include <optional>

#include "platform/base/internal/clock.h"
#include "platform/base/internal/geometry.h"
#include "platform/user/cursor.h"
#include "platform/user/hook.h"
#include "platform/user/internal/input.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

constexpr int kKeyStep = 8;  // pixels an arrow key moves the cursor

bool in_loop = false;  // one loop at a time, whatever a window does inside it

// The sides a WMSZ_ edge moves.
bool Left(WPARAM e) { return e == WMSZ_LEFT || e == WMSZ_TOPLEFT || e == WMSZ_BOTTOMLEFT; }
bool Right(WPARAM e) { return e == WMSZ_RIGHT || e == WMSZ_TOPRIGHT || e == WMSZ_BOTTOMRIGHT; }
bool Top(WPARAM e) { return e == WMSZ_TOP || e == WMSZ_TOPLEFT || e == WMSZ_TOPRIGHT; }
bool Bottom(WPARAM e) { return e == WMSZ_BOTTOM || e == WMSZ_BOTTOMLEFT || e == WMSZ_BOTTOMRIGHT; }

WPARAM EdgeOf(bool left, bool right, bool top, bool bottom) {
  if (top) return left ? WMSZ_TOPLEFT : right ? WMSZ_TOPRIGHT : WMSZ_TOP;
  if (bottom) return left ? WMSZ_BOTTOMLEFT : right ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM;
  return left ? WMSZ_LEFT : right ? WMSZ_RIGHT : 0;
}

const char* CursorFor(WPARAM edge) {
  switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: return IDC_SIZEWE;
    case WMSZ_TOP:
    case WMSZ_BOTTOM: return IDC_SIZENS;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT: return IDC_SIZENWSE;
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMLEFT: return IDC_SIZENESW;
  }
  return IDC_SIZEALL;
}

class Tracker {
 public:
  Tracker(HWND hwnd, bool sizing, WPARAM edge, bool keyboard)
      : hwnd_(hwnd), sizing_(sizing), keyboard_(keyboard), edge_(edge) {}

  // False when the loop cannot start (the window went while it was being asked).
  bool Start() {
    GetWindowRect(hwnd_, &orig_);
    now_ = base_ = orig_;
    MINMAXINFO mmi = MinMaxInfo(hwnd_);
    if (!IsWindow(hwnd_)) return false;
    min_ = mmi.ptMinTrackSize;
    max_ = mmi.ptMaxTrackSize;
    grab_ = cursor_ = keyboard_ ? KeyboardGrab() : LastMousePos();
    // A child window is dragged within its parent's client area, or it could be lost there.
    auto w = FindWindowObj(hwnd_);
    auto p = w && !IsTopLevel(*w) ? ParentObj(*w) : nullptr;
    if (p) {
      POINT o = ClientOriginOnScreen(w->parent);
      confine_ = RECT{o.x, o.y, o.x + RectWidth(p->client), o.y + RectHeight(p->client)};
    }
    return true;
  }

  // The loop has begun: a keyboard loop puts the cursor on its point; the cursor shows what
  // is being done (a mouse move keeps the arrow).
  void Grab() {
    if (keyboard_) SetCursorPos(grab_.x, grab_.y);
    if (sizing_ || keyboard_) SetCursor(LoadCursor(nullptr, CursorFor(sizing_ ? edge_ : 0)));
  }

  // One message of the loop. False when the loop is over.
  bool Handle(const MSG& m) {
    switch (m.message) {
      case WM_MOUSEMOVE:
        // A release the loop never saw (a hook dropped it) still ends a mouse drag.
        if (!keyboard_ && !(m.wParam & MK_LBUTTON)) return false;
        if ((!sizing_ || edge_) && (m.pt.x != cursor_.x || m.pt.y != cursor_.y)) Follow(m.pt);
        return IsWindow(hwnd_);
      case WM_LBUTTONUP: return false;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: return Key(UINT(m.wParam));
    }
    if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
        (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST))
      return true;  // input the loop does not use is swallowed
    DispatchMessage(&m);
    return true;
  }

 private:
  // Escape: back where the loop started, without WM_MOVING or WM_SIZING.
  void Cancel() { Place(orig_); }

  // Keyboard moves start from the middle of the caption, keyboard sizing from the middle of
  // the window until an arrow chooses the edge.
  POINT KeyboardGrab() const {
    POINT c{(orig_.left + orig_.right) / 2, (orig_.top + orig_.bottom) / 2};
    auto w = FindWindowObj(hwnd_);
    if (!sizing_ && w && (w->style & WS_CAPTION) == WS_CAPTION) {
      RECT frame{};
      AdjustWindowRectEx(&frame, w->style & ~WS_BORDER, FALSE, w->ex_style & ~WS_EX_CLIENTEDGE);
      bool tool = (w->ex_style & WS_EX_TOOLWINDOW) != 0;
      int caption = FrameMetric(tool ? Metric::SmCaption : Metric::Caption);
      c.y = orig_.top - frame.top + caption / 2;
    }
    return c;
  }

  bool Key(UINT vk) {
    int dx = 0, dy = 0;
    switch (vk) {
      case VK_ESCAPE: Cancel(); return false;
      case VK_RETURN: return false;
      case VK_LEFT: dx = -1; break;
      case VK_RIGHT: dx = 1; break;
      case VK_UP: dy = -1; break;
      case VK_DOWN: dy = 1; break;
      default: return true;
    }
    if (sizing_ && ChooseEdge(dx, dy)) return IsWindow(hwnd_);
    Follow({cursor_.x + dx * kKeyStep, cursor_.y + dy * kKeyStep});
    SetCursorPos(cursor_.x, cursor_.y);  // where Follow kept it
    return IsWindow(hwnd_);
  }

  // Keyboard sizing: the first arrow takes an edge, an arrow across it adds the other to make
  // a corner; the cursor jumps there and sizing goes on from the window as it is now. True
  // when the key did that.
  bool ChooseEdge(int dx, int dy) {
    bool left = Left(edge_), right = Right(edge_), top = Top(edge_), bottom = Bottom(edge_);
    if (dx && !left && !right)
      (dx < 0 ? left : right) = true;
    else if (dy && !top && !bottom)
      (dy < 0 ? top : bottom) = true;
    else
      return false;
    edge_ = EdgeOf(left, right, top, bottom);
    base_ = now_;
    grab_ = {left    ? now_.left
             : right ? now_.right - 1
                     : (now_.left + now_.right) / 2,
             top      ? now_.top
             : bottom ? now_.bottom - 1
                      : (now_.top + now_.bottom) / 2};
    cursor_ = grab_;
    SetCursorPos(grab_.x, grab_.y);
    SetCursor(LoadCursor(nullptr, CursorFor(edge_)));
    return true;
  }

  // The rectangle for the cursor at pt: moved by the cursor's travel, or with the dragged
  // edges moved and held to the tracking sizes, the opposite edges staying put.
  void Follow(POINT pt) {
    if (confine_) {
      pt.x = std::clamp(pt.x, confine_->left, std::max(confine_->left, confine_->right - 1));
      pt.y = std::clamp(pt.y, confine_->top, std::max(confine_->top, confine_->bottom - 1));
    }
    cursor_ = pt;
    int dx = pt.x - grab_.x, dy = pt.y - grab_.y;
    RECT rc = base_;
    if (!sizing_) {
      OffsetRect(&rc, dx, dy);
    } else {
      auto held = [](int size, LONG lo, LONG hi) {
        return std::clamp(size, int(lo), std::max(int(lo), int(hi)));
      };
      if (Left(edge_)) rc.left = rc.right - held(RectWidth(base_) - dx, min_.x, max_.x);
      if (Right(edge_)) rc.right = rc.left + held(RectWidth(base_) + dx, min_.x, max_.x);
      if (Top(edge_)) rc.top = rc.bottom - held(RectHeight(base_) - dy, min_.y, max_.y);
      if (Bottom(edge_)) rc.bottom = rc.top + held(RectHeight(base_) + dy, min_.y, max_.y);
    }
    SendMessage(hwnd_, sizing_ ? WM_SIZING : WM_MOVING, sizing_ ? edge_ : 0,
                reinterpret_cast<LPARAM>(&rc));
    if (!IsWindow(hwnd_) || EqualRect(&rc, &now_)) return;
    Place(rc);
  }

  // rc in screen coordinates; the window is repainted at once, as a live drag shows it.
  void Place(const RECT& rc) {
    auto w = FindWindowObj(hwnd_);
    if (!w) return;
    POINT o = ClientOriginOnScreen(w->parent);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (RectWidth(rc) == RectWidth(now_) && RectHeight(rc) == RectHeight(now_)) flags |= SWP_NOSIZE;
    SetWindowPos(hwnd_, nullptr, rc.left - o.x, rc.top - o.y, RectWidth(rc), RectHeight(rc), flags);
    if (!IsWindow(hwnd_)) return;
    GetWindowRect(hwnd_, &now_);
    UpdateWindow(hwnd_);
  }

  HWND hwnd_;
  bool sizing_, keyboard_;
  WPARAM edge_;                   // WMSZ_ code; 0 while keyboard sizing has no edge yet
  RECT orig_{}, base_{}, now_{};  // screen: at the start, where tracking counts from, now
  POINT grab_{}, cursor_{};       // the cursor where tracking counts from, and now
  POINT min_{}, max_{};           // tracking sizes
  std::optional<RECT> confine_;   // screen: where the cursor may drag a child window
};

// The next message for the loop; false when none will come (the manual clock ran dry).
bool NextMessage(MSG* m) {
  while (!PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
    WaitMessage();
    if (IsManualClock() && !PeekMessage(m, nullptr, 0, 0, PM_NOREMOVE)) return false;
  }
  return true;
}

}  // namespace

void MoveSizeLoop(HWND hwnd, WPARAM command) {
  auto w = FindWindowObj(hwnd);
  if (!w || in_loop || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) return;
  const bool sizing = (command & 0xFFF0) == SC_SIZE;
  const WPARAM low = command & 0x000F;
  // Minimised windows are parked out of reach; maximised ones fill their place.
  if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) return;
  if (sizing && (!(w->style & WS_THICKFRAME) || low > WMSZ_BOTTOMRIGHT)) return;
  const bool keyboard = low == 0;
  if (!keyboard && !(GetKeyState(VK_LBUTTON) & 0x8000)) return;  // the press is already over

  in_loop = true;
  struct Leave {
    ~Leave() { in_loop = false; }
  } leave;
  Tracker track(hwnd, sizing, sizing ? low : 0, keyboard);
  if (!track.Start()) return;
  RECT rc;
  GetWindowRect(hwnd, &rc);
  if (CallHookChain(WH_CBT, HCBT_MOVESIZE, reinterpret_cast<WPARAM>(hwnd),
                    reinterpret_cast<LPARAM>(&rc)) ||
      !IsWindow(hwnd))
    return;
  SetCapture(hwnd);
  SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  if (!IsWindow(hwnd)) return;
  track.Grab();
  const int filter = sizing ? MSGF_SIZE : MSGF_MOVE;
  MSG m;
  while (IsWindow(hwnd) && GetCapture() == hwnd && NextMessage(&m)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (!IsWindow(hwnd) || GetCapture() != hwnd) {
      // Lost while the message was being fetched: it belongs to the program's own loop.
      TranslateMessage(&m);
      DispatchMessage(&m);
      break;
    }
    if (CallMsgFilter(&m, filter)) continue;
    if (!track.Handle(m)) break;
  }
  if (!IsWindow(hwnd)) return;
  if (GetCapture() == hwnd) ReleaseCapture();
  if (IsWindow(hwnd)) SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace win::user
