#include "platform/base/global.h"

#include <memory>
#include <new>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/handles.h"

namespace win {
namespace {

// Far beyond anything the clipboard carries; refusing it keeps a bad size from exhausting memory.
constexpr std::size_t kMaxBlock = std::size_t(1) << 30;

struct Block : HandleObject {
  std::vector<BYTE> bytes;
  int locks = 0;
};

std::shared_ptr<Block> FindBlock(HGLOBAL mem) {
  return HandleTable::Get().Find<Block>(mem, ObjectType::Global);
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  if (bytes > kMaxBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto b = std::make_shared<Block>();
  b->type = ObjectType::Global;
  try {
    // Always zeroed: a block handed to another reader never shows stale bytes.
    b->bytes.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return HandleTable::Get().Add(std::move(b));
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (!FindBlock(mem)) return mem;
  HandleTable::Get().Remove(mem);
  return nullptr;
}

void* GlobalLock(HGLOBAL mem) {
  auto b = FindBlock(mem);
  if (!b) return nullptr;
  ++b->locks;
  static BYTE empty = 0;  // a block of no bytes still locks to a valid address
  return b->bytes.empty() ? &empty : b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  auto b = FindBlock(mem);
  if (!b) return FALSE;
  if (b->locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--b->locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

std::size_t GlobalSize(HGLOBAL mem) {
  auto b = FindBlock(mem);
  return b ? b->bytes.size() : 0;
}

}  // namespace win
