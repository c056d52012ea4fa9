#pragma once
// Dialogs: the "#32770" class, DefDlgProc, IsDialogMessage and its helpers, and MessageBox.
// Holds: DLGC_ codes, DM_ messages, MB_ styles, the ID answers.
#include "platform/user/messages.h"

namespace win {}  // namespace win
