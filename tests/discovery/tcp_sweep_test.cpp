// The sweep's rules and its scheduler against a fake network with a clock of
// its own; this executable also runs under ThreadSanitizer.
#include "discovery/tcp_sweep.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "discovery/sweep_scheduler.h"
#include "tests/core/bytes.h"
#include "tests/discovery/fake_sweep_network.h"

namespace korvante {
namespace {

TEST(SweepRules, PrinterReplyBytes) {
  int qualifying = 0;
  for (int b = 0; b < 256; ++b) {
    if (IsPrinterReplyByte(static_cast<std::uint8_t>(b))) ++qualifying;
  }
  EXPECT_EQ(qualifying, 132);
  for (int b : {0x00, 0x03, 0x20, 0x22, 0x10, 0x12, 0x16, 0x1F, 0xFF, 0x30}) {
    EXPECT_TRUE(IsPrinterReplyByte(static_cast<std::uint8_t>(b))) << b;
  }
  for (int b : {0x01, 0x02, 0x04, 0x21, 0x23, 0x41, 0x42, 0x0F, 0xEF}) {
    EXPECT_FALSE(IsPrinterReplyByte(static_cast<std::uint8_t>(b))) << b;
  }
  EXPECT_FALSE(ContainsPrinterReply(HexBytes("41 42")));
  EXPECT_TRUE(ContainsPrinterReply(HexBytes("41 42 12")));
  EXPECT_FALSE(ContainsPrinterReply({}));
}

TEST(SweepRules, HostsAreTheFirstThreeOctetsOneTo254WithoutOwnAddress) {
  NetworkProfile p;
  p.ip = "192.168.1.25";
  p.mask = "255.255.0.0";
  const auto hosts = SweepHosts(p);
  ASSERT_EQ(hosts.size(), 253u);
  EXPECT_EQ(hosts.front(), "192.168.1.1");
  EXPECT_EQ(hosts.back(), "192.168.1.254");
  EXPECT_EQ(std::count(hosts.begin(), hosts.end(), "192.168.1.25"), 0);
  EXPECT_EQ(std::count(hosts.begin(), hosts.end(), "192.168.1.255"), 0);
  for (const auto& h : hosts) EXPECT_EQ(h.rfind("192.168.1.", 0), 0u) << h;
}

using testing::FakeHost;
using testing::FakeSweepNetwork;
using Tcp = FakeHost::Tcp;

const std::vector<std::uint8_t> kAllRequests = HexBytes("10 04 01 10 04 02 10 04 04");

std::vector<std::uint8_t> FirstRequests(int n) {
  return {kAllRequests.begin(), kAllRequests.begin() + 3 * n};
}

FakeHost Accepts(std::map<int, std::vector<std::uint8_t>> answers = {}) {
  FakeHost host;
  host.tcp = Tcp::kAccepts;
  host.answers = std::move(answers);
  return host;
}

NetworkProfile Profile(const char* ip) {
  NetworkProfile p;
  p.ip = ip;
  return p;
}

// One /24 whose hosts each behave differently, swept at once: each answer
// decides by the reply-byte rule, and each host costs only its own limits.
TEST(SweepAtOnce, EachHostIsDecidedByItsAnswersWithinItsOwnLimits) {
  using std::chrono::milliseconds;
  struct Case {
    const char* what;
    int host;
    FakeHost script;
    bool printer;
    int requests;       // status requests the host received
    milliseconds held;  // from its connect to the close of its socket
  };
  FakeHost closes = Accepts();
  closes.closesAtOnce = true;
  FakeHost refuses;
  refuses.tcp = Tcp::kRefuses;
  refuses.connectAfter = milliseconds(3);
  FakeHost unreachable;
  unreachable.tcp = Tcp::kUnreachable;
  FakeHost slow = Accepts({{1, HexBytes("12")}});
  slow.connectAfter = milliseconds(419);
  // The rest of an answer longer than one read is read at the next request.
  std::vector<std::uint8_t> seventeen(16, 0x41);
  seventeen.push_back(0x12);
  const Case cases[] = {
      {"0x12 to the first", 10, Accepts({{1, HexBytes("12")}}), true, 1, milliseconds(1 + 2)},
      {"0x16 only to the third", 3, Accepts({{3, HexBytes("16")}}), true, 3,
       milliseconds(1 + 180 + 180 + 2)},
      {"a single 00 to the second", 9, Accepts({{2, HexBytes("00")}}), true, 2,
       milliseconds(1 + 180 + 2)},
      {"41 42 to every one", 31,
       Accepts({{1, HexBytes("41 42")}, {2, HexBytes("41 42")}, {3, HexBytes("41 42")}}), false, 3,
       milliseconds(1 + 3 * 2)},
      {"16 letters, then 12", 40, Accepts({{1, seventeen}}), true, 2, milliseconds(1 + 2)},
      {"accepts and stays silent", 30, Accepts(), false, 3, milliseconds(1 + 3 * 180)},
      {"accepts just inside the limit", 200, slow, true, 1, milliseconds(419 + 2)},
      {"closes the connection at once", 41, closes, false, 3, milliseconds(1)},
      {"refuses", 20, refuses, false, 0, milliseconds(3)},
      {"unreachable", 21, unreachable, false, 0, milliseconds(0)},
      {"nobody there", 100, FakeHost{}, false, 0, milliseconds(420)},
  };
  std::map<std::string, FakeHost> scripts;
  for (const Case& c : cases) scripts["10.0.0." + std::to_string(c.host)] = c.script;
  FakeSweepNetwork network(scripts);
  ConnectBudget budget(kSweepSocketsInFlight);

  const auto found = SweepAtOnce(Profile("10.0.0.2"), network, budget);

  EXPECT_EQ(network.misuse, "");
  for (const Case& c : cases) {
    const auto& record = network.records["10.0.0." + std::to_string(c.host)];
    EXPECT_EQ(record.received, FirstRequests(c.requests)) << c.what;
    EXPECT_EQ(record.Held(), c.held) << c.what;
  }
  std::vector<std::string> ips;
  for (const NetworkPrinter& p : found) {
    ips.push_back(p.ip);
    NetworkPrinter addressOnly;  // a sweep record knows only its address
    addressOnly.ip = p.ip;
    EXPECT_EQ(p, addressOnly);
  }
  EXPECT_EQ(ips, (std::vector<std::string>{"10.0.0.3", "10.0.0.9", "10.0.0.10", "10.0.0.40",
                                           "10.0.0.200"}));
  // Every host once, all at once, never the computer itself; the sweep ends
  // with its slowest host: a silent one, 1 + 3 x 180 ms after the start.
  EXPECT_EQ(network.records.size(), 253u);
  for (const auto& [ip, record] : network.records) EXPECT_EQ(record.connects, 1) << ip;
  EXPECT_EQ(network.records.count("10.0.0.2"), 0u);
  EXPECT_EQ(network.peakOpen, 252);  // every host but the unreachable one
  EXPECT_EQ(network.OpenNow(), 0);
  EXPECT_EQ(network.Now(), std::chrono::milliseconds(541));
}

// However few sockets the budget allows, every host is tried once, no more
// sockets are open than it allows, and a silent /24 costs one connect limit
// per full budget of hosts.
TEST(SweepAtOnce, TheBudgetBoundsOpenSocketsAndEveryHostIsStillTried) {
  struct Case {
    std::size_t budget;
    int peak;
    int limits;  // connect limits one after the other
  };
  for (const Case& c : {Case{1, 1, 253}, Case{100, 100, 3}, Case{253, 253, 1}, Case{0, 1, 253},
                        Case{kSweepSocketsInFlight, 253, 1}}) {
    FakeSweepNetwork network({});
    ConnectBudget budget(c.budget);
    EXPECT_TRUE(SweepAtOnce(Profile("192.168.7.1"), network, budget).empty());
    EXPECT_EQ(network.misuse, "") << c.budget;
    EXPECT_EQ(network.records.size(), 253u) << c.budget;
    for (const auto& [ip, record] : network.records) EXPECT_EQ(record.connects, 1) << ip;
    EXPECT_EQ(network.peakOpen, c.peak) << c.budget;
    EXPECT_EQ(network.Now(), std::chrono::milliseconds(420) * c.limits) << c.budget;
  }
}

// Networks swept side by side on their own threads share one budget: the
// sockets open over all of them never pass it, and each network is covered.
TEST(SweepAtOnce, SweepsSideBySideShareOneBudget) {
  constexpr int kBudget = 300;
  ConnectBudget budget(kBudget);
  std::atomic<int> open{0};
  std::vector<std::unique_ptr<FakeSweepNetwork>> networks;
  std::vector<std::vector<NetworkPrinter>> found(3);
  const char* const own[] = {"10.1.0.2", "10.2.0.2", "10.3.0.2"};
  for (const char* ip : own) {
    const std::string printer = NetworkPrefix(ip) + ".77";
    networks.push_back(std::make_unique<FakeSweepNetwork>(
        std::map<std::string, FakeHost>{{printer, Accepts({{1, HexBytes("12")}})}}, &open));
  }
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < networks.size(); ++i) {
    threads.emplace_back([&, i] { found[i] = SweepAtOnce(Profile(own[i]), *networks[i], budget); });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < networks.size(); ++i) {
    EXPECT_EQ(networks[i]->misuse, "");
    EXPECT_EQ(networks[i]->records.size(), 253u);
    EXPECT_LE(networks[i]->peakAcrossSweeps, kBudget);
    ASSERT_EQ(found[i].size(), 1u);
    EXPECT_EQ(found[i][0].ip, NetworkPrefix(own[i]) + ".77");
  }
  EXPECT_EQ(open.load(), 0);
}

}  // namespace
}  // namespace korvante
