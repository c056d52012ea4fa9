#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterScrollBarClass() {}

}  // namespace win::controls
