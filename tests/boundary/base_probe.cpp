// Must not compile: see CMakeLists.txt.
#include "platform/base/internal/handles.h"
