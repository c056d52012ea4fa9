#pragma once
// The base services' internals (the handle table, text conversion, the clock's reading) are for
// the platform's own areas; everything above uses platform/win.h.
#if !defined(VELLISA_PLATFORM_BASE_INTERNALS)
#error "platform/base/internal is private to the platform; include platform/win.h"
#endif
