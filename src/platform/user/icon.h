#pragma once
// Icons: an AND mask and a colour image (or a monochrome mask of twice the height: AND half
// on top, XOR half below), drawn as Windows draws them: the destination ANDed with the mask,
// then XORed with the image. The system icons are drawn by us; module icons come with the
// resources.
#include "platform/gdi/bitmap.h"
#include "platform/user/cursor.h"

namespace win {

inline const char* const IDI_APPLICATION = MAKEINTRESOURCE(32512);
inline const char* const IDI_HAND = MAKEINTRESOURCE(32513);
inline const char* const IDI_QUESTION = MAKEINTRESOURCE(32514);
inline const char* const IDI_EXCLAMATION = MAKEINTRESOURCE(32515);
inline const char* const IDI_ASTERISK = MAKEINTRESOURCE(32516);
inline const char* const IDI_WINLOGO = MAKEINTRESOURCE(32517);
inline const char* const IDI_SHIELD = MAKEINTRESOURCE(32518);
inline const char* const IDI_WARNING = IDI_EXCLAMATION;
inline const char* const IDI_ERROR = IDI_HAND;
inline const char* const IDI_INFORMATION = IDI_ASTERISK;

// WM_SETICON / WM_GETICON kinds.
constexpr WPARAM ICON_SMALL = 0, ICON_BIG = 1, ICON_SMALL2 = 2;

// DrawIconEx flags.
constexpr UINT DI_MASK = 0x0001, DI_IMAGE = 0x0002, DI_NORMAL = 0x0003, DI_COMPAT = 0x0004,
               DI_DEFAULTSIZE = 0x0008, DI_NOMIRROR = 0x0010;

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0, yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;  // null: a monochrome icon, the mask twice as high
};

// The system icons (instance null, an IDI_ name) are SM_CXICON square, shared, and always the
// same handle for a name; DestroyIcon leaves them.
HICON LoadIcon(HINSTANCE instance, const char* name);
inline constexpr auto& LoadIconA = LoadIcon;
// The icon takes copies of the bitmaps: the caller still owns (and deletes) its own.
HICON CreateIconIndirect(const ICONINFO* info);
BOOL DestroyIcon(HICON icon);
// Fills copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// cx or cy 0: the icon's own size, or SM_CXICON / SM_CYICON with DI_DEFAULTSIZE. With a
// brush, the rectangle is filled with it first. step (animated cursors) is ignored.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH brush,
                UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

}  // namespace win
