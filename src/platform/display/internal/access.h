#pragma once
// The displays' own pieces (the SDL key map, the X11 calls) are for the displays and their unit
// tests; programs choose a display through platform/display.h.
#if !defined(VELLISA_PLATFORM_DISPLAY_INTERNALS)
#error "platform/display internals are private to the displays; include platform/display.h"
#endif
