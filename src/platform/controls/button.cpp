#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterButtonClass() {}

}  // namespace win::controls
