// The clipboard: formats and data blocks owned by one window at a time, and the bridge to the
// desktop's clipboard.
#include "platform/user/clipboard.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/handles.h"
#include "platform/base/internal/reset.h"
#include "platform/base/internal/text.h"
#include "platform/user/display_link.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

constexpr UINT kFirstRegistered = 0xC000;

struct Entry {
  UINT format;
  HANDLE mem;  // null: rendered by the owner on demand
};

struct Board {
  bool open = false;
  HWND opener = nullptr;
  HWND owner = nullptr;
  bool changed = false;            // emptied or given data since it was opened
  UINT rendering = 0;              // the format the owner is asked to render now
  std::vector<Entry> entries;      // as the owner set them, in order
  std::map<UINT, HGLOBAL> made;    // CF_TEXT or CF_UNICODETEXT made from the other
  std::vector<std::string> names;  // registered formats, from kFirstRegistered
  ClipboardBridge bridge;
  std::optional<std::string> desktop_seen;  // the desktop's text when last looked at or given
};
Board& TheBoard() {
  static Board b;
  return b;
}

bool IsBlock(HANDLE mem) {
  auto obj = Quietly([&] { return HandleTable::Get().Find(mem); });
  return obj && obj->type == ObjectType::Global;
}

Entry* Find(UINT format) {
  for (auto& e : TheBoard().entries)
    if (e.format == format) return &e;
  return nullptr;
}

UINT OtherText(UINT format) {
  return format == CF_TEXT ? CF_UNICODETEXT : format == CF_UNICODETEXT ? CF_TEXT : 0;
}

// What the clipboard offers: the owner's formats, then a text format made from the other.
std::vector<UINT> Formats() {
  std::vector<UINT> out;
  for (auto& e : TheBoard().entries) out.push_back(e.format);
  for (UINT f : {CF_UNICODETEXT, CF_TEXT})
    if (Find(OtherText(f)) && !Find(f)) out.push_back(f);
  return out;
}

void DropMade() {
  for (auto& [f, mem] : TheBoard().made) GlobalFree(mem);
  TheBoard().made.clear();
}

void FreeAll() {
  for (auto& e : TheBoard().entries)
    if (e.mem) GlobalFree(e.mem);
  TheBoard().entries.clear();
  DropMade();
}

bool Alive(HWND hwnd) { return hwnd && IsWindow(hwnd); }

// Tells the owner it lost the clipboard and frees what it gave.
void Clear() {
  Board& b = TheBoard();
  HWND old = b.owner;
  b.owner = nullptr;
  if (Alive(old)) SendMessage(old, WM_DESTROYCLIPBOARD, 0, 0);
  FreeAll();
}

// The text of a block, up to its first NUL.
std::optional<std::string> ReadText(HANDLE mem, UINT format) {
  auto* p = static_cast<const BYTE*>(GlobalLock(mem));
  if (!p) return std::nullopt;
  std::size_t size = GlobalSize(mem);
  std::string out;
  if (format == CF_TEXT) {
    const char* s = reinterpret_cast<const char*>(p);
    out.assign(s, std::find(s, s + size, '\0'));
  } else {
    std::u16string u;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
      char16_t c = char16_t(p[i] | (p[i + 1] << 8));
      if (!c) break;
      u.push_back(c);
    }
    out = Utf16ToUtf8(u);
  }
  GlobalUnlock(mem);
  return out;
}

HGLOBAL MakeText(const std::string& utf8, UINT format) {
  HGLOBAL mem = nullptr;
  if (format == CF_TEXT) {
    if ((mem = GlobalAlloc(GMEM_MOVEABLE, utf8.size() + 1)))
      std::copy(utf8.begin(), utf8.end(), static_cast<char*>(GlobalLock(mem)));
  } else {
    std::u16string u = Utf8ToUtf16(utf8);
    if ((mem = GlobalAlloc(GMEM_MOVEABLE, (u.size() + 1) * 2))) {
      auto* p = static_cast<BYTE*>(GlobalLock(mem));
      for (std::size_t i = 0; i < u.size(); ++i) {
        p[2 * i] = BYTE(u[i] & 0xFF);
        p[2 * i + 1] = BYTE(u[i] >> 8);
      }
    }
  }
  if (mem) GlobalUnlock(mem);
  return mem;
}

HANDLE Data(UINT format) {
  Board& b = TheBoard();
  if (Entry* e = Find(format)) {
    if (!e->mem && Alive(b.owner)) {
      b.rendering = format;
      SendMessage(b.owner, WM_RENDERFORMAT, format, 0);
      b.rendering = 0;
    }
    e = Find(format);
    return e ? e->mem : nullptr;
  }
  UINT from = OtherText(format);
  if (!from || !Find(from)) return nullptr;
  if (auto it = b.made.find(format); it != b.made.end()) return it->second;
  HANDLE src = Data(from);
  auto text = src ? ReadText(src, from) : std::nullopt;
  if (!text) return nullptr;
  HGLOBAL mem = MakeText(*text, format);
  if (mem) b.made[format] = mem;
  return mem;
}

