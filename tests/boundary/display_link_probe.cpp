// Must not compile: see CMakeLists.txt.
#include "platform/user/display_link.h"
