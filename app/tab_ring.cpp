#include "app/tab_ring.h"

#include <algorithm>
#include <cstdlib>

namespace korvante {
namespace {
// Tops this close count as one row, so a 26-pixel radio and a 36-pixel button
// placed a few pixels apart on the same line are ordered left to right.
constexpr int kRowTolerance = 8;
}  // namespace

bool TabStopBefore(const TabStop& a, const TabStop& b) {
  if (std::abs(a.top - b.top) > kRowTolerance) return a.top < b.top;
  if (a.left != b.left) return a.left < b.left;
  return a.order < b.order;
}

void SortTabRing(std::vector<TabStop>& stops) {
  std::stable_sort(stops.begin(), stops.end(), TabStopBefore);
}

std::size_t NextTabIndex(std::optional<std::size_t> current, std::size_t size, bool backwards) {
  if (size == 0) return 0;
  if (backwards) {
    if (!current || *current == 0) return size - 1;
    return *current - 1;
  }
  if (!current || *current + 1 >= size) return 0;
  return *current + 1;
}

}  // namespace korvante
