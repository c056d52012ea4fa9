#pragma once
// Shared by the files of the painting part (paint.cpp, visrgn.cpp, scroll.cpp, print.cpp).
//
// Coordinates: "window coordinates" have their origin at a window's top-left corner;
// "surface coordinates" are the window coordinates of its top-level window, which are the
// pixel coordinates of the backing store it draws into.
#include <memory>
#include <optional>

#include "platform/gdi/internal/bitmap.h"
#include "platform/gdi/internal/region.h"
#include "platform/user/internal/window.h"
#include "platform/user/paint.h"

namespace win::user {

struct PaintState {
  gdi::Region update;                    // window coordinates, the frame included
  bool nc = false;                       // WM_NCPAINT is due
  bool erase = false;                    // WM_ERASEBKGND is due
  bool must_erase = false;               // an early erase was answered 0: BeginPaint reports fErase
  bool internal = false;                 // RDW_INTERNALPAINT
  bool redraw_off = false;               // WM_SETREDRAW FALSE took WS_VISIBLE away
  std::shared_ptr<gdi::Bitmap> backing;  // top-level windows and the desktop
};

PaintState& PaintOf(Window& w);

// Geometry. A window whose parent is the desktop (or the desktop itself) has a backing store
// of its own; every other window draws into its top-level ancestor's, whatever its styles say
// (SetParent can leave a WS_CHILD window on the desktop and a popup inside another window).
bool OwnsSurface(const Window& w);
std::shared_ptr<Window> TopLevelOf(HWND hwnd);
POINT WindowOrigin(const Window& w);  // surface coordinates of the window's top-left
POINT ClientOrigin(const Window& w);  // surface coordinates of the client's top-left
RECT ClientInWindow(const Window& w);
RECT WholeWindow(const Window& w);   // {0, 0, width, height}
bool VisibleChain(const Window& w);  // the window and all its ancestors have WS_VISIBLE
// The window rectangle shaped by the window region, in the parent's client coordinates; the
// second form as if the window were at `window`.
gdi::Region ShapeInParent(const Window& w);
gdi::Region ShapeInParent(const Window& w, const RECT& window);

// What a DC on the window may touch, in surface coordinates. DCX_WINDOW, DCX_CLIPCHILDREN,
// DCX_CLIPSIBLINGS and DCX_PARENTCLIP are read from `flags`; the window's own
// WS_CLIPCHILDREN / WS_CLIPSIBLINGS apply as well when `use_style` is set.
gdi::Region VisibleRegion(const Window& w, DWORD flags, bool use_style = true);
// The same for the window placed at `at` (window and client rectangles in the parent's client
// coordinates), its parent and siblings where they are: for a place it has left or is going to.
struct Geometry {
  RECT window{}, client{};
};
gdi::Region VisibleRegion(const Window& w, const Geometry& at, DWORD flags, bool use_style);
// The part of the window an update region may cover, in window coordinates: its rectangle
// within its ancestors' client areas and all the window regions on the way.
gdi::Region Updatable(const Window& w);

// The backing store of a top-level window, sized to its window (old pixels kept).
std::shared_ptr<gdi::Bitmap> BackingStore(Window& top);

// GetDC, GetWindowDC and BeginPaint clip as the window's WS_CLIPCHILDREN / WS_CLIPSIBLINGS
// say; GetDCEx only as its flags say. This flag (Windows' own value for it) asks for the
// former.
constexpr DWORD DCX_USESTYLE = 0x00010000;

// Window DCs. `paint` (window coordinates) further clips the DC, as BeginPaint's update
// region does. The DC is registered so that ReleaseDC knows it and geometry changes rebind it.
HDC MakeWindowDC(HWND hwnd, HRGN clip, DWORD flags, std::optional<gdi::Region> paint);
void RebindWindowDCs(HWND top);
void ReleaseWindowDCs(HWND hwnd);  // the window is going away

// Painting steps shared by the files.
void EnsurePaintSource();
void SendNcPaint(HWND hwnd);
void EraseNow(HWND hwnd);
void PrintWindowTo(HWND hwnd, HDC dc, LPARAM prf_flags);  // WM_PRINT's default (print.cpp)
// The lock of LockWindowUpdate: null, or the locked window.
HWND LockedWindow();
HRGN NewRegionHandle(const gdi::Region& rgn);

// Pixel copies inside one surface, correct when source and destination overlap: the pixels of
// `dst` (surface coordinates) are taken from (x - dx, y - dy).
void MoveSurfacePixels(gdi::Bitmap& surface, const gdi::Region& dst, int dx, int dy);

// Caller coordinates are kept within this range so that offsetting them never wraps; no
// window comes anywhere near it.
constexpr int kFar = 1 << 28;
inline int Bounded(int v) { return v < -kFar ? -kFar : v > kFar ? kFar : v; }
inline RECT Bounded(const RECT& r) {
  return {Bounded(r.left), Bounded(r.top), Bounded(r.right), Bounded(r.bottom)};
}

// The display link's change notification, in screen coordinates.
void NotifyScreenChanged(const RECT& screen);
void NotifyWindowChanged(const Window& top);

}  // namespace win::user
