// The keyboard order of the main window's own Tab navigation: reading order by
// rows, where controls whose tops lie within 8 pixels of each other share a row.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace korvante {

struct TabStop {
  int left = 0;           // screen rectangle's left edge
  int top = 0;            // screen rectangle's top edge
  std::size_t order = 0;  // discovery number in the depth-first walk
};

// A before B when their tops differ by more than 8 pixels and A is higher;
// otherwise the smaller left edge first; otherwise the earlier discovered.
bool TabStopBefore(const TabStop& a, const TabStop& b);

// Stable sort by TabStopBefore.
void SortTabRing(std::vector<TabStop>& stops);

// The entry to focus next in a ring of `size` entries, from the current entry
// (none when the focus is outside the ring); wraps at both ends.
std::size_t NextTabIndex(std::optional<std::size_t> current, std::size_t size, bool backwards);

}  // namespace korvante
