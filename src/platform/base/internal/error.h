#pragma once
// Calls made on the way that must not change what the caller's caller reads from GetLastError.
#include "platform/base/internal/access.h"

#include <utility>

#include "platform/base/error.h"

namespace win {

// Runs f with the last error kept as it was; returns what f returns.
template <class F>
decltype(auto) Quietly(F&& f) {
  struct Keep {
    DWORD saved = GetLastError();
    ~Keep() { SetLastError(saved); }
  } keep;
  return std::forward<F>(f)();
}

}  // namespace win
