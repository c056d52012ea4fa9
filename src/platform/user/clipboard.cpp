// The clipboard: formats and data blocks owned by one window at a time, and the bridge to the
// desktop's clipboard.
#include "platform/user/clipboard_link.h"

#include <utility>

namespace win::user {

namespace {

ClipboardBridge& Bridge() {
  static ClipboardBridge bridge;
  return bridge;
}

}  // namespace

void SetClipboardBridge(ClipboardBridge bridge) {
  if (!bridge.set_text || !bridge.get_text) bridge = {};
  Bridge() = std::move(bridge);
}

}  // namespace win::user
