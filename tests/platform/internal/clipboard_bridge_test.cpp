// The bridge a display with a desktop clipboard installs: text crosses both ways, owners are
// told when the desktop takes the clipboard, and without a bridge the clipboard is ours alone.
#include <optional>

#include "platform/user/display_link.h"
#include "support/clipboard_fixture.h"

namespace usertest {
namespace {

class ClipboardBridgeTest : public ClipboardTest {
 protected:
  void TearDown() override {
    user::SetClipboardBridge({});
    ClipboardTest::TearDown();
  }
};

TEST_F(ClipboardBridgeTest, TheDesktopClipboardThroughTheBridge) {
  std::optional<std::string> desktop = "别的程序复制的";
  std::vector<std::string> given;
  user::SetClipboardBridge({[&](const std::string& s) {
                              given.push_back(s);
                              desktop = s;
                            },
                            [&] { return desktop; }});
  HWND w = Make(WS_POPUP);

  // Text another application copied is on the clipboard, owned by no window of ours.
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Utf16Of(GetClipboardData(CF_UNICODETEXT)), u"别的程序复制的");
  CloseClipboard();
  EXPECT_TRUE(given.empty());  // reading gives nothing back

  // Text we set goes to the desktop when the clipboard closes, in UTF-8 whichever way it was
  // set, once per change.
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, Utf16Block(u"胎儿性别预测"));
  EXPECT_TRUE(given.empty());
  CloseClipboard();
  EXPECT_EQ(given, (std::vector<std::string>{"胎儿性别预测"}));
  ASSERT_TRUE(OpenClipboard(w));
  CloseClipboard();
  EXPECT_EQ(given.size(), 1u);
  EXPECT_EQ(GetClipboardOwner(), w);  // our own text coming back is still ours

  // Data without text leaves the desktop's text alone, and the desktop's unchanged text does
  // not push ours away.
  UINT note = RegisterClipboardFormat("Vellisa Note");
  Put(w, note, Utf8Block("私有"));
  EXPECT_EQ(given.size(), 1u);
  EXPECT_TRUE(IsClipboardFormatAvailable(note));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(GetClipboardOwner(), w);

  // New text on the desktop: our owner is told it lost the clipboard.
  log.clear();
  desktop = "新的桌面文字";
  EXPECT_EQ(CountClipboardFormats(), 2);
  EXPECT_EQ(Count(w, kDestroyClipboard), 1);
  EXPECT_FALSE(IsClipboardFormatAvailable(note));
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "新的桌面文字");
  // While we hold it open, the desktop does not change it under us.
  desktop = "稍后";
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "新的桌面文字");
  CloseClipboard();
  EXPECT_EQ(given.size(), 1u);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));  // now it comes
  // A desktop with no text to offer changes nothing.
  desktop.reset();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "稍后");
  CloseClipboard();

  // Without the bridge the clipboard is ours alone.
  user::SetClipboardBridge({});
  desktop = "不再读到";
  Put(w, CF_TEXT, Utf8Block("只在这里"));
  EXPECT_EQ(given.size(), 1u);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Utf8Of(GetClipboardData(CF_TEXT)), "只在这里");
  CloseClipboard();
}

}  // namespace
}  // namespace usertest
