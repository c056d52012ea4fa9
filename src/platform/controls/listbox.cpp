#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterListBoxClasses() {}

}  // namespace win::controls
