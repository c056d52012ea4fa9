// WM_PRINT's default: the window, and on request its children and owned windows, drawn into a
// DC the caller gives.
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"
#include "platform/user/internal/paint.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace win::user {

void PrintWindowTo(HWND h, HDC dc, LPARAM flags) {
  auto w = FindWindowObj(h);
  if (!w || !gdi::FindDC(dc)) return;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(h)) return;
  // The DC's origin is the window's top-left with PRF_NONCLIENT, the client's otherwise. The
  // frame itself has no default drawing yet.
  RECT ciw = ClientInWindow(*w);
  POINT client_at = (flags & PRF_NONCLIENT) ? POINT{ciw.left, ciw.top} : POINT{0, 0};
  int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, client_at.x, client_at.y, nullptr);
  if (flags & PRF_ERASEBKGND) SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if ((flags & PRF_CLIENT) && IsWindow(h))
    SendMessage(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  RestoreDC(dc, saved);
  if ((flags & PRF_CHILDREN) && (w = FindWindowObj(h))) {
    // Bottom of the z-order first, so that the topmost child ends up on top.
    auto list = w->children;
    RECT client{0, 0, RectWidth(w->client), RectHeight(w->client)};
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      auto c = FindWindowObj(*it);
      if (!c || !(c->style & WS_VISIBLE)) continue;
      RECT at = (flags & PRF_NONCLIENT) ? c->window : c->client;
      saved = SaveDC(dc);
      OffsetViewportOrgEx(dc, client_at.x, client_at.y, nullptr);
      IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
      IntersectClipRect(dc, c->window.left, c->window.top, c->window.right, c->window.bottom);
      OffsetViewportOrgEx(dc, at.left, at.top, nullptr);
      SendMessage(*it, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
      RestoreDC(dc, saved);
    }
  }
  if ((flags & PRF_OWNED) && IsWindow(h)) {
    RECT mine;
    GetWindowRect(h, &mine);
    auto desk = FindWindowObj(GetDesktopWindow());
    auto tops = desk->children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
      auto o = FindWindowObj(*it);
      if (!o || o->owner != h || !(o->style & WS_VISIBLE)) continue;
      RECT r;
      GetWindowRect(*it, &r);
      POINT at{r.left - mine.left, r.top - mine.top};
      if (!(flags & PRF_NONCLIENT)) {
        RECT oc = ClientInWindow(*o);
        at.x += oc.left - ciw.left;
        at.y += oc.top - ciw.top;
      }
      saved = SaveDC(dc);
      OffsetViewportOrgEx(dc, at.x, at.y, nullptr);
      SendMessage(*it, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
      RestoreDC(dc, saved);
    }
  }
}

}  // namespace win::user
