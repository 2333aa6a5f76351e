#include "app/scroll_steps.h"

namespace korvante {
namespace {
constexpr int kLineStep = 24;
constexpr int kWheelNotch = 120;
constexpr int kNotchStep = 48;
}  // namespace

int ScrollStep(int offset, int requestCode, const ScrollBarState& bar) {
  switch (static_cast<ScrollRequest>(requestCode)) {
    case ScrollRequest::kLineUp:
      return offset - kLineStep;
    case ScrollRequest::kLineDown:
      return offset + kLineStep;
    case ScrollRequest::kPageUp:
      return offset - bar.page;
    case ScrollRequest::kPageDown:
      return offset + bar.page;
    case ScrollRequest::kThumbPosition:
    case ScrollRequest::kThumbTrack:
      return bar.trackPosition;
    case ScrollRequest::kTop:
      return 0;
    case ScrollRequest::kBottom:
      return bar.maximum;
    default:
      return offset;
  }
}

int WheelStep(int offset, int wheelDelta) {
  return offset - (wheelDelta / kWheelNotch) * kNotchStep;
}

}  // namespace korvante
