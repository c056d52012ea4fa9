// Focus and activation.
#include "platform/user/internal.h"

namespace win::user {

void FocusBeforePosChanged(HWND, UINT, bool) {}
void FocusAfterPosChanged(HWND, UINT, bool) {}
void FocusWindowDestroying(HWND) {}

}  // namespace win::user
