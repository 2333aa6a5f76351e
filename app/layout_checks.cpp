#include "app/layout_checks.h"

#include <algorithm>

namespace korvante {
namespace {

bool Within(Slot slot, Slot first, Slot last) {
  return static_cast<int>(slot) >= static_cast<int>(first) &&
         static_cast<int>(slot) <= static_cast<int>(last);
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

// A box of `width` x `height` at (x, y) lies inside [0, right) x [0, bottom).
bool Inside(int x, int y, int width, int height, int right, int bottom) {
  return x >= 0 && y >= 0 && x + width <= right && y + height <= bottom;
}

// The page of a page's parent; the queue page for any other.
std::size_t PageOf(Parent parent) {
  switch (parent) {
    case Parent::kLanPage:
      return 0;
    case Parent::kWifiPage:
      return 1;
    case Parent::kTechnicalPage:
      return 3;
    default:
      return 2;
  }
}

}  // namespace

Parent ParentOf(Slot slot) {
  if (Within(slot, Slot::kTitle, Slot::kTechnicalPage)) return Parent::kMainWindow;
  if (Within(slot, Slot::kLanIpLabel, Slot::kLanTargetText)) return Parent::kLanPage;
  if (Within(slot, Slot::kWifiNameLabel, Slot::kSaveWifiButton)) return Parent::kWifiPage;
  if (Within(slot, Slot::kContentHeader, Slot::kQrField)) return Parent::kContentPanel;
  if (Within(slot, Slot::kBeepCheck, Slot::kSaveDensityButton)) return Parent::kTechnicalPage;
  return Parent::kQueuePage;
}

bool ShownIn(Slot slot, const LayoutView& view) {
  const Slot pages[] = {Slot::kLanPage, Slot::kWifiPage, Slot::kQueuePage, Slot::kTechnicalPage};
  switch (ParentOf(slot)) {
    case Parent::kMainWindow:
      if (Within(slot, Slot::kLanPage, Slot::kTechnicalPage)) return slot == pages[view.page];
      return true;
    case Parent::kLanPage:
      return view.page == 0;
    case Parent::kWifiPage:
      return view.page == 1;
    case Parent::kQueuePage:
      return view.page == 2 && (slot != Slot::kContentPanel || view.contentShown);
    case Parent::kContentPanel:
      return view.page == 2 && view.contentShown;
    case Parent::kTechnicalPage:
      return view.page == 3;
  }
  return false;
}

Rect CoveredBox(const WindowLayout& layout, Slot slot, const ControlMetrics& m) {
  Rect box = layout[slot];
  if (slot == Slot::kPrinterList) {
    box.height = m.printerList;
  } else if (slot == Slot::kWifiModeList) {
    box.height = m.modeList;
  } else if (slot == Slot::kCounterSizeList) {
    box.height = m.sizeList;
  } else {
    for (int line = 0; line < kLineCount; ++line) {
      if (slot == LineSlot(line, LinePart::kSizeList)) box.height = m.sizeList;
    }
  }
  return box;
}

std::vector<SlotPair> OverlappingSiblings(const WindowLayout& layout, const ControlMetrics& m,
                                          const LayoutView& view) {
  std::vector<SlotPair> found;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const auto a = static_cast<Slot>(i);
    if (!ShownIn(a, view)) continue;
    for (std::size_t j = i + 1; j < kSlotCount; ++j) {
      const auto b = static_cast<Slot>(j);
      if (ParentOf(a) != ParentOf(b) || !ShownIn(b, view)) continue;
      if (Overlap(CoveredBox(layout, a, m), CoveredBox(layout, b, m))) found.push_back({a, b});
    }
  }
  return found;
}

std::vector<Slot> UnreachableControls(const WindowLayout& layout, const LayoutInput& input,
                                      const LayoutView& view) {
  const int W = std::max(input.clientWidth, kMinClientWidth);
  const int H = std::max(input.clientHeight, kMinClientHeight);
  std::vector<Slot> found;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const auto slot = static_cast<Slot>(i);
    if (!ShownIn(slot, view)) continue;
    const Rect r = CoveredBox(layout, slot, input.metrics);
    bool reachable = false;
    switch (ParentOf(slot)) {
      case Parent::kMainWindow:
        reachable = Inside(r.x, r.y, r.width, r.height, W, H);
        break;
      case Parent::kContentPanel:
        // In the content's own coordinates, before its scrolling.
        reachable = Inside(r.x, r.y + layout.scrollOffset, r.width, r.height,
                           layout.panelClientWidth, kContentHeight) &&
                    r.height <= layout.contentVisibleHeight;
        break;
      default: {
        // In the page's own coordinates, before its scrolling.
        const std::size_t page = PageOf(ParentOf(slot));
        const PageScroll& scroll = layout.pages[page];
        reachable = Inside(r.x, r.y + scroll.offset, r.width, r.height,
                           layout.pageClientWidth[page], scroll.contentHeight) &&
                    r.height <= scroll.visibleHeight;
        break;
      }
    }
    if (!reachable) found.push_back(slot);
  }
  return found;
}

}  // namespace korvante
