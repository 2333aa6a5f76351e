// The two rules that the layout keeps at every client size from the minimum
// up, stated on its rectangles: no two visible controls of one parent
// overlap, and every control can be brought wholly into view (by scrolling
// its page or the ticket content where they scroll).
#pragma once

#include <vector>

#include "app/layout.h"

namespace korvante {

// What shows: the current page and whether the ticket content is shown.
struct LayoutView {
  int page = 0;  // 0 LAN, 1 WiFi, 2 queue, 3 technical
  bool contentShown = false;
};

enum class Parent { kMainWindow, kLanPage, kWifiPage, kQueuePage, kContentPanel, kTechnicalPage };
Parent ParentOf(Slot slot);

// Whether a control shows in a view: on the main window (the current page
// only), or on the current page (the ticket content only while shown).
bool ShownIn(Slot slot, const LayoutView& view);

// The part of a control that covers its parent: the closed box of a
// drop-down list (whose rectangle includes the dropped list), the whole
// rectangle of any other control.
Rect CoveredBox(const WindowLayout& layout, Slot slot, const ControlMetrics& metrics);

struct SlotPair {
  Slot a;
  Slot b;
  friend bool operator==(const SlotPair&, const SlotPair&) = default;
};

// Every pair of controls shown in `view` that share a parent and overlap.
std::vector<SlotPair> OverlappingSiblings(const WindowLayout& layout, const ControlMetrics& metrics,
                                          const LayoutView& view);

// Every control shown in `view` that no scrolling brings wholly into view:
// outside the main window's client area; outside its page's client width or
// scrollable height, or higher than the page shows; outside the ticket
// content or higher than the content panel shows.
std::vector<Slot> UnreachableControls(const WindowLayout& layout, const LayoutInput& input,
                                      const LayoutView& view);

}  // namespace korvante
