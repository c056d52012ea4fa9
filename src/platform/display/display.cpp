#include "platform/display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace win::display {

Display OpenDisplay(const char* program) {
  Display d;
  const char* wanted = std::getenv("VELLISA_DISPLAY");
  if (wanted && std::strcmp(wanted, "headless") == 0) {
    std::fprintf(stderr, "%s: VELLISA_DISPLAY=headless: the windows are drawn off screen\n",
                 program);
  } else {
    std::string why;
    d.sdl = SdlDisplay::Open(&why);
    if (d.sdl) return d;
    std::fprintf(stderr,
                 "%s: no desktop to show windows on (%s); the windows are drawn off screen\n",
                 program, why.c_str());
  }
  d.headless = std::make_unique<HeadlessDisplay>();
  return d;
}

}  // namespace win::display
