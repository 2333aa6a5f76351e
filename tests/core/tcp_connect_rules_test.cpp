// The SYN retransmissions that a connect limit has room for.
#include "core/tcp_connect_rules.h"

#include <gtest/gtest.h>

namespace korvante {
namespace {

TEST(TcpConnectRules, KeepsTheSynRetransmissionsInsideTheLimit) {
  // Retransmissions at 1 s, 3 s, 7 s, 15 s after the SYN.
  struct Case {
    unsigned limitMs;
    unsigned count;
  };
  const Case cases[] = {{0, 0},    {300, 0},   {420, 0},   {999, 0},         {1000, 0},
                        {1001, 1}, {1400, 1},  {3000, 1},  {3001, 2},        {7000, 2},
                        {7001, 3}, {15001, 4}, {60000, 5}, {4294967295u, 22}};
  for (const Case& c : cases) EXPECT_EQ(SynRetransmissionsWithin(c.limitMs), c.count) << c.limitMs;
}

}  // namespace
}  // namespace korvante
