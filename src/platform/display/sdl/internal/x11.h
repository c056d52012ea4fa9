#pragma once
// What SDL leaves out on an X11 desktop: exact window shapes from rectangles, the stacking of
// our windows as one list, whether a window manager runs, and the root coordinates of pointer
// events. Every call does nothing (false) on another desktop; X errors (a window manager that
// refuses a request) are swallowed, never fatal.
#include "platform/display/internal/access.h"

#include <SDL_events.h>
#include <SDL_video.h>
#include <vector>

#include "platform/base/types.h"

namespace win::display::x11 {

// Null rects: no shape (the whole window). False when the desktop cannot shape windows.
bool SetShape(SDL_Window* window, const std::vector<RECT>* rects);
// Our windows, topmost first, stacked in that order among themselves.
bool Restack(const std::vector<SDL_Window*>& top_first);
// Whether a window manager takes care of the desktop's windows (EWMH check window).
bool HasWindowManager(SDL_Window* any);
// The pointer's position on the screen in a pointer event (motion, press, release), as the
// server saw it when the event happened.
bool PointerEventRoot(const SDL_SysWMmsg* msg, POINT* root);

}  // namespace win::display::x11
