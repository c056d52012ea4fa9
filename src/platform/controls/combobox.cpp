#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {

void RegisterComboBoxClass() {}

}  // namespace win::controls
