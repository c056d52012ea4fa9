// Mouse and keyboard input.
#include "platform/user/internal.h"

namespace win::user {

bool InputDefProc(HWND, UINT, WPARAM, LPARAM, LRESULT*) { return false; }

}  // namespace win::user
