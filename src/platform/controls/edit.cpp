#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterEditClass() {}

}  // namespace win::controls
