#include "platform/display/sdl/internal/x11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace win::display::x11 {
namespace {

struct Native {
  Display* display = nullptr;
  Window window = 0;
};

bool NativeOf(SDL_Window* w, Native* out) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!w || !SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  out->display = info.info.x11.display;
  out->window = info.info.x11.window;
  return true;
}

int Ignore(Display*, XErrorEvent*) { return 0; }

// Runs requests with X errors swallowed: they come back asynchronously, so sync before
// putting the previous handler back.
template <class F>
void Guarded(Display* d, F&& requests) {
  XSync(d, False);
  auto previous = XSetErrorHandler(Ignore);
  requests();
  XSync(d, False);
  XSetErrorHandler(previous);
}

}  // namespace

bool SetShape(SDL_Window* window, const std::vector<RECT>* rects) {
  Native n;
  if (!NativeOf(window, &n)) return false;
  int event_base, error_base;
  if (!XShapeQueryExtension(n.display, &event_base, &error_base)) return false;
  Guarded(n.display, [&] {
    if (!rects) {
      XShapeCombineMask(n.display, n.window, ShapeBounding, 0, 0, None, ShapeSet);
      return;
    }
    std::vector<XRectangle> xr;
    xr.reserve(rects->size());
    for (const RECT& r : *rects)
      xr.push_back(XRectangle{short(r.left), short(r.top), (unsigned short)(r.right - r.left),
                              (unsigned short)(r.bottom - r.top)});
    XShapeCombineRectangles(n.display, n.window, ShapeBounding, 0, 0, xr.data(), int(xr.size()),
                            ShapeSet, YXBanded);
  });
  return true;
}

bool Restack(const std::vector<SDL_Window*>& top_first) {
  std::vector<Window> ids;
  Native n;
  for (SDL_Window* w : top_first) {
    if (!NativeOf(w, &n)) return false;
    ids.push_back(n.window);
  }
  if (ids.size() < 2) return true;
  Guarded(n.display, [&] { XRestackWindows(n.display, ids.data(), int(ids.size())); });
  return true;
}

bool HasWindowManager(SDL_Window* any) {
  Native n;
  if (!NativeOf(any, &n)) return false;
  Atom check = XInternAtom(n.display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  Guarded(n.display, [&] {
    if (XGetWindowProperty(n.display, DefaultRootWindow(n.display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success)
      found = type == XA_WINDOW && count == 1;
  });
  if (data) XFree(data);
  return found;
}

bool PointerEventRoot(const SDL_SysWMmsg* msg, POINT* root) {
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& e = msg->msg.x11.event;
  switch (e.type) {
    case MotionNotify: *root = {e.xmotion.x_root, e.xmotion.y_root}; return true;
    case ButtonPress:
    case ButtonRelease: *root = {e.xbutton.x_root, e.xbutton.y_root}; return true;
  }
  return false;
}

}  // namespace win::display::x11
