#pragma once
// "Edit": single- and multi-line text editing.
// Holds: ES_ styles, EM_ messages, EN_ notifications.
#include "platform/user/messages.h"

namespace win {}  // namespace win
