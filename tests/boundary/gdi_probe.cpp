// Must not compile: see CMakeLists.txt.
#include "platform/gdi/internal/dc.h"
