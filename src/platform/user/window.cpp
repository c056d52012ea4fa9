#include "platform/user/window.h"

#include <strings.h>
#include <algorithm>
#include <cstring>

#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/reset.h"
#include "platform/base/internal/text.h"
#include "platform/user/hook.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"
#include "platform/user/timer.h"

namespace win {
namespace user {
namespace {

std::string PropKey(const char* name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

void SendParentNotify(const Window& w, UINT event) {
  if ((w.style & WS_CHILD) && !(w.ex_style & WS_EX_NOPARENTNOTIFY))
    SendMessage(w.parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(event), WORD(w.id)),
                reinterpret_cast<LPARAM>(w.hwnd()));
}

void SendDestroyMessages(HWND h) {
  auto w = FindWindowObj(h);
  if (!w) return;
  w->destroying = true;
  SendMessage(h, WM_DESTROY, 0, 0);
  if (!(w = FindWindowObj(h))) return;
  auto children = w->children;
  for (HWND c : children) SendDestroyMessages(c);
}

// Children first, each ending with WM_NCDESTROY; then the handle is gone.
void FreeWindow(HWND h) {
  auto w = FindWindowObj(h);
  if (!w) return;
  w->destroying = true;
  w->freeing = true;
  auto children = w->children;
  for (HWND c : children) FreeWindow(c);
  PartsWindowEnding(h);
  SendMessage(h, WM_NCDESTROY, 0, 0);
  if (!(w = FindWindowObj(h))) return;
  Unlink(*w);
  if (auto desk = FindWindowObj(GetDesktopWindow()))
    for (HWND t : desk->children)
      if (auto o = FindWindowObj(t); o && o->owner == h) o->owner = nullptr;
  PartsWindowFreed(h);
  w->cls->windows--;
  HandleTable::Get().Remove(h);
}

BOOL DestroyImpl(HWND hwnd, bool force) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!w->parent) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }  // the desktop
  if (w->destroying) return TRUE;
  if (CallHookChain(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0) && !force)
    return FALSE;
  if (!(w = FindWindowObj(hwnd))) return TRUE;
  if (w->destroying) return TRUE;
  w->destroying = true;
  if (w->created) SendParentNotify(*w, WM_DESTROY);
  if (!IsWindow(hwnd)) return TRUE;
  if (w->style & WS_VISIBLE) {
    if (w->style & WS_CHILD) {
      ShowWindow(hwnd, SW_HIDE);
    } else {
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
  }
  if (!IsWindow(hwnd)) return TRUE;
  if (IsTopLevel(*w)) {
    for (bool again = true; again;) {
      again = false;
      auto desk = FindWindowObj(GetDesktopWindow());
      auto tops = desk->children;
      for (HWND t : tops) {
        auto o = FindWindowObj(t);
        if (!o || o->owner != hwnd || o->destroying) continue;
        DestroyWindow(t);
        if (auto still = FindWindowObj(t)) still->owner = nullptr;  // it refused
        again = true;
      }
    }
  }
  PartsWindowDestroying(hwnd);
  if (!IsWindow(hwnd)) return TRUE;
  SendDestroyMessages(hwnd);
  FreeWindow(hwnd);
  return TRUE;
}

}  // namespace

void CopyText(const std::string& text, char* buffer, std::size_t cap, std::size_t* copied) {
  std::size_t n = std::min(text.size(), cap - 1);
  // Never cut a character in half.
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  *copied = n;
}

std::shared_ptr<Window> FindWindowObj(HWND hwnd) {
  auto obj = hwnd ? HandleTable::Get().Find(hwnd) : nullptr;
  if (!obj || obj->type != ObjectType::Window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<Window>(obj);
}

std::shared_ptr<Window> ParentObj(const Window& w) {
  auto obj = HandleTable::Get().Find(w.parent);
  if (!obj || obj->type != ObjectType::Window) return nullptr;
  return std::static_pointer_cast<Window>(obj);
}

// Walking up ends at the desktop's null parent, which is no error of the caller's.
bool IsDescendant(HWND ancestor, HWND hwnd) {
  return Quietly([&] {
    for (auto w = FindWindowObj(hwnd); w; w = ParentObj(*w))
      if (w->hwnd() == ancestor) return true;
    return false;
  });
}

}  // namespace user

using namespace user;

HWND GetDesktopWindow() {
  static HWND desktop = [] {
    WNDCLASSEX wc;
    wc.lpszClassName = "#32769";
    wc.lpfnWndProc = DefWindowProc;
    RegisterClassEx(&wc);
    auto w = std::make_shared<Window>();
    w->type = ObjectType::Window;
    w->stock = true;  // lives as long as the process
    w->cls = FindClass("#32769");
    w->cls->windows++;
    w->proc = w->cls->proc;
    w->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    SIZE s = ScreenSize();
    w->window = w->client = {0, 0, s.cx, s.cy};
    return static_cast<HWND>(HandleTable::Get().Add(w));
  }();
  return desktop;
}

