// One search at a time for each mode.
#include "app/search_tracker.h"

#include <gtest/gtest.h>

namespace korvante {
namespace {

using Request = SearchTracker::Request;
using Use = SearchTracker::ResultUse;

TEST(SearchTracker, ARequestWhileASearchRunsJoinsIt) {
  SearchTracker searches;
  // A double click on "Tìm", or the LAN radio clicked while it searches.
  ASSERT_EQ(searches.Ask(kModeNetwork, false), Request::kStart);
  searches.Started(kModeNetwork, 1);
  EXPECT_EQ(searches.Ask(kModeNetwork, false), Request::kJoin);
  EXPECT_TRUE(searches.Running(kModeNetwork));
  EXPECT_FALSE(searches.Running(kModeUsb));
  EXPECT_EQ(searches.Finished(kModeNetwork, 1, kModeNetwork), Use::kApply);
  EXPECT_FALSE(searches.Running(kModeNetwork));
  EXPECT_EQ(searches.Ask(kModeNetwork, false), Request::kStart);

  // A quick USB / LAN toggle: the USB search starts, the way back joins the
  // LAN search that still runs, and only the shown mode's result counts.
  searches.Started(kModeNetwork, 2);
  ASSERT_EQ(searches.Ask(kModeUsb, false), Request::kStart);
  searches.Started(kModeUsb, 3);
  EXPECT_EQ(searches.Ask(kModeNetwork, false), Request::kJoin);
  EXPECT_EQ(searches.Finished(kModeUsb, 3, kModeNetwork), Use::kDrop);
  EXPECT_FALSE(searches.Running(kModeUsb));
  EXPECT_EQ(searches.Finished(kModeNetwork, 2, kModeNetwork), Use::kApply);

  // Results of an older search, or of a mode never searched, count for nothing.
  searches.Started(kModeNetwork, 4);
  EXPECT_EQ(searches.Finished(kModeNetwork, 2, kModeNetwork), Use::kDrop);
  EXPECT_TRUE(searches.Running(kModeNetwork));
  SearchTracker fresh;
  EXPECT_EQ(fresh.Finished(kModeNetwork, 0, kModeNetwork), Use::kDrop);
}

TEST(SearchTracker, AFreshRequestOutlivesTheSearchItJoins) {
  SearchTracker searches;
  searches.Started(kModeNetwork, 1);
  // A printer moved while the search ran: its list is out of date.
  EXPECT_EQ(searches.Ask(kModeNetwork, true), Request::kJoin);
  EXPECT_EQ(searches.Finished(kModeNetwork, 1, kModeNetwork), Use::kSearchAgain);
  EXPECT_EQ(searches.Ask(kModeNetwork, false), Request::kStart);
  searches.Started(kModeNetwork, 2);
  EXPECT_EQ(searches.Finished(kModeNetwork, 2, kModeNetwork), Use::kApply);

  // Left for USB meanwhile: nothing to search again for; coming back searches.
  searches.Started(kModeNetwork, 3);
  searches.Ask(kModeNetwork, true);
  EXPECT_EQ(searches.Finished(kModeNetwork, 3, kModeUsb), Use::kDrop);
  searches.Started(kModeNetwork, 4);
  EXPECT_EQ(searches.Finished(kModeNetwork, 4, kModeNetwork), Use::kApply);

  // A search that could not start runs no more.
  searches.Started(kModeUsb, 5);
  searches.Abandoned(kModeUsb);
  EXPECT_FALSE(searches.Running(kModeUsb));
  EXPECT_EQ(searches.Ask(kModeUsb, false), Request::kStart);
}

}  // namespace
}  // namespace korvante