std::optional<std::string> TextNow() {
  for (UINT f : {CF_TEXT, CF_UNICODETEXT}) {
    if (!Find(f)) continue;
    HANDLE mem = Data(f);
    return mem ? ReadText(mem, f) : std::nullopt;
  }
  return std::nullopt;
}

void Close() {
  Board& b = TheBoard();
  if (b.changed && b.bridge.set_text) {
    if (auto text = TextNow()) {
      b.desktop_seen = *text;
      b.bridge.set_text(*text);
    }
  }
  b.open = false;
  b.opener = nullptr;
  b.changed = false;
}

// A window that went away loses what it held: its open clipboard is closed, its ownership ends.
void Reap() {
  Board& b = TheBoard();
  if (b.open && b.opener && !IsWindow(b.opener)) Close();
  if (b.owner && !IsWindow(b.owner)) b.owner = nullptr;
}

// Text another application put on the desktop's clipboard since we last looked replaces what
// the clipboard holds, as if that application had emptied it and set the text.
void Sync() {
  Reap();
  Board& b = TheBoard();
  if (b.open || !b.bridge.get_text) return;
  auto text = b.bridge.get_text();
  if (!text || text == b.desktop_seen) return;
  b.desktop_seen = text;
  Clear();
  if (HGLOBAL mem = MakeText(*text, CF_TEXT)) b.entries.push_back({CF_TEXT, mem});
}

bool NotOpen() {
  Reap();
  if (TheBoard().open) return false;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return true;
}

std::string Lower(const char* s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace

void SetClipboardBridge(ClipboardBridge bridge) {
  if (!bridge.set_text || !bridge.get_text) bridge = {};
  TheBoard().bridge = std::move(bridge);
  TheBoard().desktop_seen.reset();
}

}  // namespace win::user

namespace win {
using namespace user;

BOOL OpenClipboard(HWND hwnd) {
  if (hwnd && !FindWindowObj(hwnd)) return FALSE;
  Sync();
  Board& b = TheBoard();
  if (b.open) {
    if (b.opener == hwnd) return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  b.open = true;
  b.opener = hwnd;
  b.changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  if (NotOpen()) return FALSE;
  Close();
  return TRUE;
}

BOOL EmptyClipboard() {
  if (NotOpen()) return FALSE;
  Board& b = TheBoard();
  HWND opener = b.opener;
  Clear();
  b.owner = opener;
  b.changed = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem) {
  Reap();
  Board& b = TheBoard();
  bool rendering = b.rendering && b.rendering == format;
  if (!rendering) {
    if (NotOpen()) return nullptr;
    // Only the owner, the window that emptied the clipboard, may give it data.
    if (b.opener != b.owner) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
  }
  if (!format || (!mem && !Alive(b.owner))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (mem && !IsBlock(mem)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (OtherText(format)) DropMade();
  if (Entry* e = Find(format)) {
    if (e->mem && e->mem != mem) GlobalFree(e->mem);
    e->mem = mem;
  } else {
    b.entries.push_back({format, mem});
  }
  if (b.open) b.changed = true;
  SetLastError(ERROR_SUCCESS);
  return mem;
}

HANDLE GetClipboardData(UINT format) {
  if (NotOpen()) return nullptr;
  return Data(format);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Sync();
  auto f = Formats();
  return format && std::find(f.begin(), f.end(), format) != f.end();
}

int CountClipboardFormats() {
  Sync();
  return int(Formats().size());
}

UINT EnumClipboardFormats(UINT format) {
  if (NotOpen()) return 0;
  auto f = Formats();
  SetLastError(ERROR_SUCCESS);
  if (format == 0) return f.empty() ? 0 : f.front();
  auto it = std::find(f.begin(), f.end(), format);
  return (it == f.end() || it + 1 == f.end()) ? 0 : *(it + 1);
}

UINT RegisterClipboardFormat(const char* name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& names = TheBoard().names;
  std::string key = Lower(name);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (Lower(names[i].c_str()) == key) return kFirstRegistered + UINT(i);
  if (names.size() >= 0x10000 - kFirstRegistered) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  names.push_back(name);
  return kFirstRegistered + UINT(names.size() - 1);
}

int GetClipboardFormatName(UINT format, char* buffer, int cap) {
  auto& names = TheBoard().names;
  if (format < kFirstRegistered || format - kFirstRegistered >= names.size() || !buffer ||
      cap <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t copied;
  CopyText(names[format - kFirstRegistered], buffer, std::size_t(cap), &copied);
  return int(copied);
}

HWND GetClipboardOwner() {
  Sync();
  return TheBoard().owner;
}

HWND GetOpenClipboardWindow() {
  Reap();
  return TheBoard().open ? TheBoard().opener : nullptr;
}

namespace {
// The data goes and nobody holds the clipboard; registered formats stay registered, as they do
// for the whole session on Windows, and the display's bridge stays.
void ResetClipboard() {
  FreeAll();
  Board& b = TheBoard();
  b.open = false;
  b.opener = b.owner = nullptr;
  b.changed = false;
  b.rendering = 0;
  b.desktop_seen.reset();
}
[[maybe_unused]] const bool kClipboardReset =
    RegisterReset(ResetStage::WindowManager, ResetClipboard);
}  // namespace

}  // namespace win
