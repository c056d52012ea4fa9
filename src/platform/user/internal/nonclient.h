#pragma once
// The default non-client model, shared inside the window manager: where the frame, caption,
// caption buttons, menu bar, client edge and scroll bars of a window lie, by its styles.
#include "platform/user/internal/window.h"

namespace win::user {

// The non-client part's state per window.
struct NonClientState {
  bool active = false;                             // the caption is drawn active (WM_NCACTIVATE)
  LRESULT pressed = 0;                             // the caption button drawn pushed, by hit code
  HICON icon_small = nullptr, icon_big = nullptr;  // WM_SETICON; the window does not own them
};
NonClientState& NonClientOf(Window& w);
const NonClientState& NonClientOf(const Window& w);  // the defaults until the part wrote one

// Rectangles in window coordinates (the window's top-left is 0, 0); empty where a part is
// missing. The menu-bar strip and the scroll bars are reserved here and drawn by their owners.
struct NcLayout {
  RECT window{};
  RECT inner{};    // inside the outer frame
  int frame = 0;   // thickness of the outer frame
  RECT caption{};  // the caption strip, its bottom separator row included
  RECT icon{};     // the small icon (system-menu box)
  RECT close{}, max{}, min{}, help{};
  bool close_on = false, max_on = false, min_on = false;  // enabled
  RECT menu{};
  RECT edge{};  // the rectangle the client edge is drawn around (WS_EX_CLIENTEDGE)
  RECT vscroll{}, hscroll{}, grow{};
  RECT client{};
};

// The layout of a window of the given size with w's styles, class and menu.
NcLayout LayoutFor(const Window& w, int width, int height);
inline bool HasMenuBar(const Window& w) { return !(w.style & WS_CHILD) && w.id != 0; }
inline bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

// The client pixels a change of position keeps, from WM_NCCALCSIZE's answer (wvr; params null
// when it was not sent) and the class's CS_HREDRAW / CS_VREDRAW; rectangles in the parent's
// client coordinates.
ClientBits KeptClient(const Window& w, LRESULT wvr, const NCCALCSIZE_PARAMS* params,
                      const RECT& old_window, const RECT& old_client, const RECT& new_window,
                      const RECT& new_client);

// NonClientDefProc (internal/parts.h) answers the non-client messages: WM_NCPAINT,
// WM_NCACTIVATE, the non-client mouse, WM_CONTEXTMENU, WM_CTLCOLOR*, WM_SETICON and WM_GETICON.
// Repaints the caption strip at once (the text or icon changed).
void RepaintCaption(HWND hwnd);

}  // namespace win::user
