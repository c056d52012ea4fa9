#pragma once
// Rectangles and points compared and printed in assertions, and their sizes.
#include <ostream>

#include "platform/win.h"

namespace win {
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
  return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& o, POINT p) {
  return o << "(" << p.x << "," << p.y << ")";
}
inline LONG RectWidth(const RECT& r) { return r.right - r.left; }
inline LONG RectHeight(const RECT& r) { return r.bottom - r.top; }
}  // namespace win
