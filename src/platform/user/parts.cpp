// The core's calls to the window manager's parts, in the order internal/parts.h documents.
#include "platform/user/internal/parts.h"

#include "platform/user/internal/input.h"
#include "platform/user/internal/queue.h"

namespace win::user {

bool PartsDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  return NonClientDefProc(hwnd, msg, wp, lp, result) ||
         ScrollBarDefProc(hwnd, msg, wp, lp, result) || PaintDefProc(hwnd, msg, wp, lp, result) ||
         InputDefProc(hwnd, msg, wp, lp, result);
}

void PartsScrollCommand(HWND hwnd, WPARAM wp, LPARAM lp) { ScrollBarSysCommand(hwnd, wp, lp); }

void PartsPositionStored(HWND hwnd, UINT swp_flags, bool was_visible) {
  FocusBeforePosChanged(hwnd, swp_flags, was_visible);
}

void PartsPositionApplied(HWND hwnd, const RECT& old_window, bool was_visible, UINT swp_flags,
                          const ClientBits& bits) {
  PaintAfterPosChanged(hwnd, old_window, was_visible, swp_flags, bits);
}

void PartsPositionReported(HWND hwnd, UINT swp_flags, bool was_visible) {
  FocusAfterPosChanged(hwnd, swp_flags, was_visible);
}

void PartsStateChanged(HWND hwnd, bool hand_on) { FocusStateChanged(hwnd, hand_on); }

void PartsWindowDestroying(HWND hwnd) { FocusWindowDestroying(hwnd); }

void PartsWindowEnding(HWND hwnd) {
  InputWindowEnding(hwnd);
  KillWindowTimers(hwnd);
}

void PartsWindowFreed(HWND hwnd) {
  CaretWindowDestroying(hwnd);
  PaintWindowFreed(hwnd);
}

}  // namespace win::user
