#pragma once
// Shared inside the window manager; not part of the platform API.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/handles.h"
#include "platform/user/messages.h"

namespace win::user {

struct WndClass {
  ATOM atom = 0;
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cls_extra = 0, wnd_extra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr, icon_small = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menu_name;
  std::vector<std::uint8_t> extra;
  int windows = 0;
};

struct Window : HandleObject {
  HWND hwnd() const { return static_cast<HWND>(handle); }
  std::shared_ptr<WndClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0, ex_style = 0;
  HWND parent = nullptr;  // the desktop for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // z-order, top first
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;  // GWLP_ID: the control id, or the menu of a top-level window
  LONG_PTR user_data = 0;
  std::vector<std::uint8_t> extra;
  std::string text;
  std::map<std::string, HANDLE> props;
  RECT window{};  // in the parent's client coordinates
  RECT client{};  // likewise
  bool destroying = false;  // DestroyWindow has begun
  bool linked = false;      // in its parent's child list
  bool created = false;     // CreateWindowEx got as far as telling the parent
};

std::shared_ptr<Window> FindWindowObj(HWND hwnd);  // sets ERROR_INVALID_WINDOW_HANDLE
bool IsDescendant(HWND ancestor, HWND hwnd);
SIZE ScreenSize();
// Frame metrics of the classic Windows XP desktop, until the metrics slice owns them.
enum class Metric { Border, DlgFrame, Frame, Edge, Caption, SmCaption, Menu, VScroll, HScroll,
                    MinTrackX, MinTrackY };
int FrameMetric(Metric m);

}  // namespace win::user
