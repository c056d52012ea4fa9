// The non-client scroll bars and the scroll tracking loop.
//
// For now the values only: each window keeps a horizontal and a vertical SCROLLINFO, clamped
// as Windows clamps them. Painting, hit testing, tracking and the "ScrollBar" control's own
// bar come with the bars themselves.
#include "platform/user/scrollbar.h"

#include <algorithm>
#include <map>

#include "platform/base/error.h"
#include "platform/base/internal/reset.h"
#include "platform/user/window.h"

namespace win {
namespace {

struct Bars {
  SCROLLINFO bar[2];
};
std::map<HWND, Bars>& AllBars() {
  static std::map<HWND, Bars> bars;
  return bars;
}

SCROLLINFO* Find(HWND hwnd, int bar) {
  if (!IsWindow(hwnd)) return nullptr;
  if (bar != SB_HORZ && bar != SB_VERT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return &AllBars()[hwnd].bar[bar];
}

void Clamp(SCROLLINFO& s) {
  if (s.nMax < s.nMin) s.nMax = s.nMin;
  const UINT span = UINT(s.nMax - s.nMin) + 1;
  s.nPage = std::min(s.nPage, span);
  const int top = s.nMax - std::max(int(s.nPage) - 1, 0);
  s.nPos = std::clamp(s.nPos, s.nMin, std::max(top, s.nMin));
}

void ResetBars() { AllBars().clear(); }
[[maybe_unused]] const bool kBarsReset = RegisterReset(ResetStage::WindowManager, ResetBars);

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL) {
  SCROLLINFO* s = Find(hwnd, bar);
  if (!s || !si) return 0;
  if (si->fMask & SIF_RANGE) {
    s->nMin = si->nMin;
    s->nMax = si->nMax;
  }
  if (si->fMask & SIF_PAGE) s->nPage = si->nPage;
  if (si->fMask & SIF_POS) s->nPos = si->nPos;
  Clamp(*s);
  return s->nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  SCROLLINFO* s = Find(hwnd, bar);
  if (!s || !si) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->nMin;
    si->nMax = s->nMax;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->nPage;
  if (si->fMask & SIF_POS) si->nPos = s->nPos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->nPos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  SCROLLINFO* s = Find(hwnd, bar);
  if (!s) return 0;
  const int old = s->nPos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO* s = Find(hwnd, bar);
  return s ? s->nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  return Find(hwnd, bar) && (SetScrollInfo(hwnd, bar, &si, redraw), true);
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  SCROLLINFO* s = Find(hwnd, bar);
  if (!s) return FALSE;
  if (min) *min = s->nMin;
  if (max) *max = s->nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int, BOOL) { return IsWindow(hwnd); }
BOOL EnableScrollBar(HWND hwnd, UINT, UINT) { return IsWindow(hwnd); }

BOOL GetScrollBarInfo(HWND hwnd, LONG, SCROLLBARINFO* info) {
  if (!IsWindow(hwnd) || !info) return FALSE;
  return FALSE;
}

}  // namespace win
