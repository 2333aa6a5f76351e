// The sweep's threading and probe rules with fake hosts; this executable also
// runs under ThreadSanitizer.
#include "discovery/tcp_sweep.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "tests/commands/bytes.h"

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

// A host answering each status request from a table; records what was sent.
class ScriptedHost final : public StatusChannel {
 public:
  explicit ScriptedHost(std::map<int, std::vector<std::uint8_t>> answers)
      : answers_(std::move(answers)) {}
  void Send(std::span<const std::uint8_t> b) override {
    sent.insert(sent.end(), b.begin(), b.end());
    ++requests;
  }
  std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds wait,
                                                   std::size_t maxBytes) override {
    EXPECT_EQ(wait, std::chrono::milliseconds(180));
    EXPECT_EQ(maxBytes, 16u);
    const auto it = answers_.find(requests);
    if (it == answers_.end()) return std::nullopt;
    return it->second;
  }
  std::vector<std::uint8_t> sent;
  int requests = 0;

 private:
  std::map<int, std::vector<std::uint8_t>> answers_;
};

TEST(SweepRules, StatusProbeSequence) {
  struct Case {
    const char* what;
    std::map<int, std::vector<std::uint8_t>> answers;
    bool printer;
    int requests;
  };
  const Case cases[] = {
      {"0x12 to the first", {{1, HexBytes("12")}}, true, 1},
      {"0x16 only to the third", {{3, HexBytes("16")}}, true, 3},
      {"41 42 to every one",
       {{1, HexBytes("41 42")}, {2, HexBytes("41 42")}, {3, HexBytes("41 42")}},
       false,
       3},
      {"a single 00", {{2, HexBytes("00")}}, true, 2},
      {"silent", {}, false, 3},
  };
  for (const Case& c : cases) {
    ScriptedHost host(c.answers);
    EXPECT_EQ(ProbeStatus(host), c.printer) << c.what;
    EXPECT_EQ(host.requests, c.requests) << c.what;
    const auto all = HexBytes("10 04 01 10 04 02 10 04 04");
    EXPECT_EQ(host.sent, std::vector<std::uint8_t>(all.begin(), all.begin() + 3 * c.requests))
        << c.what;
  }
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

TEST(SweepThreads, EveryHostProbedExactlyOnceAndResultInNumericOrder) {
  NetworkProfile p;
  p.ip = "10.0.0.9";
  std::mutex probedMutex;
  std::multiset<std::string> probed;
  std::atomic<int> running{0};
  std::atomic<int> peak{0};
  const std::set<std::string> printers{"10.0.0.10", "10.0.0.2", "10.0.0.254", "10.0.0.100"};

  const auto found = SweepNetwork(p, [&](const std::string& host) {
    const int now = ++running;
    int seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));  // a blocking connect
    {
      const std::lock_guard<std::mutex> lock(probedMutex);
      probed.insert(host);
    }
    --running;
    return printers.count(host) != 0;
  });

  EXPECT_EQ(probed.size(), 253u);
  for (const auto& host : probed) EXPECT_EQ(probed.count(host), 1u) << host;
  EXPECT_EQ(probed.count("10.0.0.9"), 0u);
  EXPECT_GT(peak.load(), 1);
  EXPECT_LE(peak.load(), 32);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].ip, "10.0.0.2");
  EXPECT_EQ(found[1].ip, "10.0.0.10");
  EXPECT_EQ(found[2].ip, "10.0.0.100");
  EXPECT_EQ(found[3].ip, "10.0.0.254");
  for (const auto& printer : found) {
    EXPECT_EQ(printer, [&] {
      NetworkPrinter expected;  // a sweep record carries only its address
      expected.ip = printer.ip;
      return expected;
    }());
    EXPECT_EQ(printer.port, 9100);
    EXPECT_FALSE(printer.foundByUdp);
  }
}

TEST(SweepThreads, AnyThreadCountCoversEveryHost) {
  NetworkProfile p;
  p.ip = "192.168.7.1";
  for (int threads : {0, 1, 3, 32, 300}) {
    std::atomic<int> calls{0};
    const auto found = SweepNetwork(
        p,
        [&](const std::string& host) {
          ++calls;
          return host == "192.168.7.9" || host == "192.168.7.200";
        },
        threads);
    EXPECT_EQ(calls.load(), 253) << threads;
    ASSERT_EQ(found.size(), 2u) << threads;
    EXPECT_EQ(found[0].ip, "192.168.7.9");
  }
}

}  // namespace
}  // namespace korvante
