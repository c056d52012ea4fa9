// The clipboard and the global memory it carries: text in both encodings, owners and their
// errors, registered formats and rendering on demand.
#include "support/clipboard_fixture.h"

namespace usertest {
namespace {

TEST_F(ClipboardTest, TextComesInEitherEncodingFromTheOther) {
  HWND w = Make(WS_POPUP);
  const std::string cases[] = {"", "plain ASCII", "女性生活百科：美容、家居与育儿", "孕期🍎 营养",
                               "line\r\nbreaks"};
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    // UTF-8 in, UTF-16 out, and back.
    Put(w, CF_TEXT, Utf8Block(text));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(CountClipboardFormats(), 2);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Enumerated(), (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT}));
    HANDLE u = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(Utf16Of(u), Wide(text));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), u);  // made once
    EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), text);
    CloseClipboard();

    Put(w, CF_UNICODETEXT, Utf16Block(Wide(text)));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(Enumerated(), (std::vector<UINT>{CF_UNICODETEXT, CF_TEXT}));
    EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), text);
    CloseClipboard();
  }

  // Text ends at the first NUL however large the block; a block without one ends with it.
  const char with_nul[] = "前\0after";
  Put(w, CF_TEXT, Block(with_nul, sizeof with_nul));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"前");
  CloseClipboard();
  Put(w, CF_UNICODETEXT, Block(u"ab", 4));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "ab");
  // Setting one text anew is not answered with the text made from the old one.
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Utf8Block("旧"));
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"旧");
  SetClipboardData(CF_TEXT, Utf8Block("新"));
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"新");
  // Both set: neither is made, each is what was set.
  SetClipboardData(CF_UNICODETEXT, Utf16Block(u"独立"));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "新");
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"独立");
  EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
  CloseClipboard();
}

