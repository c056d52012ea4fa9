// Must not compile: see CMakeLists.txt.
#include "platform/controls/internal/classes.h"
