#include "platform/display/sdl/internal/keymap.h"

#include "platform/user/input.h"

namespace win::display {
namespace {

struct Entry {
  SDL_Scancode sdl;
  UINT vk, scan;
  bool extended;
};

constexpr UINT VK_SNAPSHOT = 0x2C, VK_OEM_102 = 0xE2, VK_CLEAR = 0x0C;

// Letters and digits are computed; this is the rest of a full keyboard.
constexpr Entry kKeys[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_F11, VK_F11, 0x57, false},
    {SDL_SCANCODE_F12, VK_F12, 0x58, false},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, 0x1D, false},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, 0x2A, false},
    {SDL_SCANCODE_LALT, VK_LMENU, 0x38, false},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D, true},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, 0x36, false},
    {SDL_SCANCODE_RALT, VK_RMENU, 0x38, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true},
};

// Set-one scan codes of A..Z and of the digit row 1..9, 0.
constexpr UINT kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                  0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                  0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

// The keypad from 1 to 9, then 0 and the point: its scan codes, and the cursor keys the keys
// are while Num Lock is off.
struct Pad {
  UINT scan, off;
};
constexpr Pad kPad[11] = {{0x4F, VK_END},   {0x50, VK_DOWN},   {0x51, VK_NEXT},  {0x4B, VK_LEFT},
                          {0x4C, VK_CLEAR}, {0x4D, VK_RIGHT},  {0x47, VK_HOME},  {0x48, VK_UP},
                          {0x49, VK_PRIOR}, {0x52, VK_INSERT}, {0x53, VK_DELETE}};

}  // namespace

KeyCode KeyFromSdl(const SDL_Keysym& key) {
  SDL_Scancode sc = key.scancode;
  if (key.sym >= SDLK_a && key.sym <= SDLK_z)
    return {UINT('A' + (key.sym - SDLK_a)),
            sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z ? kLetterScan[sc - SDL_SCANCODE_A]
                                                         : kLetterScan[key.sym - SDLK_a],
            false};
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
    return {UINT('A' + (sc - SDL_SCANCODE_A)), kLetterScan[sc - SDL_SCANCODE_A], false};
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) {
    int i = sc - SDL_SCANCODE_1;  // 1..9, then 0
    return {UINT(i == 9 ? '0' : '1' + i), UINT(0x02 + i), false};
  }
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10)
    return {UINT(VK_F1 + (sc - SDL_SCANCODE_F1)), UINT(0x3B + (sc - SDL_SCANCODE_F1)), false};
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_PERIOD) {
    int i = sc - SDL_SCANCODE_KP_1;
    bool num = (key.mod & KMOD_NUM) != 0;
    UINT on = i < 9 ? VK_NUMPAD0 + 1 + i : (i == 9 ? VK_NUMPAD0 : VK_DECIMAL);
    return {num ? on : kPad[i].off, kPad[i].scan, false};
  }
  for (const Entry& e : kKeys)
    if (e.sdl == sc) return {e.vk, e.scan, e.extended};
  return {};
}

bool MakesText(const SDL_Keysym& key) {
  if (key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return false;
  KeyCode k = KeyFromSdl(key);
  if ((k.vk >= 'A' && k.vk <= 'Z') || (k.vk >= '0' && k.vk <= '9') || k.vk == VK_SPACE) return true;
  if (k.vk >= VK_NUMPAD0 && k.vk <= VK_DIVIDE && k.vk != VK_SEPARATOR) return true;
  return (k.vk >= VK_OEM_1 && k.vk <= VK_OEM_3) || (k.vk >= VK_OEM_4 && k.vk <= VK_OEM_7) ||
         k.vk == VK_OEM_102;
}

}  // namespace win::display