TEST_F(ClipboardTest, OwnersOpenersAndTheirErrors) {
  HWND a = Make(WS_POPUP), b = Make(WS_POPUP);
  quiet = {WM_GETMINMAXINFO, WM_NCCALCSIZE};
  // Nothing works on a closed clipboard.
  struct Call {
    const char* name;
    std::function<bool()> failed;
  };
  for (const Call& c : {Call{"CloseClipboard", [] { return !CloseClipboard(); }},
                        Call{"EmptyClipboard", [] { return !EmptyClipboard(); }},
                        Call{"SetClipboardData", [] { return Refused(CF_TEXT, Utf8Block("x")); }},
                        Call{"GetClipboardData", [] { return !GetClipboardData(CF_TEXT); }},
                        Call{"EnumClipboardFormats", [] { return !EnumClipboardFormats(0); }}}) {
    SetLastError(0);
    EXPECT_TRUE(c.failed()) << c.name;
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN) << c.name;
  }

  // One window has it open at a time.
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  EXPECT_TRUE(OpenClipboard(a));
  EXPECT_FALSE(OpenClipboard(b));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // Data only from the owner: the window that emptied it.
  EXPECT_TRUE(Refused(CF_TEXT, Utf8Block("x")));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), a);
  HGLOBAL first = Utf8Block("甲");
  ASSERT_EQ(SetClipboardData(CF_TEXT, first), first);
  EXPECT_EQ(SetClipboardData(CF_TEXT, reinterpret_cast<HANDLE>(std::uintptr_t(0x55555))), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(Refused(0, Utf8Block("x")));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseClipboard();
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(GetClipboardOwner(), a);

  // Another window opening it reads, but may not add to a's data.
  ASSERT_TRUE(OpenClipboard(b));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "甲");
  EXPECT_TRUE(Refused(CF_DIB, Utf8Block("x")));
  // Emptying tells the old owner and frees its blocks.
  log.clear();
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(Count(a, kDestroyClipboard), 1);
  EXPECT_EQ(GetClipboardOwner(), b);
  EXPECT_EQ(GlobalSize(first), 0u);
  EXPECT_EQ(GlobalLock(first), nullptr);
  EXPECT_EQ(CountClipboardFormats(), 0);
  SetClipboardData(CF_TEXT, Utf8Block("乙"));
  CloseClipboard();

  // Windows that go away: the owner is forgotten but its data stays; a window destroyed with
  // the clipboard open leaves it closed for the others.
  DestroyWindow(b);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(a));
  DestroyWindow(a);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  HWND c = Make(WS_POPUP);
  ASSERT_TRUE(OpenClipboard(c));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "乙");
  CloseClipboard();
  EXPECT_FALSE(OpenClipboard(reinterpret_cast<HWND>(std::uintptr_t(0x99999))));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(ClipboardTest, RegisteredFormatsAndRenderingOnDemand) {
  UINT gif = RegisterClipboardFormat("GIF Image");
  EXPECT_GE(gif, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("gif IMAGE"), gif);
  UINT other = RegisterClipboardFormat("Vellisa Note");
  EXPECT_NE(other, gif);
  EXPECT_GE(other, 0xC000u);
  char name[32];
  EXPECT_EQ(GetClipboardFormatName(gif, name, sizeof name), 9);
  EXPECT_STREQ(name, "GIF Image");  // the first spelling stays
  EXPECT_EQ(GetClipboardFormatName(gif, name, 4), 3);
  EXPECT_STREQ(name, "GIF");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT, name, sizeof name), 0);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegisterClipboardFormat(nullptr), 0u);

  // A registered format carries its bytes as they are; setting it again frees the old block.
  HWND w = Make(WS_POPUP);
  const BYTE bytes[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0xFF};
  HGLOBAL old = Block(bytes, 3);
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  SetClipboardData(gif, old);
  HGLOBAL mem = Block(bytes, sizeof bytes);
  SetClipboardData(gif, mem);
  EXPECT_EQ(GlobalSize(old), 0u);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(gif));
  EXPECT_FALSE(IsClipboardFormatAvailable(other));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(gif);
  ASSERT_EQ(GlobalSize(got), sizeof bytes);
  EXPECT_EQ(std::memcmp(GlobalLock(got), bytes, sizeof bytes), 0);
  GlobalUnlock(got);
  CloseClipboard();

  // Data promised as null is asked of the owner when wanted, once.
  react = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_RENDERFORMAT && wp == CF_TEXT) SetClipboardData(CF_TEXT, Utf8Block("按需"));
    return std::nullopt;
  };
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  HWND reader = Make(WS_POPUP);
  log.clear();
  ASSERT_TRUE(OpenClipboard(reader));
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"按需");
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "按需");
  EXPECT_EQ(Count(w, "0x0305"), 1);
  // Outside rendering, the reader still may not set data.
  EXPECT_TRUE(Refused(CF_TEXT, Utf8Block("x")));
  CloseClipboard();
  // A promise nobody can keep any more gives nothing, and null data needs an owner.
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  SetClipboardData(gif, nullptr);
  CloseClipboard();
  DestroyWindow(w);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(GetClipboardData(gif), nullptr);
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(gif, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseClipboard();
}

TEST_F(ClipboardTest, GlobalMemoryBlocks) {
  HGLOBAL mem = GlobalAlloc(GHND, 16);
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GlobalSize(mem), 16u);
  auto* p = static_cast<BYTE*>(GlobalLock(mem));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::count(p, p + 16, 0), 16);
  EXPECT_EQ(GlobalLock(mem), p);  // the same bytes, locked twice
  EXPECT_TRUE(GlobalUnlock(mem));
  SetLastError(99);
  EXPECT_FALSE(GlobalUnlock(mem));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_FALSE(GlobalUnlock(mem));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
  EXPECT_EQ(GlobalFree(mem), nullptr);
  // A freed or made-up handle fails cleanly everywhere.
  for (HGLOBAL bad :
       {mem, reinterpret_cast<HGLOBAL>(std::uintptr_t(0x12345)), static_cast<HGLOBAL>(nullptr)}) {
    SetLastError(0);
    EXPECT_EQ(GlobalLock(bad), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GlobalUnlock(bad));
    EXPECT_EQ(GlobalSize(bad), 0u);
    EXPECT_EQ(GlobalFree(bad), bad);
  }
  // Handles of other kinds are not blocks.
  HBRUSH brush = CreateSolidBrush(0);
  EXPECT_EQ(GlobalLock(brush), nullptr);
  DeleteObject(brush);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, ~std::size_t(0)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  HGLOBAL none = GlobalAlloc(GMEM_FIXED, 0);
  EXPECT_NE(GlobalLock(none), nullptr);
  GlobalFree(none);
}

}  // namespace
}  // namespace usertest
