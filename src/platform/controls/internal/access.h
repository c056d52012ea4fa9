#pragma once
// The built-in controls' shared pieces are for the controls themselves; everything above uses
// platform/win.h.
#if !defined(VELLISA_PLATFORM_CONTROLS_INTERNALS)
#error "platform/controls/internal is private to the built-in controls; include platform/win.h"
#endif
