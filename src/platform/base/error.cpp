#include "platform/base/error.h"
#include "platform/base/internal/reset.h"

namespace win {
namespace {
thread_local DWORD last_error = ERROR_SUCCESS;
}
DWORD GetLastError() { return last_error; }
void SetLastError(DWORD code) { last_error = code; }
namespace {
void ResetLastError() { last_error = ERROR_SUCCESS; }
[[maybe_unused]] const bool kErrorReset = RegisterReset(ResetStage::Base, ResetLastError);
}  // namespace

}  // namespace win
