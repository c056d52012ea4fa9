#pragma once
#include "platform/win.h"

// Opens the window of built-in controls at (x, y) and shows it.
win::HWND OpenControlsWindow(int x, int y);