HWND CreateWindowEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
  auto cls = FindClass(class_name);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  HWND desktop = GetDesktopWindow();
  HWND parent_h = desktop, owner_h = nullptr;
  if (parent == HWND_MESSAGE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (style & WS_CHILD) {
    if (!parent) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    auto p = FindWindowObj(parent);
    if (!p) return nullptr;
    if (p->freeing) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    parent_h = parent;
  } else if (parent) {
    // The owner of a top-level window is always a top-level window.
    auto o = FindWindowObj(parent);
    if (!o) return nullptr;
    while (o && (o->style & WS_CHILD)) o = ParentObj(*o);
    if (o && o->hwnd() != desktop) owner_h = o->hwnd();
  }

  bool overlapped = !(style & (WS_CHILD | WS_POPUP));
  if (overlapped) {
    SIZE s = ScreenSize();
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
      width = s.cx * 3 / 4;
      height = s.cy * 3 / 4;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = LONG(style);
  cs.lpszName = window_name;
  cs.lpszClass = class_name;
  cs.dwExStyle = ex_style;

  auto w = std::make_shared<Window>();
  w->type = ObjectType::Window;
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;  // what the CBT hook reads: not shown yet
  w->ex_style = ex_style;
  w->parent = parent_h;
  w->owner = owner_h;
  w->instance = instance;
  w->id = reinterpret_cast<LONG_PTR>(menu);
  w->extra.assign(std::size_t(cls->wnd_extra), 0);
  HWND hwnd = static_cast<HWND>(HandleTable::Get().Add(w));
  if (!hwnd) return nullptr;
  cls->windows++;

  CBT_CREATEWND cbt{&cs, (style & WS_CHILD) ? HWND_BOTTOM : HWND_TOP};
  if (CallHookChain(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                    reinterpret_cast<LPARAM>(&cbt))) {
    // Vetoed: the window never existed as far as its procedure knows.
    if (FindWindowObj(hwnd)) {
      cls->windows--;
      HandleTable::Get().Remove(hwnd);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!FindWindowObj(hwnd)) return nullptr;

  // What the hook left in the creation parameters is what is created.
  style = DWORD(cs.style);
  DWORD stored = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  DWORD ex = cs.dwExStyle;
  if ((stored & (WS_CHILD | WS_POPUP)) != WS_CHILD) {
    stored |= WS_CLIPSIBLINGS;
    if (!(stored & WS_POPUP)) stored |= WS_CAPTION;
  }
  if (ex & WS_EX_DLGMODALFRAME) {
    ex |= WS_EX_WINDOWEDGE;
  } else if (stored & (WS_DLGFRAME | WS_THICKFRAME)) {
    if (!((ex & WS_EX_STATICEDGE) && (stored & (WS_CHILD | WS_POPUP)))) ex |= WS_EX_WINDOWEDGE;
  } else {
    ex &= ~WS_EX_WINDOWEDGE;
  }
  w->style = stored;
  w->ex_style = ex;

  int cx = cs.cx, cy = cs.cy;
  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi = DefaultMinMax(*w);
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!FindWindowObj(hwnd)) return nullptr;
    cx = std::max(std::min(cx, int(mmi.ptMaxTrackSize.x)), int(mmi.ptMinTrackSize.x));
    cy = std::max(std::min(cy, int(mmi.ptMaxTrackSize.y)), int(mmi.ptMinTrackSize.y));
  }
  cx = std::max(cx, 0);
  cy = std::max(cy, 0);
  w->window = w->client = {cs.x, cs.y, cs.x + cx, cs.y + cy};

  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyImpl(hwnd, true);
    return nullptr;
  }
  if (!FindWindowObj(hwnd)) return nullptr;
  Link(*w, cbt.hwndInsertAfter);

  RECT rc = w->window;
  SendMessage(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
  if (!FindWindowObj(hwnd)) return nullptr;
  rc.right = std::max(rc.right, rc.left);
  rc.bottom = std::max(rc.bottom, rc.top);
  w->client = rc;

  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyImpl(hwnd, true);
    return nullptr;
  }
  if (!FindWindowObj(hwnd)) return nullptr;
  if (style & (WS_CHILD | WS_POPUP)) {
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(WORD(RectWidth(w->client)), WORD(RectHeight(w->client))));
    if (!FindWindowObj(hwnd)) return nullptr;
    SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(w->client.left), WORD(w->client.top)));
    if (!FindWindowObj(hwnd)) return nullptr;
  } else {
    w->need_size = true;
  }
  PlaceCreated(hwnd, style);
  if (!FindWindowObj(hwnd)) return nullptr;
  SendParentNotify(*w, WM_CREATE);
  if (!FindWindowObj(hwnd)) return nullptr;
  w->created = true;
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  if (!FindWindowObj(hwnd)) return nullptr;
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) { return DestroyImpl(hwnd, false); }

