#include "platform/user/caret.h"

#include <optional>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/reset.h"
#include "platform/gdi/internal/bitmap.h"
#include "platform/user/internal/paint.h"
#include "platform/user/internal/parts.h"
#include "platform/user/timer.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

constexpr UINT_PTR kCaretTimer = ~UINT_PTR(0) - 0x11;
const HBITMAP kGrey = reinterpret_cast<HBITMAP>(std::uintptr_t(1));

// One inverted pixel, in the owner's window coordinates so that it is found again after the
// window moved with its pixels.
struct Inverted {
  int x, y;
  std::uint32_t before, after;
};

struct Caret {
  HWND owner = nullptr;
  POINT pos{};
  int width = 0, height = 0;
  bool grey = false;
  std::vector<COLORREF> bits;  // a bitmap caret: what each pixel is XORed with, row by row
  int hidden = 1;              // HideCaret count; a new caret starts hidden
  int held = 0;                // steps aside for painting and scrolling
  bool on = false;             // inverted on the screen now
  std::vector<Inverted> drawn;
};

struct State {
  std::optional<Caret> caret;
  UINT blink = 530;
};
State& TheCaret() {
  static State s;
  return s;
}

bool Showing(const Caret& c) { return c.hidden == 0 && c.held == 0; }

COLORREF XorAt(const Caret& c, int i, int j) {
  if (!c.bits.empty()) return c.bits[std::size_t(j) * std::size_t(c.width) + std::size_t(i)];
  if (c.grey && ((c.pos.x + i + c.pos.y + j) & 1)) return 0;
  return 0x00FFFFFF;
}

void Notify(const Window& top, RECT box) {
  RECT tr;
  if (IsRectEmpty(&box) || !GetWindowRect(top.hwnd(), &tr)) return;
  OffsetRect(&box, tr.left, tr.top);
  NotifyScreenChanged(box);
}

// Inverts the caret's pixels where a DC on the owner's client area could draw.
void Draw(Caret& c) {
  c.on = true;
  c.drawn.clear();
  auto w = FindWindowObj(c.owner);
  auto top = TopLevelOf(c.owner);
  if (!w || !top) return;
  auto surface = BackingStore(*top);
  if (!surface) return;
  DWORD flags = (!OwnsSurface(*w) && (w->cls->style & CS_PARENTDC)) ? DCX_PARENTCLIP : 0;
  gdi::Region vis = VisibleRegion(*w, flags);
  if (LockedWindow() && IsDescendant(LockedWindow(), c.owner)) vis.Clear();
  POINT co = ClientOrigin(*w), wo = WindowOrigin(*w);
  RECT area{co.x + c.pos.x, co.y + c.pos.y, 0, 0};
  area.right = Bounded(area.left + c.width);
  area.bottom = Bounded(area.top + c.height);
  vis.IntersectRect(area);
  vis.IntersectRect(RECT{0, 0, surface->width, surface->height});
  for (const RECT& r : vis.Rects())
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        COLORREF mask = XorAt(c, x - area.left, y - area.top);
        if (!mask) continue;
        std::uint32_t before = surface->Get(x, y);
        std::uint32_t after = surface->FromColor(surface->ToColor(before) ^ mask);
        surface->Put(x, y, after);
        c.drawn.push_back({x - wo.x, y - wo.y, before, after});
      }
  Notify(*top, vis.Box());
}

// Gives back the pixels the caret inverted, where they still show the caret.
void Erase(Caret& c) {
  if (!c.on) return;
  c.on = false;
  std::vector<Inverted> drawn;
  drawn.swap(c.drawn);
  auto w = FindWindowObj(c.owner);
  auto top = TopLevelOf(c.owner);
  if (!w || !top || drawn.empty()) return;
  auto surface = BackingStore(*top);
  if (!surface) return;
  POINT wo = WindowOrigin(*w);
  RECT box{};
  for (const Inverted& p : drawn) {
    int x = p.x + wo.x, y = p.y + wo.y;
    if (x < 0 || y < 0 || x >= surface->width || y >= surface->height) continue;
    if (surface->Get(x, y) != p.after) continue;
    surface->Put(x, y, p.before);
    RECT px{x, y, x + 1, y + 1};
    UnionRect(&box, &box, &px);
  }
  Notify(*top, box);
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
  auto& c = TheCaret().caret;
  if (!c || !Showing(*c)) return;
  if (c->on)
    Erase(*c);
  else
    Draw(*c);
}

// Shows the caret at once and starts the blink over, as typing and moving it do.
void Restart(Caret& c) {
  if (!Showing(c)) return;
  Erase(c);
  Draw(c);
  if (TheCaret().blink != INFINITE) SetTimer(c.owner, kCaretTimer, TheCaret().blink, Blink);
}

