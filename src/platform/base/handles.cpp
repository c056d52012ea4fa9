#include "platform/base/internal/handles.h"

#include "platform/testing.h"

namespace win {
namespace {
constexpr unsigned kSlotBits = 20;
constexpr std::uintptr_t kSlotMask = (std::uintptr_t(1) << kSlotBits) - 1;
}  // namespace

HandleTable& HandleTable::Get() {
  static HandleTable table;
  return table;
}

HANDLE HandleTable::Add(std::shared_ptr<HandleObject> obj) {
  std::size_t slot;
  if (!free_.empty()) {
    slot = free_.front();
    free_.pop_front();
  } else {
    if (slots_.size() > kSlotMask) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    slot = slots_.size();
    slots_.emplace_back();
  }
  Slot& s = slots_[slot];
  auto value = (std::uintptr_t(s.generation) << kSlotBits) | slot;
  HANDLE h = reinterpret_cast<HANDLE>(value);
  obj->handle = h;
  s.obj = std::move(obj);
  ++live_;
  return h;
}

bool HandleTable::Decode(HANDLE h, std::size_t* slot) const {
  auto value = reinterpret_cast<std::uintptr_t>(h);
  std::size_t i = value & kSlotMask;
  std::uintptr_t gen = value >> kSlotBits;
  if (i == 0 || i >= slots_.size() || !slots_[i].obj || slots_[i].generation != gen) return false;
  *slot = i;
  return true;
}

std::shared_ptr<HandleObject> HandleTable::Find(HANDLE h) const {
  std::size_t i;
  if (!Decode(h, &i)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return slots_[i].obj;
}

bool HandleTable::Remove(HANDLE h) {
  std::size_t i;
  if (!Decode(h, &i)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  slots_[i].obj.reset();
  // Generations wrap far beyond any realistic handle lifetime; 0 is skipped so that a
  // small integer cast to a handle never matches.
  if (++slots_[i].generation >= (std::uintptr_t(1) << 11)) slots_[i].generation = 1;
  free_.push_back(i);
  --live_;
  return true;
}

std::size_t HandleTable::LiveCountWithoutPermanent() const {
  std::size_t n = 0;
  for (const Slot& s : slots_) n += s.obj && !s.obj->stock;
  return n;
}

std::size_t LiveHandleCount() { return HandleTable::Get().LiveCountWithoutPermanent(); }

}  // namespace win