BOOL IsWindow(HWND hwnd) {
  return Quietly([&] { return FindWindowObj(hwnd) != nullptr; });
}

HWND GetParent(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  auto siblings = [&]() -> const std::vector<HWND>* {
    auto p = ParentObj(*w);
    return p && w->linked ? &p->children : nullptr;
  };
  switch (relation) {
    case GW_HWNDFIRST:
    case GW_HWNDLAST: {
      auto s = siblings();
      if (!s || s->empty()) return nullptr;
      return relation == GW_HWNDFIRST ? s->front() : s->back();
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto s = siblings();
      if (!s) return nullptr;
      auto it = std::find(s->begin(), s->end(), hwnd);
      if (relation == GW_HWNDNEXT)
        return (it == s->end() || it + 1 == s->end()) ? nullptr : *(it + 1);
      return (it == s->end() || it == s->begin()) ? nullptr : *(it - 1);
    }
    case GW_OWNER: return (w->style & WS_CHILD) ? nullptr : w->owner;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front();
    case GW_ENABLEDPOPUP: {
      auto desk = FindWindowObj(GetDesktopWindow());
      for (HWND t : desk->children) {
        auto o = FindWindowObj(t);
        if (o && o->owner == hwnd && (o->style & WS_POPUP) && (o->style & WS_VISIBLE) &&
            !(o->style & WS_DISABLED))
          return t;
      }
      return hwnd;
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

HWND GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : GetDesktopWindow(), GW_CHILD); }

BOOL IsChild(HWND parent, HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = ParentObj(*w);
  }
  return FALSE;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  HWND desktop = GetDesktopWindow();
  switch (flags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT:
    case GA_ROOTOWNER: {
      if (hwnd == desktop) return nullptr;
      while (w->parent && w->parent != desktop) w = ParentObj(*w);
      HWND root = w->hwnd();
      if (flags == GA_ROOTOWNER)
        while (HWND o = GetWindow(root, GW_OWNER)) root = o;
      return root;
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

namespace {
bool EnumInto(HWND parent, WNDENUMPROC proc, LPARAM lp, bool deep) {
  auto p = FindWindowObj(parent);
  if (!p) return true;
  auto list = p->children;
  for (HWND h : list) {
    if (!IsWindow(h)) continue;
    if (!proc(h, lp)) return false;
    if (deep && !EnumInto(h, proc, lp, true)) return false;
  }
  return true;
}
}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lp) {
  if (!proc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return EnumInto(GetDesktopWindow(), proc, lp, false);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lp) {
  if (!proc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (parent && !FindWindowObj(parent)) return FALSE;
  return EnumInto(parent ? parent : GetDesktopWindow(), proc, lp, true);
}

HWND FindWindowEx(HWND parent, HWND child_after, const char* class_name, const char* window_name) {
  auto p = FindWindowObj(parent ? parent : GetDesktopWindow());
  if (!p) return nullptr;
  std::shared_ptr<WndClass> cls;
  if (class_name && !(cls = FindClass(class_name))) return nullptr;
  auto list = p->children;
  auto it = list.begin();
  if (child_after) {
    it = std::find(list.begin(), list.end(), child_after);
    if (it == list.end()) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    ++it;
  }
  for (; it != list.end(); ++it) {
    auto w = FindWindowObj(*it);
    if (!w || (cls && w->cls != cls)) continue;
    if (window_name && w->text != window_name) continue;
    return *it;
  }
  SetLastError(ERROR_SUCCESS);
  return nullptr;
}

BOOL IsWindowVisible(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  for (; w; w = ParentObj(*w))
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  return w && !(w->style & WS_DISABLED);
}

namespace user {
namespace {
bool ExtraFits(const std::vector<std::uint8_t>& extra, int index, std::size_t size) {
  if (index >= 0 && size <= extra.size() && std::size_t(index) <= extra.size() - size) return true;
  SetLastError(ERROR_INVALID_INDEX);
  return false;
}
}  // namespace

bool ReadExtra(const std::vector<std::uint8_t>& extra, int index, std::size_t size,
               LONG_PTR* value) {
  if (!ExtraFits(extra, index, size)) return false;
  if (size == sizeof(LONG)) {
    LONG v;
    std::memcpy(&v, extra.data() + index, sizeof v);
    *value = v;
  } else {
    std::memcpy(value, extra.data() + index, sizeof *value);
  }
  return true;
}

bool WriteExtra(std::vector<std::uint8_t>& extra, int index, std::size_t size, LONG_PTR value) {
  if (!ExtraFits(extra, index, size)) return false;
  if (size == sizeof(LONG)) {
    LONG v = LONG(value);
    std::memcpy(extra.data() + index, &v, sizeof v);
  } else {
    std::memcpy(extra.data() + index, &value, sizeof value);
  }
  return true;
}
}  // namespace user

namespace {
LONG_PTR SetLong(HWND hwnd, int index, LONG_PTR value, std::size_t extra_size) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG_PTR old = 0;
    if (!ReadExtra(w->extra, index, extra_size, &old)) return 0;
    WriteExtra(w->extra, index, extra_size, value);
    return old;
  }
  LONG_PTR old = 0;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      DWORD& field = index == GWL_STYLE ? w->style : w->ex_style;
      old = LONG_PTR(LONG(field));
      STYLESTRUCT ss{field, DWORD(value)};
      SendMessage(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
      if (!(w = FindWindowObj(hwnd))) return old;
      (index == GWL_STYLE ? w->style : w->ex_style) = ss.styleNew;
      SendMessage(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
      return old;
    }
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = value;
      return old;
    case GWLP_USERDATA:
      old = w->user_data;
      w->user_data = value;
      return old;
    case GWLP_HWNDPARENT: {
      if (w->style & WS_CHILD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      old = reinterpret_cast<LONG_PTR>(w->owner);
      HWND o = reinterpret_cast<HWND>(value);
      if (o && !FindWindowObj(o)) return 0;
      w->owner = o;
      return old;
    }
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR GetLong(HWND hwnd, int index, std::size_t extra_size) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    LONG_PTR v = 0;
    ReadExtra(w->extra, index, extra_size, &v);
    return v;
  }
  switch (index) {
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->ex_style));
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->user_data;
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}
}  // namespace

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) { return GetLong(hwnd, index, sizeof(LONG_PTR)); }
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  return SetLong(hwnd, index, value, sizeof(LONG_PTR));
}
LONG GetWindowLong(HWND hwnd, int index) { return LONG(GetLong(hwnd, index, sizeof(LONG))); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  return LONG(SetLong(hwnd, index, value, sizeof(LONG)));
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return proc ? proc(hwnd, msg, wp, lp) : 0;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
  if (!FindWindowObj(hwnd)) return FALSE;
  return BOOL(SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0);
}

