#pragma once
// Drawing and region work allocates in proportion to its input; running out of memory fails an
// exported call like any other Windows allocation failure (ERROR_NOT_ENOUGH_MEMORY, and the
// call's failure value: zero, FALSE or null) instead of leaving through the C interface.
#include "platform/gdi/internal/access.h"

#include <new>
#include <stdexcept>

#include "platform/base/error.h"

namespace win {

template <class F>
auto Guarded(F&& f) noexcept -> decltype(f()) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {}
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return decltype(f()){};
}

}  // namespace win
