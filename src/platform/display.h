#pragma once
// The display a program runs on, chosen once at start: the SDL display when a desktop is
// reachable; the headless one when VELLISA_DISPLAY=headless is set or no desktop answers, and
// then the program says so on standard error.
#include <memory>

#include "platform/display/headless/headless.h"
#include "platform/display/sdl/sdl_display.h"

namespace win::display {

struct Display {
  std::unique_ptr<SdlDisplay> sdl;  // exactly one of the two is set
  std::unique_ptr<HeadlessDisplay> headless;
};

// `program` names the program in what it says.
Display OpenDisplay(const char* program);

}  // namespace win::display
