// Must not compile: see CMakeLists.txt.
#include "platform/user/internal/window.h"
