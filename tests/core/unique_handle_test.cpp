#include "core/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace korvante {
namespace {

// Handles are numbers, -1 is "none"; every close is recorded.
std::vector<int> closed;

struct FakeTraits {
  using Handle = int;
  static int None() { return -1; }
  static bool Held(int h) { return h != -1; }
  static void Close(int h) { closed.push_back(h); }
};
using FakeOwner = UniqueHandle<FakeTraits>;

TEST(UniqueHandle, ClosesWhatItHoldsExactlyOnce) {
  closed.clear();
  {
    FakeOwner none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), -1);
    FakeOwner owner(7);
    EXPECT_TRUE(owner);
    owner.reset(8);  // the old handle goes at once
    EXPECT_EQ(closed, std::vector<int>{7});
  }
  EXPECT_EQ(closed, (std::vector<int>{7, 8}));
}

TEST(UniqueHandle, MovingAndReleasingHandOverWithoutClosing) {
  closed.clear();
  {
    FakeOwner first(3);
    FakeOwner second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), 3);
    FakeOwner third(4);
    third = std::move(second);  // 4 closes, 3 moves on
    EXPECT_EQ(closed, std::vector<int>{4});
    EXPECT_EQ(third.release(), 3);
    EXPECT_FALSE(third);
  }
  EXPECT_EQ(closed, std::vector<int>{4});
}

}  // namespace
}  // namespace korvante
