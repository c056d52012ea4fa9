#pragma once
// The clipboard tests' fixture: global-memory blocks of text made and read back, and a
// clipboard emptied before and after every test.
#include <cstring>
#include <string>

#include "support/user_fixture.h"

namespace usertest {

inline HGLOBAL Block(const void* bytes, std::size_t n) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
  std::memcpy(GlobalLock(mem), bytes, n);
  GlobalUnlock(mem);
  return mem;
}
inline HGLOBAL Utf8Block(const std::string& s) { return Block(s.c_str(), s.size() + 1); }
inline HGLOBAL Utf16Block(const std::u16string& s) { return Block(s.c_str(), (s.size() + 1) * 2); }

// UTF-16 of UTF-8 text, as the clipboard's CF_UNICODETEXT holds it.
inline std::u16string Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::u16string out(std::size_t(n), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

inline std::string Utf8Of(HANDLE mem) {
  auto* p = static_cast<const char*>(GlobalLock(mem));
  if (!p) return "<no block>";
  std::string s(p, strnlen(p, GlobalSize(mem)));
  GlobalUnlock(mem);
  return s;
}
inline std::u16string Utf16Of(HANDLE mem) {
  auto* p = static_cast<const char16_t*>(GlobalLock(mem));
  if (!p) return u"<no block>";
  std::u16string s;
  for (std::size_t i = 0; i < GlobalSize(mem) / 2 && p[i]; ++i) s.push_back(p[i]);
  GlobalUnlock(mem);
  return s;
}

class ClipboardTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    Reset();
  }
  void TearDown() override {
    Reset();
    UserTest::TearDown();
  }
  static void Reset() {
    if (GetOpenClipboardWindow()) CloseClipboard();
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
  }
  // A block SetClipboardData refuses stays the caller's, as on Windows: freed here, keeping
  // the error.
  static bool Refused(UINT format, HGLOBAL mem) {
    if (SetClipboardData(format, mem)) return false;
    DWORD error = GetLastError();
    GlobalFree(mem);
    SetLastError(error);
    return true;
  }
  // Opens as `w`, empties and sets `format`, closes.
  static void Put(HWND w, UINT format, HGLOBAL mem) {
    ASSERT_TRUE(OpenClipboard(w));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(format, mem), mem);
    ASSERT_TRUE(CloseClipboard());
  }
  static std::vector<UINT> Enumerated() {
    std::vector<UINT> out;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
    return out;
  }
  int Count(HWND h, const std::string& what) {
    return int(std::count_if(log.begin(), log.end(),
                             [&](const Entry& e) { return e.hwnd == h && e.what == what; }));
  }
  static constexpr const char* kDestroyClipboard = "0x0307";
};

}  // namespace usertest
