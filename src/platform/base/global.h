#pragma once
// Global memory blocks: what the clipboard carries. Every block, fixed or moveable, is known by
// a handle from the handle table, so a freed or made-up handle fails with ERROR_INVALID_HANDLE
// instead of touching memory; GlobalLock gives the bytes.
#include <cstddef>

#include "platform/base/types.h"

namespace win {

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040,
               GHND = GMEM_MOVEABLE | GMEM_ZEROINIT, GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Null with ERROR_NOT_ENOUGH_MEMORY when the size cannot be had.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// Null on success; the handle itself when it is not a block.
HGLOBAL GlobalFree(HGLOBAL mem);
// Counted. GlobalUnlock answers TRUE while the block stays locked; FALSE with ERROR_SUCCESS
// when the last lock went, with ERROR_NOT_LOCKED when there was none.
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);  // 0 for a stale handle

}  // namespace win
