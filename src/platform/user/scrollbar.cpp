// The non-client scroll bars and the scroll tracking loop.
#include "platform/user/scrollbar.h"
