#pragma once
// "ComboBox" and its drop-down list "ComboLBox".
// Holds: CBS_ styles, CB_ messages, CBN_ notifications, CB_ERR, COMBOBOXINFO and GetComboBoxInfo.
#include "platform/user/messages.h"

namespace win {}  // namespace win
