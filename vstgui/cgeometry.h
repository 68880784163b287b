// Points and rectangles in view coordinates (y grows downwards; right and bottom are exclusive).
#pragma once

#include <algorithm>
#include <cmath>

#include "vstguibase.h"

namespace VSTGUI {

struct CPoint {
  CCoord x = 0;
  CCoord y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(CCoord px, CCoord py) : x(px), y(py) {}

  constexpr CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  constexpr CPoint& offset(const CPoint& p) { return offset(p.x, p.y); }
  constexpr CPoint& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
  constexpr bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(const CPoint& o) const { return !(*this == o); }
  constexpr CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
  constexpr CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
  constexpr CPoint operator-() const { return CPoint(-x, -y); }
  constexpr CPoint& operator+=(const CPoint& o) { return offset(o); }
  constexpr CPoint& operator-=(const CPoint& o) { return offsetInverse(o); }
};

struct CRect {
  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(const CPoint& origin, const CPoint& size)
      : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

  constexpr CCoord getWidth() const { return right - left; }
  constexpr CCoord getHeight() const { return bottom - top; }
  constexpr CRect& setWidth(CCoord w) {
    right = left + w;
    return *this;
  }
  constexpr CRect& setHeight(CCoord h) {
    bottom = top + h;
    return *this;
  }
  constexpr CPoint getTopLeft() const { return CPoint(left, top); }
  constexpr CPoint getBottomRight() const { return CPoint(right, bottom); }
  constexpr CPoint getSize() const { return CPoint(getWidth(), getHeight()); }
  constexpr CPoint getCenter() const { return CPoint(left + getWidth() / 2, top + getHeight() / 2); }

  constexpr CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  constexpr CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
  constexpr CRect& offsetInverse(const CPoint& p) { return offset(-p.x, -p.y); }
  constexpr CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
  constexpr CRect& moveTo(const CPoint& p) { return moveTo(p.x, p.y); }
  constexpr CRect& setTopLeft(const CPoint& p) {
    left = p.x;
    top = p.y;
    return *this;
  }
  constexpr CRect& setBottomRight(const CPoint& p) {
    right = p.x;
    bottom = p.y;
    return *this;
  }
  constexpr CRect& setSize(const CPoint& s) {
    right = left + s.x;
    bottom = top + s.y;
    return *this;
  }
  constexpr CRect& inset(CCoord dx, CCoord dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
  }
  constexpr CRect& extend(CCoord dx, CCoord dy) { return inset(-dx, -dy); }

  constexpr bool isEmpty() const { return right <= left || bottom <= top; }
  constexpr bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool rectOverlap(const CRect& r) const {
    return r.left < right && r.right > left && r.top < bottom && r.bottom > top;
  }
  // Intersection with r (empty when they do not overlap).
  constexpr CRect& bound(const CRect& r) {
    left = std::max(left, r.left);
    top = std::max(top, r.top);
    right = std::max(left, std::min(right, r.right));
    bottom = std::max(top, std::min(bottom, r.bottom));
    return *this;
  }
  constexpr CRect& unite(const CRect& r) {
    if (r.isEmpty()) return *this;
    if (isEmpty()) return *this = r;
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
    return *this;
  }
  // Grows the rectangle to whole pixels.
  CRect& makeIntegral() {
    left = std::floor(left);
    top = std::floor(top);
    right = std::ceil(right);
    bottom = std::ceil(bottom);
    return *this;
  }
  constexpr bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};

}  // namespace VSTGUI
