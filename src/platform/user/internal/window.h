#pragma once
// Shared inside the window manager: the window and class objects and the calls between the
// core and its parts.
#include "platform/user/internal/access.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/internal/handles.h"
#include "platform/user/display_link.h"
#include "platform/user/internal/queue.h"
#include "platform/user/messages.h"
#include "platform/user/metrics.h"

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

struct PaintState;
struct PlacementState;
struct NonClientState;
struct ScrollBarState;

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
  RECT window{};            // in the parent's client coordinates
  RECT client{};            // likewise
  bool destroying = false;  // DestroyWindow has begun
  bool freeing = false;     // its WM_NCDESTROY (or its children's) is under way: no new children
  bool linked = false;      // in its parent's child list
  bool created = false;     // CreateWindowEx got as far as telling the parent
  // An overlapped window hears its first WM_SIZE and WM_MOVE from the first WM_WINDOWPOSCHANGED
  // that reaches DefWindowProc, not at creation.
  bool need_size = false;
  HRGN region = nullptr;  // SetWindowRgn: window coordinates, owned by the window

  // Each part of the window manager keeps what it needs per window in a slot of its own, made
  // on first use by the part's accessor (PaintOf, PlacementOf, NonClientOf); the core never
  // looks inside. Menus and scroll bars get slots of their own; built-in controls keep their
  // state in their window's extra bytes or a per-class slot, never here.
  struct Parts {
    std::shared_ptr<PaintState> paint;          // internal/paint.h
    std::shared_ptr<PlacementState> placement;  // internal/placement.h
    std::shared_ptr<NonClientState> nonclient;  // internal/nonclient.h
    std::shared_ptr<ScrollBarState> scrollbar;  // internal/scrollbar.h
  } parts;
};

// A part's slot: made on first use, or the part's defaults while it has written nothing.
template <class T>
T& SlotOf(std::shared_ptr<T>& slot) {
  if (!slot) slot = std::make_shared<T>();
  return *slot;
}
template <class T>
const T& SlotOf(const std::shared_ptr<T>& slot) {
  static const T none;
  return slot ? *slot : none;
}

// Flags SetWindowPos adds to the WINDOWPOS of WM_WINDOWPOSCHANGED, as Windows does; the last
// marks a change between minimised, maximised and restored.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800, SWP_NOCLIENTMOVE = 0x1000, SWP_STATECHANGED = 0x8000;

std::shared_ptr<Window> FindWindowObj(HWND hwnd);  // sets ERROR_INVALID_WINDOW_HANDLE
std::shared_ptr<Window> ParentObj(const Window& w);
inline bool IsTopLevel(const Window& w) { return !(w.style & WS_CHILD); }
bool IsDescendant(HWND ancestor, HWND hwnd);
std::shared_ptr<WndClass> FindClass(const char* name);  // by name or atom
// The extra bytes of a window or class (cbWndExtra, cbClsExtra): the value of `size` bytes (a
// LONG, sign-extended, or a LONG_PTR) at byte `index`. False, with ERROR_INVALID_INDEX, when
// those bytes do not all lie inside.
bool ReadExtra(const std::vector<std::uint8_t>& extra, int index, std::size_t size,
               LONG_PTR* value);
bool WriteExtra(std::vector<std::uint8_t>& extra, int index, std::size_t size, LONG_PTR value);
// Copies at most cap - 1 bytes of text and a NUL, never cutting a character in half.
void CopyText(const std::string& text, char* buffer, std::size_t cap, std::size_t* copied);

// Z-order links (winpos.cpp). With owner_order (unless SWP_NOOWNERZORDER), owned windows are
// kept above their owners.
void Link(Window& w, HWND after, bool owner_order = true);
void Unlink(Window& w);
POINT ClientOriginOnScreen(HWND h);
// The MINMAXINFO a window's WM_GETMINMAXINFO starts from; MinMaxInfo sends the message.
MINMAXINFO DefaultMinMax(const Window& w);
MINMAXINFO MinMaxInfo(HWND hwnd);  // all zero if the window went away
// DefWindowProc's WM_WINDOWPOSCHANGING: a sizable or overlapped window that is not minimised
// is held to its tracking sizes (placement.cpp).
void DefPosChanging(HWND hwnd, WINDOWPOS* pos);
// DefWindowProc's WM_SYSCOMMAND: HCBT_SYSCOMMAND may refuse, then SC_MINIMIZE, SC_MAXIMIZE,
// SC_RESTORE, SC_CLOSE, SC_MOVE and SC_SIZE, SC_NEXTWINDOW and SC_PREVWINDOW; SC_KEYMENU and
// SC_MOUSEMENU go to the menu handler (placement.cpp).
void DefSysCommand(HWND hwnd, WPARAM wp, LPARAM lp);
// The menus part takes SC_KEYMENU and SC_MOUSEMENU (wParam and lParam as the window got
// them); with no handler set they do nothing. Null removes it.
using MenuCommandHandler = void (*)(HWND hwnd, WPARAM wp, LPARAM lp);
void SetMenuCommandHandler(MenuCommandHandler handler);
// The modal move (SC_MOVE) or size (SC_SIZE) loop; command is WM_SYSCOMMAND's wParam, whose
// low four bits are HTCAPTION or the WMSZ_ edge for the mouse and 0 for the keyboard. The
// mouse form starts from the last mouse message's point and needs the left button down
// (movesize.cpp).
void MoveSizeLoop(HWND hwnd, WPARAM command);
// CreateWindowEx, after WM_MOVE: a window created WS_MINIMIZE or WS_MAXIMIZE takes that state.
void PlaceCreated(HWND hwnd, DWORD style);
// The default client area: the window rectangle less frame, caption, menu, edge and bars.
void DefaultClient(const Window& w, RECT* rc);

// What a change of position keeps of the old client area: the pixels at src (old window
// coordinates) go to dst (new window coordinates); an empty dst keeps nothing.
struct ClientBits {
  RECT src{}, dst{};
};

// The caret (caret.cpp) steps aside while its window or an ancestor paints or scrolls: each
// CaretHold is ended by a CaretRelease for the same window. ScrollWindow carries the caret
// along; the caret dies with its window.
void CaretHold(HWND hwnd);
void CaretRelease(HWND hwnd);
void CaretScrolled(HWND hwnd, int dx, int dy, const RECT* scroll);
// The screen less the task bar (metrics.cpp); what SPI_GETWORKAREA answers.
RECT WorkArea();
// The frame metrics the core computes with, read from GetSystemMetrics' table.
enum class Metric {
  Border = SM_CXBORDER,
  DlgFrame = SM_CXDLGFRAME,
  Frame = SM_CXFRAME,
  Edge = SM_CXEDGE,
  Caption = SM_CYCAPTION,
  SmCaption = SM_CYSMCAPTION,
  Menu = SM_CYMENU,
  VScroll = SM_CXVSCROLL,
  HScroll = SM_CYHSCROLL,
  MinTrackX = SM_CXMINTRACK,
  MinTrackY = SM_CYMINTRACK
};
int FrameMetric(Metric m);

}  // namespace win::user
