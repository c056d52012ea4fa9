#pragma once
// Every part of the platform that keeps state for the process registers how to put it back to
// its start, so that ResetPlatformForTesting (platform/testing.h) can give a test a clean
// platform. What a part has wired up (the display's waiter, listener and clipboard bridge, the
// parts' own message sources, caches of fonts and stock objects) is not state and stays.
#include "platform/base/internal/access.h"

namespace win {

// Resets run stage by stage: what the windows hold goes with them, so windows go first, then
// the window manager's parts, then the graphics engine's, then the base services'.
enum class ResetStage { Hooks, Windows, WindowManager, Graphics, Base };
using ResetFunction = void (*)();
// For a namespace-scope initialiser: `const bool registered = RegisterReset(…);`.
bool RegisterReset(ResetStage stage, ResetFunction reset);

}  // namespace win
