#pragma once
// Cursors as data: a cursor object is a shape and a hot spot; the displays show them (the SDL
// display maps the shapes to system cursors). The position is the injected one.
#include "platform/user/messages.h"

namespace win {

inline const char* MAKEINTRESOURCE(WORD id) {
  return reinterpret_cast<const char*>(std::uintptr_t(id));
}
inline const char* const IDC_ARROW = MAKEINTRESOURCE(32512);
inline const char* const IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const char* const IDC_WAIT = MAKEINTRESOURCE(32514);
inline const char* const IDC_CROSS = MAKEINTRESOURCE(32515);
inline const char* const IDC_UPARROW = MAKEINTRESOURCE(32516);
inline const char* const IDC_SIZE = MAKEINTRESOURCE(32640);
inline const char* const IDC_ICON = MAKEINTRESOURCE(32641);
inline const char* const IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline const char* const IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline const char* const IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline const char* const IDC_SIZENS = MAKEINTRESOURCE(32645);
inline const char* const IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const char* const IDC_NO = MAKEINTRESOURCE(32648);
inline const char* const IDC_HAND = MAKEINTRESOURCE(32649);
inline const char* const IDC_APPSTARTING = MAKEINTRESOURCE(32650);
inline const char* const IDC_HELP = MAKEINTRESOURCE(32651);

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// The system cursors (instance null, an IDC_ name); each name always gives the same handle.
// Cursors of a module come with the resources; until then such a load fails with
// ERROR_RESOURCE_NAME_NOT_FOUND.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
inline constexpr auto& LoadCursorA = LoadCursor;
// System cursors are shared and never destroyed.
BOOL DestroyCursor(HCURSOR cursor);
// Null hides the cursor. Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* pt);
// Moves the cursor (clipped to the screen) and queues the mouse move that makes.
BOOL SetCursorPos(int x, int y);
// The display counter: the cursor is shown while it is 0 or more. Returns the new count.
int ShowCursor(BOOL show);

}  // namespace win
