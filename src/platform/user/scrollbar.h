#pragma once
// Scroll bars: the non-client bars of WS_HSCROLL and WS_VSCROLL windows and the "ScrollBar"
// control's bar, their information and the tracking loop.
// Holds: SB_ codes, SIF_ masks, SCROLLINFO, SCROLLBARINFO, OBJID_ ids, ESB_ flags, SBS_ styles,
// SBM_ messages and the scroll-bar functions.
#include "platform/user/messages.h"

namespace win {}  // namespace win
