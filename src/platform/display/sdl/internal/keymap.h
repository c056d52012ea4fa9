#pragma once
// SDL's keys as the window manager's: a virtual key, a scan code of the PC keyboard's first set,
// and whether the key is one of the extended set.
#include "platform/display/internal/access.h"

#include <SDL_keyboard.h>

#include "platform/user/messages.h"

namespace win {

// An input method has taken the key; the text it makes comes as WM_CHAR.
constexpr UINT VK_PROCESSKEY = 0xE5;

namespace display {

struct KeyCode {
  UINT vk = 0;  // 0: a key the window manager has no name for
  UINT scan = 0;
  bool extended = false;
};

// Letters follow the layout (the key's symbol), every other key its place on the keyboard; the
// keypad's digits and point are the cursor keys while Num Lock is off, as on Windows.
KeyCode KeyFromSdl(const SDL_Keysym& key);

// Whether the key makes a character on its own (no Ctrl, no Alt): while an input method is in
// use such keys are reported as VK_PROCESSKEY and their text comes from the input method.
bool MakesText(const SDL_Keysym& key);

}  // namespace display
}  // namespace win