// No timer runs while the caret cannot be seen: an idle program stays idle.
void StopBlink(const Caret& c) {
  Quietly([&] {
    if (IsWindow(c.owner)) KillTimer(c.owner, kCaretTimer);
  });
}

void Destroy() {
  auto& c = TheCaret().caret;
  if (!c) return;
  Erase(*c);
  StopBlink(*c);
  c.reset();
}

// The caret's owner when the caller names it (or names none), else null with the error set.
Caret* Owned(HWND hwnd) {
  auto& c = TheCaret().caret;
  if (!c || (hwnd && hwnd != c->owner)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return &*c;
}

bool Affects(const Caret& c, HWND hwnd) { return hwnd && IsDescendant(hwnd, c.owner); }

}  // namespace

void CaretHold(HWND hwnd) {
  auto& c = TheCaret().caret;
  if (!c || !Affects(*c, hwnd)) return;
  Erase(*c);
  StopBlink(*c);
  ++c->held;
}

void CaretRelease(HWND hwnd) {
  auto& c = TheCaret().caret;
  if (!c || !Affects(*c, hwnd) || c->held == 0) return;
  if (--c->held == 0) Restart(*c);
}

void CaretScrolled(HWND hwnd, int dx, int dy, const RECT* scroll) {
  auto& c = TheCaret().caret;
  if (!c || c->owner != hwnd) return;
  if (scroll && !PtInRect(scroll, c->pos)) return;
  c->pos = {Bounded(c->pos.x + dx), Bounded(c->pos.y + dy)};
}

void CaretWindowDestroying(HWND hwnd) {
  auto& c = TheCaret().caret;
  if (c && c->owner == hwnd) Destroy();
}

bool CaretPlace(HWND* owner, RECT* rc) {
  const auto& c = TheCaret().caret;
  if (!c || !IsWindow(c->owner)) return false;
  *owner = c->owner;
  *rc = RECT{c->pos.x, c->pos.y, c->pos.x + c->width, c->pos.y + c->height};
  return true;
}

}  // namespace win::user

namespace win {
using namespace user;

BOOL CreateCaret(HWND hwnd, HBITMAP hbitmap, int width, int height) {
  if (!FindWindowObj(hwnd)) return FALSE;
  Caret c;
  c.owner = hwnd;
  if (hbitmap == kGrey || !hbitmap) {
    if (width < 0 || height < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    c.grey = hbitmap == kGrey;
    c.width = width ? std::min(width, kFar) : GetSystemMetrics(SM_CXBORDER);
    c.height = height ? std::min(height, kFar) : GetSystemMetrics(SM_CYBORDER);
  } else {
    auto bmp = gdi::FindBitmap(hbitmap);
    if (!bmp) return FALSE;
    // A copy: the bitmap stays the caller's and may be deleted while the caret lives.
    c.width = bmp->width;
    c.height = bmp->height;
    c.bits.reserve(std::size_t(c.width) * std::size_t(c.height));
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) c.bits.push_back(bmp->ToColor(bmp->Get(x, y)) & 0x00FFFFFF);
  }
  Destroy();
  TheCaret().caret = std::move(c);
  return TRUE;
}

BOOL DestroyCaret() {
  if (!TheCaret().caret) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Destroy();
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  Caret* c = Owned(hwnd);
  if (!c) return FALSE;
  if (c->hidden > 0 && --c->hidden == 0) Restart(*c);
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  Caret* c = Owned(hwnd);
  if (!c) return FALSE;
  Erase(*c);
  StopBlink(*c);
  ++c->hidden;
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  Caret* c = Owned(nullptr);
  if (!c) return FALSE;
  Erase(*c);
  c->pos = {Bounded(x), Bounded(y)};
  Restart(*c);
  return TRUE;
}

BOOL GetCaretPos(POINT* pt) {
  if (!pt) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Caret* c = Owned(nullptr);
  if (!c) return FALSE;
  *pt = c->pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return TheCaret().blink; }

BOOL SetCaretBlinkTime(UINT ms) {
  if (ms == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TheCaret().blink = ms;
  if (auto& c = TheCaret().caret) {
    if (ms == INFINITE) {
      StopBlink(*c);
      if (Showing(*c) && !c->on) Draw(*c);
    } else {
      Restart(*c);
    }
  }
  return TRUE;
}

namespace {
void ResetCaret() {
  Destroy();
  TheCaret().blink = 530;
}
[[maybe_unused]] const bool kCaretReset = RegisterReset(ResetStage::WindowManager, ResetCaret);
}  // namespace

}  // namespace win
