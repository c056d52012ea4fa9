#pragma once
// The window manager's internals are for the window manager itself; the displays use the display
// link (display_link.h) and everything above uses platform/win.h.
#if !defined(VELLISA_PLATFORM_USER_INTERNALS)
#error "platform/user/internal is private to the window manager; include platform/win.h"
#endif
