#pragma once
// Rectangle arithmetic the platform's own code shares.
#include "platform/base/geometry.h"
#include "platform/base/internal/access.h"

namespace win {

inline LONG RectWidth(const RECT& r) { return r.right - r.left; }
inline LONG RectHeight(const RECT& r) { return r.bottom - r.top; }

}  // namespace win
