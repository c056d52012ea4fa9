#pragma once
// Each built-in window class registers itself through one function, called once by
// InstallSystemClasses (install.cpp).
#include "platform/controls/internal/access.h"

namespace win::controls {

void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterListBoxClasses();  // "ListBox" and "ComboLBox"
void RegisterComboBoxClass();
void RegisterScrollBarClass();
void RegisterDialogClass();  // "#32770"

}  // namespace win::controls
