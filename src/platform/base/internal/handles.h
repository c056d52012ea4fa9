#pragma once
// The typed handle table. A handle is (generation << 20 | slot) so that a handle whose object
// was deleted, or a handle of another type, is recognised and refused with
// ERROR_INVALID_HANDLE instead of touching freed memory.
#include <deque>
#include <memory>
#include <vector>
#include "platform/base/internal/access.h"

#include "platform/base/error.h"
#include "platform/base/types.h"

namespace win {

enum class ObjectType : std::uint8_t {
  None = 0,
  DC,
  MemDC,
  Bitmap,
  Brush,
  Pen,
  Font,
  Region,
  Palette,
  Window,
  Menu,
  Icon,
  Cursor,
  Global,
};

struct HandleObject {
  virtual ~HandleObject() = default;
  ObjectType type = ObjectType::None;
  HANDLE handle = nullptr;
  // Stock and other permanent objects (the desktop, shared system icons and cursors): they
  // survive DeleteObject and are not counted as live by the leak check.
  bool stock = false;
};

class HandleTable {
 public:
  static HandleTable& Get();

  // Takes ownership and returns the new handle. Objects are shared so that something still
  // using an object (a DC with it selected) keeps it alive after the handle is deleted.
  HANDLE Add(std::shared_ptr<HandleObject> obj);
  // Null (with ERROR_INVALID_HANDLE) for stale, foreign or wrong-typed handles.
  std::shared_ptr<HandleObject> Find(HANDLE h) const;
  template <class T>
  std::shared_ptr<T> Find(HANDLE h, ObjectType want) const;
  template <class T>
  std::shared_ptr<T> Find(HANDLE h, ObjectType a, ObjectType b) const;
  // Invalidates the handle; the object dies when its last user lets go.
  bool Remove(HANDLE h);
  std::size_t LiveCount() const { return live_; }
  std::size_t LiveCountWithoutPermanent() const;

 private:
  struct Slot {
    std::shared_ptr<HandleObject> obj;
    std::uint32_t generation = 1;
  };
  bool Decode(HANDLE h, std::size_t* slot) const;
  std::vector<Slot> slots_{1};    // slot 0 is never used, so no handle is null
  std::deque<std::size_t> free_;  // oldest first, so a slot is reused as late as possible
  std::size_t live_ = 0;
};

template <class T>
std::shared_ptr<T> HandleTable::Find(HANDLE h, ObjectType want) const {
  auto obj = Find(h);
  if (!obj) return nullptr;
  if (obj->type != want) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(obj);
}

template <class T>
std::shared_ptr<T> HandleTable::Find(HANDLE h, ObjectType a, ObjectType b) const {
  auto obj = Find(h);
  if (!obj) return nullptr;
  if (obj->type != a && obj->type != b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(obj);
}

}  // namespace win
