#include "platform/display/sdl/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "platform/base/internal/geometry.h"
#include "platform/base/internal/text.h"
#include "platform/display/sdl/internal/keymap.h"
#include "platform/display/sdl/internal/x11.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/objects.h"
#include "platform/gdi/internal/region.h"
#include "platform/gdi/text.h"
#include "platform/user/cursor.h"
#include "platform/user/display_link.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/message.h"
#include "platform/user/metrics.h"
#include "platform/user/window.h"
#include "platform/user/winpos.h"

namespace win::display {
namespace {

bool g_open = false;

// One desktop window standing for a top-level window.
struct Surface {
  SDL_Window* window = nullptr;
  bool failed = false;  // SDL could not make it: not tried again
  RECT wm{};            // the window manager's rectangle when last followed
  POINT placed{};       // where the desktop window is, as we put it there or were told
  bool shown = false, iconified = false;
  bool full = true;  // present the whole window next time
  bool shaped = false;
  std::vector<RECT> shape;
  int bounces = 0;  // moves the window manager refused after the desktop made them
};

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RECT& x, const RECT& y) {
    return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
  });
}

SDL_SystemCursor SystemCursor(CursorShape shape) {
  switch (shape) {
    case CursorShape::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case CursorShape::Wait: return SDL_SYSTEM_CURSOR_WAIT;
    case CursorShape::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case CursorShape::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case CursorShape::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case CursorShape::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case CursorShape::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case CursorShape::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
    case CursorShape::No: return SDL_SYSTEM_CURSOR_NO;
    case CursorShape::Hand: return SDL_SYSTEM_CURSOR_HAND;
    case CursorShape::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

// Desktop windows without a task-bar entry: menus, drop-downs and tooltips (captionless popups
// with an owner, or tool windows) float above everything; owned windows and tool windows with
// a caption are utility windows.
Uint32 WindowFlags(HWND h) {
  DWORD style = DWORD(GetWindowLong(h, GWL_STYLE)), ex = DWORD(GetWindowLong(h, GWL_EXSTYLE));
  bool owned = GetWindow(h, GW_OWNER) != nullptr;
  bool caption = (style & WS_CAPTION) == WS_CAPTION;
  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
  if (ex & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if ((style & WS_POPUP) && !caption && (owned || (ex & WS_EX_TOOLWINDOW)))
    flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
  else if (ex & WS_EX_TOOLWINDOW)
    flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR;
  else if (owned && !(ex & WS_EX_APPWINDOW))
    flags |= SDL_WINDOW_SKIP_TASKBAR;
  return flags;
}

}  // namespace

struct SdlDisplay::Impl {
  std::map<HWND, Surface> windows;
  std::vector<HWND> stacking;  // topmost first, as last applied
  bool restack = false;        // the desktop may have changed the stacking itself
  gdi::Region dirty;           // screen coordinates
  std::uint64_t presents = 0;
  bool x11 = false;
  std::optional<bool> window_manager;
  std::thread::id ui = std::this_thread::get_id();
  Uint32 wake_event = 0;

  HCURSOR cursor = nullptr;
  bool cursor_shown = true, cursor_known = false;
  std::map<SDL_SystemCursor, SDL_Cursor*> cursors;
  bool captured = false;

  HWND desktop_focus = nullptr;  // the window the desktop last gave the keyboard to
  bool desktop_focus_changed = false;
  HWND last_active = nullptr;

  bool text_on = false;
  SDL_Rect text_rect{};

  // The input method's composition, drawn over its window at the caret.
  std::string composition;
  HWND comp_window = nullptr;
  POINT comp_at{};  // window coordinates
  RECT comp_rect{};
  std::shared_ptr<gdi::Bitmap> comp_pixels;

  std::optional<POINT> root;  // the last pointer event's screen position, from the desktop

  Surface* Find(Uint32 id, HWND* hwnd = nullptr);
  POINT Where(Uint32 id, int x, int y);
  void Create(HWND h, const user::DisplayWindow& d, Surface& s);
  void Follow(const user::DisplayWindow& d, bool* restack);
  void Present(HWND h, Surface& s, const user::DisplayWindow& d);
  void DesktopMoved(HWND h, Surface& s, int x, int y);
  void Handle(const SDL_Event& e);
  void FollowCursor();
  void FollowTextInput();
  void SetComposition(std::string text);
  void MarkComposition();
};

Surface* SdlDisplay::Impl::Find(Uint32 id, HWND* hwnd) {
  SDL_Window* w = SDL_GetWindowFromID(id);
  if (!w) return nullptr;
  for (auto& [h, s] : windows)
    if (s.window == w) {
      if (hwnd) *hwnd = h;
      return &s;
    }
  return nullptr;
}

// The screen position of a pointer event: the desktop's own, where it tells it; otherwise the
// event's window position plus where that window is.
POINT SdlDisplay::Impl::Where(Uint32 id, int x, int y) {
  if (root) {
    POINT p = *root;
    root.reset();
    return p;
  }
  if (Surface* s = Find(id)) return {s->placed.x + x, s->placed.y + y};
  POINT p;
  GetCursorPos(&p);
  return p;
}

void SdlDisplay::Impl::Create(HWND h, const user::DisplayWindow& d, Surface& s) {
  char title[256] = "";
  GetWindowText(h, title, sizeof title);
  int w = std::max<int>(1, RectWidth(d.screen)), ht = std::max<int>(1, RectHeight(d.screen));
  s.window = SDL_CreateWindow(title, d.screen.left, d.screen.top, w, ht, WindowFlags(h));
  if (!s.window) {
    s.failed = true;
    SDL_Log("vellisa: no desktop window for a top-level window: %s", SDL_GetError());
    return;
  }
  s.wm = d.screen;
  s.placed = {d.screen.left, d.screen.top};
  s.full = true;
  if (!window_manager) window_manager = x11 ? x11::HasWindowManager(s.window) : true;
}

void SdlDisplay::Impl::Follow(const user::DisplayWindow& d, bool* restack) {
  HWND h = d.hwnd;
  Surface& s = windows[h];
  if (s.failed) return;
  bool iconic = IsIconic(h);
  if (!s.window) {
    if (iconic) return;
    Create(h, d, s);
    if (!s.window) return;
  }
  if (iconic) {
    // Iconified where a window manager can give it back; hidden where none can.
    if (*window_manager) {
      if (!s.iconified) SDL_MinimizeWindow(s.window);
      s.iconified = true;
    } else if (s.shown) {
      SDL_HideWindow(s.window);
      s.shown = false;
    }
    return;
  }
  if (s.iconified) {
    SDL_RestoreWindow(s.window);
    s.iconified = false;
    s.full = true;
  }
  const RECT& r = d.screen;
  if (RectWidth(r) != RectWidth(s.wm) || RectHeight(r) != RectHeight(s.wm)) {
    SDL_SetWindowSize(s.window, std::max<int>(1, RectWidth(r)), std::max<int>(1, RectHeight(r)));
    s.full = true;
  }
  if ((r.left != s.wm.left || r.top != s.wm.top) && (r.left != s.placed.x || r.top != s.placed.y)) {
    SDL_SetWindowPosition(s.window, r.left, r.top);
    s.placed = {r.left, r.top};
    s.bounces = 0;
    *restack = true;
  }
  s.wm = r;

  std::vector<RECT> shape;
  if (d.shape) {
    gdi::Region g = *d.shape;
    g.IntersectRect(RECT{0, 0, RectWidth(r), RectHeight(r)});
    shape = g.Rects();
  }
  if (bool(d.shape) != s.shaped || !SameRects(shape, s.shape)) {
    // A desktop without shapes shows the whole rectangle.
    x11::SetShape(s.window, d.shape ? &shape : nullptr);
    s.shaped = bool(d.shape);
    s.shape = std::move(shape);
  }
  if (!s.shown) {
    SDL_ShowWindow(s.window);
    s.shown = true;
    s.full = true;
    *restack = true;
  }
}

void SdlDisplay::Impl::Present(HWND h, Surface& s, const user::DisplayWindow& d) {
  if (!s.window || !s.shown || !d.pixels || d.pixels->bpp != 32) return;
  RECT whole{0, 0, RectWidth(d.screen), RectHeight(d.screen)};
  gdi::Region need;
  if (s.full) {
    need = gdi::Region(whole);
  } else {
    need = dirty;
    need.IntersectRect(d.screen);
    need.Offset(-d.screen.left, -d.screen.top);
  }
  if (need.Empty()) return;
  SDL_Surface* surf = SDL_GetWindowSurface(s.window);
  if (!surf) return;
  need.IntersectRect(
      RECT{0, 0, std::min(surf->w, d.pixels->width), std::min(surf->h, d.pixels->height)});
  if (need.Empty()) return;
  std::vector<RECT> rects = need.Complexity() > 32 ? std::vector<RECT>{need.Box()} : need.Rects();
  bool overlay = comp_window == h && comp_pixels;
  if (SDL_MUSTLOCK(surf) && SDL_LockSurface(surf) != 0) return;
  Uint32 fmt = surf->format->format;
  auto* base = static_cast<std::uint8_t*>(surf->pixels);
  auto copy = [&](const gdi::Bitmap& src, int sx, int sy, int dx, int dy, int w, int ht) {
    std::uint8_t* dst =
        base + std::size_t(dy) * surf->pitch + std::size_t(dx) * surf->format->BytesPerPixel;
    const std::uint8_t* from = src.Row(sy) + std::size_t(sx) * 4;
    int src_pitch = int(src.Row(sy + (ht > 1 ? 1 : 0)) - src.Row(sy));
    if (fmt == SDL_PIXELFORMAT_RGB888 || fmt == SDL_PIXELFORMAT_ARGB8888) {
      for (int y = 0; y < ht; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(dst + std::size_t(y) * surf->pitch);
        auto* in = reinterpret_cast<const std::uint32_t*>(src.Row(sy + y) + std::size_t(sx) * 4);
        for (int x = 0; x < w; ++x) out[x] = in[x] | 0xFF000000u;
      }
    } else {
      SDL_ConvertPixels(w, ht, SDL_PIXELFORMAT_RGB888, from, src_pitch, fmt, dst, surf->pitch);
    }
  };
  std::vector<SDL_Rect> out;
  for (const RECT& r : rects) {
    copy(*d.pixels, r.left, r.top, r.left, r.top, RectWidth(r), RectHeight(r));
    RECT o;
    if (overlay && IntersectRect(&o, &r, &comp_rect))
      copy(*comp_pixels, o.left - comp_rect.left, o.top - comp_rect.top, o.left, o.top,
           RectWidth(o), RectHeight(o));
    out.push_back(SDL_Rect{int(r.left), int(r.top), int(RectWidth(r)), int(RectHeight(r))});
  }
  if (SDL_MUSTLOCK(surf)) SDL_UnlockSurface(surf);
  SDL_UpdateWindowSurfaceRects(s.window, out.data(), int(out.size()));
  s.full = false;
  ++presents;
}

// The desktop moved a window (a window manager's own move, or placing it on the map).
void SdlDisplay::Impl::DesktopMoved(HWND h, Surface& s, int x, int y) {
  if (x == s.placed.x && y == s.placed.y) return;  // where we put it
  s.placed = {x, y};
  SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT now;
  if (!GetWindowRect(h, &now)) return;
  s.wm = now;
  // The window manager kept it elsewhere: put it back once; a desktop that insists wins
  // rather than the two moving it back and forth.
  if ((now.left != x || now.top != y) && s.bounces++ == 0) {
    SDL_SetWindowPosition(s.window, now.left, now.top);
    s.placed = {now.left, now.top};
  }
}

void SdlDisplay::Impl::Handle(const SDL_Event& e) {
  HWND h = nullptr;
  switch (e.type) {
    case SDL_SYSWMEVENT: {
      POINT p;
      if (x11::PointerEventRoot(e.syswm.msg, &p)) root = p;
      break;
    }
    case SDL_MOUSEMOTION: {
      POINT p = Where(e.motion.windowID, e.motion.x, e.motion.y);
      InjectMouseMove(p.x, p.y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      POINT p = Where(e.button.windowID, e.button.x, e.button.y);
      MouseButton b;
      if (e.button.button == SDL_BUTTON_LEFT)
        b = MouseButton::Left;
      else if (e.button.button == SDL_BUTTON_RIGHT)
        b = MouseButton::Right;
      else if (e.button.button == SDL_BUTTON_MIDDLE)
        b = MouseButton::Middle;
      else
        break;
      InjectMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, p.x, p.y);
      break;
    }
    case SDL_MOUSEWHEEL: {
      int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      POINT p;
      if (root) {
        p = *root;
        root.reset();
      } else
        GetCursorPos(&p);
      if (notches) InjectMouseWheel(notches * WHEEL_DELTA, p.x, p.y);
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      KeyCode k = KeyFromSdl(e.key.keysym);
      if (!k.vk) break;
      bool down = e.type == SDL_KEYDOWN;
      // The input method's text comes as SDL_TEXTINPUT; the key itself must not make it twice.
      UINT vk = down && text_on && MakesText(e.key.keysym) ? VK_PROCESSKEY : k.vk;
      InjectKey(vk, k.scan, down, k.extended);
      break;
    }
    case SDL_TEXTINPUT: {
      SetComposition({});
      auto cps = DecodeUtf8(e.text.text);
      if (!cps.empty()) InjectText(cps.data(), cps.size());
      break;
    }
    case SDL_TEXTEDITING: SetComposition(e.edit.text); break;
    case SDL_WINDOWEVENT: {
      Surface* s = Find(e.window.windowID, &h);
      if (!s) break;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_MOVED: DesktopMoved(h, *s, e.window.data1, e.window.data2); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: s->full = true; break;
        case SDL_WINDOWEVENT_CLOSE: PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          desktop_focus = h;
          desktop_focus_changed = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          if (desktop_focus == h) desktop_focus = nullptr;
          desktop_focus_changed = true;
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          s->iconified = true;
          if (!IsIconic(h)) PostMessage(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
          break;
        case SDL_WINDOWEVENT_RESTORED:
          if (s->iconified && IsIconic(h)) PostMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
          s->iconified = false;
          s->full = true;
          break;
      }
      break;
    }
  }
}

void SdlDisplay::Impl::FollowCursor() {
  HCURSOR c = GetCursor();
  bool shown = c && CursorShowCount() >= 0;
  if (cursor_known && c == cursor && shown == cursor_shown) return;
  cursor_known = true;
  cursor = c;
  cursor_shown = shown;
  CursorShape shape = CursorShape::Arrow;
  POINT hot;
  if (c) GetCursorShape(c, &shape, &hot);
  SDL_SystemCursor id = SystemCursor(shape);
  SDL_Cursor*& sc = cursors[id];
  if (!sc) sc = SDL_CreateSystemCursor(id);
  if (sc) SDL_SetCursor(sc);
  SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

// Text input runs while the focus window has a caret, with the input method's candidates next
// to the caret.
void SdlDisplay::Impl::FollowTextInput() {
  HWND owner = nullptr;
  RECT caret_rc{};
  bool has = user::CaretPlace(&owner, &caret_rc) && owner == GetFocus();
  Surface* s = nullptr;
  HWND top = has ? GetAncestor(owner, GA_ROOT) : nullptr;
  if (has) {
    auto it = windows.find(top);
    if (it != windows.end() && it->second.window)
      s = &it->second;
    else
      has = false;
  }
  if (has != text_on) {
    if (has)
      SDL_StartTextInput();
    else
      SDL_StopTextInput();
    text_on = has;
    if (!has) SetComposition({});
  }
  if (!has) return;
  POINT at{caret_rc.left, caret_rc.top};
  ClientToScreen(owner, &at);
  SDL_Rect r{int(at.x - s->wm.left), int(at.y - s->wm.top), std::max<int>(1, RectWidth(caret_rc)),
             std::max<int>(1, RectHeight(caret_rc))};
  if (r.x != text_rect.x || r.y != text_rect.y || r.w != text_rect.w || r.h != text_rect.h) {
    text_rect = r;
    SDL_SetTextInputRect(&r);
  }
  if (comp_window != top || comp_at.x != r.x || comp_at.y != r.y) {
    MarkComposition();
    comp_window = top;
    comp_at = {r.x, r.y};
    SetComposition(composition);
  }
}

void SdlDisplay::Impl::MarkComposition() {
  if (!comp_window || IsRectEmpty(&comp_rect)) return;
  auto it = windows.find(comp_window);
  if (it == windows.end()) return;
  RECT on = comp_rect;
  OffsetRect(&on, it->second.wm.left, it->second.wm.top);
  dirty.Union(gdi::Region(on));
}

// The composition is drawn in the default GUI font, underlined, in the window's colours,
// over the window's pixels but never into its backing store.
void SdlDisplay::Impl::SetComposition(std::string text) {
  MarkComposition();
  composition = std::move(text);
  comp_pixels.reset();
  comp_rect = RECT{};
  if (composition.empty() || !comp_window) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32(dc, composition.c_str(), int(composition.size()), &size);
  int w = std::max<int>(1, size.cx + 2), ht = std::max<int>(1, size.cy + 2);
  auto bmp = gdi::NewBitmap(w, ht, 32);
  HBITMAP hb = bmp ? gdi::AddBitmap(bmp) : nullptr;
  if (hb) {
    HGDIOBJ old_bmp = SelectObject(dc, hb);
    RECT all{0, 0, w, ht};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    TextOut(dc, 1, 0, composition.c_str(), int(composition.size()));
    RECT line{1, ht - 1, w - 1, ht};
    FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWTEXT));
    SelectObject(dc, old_bmp);
    DeleteObject(hb);
    comp_pixels = bmp;
    comp_rect = RECT{comp_at.x, comp_at.y, comp_at.x + w, comp_at.y + ht};
    MarkComposition();
  }
  SelectObject(dc, old_font);
  DeleteDC(dc);
}

// ---- SdlDisplay ----

SdlDisplay::SdlDisplay() : impl_(std::make_unique<Impl>()) {}

std::unique_ptr<SdlDisplay> SdlDisplay::Open(std::string* why) {
  if (g_open) {
    if (why) *why = "another SDL display is open";
    return nullptr;
  }
  // Ctrl+C and SIGTERM end the program as they end any other; closing windows is ours.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A click that activates a window also reaches it, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Our pixels are drawn in software and only copied out. Left to itself, SDL decides each time
  // it makes a window surface (at the first present and after every resize) by loading the
  // whole OpenGL stack, making a trial context and unloading it again: milliseconds each time,
  // and the driver's allocations are lost with every unload. The environment variable of the
  // same name still overrides this.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  int failed = -1;
  if (SDL_getenv("SDL_VIDEODRIVER")) {
    failed = SDL_InitSubSystem(SDL_INIT_VIDEO);
  } else {
    // Only a desktop will do: never a console's framebuffer.
    for (const char* driver : {"x11", "wayland"}) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
      if ((failed = SDL_InitSubSystem(SDL_INIT_VIDEO)) == 0) break;
    }
  }
  if (failed != 0) {
    if (why) *why = SDL_GetError();
    SDL_Quit();
    return nullptr;
  }
  std::unique_ptr<SdlDisplay> d(new SdlDisplay);
  Impl& m = *d->impl_;
  g_open = true;
  m.x11 = SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
  SDL_StopTextInput();
  if (m.x11) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  m.wake_event = SDL_RegisterEvents(1);
  user::SetScreenChangedListener([&m](const RECT& r) { m.dirty.Union(gdi::Region(r)); });
  user::SetClipboardBridge(
      user::ClipboardBridge{[](const std::string& utf8) { SDL_SetClipboardText(utf8.c_str()); },
                            []() -> std::optional<std::string> {
                              if (!SDL_HasClipboardText()) return std::nullopt;
                              char* text = SDL_GetClipboardText();
                              if (!text) return std::nullopt;
                              std::string out = text;
                              SDL_free(text);
                              return out;
                            }});
  SdlDisplay* self = d.get();
  SetEventWaiter(
      [self](int timeout_ms) {
        self->Sync();
        self->Pump(timeout_ms);
      },
      [&m] {
        // The loop's own thread is not waiting when it wakes the loop.
        if (std::this_thread::get_id() == m.ui || m.wake_event == Uint32(-1)) return;
        SDL_Event e{};
        e.type = m.wake_event;
        SDL_PushEvent(&e);
      });
  return d;
}

