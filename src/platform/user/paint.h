#pragma once
// Painting: device contexts on windows, update regions, WM_PAINT, window regions, scrolling
// and printing.
//
// Every top-level window keeps a backing store of its whole window (non-client area
// included); its children draw into it through DCs clipped to their visible region: the
// window's own region, its ancestors' client areas and regions, the siblings above it when it
// has WS_CLIPSIBLINGS, its children when it has WS_CLIPCHILDREN, and nothing at all while it
// or an ancestor is hidden. Top-level windows never clip each other: the display composes
// their backing stores.
//
// Update regions are kept per window in window coordinates; WM_PAINT comes from the queue for
// the first window that needs it, parents before their children, and stays there until the
// window is validated. BeginPaint sends WM_NCPAINT (the update region in screen coordinates,
// or 1 for the whole window) when the frame is invalid, then WM_ERASEBKGND when an erase is
// pending.
#include "platform/gdi/dc.h"
#include "platform/user/messages.h"

namespace win {

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;  // the background still needs erasing: WM_ERASEBKGND answered 0
  RECT rcPaint{};       // client coordinates
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32] = {};
};

constexpr DWORD DCX_WINDOW = 0x00000001, DCX_CACHE = 0x00000002, DCX_NORESETATTRS = 0x00000004,
                DCX_CLIPCHILDREN = 0x00000008, DCX_CLIPSIBLINGS = 0x00000010,
                DCX_PARENTCLIP = 0x00000020, DCX_EXCLUDERGN = 0x00000040,
                DCX_INTERSECTRGN = 0x00000080, DCX_EXCLUDEUPDATE = 0x00000100,
                DCX_INTERSECTUPDATE = 0x00000200, DCX_LOCKWINDOWUPDATE = 0x00000400,
                DCX_VALIDATE = 0x00200000;

constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004,
               RDW_VALIDATE = 0x0008, RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020,
               RDW_NOCHILDREN = 0x0040, RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100,
               RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800;

constexpr LPARAM PRF_CHECKVISIBLE = 0x01, PRF_NONCLIENT = 0x02, PRF_CLIENT = 0x04,
                 PRF_ERASEBKGND = 0x08, PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;

constexpr UINT SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004,
               SW_SMOOTHSCROLL = 0x0010;

// DCs. A null window means the desktop (the whole screen). Every DC handed out here is
// released with ReleaseDC (or EndPaint); clip regions given to GetDCEx with DCX_INTERSECTRGN
// or DCX_EXCLUDERGN are in screen coordinates and belong to the DC from then on.
HDC GetDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// Window regions, in window coordinates. The window owns the region it is given.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);  // copies into rgn; the region type, ERROR if none

// Update regions; rectangles and regions are in client coordinates. A null window stands for
// every window on the screen (see paint.cpp).
BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rc);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags);
// One window at a time: its drawing is suppressed until it is unlocked (null), and then the
// whole of it is repainted.
BOOL LockWindowUpdate(HWND hwnd);

// Scrolling. The return value of ScrollWindowEx is the type of the region uncovered.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update_rgn,
                   RECT* update_rc, UINT flags);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update_rgn,
              RECT* update_rc);

}  // namespace win
