#pragma once
// The clipboard: formats and their data blocks, owned by the window that last emptied it.
//
// Open it (one window at a time), empty it to become its owner (the old owner hears
// WM_DESTROYCLIPBOARD), set data, close it. The clipboard owns the blocks it is given and frees
// them when it is emptied; the handles GetClipboardData returns stay the clipboard's. Data
// set as null is rendered on demand: the owner is sent WM_RENDERFORMAT and sets it then.
// CF_TEXT (UTF-8: the ANSI code page of this program) and CF_UNICODETEXT (UTF-16) stand in
// for each other. A window that goes away while it has the clipboard open leaves it closed.
#include "platform/base/global.h"
#include "platform/user/messages.h"

namespace win {

constexpr UINT CF_TEXT = 1, CF_DIB = 8, CF_UNICODETEXT = 13;
constexpr UINT WM_RENDERFORMAT = 0x0305, WM_RENDERALLFORMATS = 0x0306, WM_DESTROYCLIPBOARD = 0x0307;

BOOL OpenClipboard(HWND hwnd);  // null: open without a window
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Returns the block; null on failure. The clipboard must be open by its owner (or the owner be
// answering WM_RENDERFORMAT for that format).
HANDLE SetClipboardData(UINT format, HANDLE mem);
HANDLE GetClipboardData(UINT format);  // the clipboard must be open
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
// The format after `format` (0: the first); 0 at the end, with ERROR_SUCCESS.
UINT EnumClipboardFormats(UINT format);
// Ids from 0xC000; the same name, in any case, gives the same id.
UINT RegisterClipboardFormat(const char* name);
inline constexpr auto& RegisterClipboardFormatA = RegisterClipboardFormat;
int GetClipboardFormatName(UINT format, char* buffer, int cap);
inline constexpr auto& GetClipboardFormatNameA = GetClipboardFormatName;
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

}  // namespace win
