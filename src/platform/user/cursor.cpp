// Cursor objects, the current cursor and the display counter.
#include "platform/user/cursor.h"

#include <iterator>
#include <memory>

#include "platform/base/error.h"
#include "platform/base/internal/handles.h"
#include "platform/base/internal/reset.h"
#include "platform/user/internal/input.h"

namespace win {
namespace user {
namespace {

struct CursorObject : HandleObject {
  CursorShape shape = CursorShape::Arrow;
  POINT hotspot{};
};

// The system cursors are 32 by 32; hot spots where the shapes point.
struct SystemCursor {
  WORD id;
  CursorShape shape;
  POINT hotspot;
};
constexpr SystemCursor kSystem[] = {
    {32512, CursorShape::Arrow, {0, 0}},       {32513, CursorShape::IBeam, {16, 16}},
    {32514, CursorShape::Wait, {16, 16}},      {32515, CursorShape::Cross, {16, 16}},
    {32516, CursorShape::UpArrow, {16, 0}},    {32640, CursorShape::SizeAll, {16, 16}},
    {32641, CursorShape::Arrow, {0, 0}},       {32642, CursorShape::SizeNWSE, {16, 16}},
    {32643, CursorShape::SizeNESW, {16, 16}},  {32644, CursorShape::SizeWE, {16, 16}},
    {32645, CursorShape::SizeNS, {16, 16}},    {32646, CursorShape::SizeAll, {16, 16}},
    {32648, CursorShape::No, {16, 16}},        {32649, CursorShape::Hand, {6, 0}},
    {32650, CursorShape::AppStarting, {0, 0}}, {32651, CursorShape::Help, {0, 0}},
};

struct Cursors {
  HCURSOR system[std::size(kSystem)]{};
  HCURSOR current = nullptr;
  bool current_set = false;  // until SetCursor, the arrow
  int show_count = 0;
};
Cursors& TheCursors() {
  static Cursors c;
  return c;
}

std::shared_ptr<CursorObject> FindCursor(HCURSOR h) {
  return HandleTable::Get().Find<CursorObject>(h, ObjectType::Cursor);
}

}  // namespace
}  // namespace user

using namespace user;

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
  if (instance || !IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  WORD id = WORD(reinterpret_cast<std::uintptr_t>(name));
  for (std::size_t i = 0; i < std::size(kSystem); ++i) {
    if (kSystem[i].id != id) continue;
    HCURSOR& h = TheCursors().system[i];
    if (!h) {
      auto obj = std::make_shared<CursorObject>();
      obj->type = ObjectType::Cursor;
      obj->stock = true;
      obj->shape = kSystem[i].shape;
      obj->hotspot = kSystem[i].hotspot;
      h = static_cast<HCURSOR>(HandleTable::Get().Add(obj));
    }
    return h;
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

BOOL DestroyCursor(HCURSOR cursor) {
  auto c = FindCursor(cursor);
  if (!c) return FALSE;
  if (!c->stock) HandleTable::Get().Remove(cursor);
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  if (cursor && !FindCursor(cursor)) return nullptr;
  HCURSOR old = GetCursor();
  TheCursors().current = cursor;
  TheCursors().current_set = true;
  return old;
}

HCURSOR GetCursor() {
  Cursors& c = TheCursors();
  if (!c.current_set) return LoadCursor(nullptr, IDC_ARROW);
  if (c.current && !FindCursor(c.current)) c.current = nullptr;  // destroyed since
  return c.current;
}

BOOL GetCursorPos(POINT* pt) {
  if (!pt) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pt = CursorPosNow();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  InjectMouseMove(x, y);
  return TRUE;
}

int ShowCursor(BOOL show) { return show ? ++TheCursors().show_count : --TheCursors().show_count; }

bool GetCursorShape(HCURSOR cursor, CursorShape* shape, POINT* hotspot) {
  auto c = FindCursor(cursor);
  if (!c) return false;
  if (shape) *shape = c->shape;
  if (hotspot) *hotspot = c->hotspot;
  return true;
}

int CursorShowCount() { return TheCursors().show_count; }

namespace {
// namespace
void ResetCursors() {
  Cursors& c = TheCursors();
  c.current = nullptr;
  c.current_set = false;
  c.show_count = 0;
}
[[maybe_unused]] const bool kCursorsReset = RegisterReset(ResetStage::WindowManager, ResetCursors);
}  // namespace

}  // namespace win