int GetWindowText(HWND hwnd, char* buffer, int count) {
  if (!FindWindowObj(hwnd)) return 0;
  if (!buffer || count <= 0) return 0;
  buffer[0] = '\0';
  return int(SendMessage(hwnd, WM_GETTEXT, WPARAM(count), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
  if (!FindWindowObj(hwnd)) return 0;
  return int(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetWindowTextW(HWND hwnd, WCHAR* buffer, int count) {
  if (!buffer || count <= 0) return 0;
  buffer[0] = 0;
  int len = GetWindowTextLength(hwnd);
  if (len <= 0) return 0;
  std::string utf8(std::size_t(len) + 1, '\0');
  int got = GetWindowText(hwnd, utf8.data(), len + 1);
  std::u16string wide = Utf8ToUtf16(std::string_view(utf8.data(), std::size_t(std::max(got, 0))));
  std::size_t n = std::min(wide.size(), std::size_t(count - 1));
  if (n > 0 && n < wide.size() && wide[n - 1] >= 0xD800 && wide[n - 1] < 0xDC00) --n;
  std::copy_n(wide.data(), n, buffer);
  buffer[n] = 0;
  return int(n);
}

BOOL SetProp(HWND hwnd, const char* name, HANDLE data) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  w->props[PropKey(name)] = data;
  return TRUE;
}

HANDLE GetProp(HWND hwnd, const char* name) {
  auto w = FindWindowObj(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(PropKey(name));
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND hwnd, const char* name) {
  auto w = FindWindowObj(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(PropKey(name));
  if (it == w->props.end()) return nullptr;
  HANDLE h = it->second;
  w->props.erase(it);
  return h;
}

namespace {
// Top-level windows take their children and owned windows with them; the hooks are gone by
// now, so nothing can refuse.
void DestroyEveryWindow() {
  for (int round = 0; round < 16; ++round) {
    auto desk = FindWindowObj(GetDesktopWindow());
    if (!desk || desk->children.empty()) return;
    auto tops = desk->children;
    for (HWND t : tops) DestroyImpl(t, true);
  }
}
[[maybe_unused]] const bool kWindowsReset = RegisterReset(ResetStage::Windows, DestroyEveryWindow);
}  // namespace

}  // namespace win
