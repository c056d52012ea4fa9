#pragma once
// "ListBox": lists of strings or owner-drawn items.
// Holds: LBS_ styles, LB_ messages, LBN_ notifications, LB_ERR.
#include "platform/user/messages.h"

namespace win {}  // namespace win
