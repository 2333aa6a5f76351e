// The searches of the printer list: one at a time for each connection mode,
// and the find button's caption, worked out from what runs.
//
// A LAN / Wi-Fi search holds UDP port 9000. Two at once would share the port
// (SO_REUSEADDR), and Windows hands each reply to one of the two sockets, which
// one it does not say: a reply caught by the search that the window then drops
// shortens the list, or sets off a needless sweep. So a request while a search
// of that mode runs joins it instead of starting another.
#pragma once

#include <array>
#include <cstdint>

#include "core/printer_records.h"

namespace korvante {

class SearchTracker {
 public:
  enum class Request { kStart, kJoin };
  enum class ResultUse { kApply, kDrop, kSearchAgain };

  // A request for a search of `mode`: start one, or join the one that runs.
  // With `fresh`, a running search began too early to be of use (before a
  // printer moved): the request joins it, and its result makes way for a
  // new search.
  Request Ask(ConnectionMode mode, bool fresh);
  // A search of `mode` started with `generation`.
  void Started(ConnectionMode mode, std::int32_t generation);
  // The search of `mode` could not start (no worker thread).
  void Abandoned(ConnectionMode mode);
  // The result of a search arrived while the window shows `shownMode`. Only
  // the latest search of its mode counts; it is applied when its mode is the
  // one shown, and makes way for another search when a fresh one was asked.
  ResultUse Finished(ConnectionMode mode, std::int32_t generation, ConnectionMode shownMode);

  bool Running(ConnectionMode mode) const { return running_[Index(mode)]; }

 private:
  static std::size_t Index(ConnectionMode mode) { return mode == kModeUsb ? 0 : 1; }
  std::array<bool, 2> running_{};
  std::array<bool, 2> again_{};
  // Generations count from 1: no result matches a mode never searched.
  std::array<std::int32_t, 2> latest_{-1, -1};
};

}  // namespace korvante
