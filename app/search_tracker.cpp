#include "app/search_tracker.h"

namespace korvante {

SearchTracker::Request SearchTracker::Ask(ConnectionMode mode, bool fresh) {
  const std::size_t i = Index(mode);
  if (!running_[i]) return Request::kStart;
  if (fresh) again_[i] = true;
  return Request::kJoin;
}

void SearchTracker::Started(ConnectionMode mode, std::int32_t generation) {
  const std::size_t i = Index(mode);
  running_[i] = true;
  again_[i] = false;
  latest_[i] = generation;
}

void SearchTracker::Abandoned(ConnectionMode mode) {
  running_[Index(mode)] = false;
  again_[Index(mode)] = false;
}

SearchTracker::ResultUse SearchTracker::Finished(ConnectionMode mode, std::int32_t generation,
                                                 ConnectionMode shownMode) {
  const std::size_t i = Index(mode);
  if (generation != latest_[i]) return ResultUse::kDrop;
  running_[i] = false;
  const bool shown = Index(shownMode) == i;
  if (again_[i]) {
    again_[i] = false;
    // Left for the other mode: coming back searches anyway.
    return shown ? ResultUse::kSearchAgain : ResultUse::kDrop;
  }
  return shown ? ResultUse::kApply : ResultUse::kDrop;
}

}  // namespace korvante
