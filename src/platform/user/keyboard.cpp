// Key state, key messages and the US keyboard layout.
#include <cstring>

#include "platform/base/error.h"
#include "platform/user/internal/input.h"

namespace win {
namespace user {
namespace {

struct Keys {
  BYTE sync[256]{};        // as of the message being handled
  BYTE async[256]{};       // as injected
  bool alt_alone = false;  // Alt went down and no other key since
};
Keys& TheKeys() {
  static Keys k;
  return k;
}

constexpr UINT kScanRightShift = 0x36;

UINT Generic(UINT side) {
  switch (side) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
  }
  return side;
}

UINT Side(UINT vk, UINT scan, bool extended) {
  switch (vk) {
    case VK_SHIFT: return (scan & 0xFF) == kScanRightShift ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
  }
  return vk;
}

// A press flips the toggle bit (only a press that was not already down: auto-repeat does not).
void Set(BYTE* state, UINT side, bool down) {
  side &= 0xFF;
  if (down && !(state[side] & 0x80)) state[side] ^= 0x01;
  state[side] = BYTE((state[side] & 0x01) | (down ? 0x80 : 0));
  UINT g = Generic(side);
  if (g != side) {
    UINT l = g == VK_SHIFT ? VK_LSHIFT : g == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    bool any = ((state[l] | state[l + 1]) & 0x80) != 0;
    if (any && !(state[g] & 0x80)) state[g] ^= 0x01;
    state[g] = BYTE((state[g] & 0x01) | (any ? 0x80 : 0));
  }
}

bool Down(const BYTE* state, UINT vk) { return (state[vk & 0xFF] & 0x80) != 0; }

// Characters of the US layout: unshifted and shifted, for the keys that have both.
struct KeyChars {
  UINT vk;
  char plain, shifted;
};
constexpr KeyChars kPunctuation[] = {
    {'0', '0', ')'},          {'1', '1', '!'},          {'2', '2', '@'},
    {'3', '3', '#'},          {'4', '4', '$'},          {'5', '5', '%'},
    {'6', '6', '^'},          {'7', '7', '&'},          {'8', '8', '*'},
    {'9', '9', '('},          {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
    {VK_SPACE, ' ', ' '},
};

}  // namespace

KeyEvent MakeKeyEvent(UINT vk, UINT scan, bool down, bool extended) {
  Keys& k = TheKeys();
  vk &= 0xFF;
  UINT side = Side(vk, scan, extended);
  UINT generic = Generic(side);
  bool was_down = Down(k.async, side);
  Set(k.async, side, down);
  bool alt = Down(k.async, VK_MENU), ctrl = Down(k.async, VK_CONTROL);
  bool sys;
  bool context;
  if (down) {
    k.alt_alone = generic == VK_MENU;
    sys = vk == VK_F10 || (alt && !ctrl);
    context = alt;
  } else if (generic == VK_MENU) {
    // Alt released on its own is a system key (it opens the menu); after a combination it is
    // a plain one.
    sys = k.alt_alone && !ctrl;
    context = sys;
    k.alt_alone = false;
  } else {
    sys = vk == VK_F10 || (alt && !ctrl);
    context = alt;
  }
  KeyEvent ev;
  ev.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  ev.vk = generic;
  DWORD lp = 1 | ((scan & 0xFF) << 16);
  if (extended) lp |= 1u << 24;
  if (context) lp |= 1u << 29;
  if (was_down || !down) lp |= 1u << 30;
  if (!down) lp |= 1u << 31;
  ev.lparam = LPARAM(LONG(lp));
  ev.side = side;
  ev.down = down;
  return ev;
}

void ApplyKeyEvent(const KeyEvent& ev) { Set(TheKeys().sync, ev.side, ev.down); }

void SetButtonState(UINT vk, bool down, bool sync) {
  Set(sync ? TheKeys().sync : TheKeys().async, vk, down);
}

bool KeyDownNow(UINT vk) { return Down(TheKeys().async, vk); }

WPARAM AsyncMouseKeys() {
  const BYTE* s = TheKeys().async;
  WPARAM mk = 0;
  if (Down(s, VK_LBUTTON)) mk |= MK_LBUTTON;
  if (Down(s, VK_RBUTTON)) mk |= MK_RBUTTON;
  if (Down(s, VK_MBUTTON)) mk |= MK_MBUTTON;
  if (Down(s, VK_SHIFT)) mk |= MK_SHIFT;
  if (Down(s, VK_CONTROL)) mk |= MK_CONTROL;
  return mk;
}

void ResetKeyboard() { TheKeys() = Keys{}; }

}  // namespace user

using namespace user;

SHORT GetKeyState(int vk) {
  BYTE s = TheKeys().sync[vk & 0xFF];
  return SHORT(((s & 0x80) ? 0xFF80 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int vk) { return SHORT(Down(TheKeys().async, UINT(vk)) ? 0x8000 : 0); }

BOOL GetKeyboardState(BYTE* state) {
  if (!state) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::memcpy(state, TheKeys().sync, sizeof TheKeys().sync);
  return TRUE;
}

int ToUnicode(UINT vk, UINT, const BYTE* state, WCHAR* buffer, int count, UINT) {
  if (!state || !buffer || count < 1) return 0;
  vk &= 0xFF;
  bool shift = Down(state, VK_SHIFT), ctrl = Down(state, VK_CONTROL), alt = Down(state, VK_MENU);
  bool caps = (state[VK_CAPITAL] & 0x01) != 0;
  if (ctrl && alt) return 0;  // no AltGr characters on a US keyboard
  WCHAR ch = 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl)
      ch = WCHAR(vk - 'A' + 1);
    else
      ch = WCHAR((shift != caps) ? vk : vk - 'A' + 'a');
  } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
    if (!ctrl) ch = WCHAR('0' + (vk - VK_NUMPAD0));
  } else if (ctrl) {
    switch (vk) {
      case VK_SPACE: ch = ' '; break;
      case VK_RETURN: ch = '\n'; break;
      case VK_BACK: ch = 0x7F; break;
      case VK_OEM_4: ch = 0x1B; break;
      case VK_OEM_5: ch = 0x1C; break;
      case VK_OEM_6: ch = 0x1D; break;
    }
  } else {
    switch (vk) {
      case VK_RETURN: ch = '\r'; break;
      case VK_BACK: ch = '\b'; break;
      case VK_TAB: ch = '\t'; break;
      case VK_ESCAPE: ch = 0x1B; break;
      case VK_MULTIPLY: ch = '*'; break;
      case VK_ADD: ch = '+'; break;
      case VK_SUBTRACT: ch = '-'; break;
      case VK_DECIMAL: ch = '.'; break;
      case VK_DIVIDE: ch = '/'; break;
      default:
        for (const auto& k : kPunctuation)
          if (k.vk == vk) ch = WCHAR(shift ? k.shifted : k.plain);
    }
  }
  if (!ch) return 0;
  buffer[0] = ch;
  return 1;
}

}  // namespace win
