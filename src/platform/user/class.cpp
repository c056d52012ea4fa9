// Window classes.
#include "platform/user/window.h"

#include <strings.h>
#include <algorithm>
#include <cstring>

#include "platform/base/internal/error.h"
#include "platform/base/internal/reset.h"
#include "platform/controls/install.h"
#include "platform/gdi/objects.h"
#include "platform/user/internal/window.h"

namespace win {
namespace user {
namespace {

struct ClassTable {
  std::vector<std::shared_ptr<WndClass>> classes;
  ATOM next_atom = 0xC000;
};
// Windows deletes a class's background brush with the class (a COLOR_ index + 1 is no brush,
// and a stock brush survives DeleteObject).
void DeleteClassBrush(const WndClass& c) {
  Quietly([&] {
    if (c.background && GetObjectType(c.background) == OBJ_BRUSH) DeleteObject(c.background);
  });
}

ClassTable& Classes() {
  static ClassTable t;
  return t;
}

// The built-in classes are there before anything asks for a class, as on Windows.
bool system_classes_installed = false;
void EnsureSystemClasses() {
  if (system_classes_installed) return;
  system_classes_installed = true;
  controls::InstallSystemClasses();
}

}  // namespace

std::shared_ptr<WndClass> FindClass(const char* name) {
  if (!name) return nullptr;
  EnsureSystemClasses();
  for (auto& c : Classes().classes) {
    if (IS_INTRESOURCE(name) ? c->atom == ATOM(reinterpret_cast<std::uintptr_t>(name))
                             : strcasecmp(c->name.c_str(), name) == 0)
      return c;
  }
  return nullptr;
}

}  // namespace user

using namespace user;

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEX) || !wc->lpszClassName ||
      (!IS_INTRESOURCE(wc->lpszClassName) && !*wc->lpszClassName) ||
      IS_INTRESOURCE(wc->lpszClassName) || wc->cbClsExtra < 0 || wc->cbWndExtra < 0 ||
      wc->cbClsExtra > 40000 || wc->cbWndExtra > 40000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindClass(wc->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto& t = Classes();
  if (t.next_atom == 0xFFFF) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto c = std::make_shared<WndClass>();
  c->atom = t.next_atom++;
  c->name = wc->lpszClassName;
  c->style = wc->style;
  c->proc = wc->lpfnWndProc;
  c->cls_extra = wc->cbClsExtra;
  c->wnd_extra = wc->cbWndExtra;
  c->instance = wc->hInstance;
  c->icon = wc->hIcon;
  c->icon_small = wc->hIconSm;
  c->cursor = wc->hCursor;
  c->background = wc->hbrBackground;
  if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) c->menu_name = wc->lpszMenuName;
  c->extra.assign(std::size_t(wc->cbClsExtra), 0);
  t.classes.push_back(c);
  return c->atom;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassEx(&ex);
}

BOOL UnregisterClass(const char* name, HINSTANCE) {
  auto c = FindClass(name);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& v = Classes().classes;
  v.erase(std::remove(v.begin(), v.end(), c), v.end());
  DeleteClassBrush(*c);
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, const char* name, WNDCLASSEX* out) {
  auto c = FindClass(name);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (!out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  out->style = c->style;
  out->lpfnWndProc = c->proc;
  out->cbClsExtra = c->cls_extra;
  out->cbWndExtra = c->wnd_extra;
  out->hInstance = c->instance;
  out->hIcon = c->icon;
  out->hIconSm = c->icon_small;
  out->hCursor = c->cursor;
  out->hbrBackground = c->background;
  out->lpszMenuName = c->menu_name.empty() ? nullptr : c->menu_name.c_str();
  out->lpszClassName = c->name.c_str();
  return c->atom;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  const WndClass& c = *w->cls;
  if (index >= 0) {
    LONG_PTR v = 0;
    ReadExtra(c.extra, index, sizeof v, &v);
    return ULONG_PTR(v);
  }
  switch (index) {
    case GCLP_MENUNAME:
      return reinterpret_cast<ULONG_PTR>(c.menu_name.empty() ? nullptr : c.menu_name.c_str());
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.icon_small);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCL_CBWNDEXTRA: return ULONG_PTR(c.wnd_extra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c.cls_extra);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCW_ATOM: return c.atom;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  WndClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtr(hwnd, index);
  if (index >= 0) return WriteExtra(c.extra, index, sizeof value, value) ? old : 0;
  switch (index) {
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HICONSM: c.icon_small = reinterpret_cast<HICON>(value); break;
    case GCLP_HMODULE: c.instance = reinterpret_cast<HINSTANCE>(value); break;
    case GCLP_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = UINT(value); break;
    case GCL_CBWNDEXTRA: c.wnd_extra = int(value); break;  // for windows created later
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
  return old;
}

int GetClassName(HWND hwnd, char* buffer, int count) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (!buffer || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t n;
  CopyText(w->cls->name, buffer, std::size_t(count), &n);
  return int(n);
}

namespace {
// Classes with windows left (the desktop's) stay; atoms are not handed out again. The built-in
// classes go too and are installed afresh on the next look-up, so that what one test did to
// them (a class procedure replaced, class bytes written) does not reach the next.
void ResetClasses() {
  auto& list = Classes().classes;
  auto keep = std::partition(list.begin(), list.end(), [](auto& c) { return c->windows > 0; });
  for (auto it = keep; it != list.end(); ++it) DeleteClassBrush(**it);
  list.erase(keep, list.end());
  system_classes_installed = false;
}
[[maybe_unused]] const bool kClassesReset = RegisterReset(ResetStage::WindowManager, ResetClasses);
}  // namespace

}  // namespace win
