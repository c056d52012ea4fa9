#include "platform/base/internal/geometry.h"

#include <algorithm>
#include <climits>

namespace win {

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom) {
  if (!rc) return FALSE;
  *rc = {left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* rc) { return SetRect(rc, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL OffsetRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  // Wrapping, never undefined, at the int limits.
  rc->left = LONG(std::int64_t(rc->left) + dx);
  rc->right = LONG(std::int64_t(rc->right) + dx);
  rc->top = LONG(std::int64_t(rc->top) + dy);
  rc->bottom = LONG(std::int64_t(rc->bottom) + dy);
  return TRUE;
}

BOOL InflateRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  rc->left = LONG(std::int64_t(rc->left) - dx);
  rc->right = LONG(std::int64_t(rc->right) + dx);
  rc->top = LONG(std::int64_t(rc->top) - dy);
  rc->bottom = LONG(std::int64_t(rc->bottom) + dy);
  return TRUE;
}

BOOL IsRectEmpty(const RECT* rc) { return !rc || rc->right <= rc->left || rc->bottom <= rc->top; }

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *dst = {};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
  if (ea && eb) {
    *dst = {};
    return FALSE;
  }
  if (ea) {
    *dst = *b;
    return TRUE;
  }
  if (eb) {
    *dst = *a;
    return TRUE;
  }
  *dst = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
          std::max(a->bottom, b->bottom)};
  return TRUE;
}

// Windows only shrinks the first rectangle when the second covers it fully along one axis
// and cuts one whole side; otherwise the result is the first rectangle unchanged.
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *dst = {};
    return FALSE;
  }
  RECT r = *a;
  RECT cut;
  if (IntersectRect(&cut, a, b)) {
    if (EqualRect(&cut, a)) {
      *dst = {};
      return FALSE;
    }
    if (cut.top == r.top && cut.bottom == r.bottom) {
      if (cut.left == r.left)
        r.left = cut.right;
      else if (cut.right == r.right)
        r.right = cut.left;
    } else if (cut.left == r.left && cut.right == r.right) {
      if (cut.top == r.top)
        r.top = cut.bottom;
      else if (cut.bottom == r.bottom)
        r.bottom = cut.top;
    }
  }
  *dst = r;
  return TRUE;
}

BOOL PtInRect(const RECT* rc, POINT pt) {
  return rc && pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long num = static_cast<long long>(a) * b;
  long long den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  long long q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
  if (q > INT_MAX || q < INT_MIN) return -1;
  return static_cast<int>(q);
}

}  // namespace win
