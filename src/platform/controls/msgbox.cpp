// MessageBox: a "#32770" window with a text, an icon and its buttons.
#include "platform/win.h"