SdlDisplay::~SdlDisplay() {
  SetEventWaiter(nullptr);
  user::SetScreenChangedListener(nullptr);
  user::SetClipboardBridge({});
  if (impl_->text_on) SDL_StopTextInput();
  for (auto& [h, s] : impl_->windows)
    if (s.window) SDL_DestroyWindow(s.window);
  for (auto& [id, c] : impl_->cursors)
    if (c) SDL_FreeCursor(c);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
  g_open = false;
}

std::string SdlDisplay::VideoDriver() const {
  const char* d = SDL_GetCurrentVideoDriver();
  return d ? d : "";
}

std::uint64_t SdlDisplay::Presents() const { return impl_->presents; }

void SdlDisplay::Sync() {
  Impl& m = *impl_;
  auto list = user::DisplayWindows();
  std::vector<HWND> order;
  for (const auto& d : list) {
    m.Follow(d, &m.restack);
    auto it = m.windows.find(d.hwnd);
    if (it != m.windows.end() && it->second.shown) order.push_back(d.hwnd);
  }
  for (auto it = m.windows.begin(); it != m.windows.end();) {
    bool listed =
        std::any_of(list.begin(), list.end(), [&](auto& d) { return d.hwnd == it->first; });
    if (listed) {
      ++it;
      continue;
    }
    Surface& s = it->second;
    if (!IsWindow(it->first)) {
      if (s.window) SDL_DestroyWindow(s.window);
      if (m.comp_window == it->first) m.comp_window = nullptr;
      it = m.windows.erase(it);
      continue;
    }
    if (s.shown) SDL_HideWindow(s.window);
    s.shown = false;
    ++it;
  }
  for (const auto& d : list) {
    auto it = m.windows.find(d.hwnd);
    if (it != m.windows.end()) m.Present(d.hwnd, it->second, d);
  }
  m.dirty.Clear();

  // The desktop's keyboard goes where the window manager activated.
  HWND active = GetActiveWindow();
  if (active != m.last_active) {
    m.last_active = active;
    auto it = m.windows.find(active);
    if (active && active != m.desktop_focus && it != m.windows.end() && it->second.shown &&
        !(SDL_GetWindowFlags(it->second.window) & SDL_WINDOW_POPUP_MENU)) {
      SDL_SetWindowInputFocus(it->second.window);
      m.restack = true;  // some desktops raise the window that takes the keyboard
    }
  }
  if (m.restack || order != m.stacking) {
    std::vector<SDL_Window*> top_first;
    for (HWND h : order) top_first.push_back(m.windows[h].window);
    if (!m.x11 || !x11::Restack(top_first))
      for (auto it = top_first.rbegin(); it != top_first.rend(); ++it) SDL_RaiseWindow(*it);
    m.stacking = order;
    m.restack = false;
  }
  bool capture = GetCapture() != nullptr;
  if (capture != m.captured) {
    SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
    m.captured = capture;
  }
  m.FollowCursor();
  m.FollowTextInput();
}

void SdlDisplay::Pump(int timeout_ms) {
  Impl& m = *impl_;
  SDL_Event e;
  int got = timeout_ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout_ms);
  while (got) {
    m.Handle(e);
    got = SDL_PollEvent(&e);
  }
  if (m.desktop_focus_changed) {
    m.desktop_focus_changed = false;
    HWND f = m.desktop_focus;
    if (f && IsWindow(f) && f != GetActiveWindow() && IsWindowVisible(f) && IsWindowEnabled(f))
      SetActiveWindow(f);
    else if (!f && GetActiveWindow())
      user::DeactivateForDesktop();  // the keyboard went to another application
    m.last_active = GetActiveWindow();
  }
}

}  // namespace win::display
