#pragma once
// "Button": push buttons, check boxes, radio buttons and group boxes.
// Holds: BS_ styles, BM_ messages, BN_ notifications, BST_ states.
#include "platform/user/messages.h"

namespace win {}  // namespace win
