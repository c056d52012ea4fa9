#pragma once
// What a display with a desktop clipboard installs, so that text copied here reaches other
// applications and text copied there can be pasted here.
#include <functional>
#include <optional>
#include <string>

namespace win::user {

struct ClipboardBridge {
  std::function<void(const std::string& utf8)> set_text;  // we own the clipboard text now
  std::function<std::optional<std::string>()> get_text;   // the desktop's text, if any
};

// One bridge (the display in use); a bridge with empty functions removes it. With a bridge,
// CloseClipboard after text was set hands the text to the desktop, and text read while the
// desktop holds text of another application comes from the desktop.
void SetClipboardBridge(ClipboardBridge bridge);

}  // namespace win::user
