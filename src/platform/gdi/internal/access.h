#pragma once
// The graphics engine's internals are for the platform's own areas (the graphics engine, the
// window manager, the displays); everything above uses platform/win.h.
#if !defined(VELLISA_PLATFORM_GDI_INTERNALS)
#error "platform/gdi/internal is private to the platform; include platform/win.h"
#endif
