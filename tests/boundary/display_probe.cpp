// Must not compile: see CMakeLists.txt.
#include "platform/display/sdl/internal/keymap.h"
