// How the ticket content panel's scroll offset moves for a scroll-bar request
// or a mouse-wheel turn. The layout that follows clamps the result.
#pragma once

namespace korvante {

// The scroll-bar request codes (the SB_ values of the platform).
enum class ScrollRequest : int {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
  kEndScroll = 8,
};

struct ScrollBarState {
  int page = 0;
  int trackPosition = 0;
  int maximum = 0;
};

// One scroll-bar step: a line is 24 pixels, a page the page size; any other
// request leaves the offset unchanged.
int ScrollStep(int offset, int requestCode, const ScrollBarState& bar);

// One wheel message: 48 pixels per whole notch of 120, the division truncating
// toward zero, so a half notch does not scroll. Positive deltas scroll up.
int WheelStep(int offset, int wheelDelta);

}  // namespace korvante
