#pragma once
// "Static": text, frames, rectangles, icons and bitmaps.
// Holds: SS_ styles, STM_ messages, STN_ notifications.
#include "platform/user/messages.h"

namespace win {}  // namespace win
