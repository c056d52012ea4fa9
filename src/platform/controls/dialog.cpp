#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterDialogClass() {}

}  // namespace win::controls
