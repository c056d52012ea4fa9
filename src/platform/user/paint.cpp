// Painting and invalidation.
#include "platform/user/internal.h"

namespace win::user {

bool PaintDefProc(HWND, UINT, WPARAM, LPARAM, LRESULT*) { return false; }
void PaintAfterPosChanged(HWND, const RECT&, bool, UINT) {}
void PaintWindowFreed(HWND) {}

}  // namespace win::user
