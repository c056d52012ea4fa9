#include "platform/controls/install.h"

#include "platform/controls/internal/classes.h"

namespace win::controls {

void InstallSystemClasses() {
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterEditClass();
  RegisterListBoxClasses();
  RegisterComboBoxClass();
  RegisterScrollBarClass();
  RegisterDialogClass();
}

}  // namespace win::controls
