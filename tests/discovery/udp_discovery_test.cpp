#include "discovery/udp_discovery.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/core/bytes.h"

namespace korvante {
namespace {

// "XP0001FOUND" + MAC 00 1A 2B 3C 4D 5E + device 22 00 + 192.168.1.100 +
// 255.255.255.0 + 192.168.1.1 + port 8C 23 + trailer 00.
const char* const kMarker = "58 50 30 30 30 31 46 4F 55 4E 44";
std::vector<std::uint8_t> Reply(const std::string& port = "8C 23",
                                const std::string& mac = "00 1A 2B 3C 4D 5E",
                                const std::string& ip = "C0 A8 01 64") {
  return HexBytes(std::string(kMarker) + " " + mac + " 22 00 " + ip + " FF FF FF 00 C0 A8 01 01 " +
                  port + " 00");
}

TEST(DiscoveryWire, RequestIsTheTenAsciiBytes) {
  EXPECT_EQ(DiscoveryRequest(), HexBytes("58 50 30 30 30 31 46 49 4E 44"));
}

TEST(DiscoveryWire, ReplyFillsEveryField) {
  const auto printer = ParseDiscoveryReply(Reply());
  ASSERT_TRUE(printer);
  EXPECT_EQ(printer->mac, "00-1A-2B-3C-4D-5E");
  EXPECT_EQ(printer->deviceBytes[0], 0x22);
  EXPECT_EQ(printer->deviceBytes[1], 0x00);
  EXPECT_EQ(printer->ip, "192.168.1.100");
  EXPECT_EQ(printer->mask, "255.255.255.0");
  EXPECT_EQ(printer->gateway, "192.168.1.1");
  EXPECT_EQ(printer->port, 9100);
  EXPECT_TRUE(printer->foundByUdp);

  const auto other =
      ParseDiscoveryReply(HexBytes(std::string(kMarker) +
                                   " AB CD EF 01 02 FF 31 07 0A 00 00 FE FF FF 00 00 0A 00 00 01 "
                                   "28 23 77"));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->mac, "AB-CD-EF-01-02-FF");
  EXPECT_EQ(other->deviceBytes[0], 0x31);
  EXPECT_EQ(other->deviceBytes[1], 0x07);
  EXPECT_EQ(other->ip, "10.0.0.254");
  EXPECT_EQ(other->mask, "255.255.0.0");
  EXPECT_EQ(other->gateway, "10.0.0.1");
  EXPECT_EQ(other->port, 9000);
}

TEST(DiscoveryWire, PortBytesAreLittleEndianAndZeroMeans9100) {
  struct Case {
    const char* portBytes;
    int port;
  };
  const Case cases[] = {
      {"8C 23", 9100}, {"00 00", 9100}, {"50 00", 80}, {"FF FF", 65535}, {"00 01", 256}};
  for (const Case& c : cases) {
    const auto printer = ParseDiscoveryReply(Reply(c.portBytes));
    ASSERT_TRUE(printer) << c.portBytes;
    EXPECT_EQ(printer->port, c.port) << c.portBytes;
  }
}

TEST(DiscoveryWire, MarkerAnywhereAndLengthRule) {
  std::vector<std::uint8_t> full = Reply();
  std::vector<std::uint8_t> leading = HexBytes("01 02 58 50");
  leading.insert(leading.end(), full.begin(), full.end());
  const auto shifted = ParseDiscoveryReply(leading);
  ASSERT_TRUE(shifted);
  EXPECT_EQ(*shifted, *ParseDiscoveryReply(full));

  std::vector<std::uint8_t> longer = full;
  longer.insert(longer.end(), {0xAA, 0xBB});
  EXPECT_TRUE(ParseDiscoveryReply(longer));

  std::vector<std::uint8_t> cut = full;
  cut.pop_back();  // ends right after the port: 33 bytes from the marker on
  EXPECT_FALSE(ParseDiscoveryReply(cut));
  EXPECT_FALSE(ParseDiscoveryReply(HexBytes("58 50 30 30 30 31 46 49 4E 44")));  // own request
  EXPECT_FALSE(ParseDiscoveryReply({}));
  std::vector<std::uint8_t> lowercase = full;
  lowercase[10] = 0x64;  // "XP0001FOUNd"
  EXPECT_FALSE(ParseDiscoveryReply(lowercase));
  // A marker cut short at the end of a buffer of zeros.
  std::vector<std::uint8_t> padded(512, 0);
  std::copy(full.begin(), full.begin() + 11, padded.end() - 11);
  EXPECT_FALSE(ParseDiscoveryReply(padded));
}

TEST(DiscoveryWire, CollectorKeepsFirstReplyPerMacAndSortsNumerically) {
  ReplyCollector collector;
  collector.Add(Reply("8C 23", "00 00 00 00 00 0A", "C0 A8 01 0A"));  // .10
  collector.Add(Reply("8C 23", "00 00 00 00 00 09", "C0 A8 01 09"));  // .9
  collector.Add(Reply("8C 23", "00 00 00 00 00 0A", "C0 A8 01 0B"));  // .10 again, moved
  collector.Add(Reply("8C 23", "00 00 00 00 00 32", "C0 A8 01 32"));  // .50
  collector.Add(Reply("8C 23", "00 00 00 00 00 33", "C0 A8 01 32"));  // another MAC on .50
  const auto printers = collector.Take();
  ASSERT_EQ(printers.size(), 4u);
  EXPECT_EQ(printers[0].ip, "192.168.1.9");
  EXPECT_EQ(printers[1].ip, "192.168.1.10");
  EXPECT_EQ(printers[1].mac, "00-00-00-00-00-0A");
  EXPECT_EQ(printers[2].ip, "192.168.1.50");
  EXPECT_EQ(printers[3].ip, "192.168.1.50");
  EXPECT_NE(printers[2].mac, printers[3].mac);
}

// One scripted socket on a fake monotonic clock: each wait advances the clock
// by its step and delivers the next datagram, if any.
class ScriptedSource final : public DatagramSockets {
 public:
  struct Step {
    std::chrono::milliseconds elapsed;
    std::optional<std::vector<std::uint8_t>> datagram;  // nullopt: time-out
  };
  ScriptedSource(MonotonicClock::time_point& now, std::deque<Step> steps)
      : now_(now), steps_(std::move(steps)) {}

  std::vector<std::size_t> WaitReadable(std::chrono::milliseconds limit) override {
    ++waits;
    EXPECT_LE(limit, std::chrono::milliseconds(180));
    EXPECT_GT(limit, std::chrono::milliseconds(0));
    if (steps_.empty()) {
      now_ += limit;
      return {};
    }
    now_ += steps_.front().elapsed;
    if (!steps_.front().datagram) {
      steps_.pop_front();
      return {};
    }
    return {0};
  }
  std::optional<std::size_t> Receive(std::size_t index, std::span<std::uint8_t> buffer) override {
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(buffer.size(), 512u);
    for (std::uint8_t b : buffer) EXPECT_EQ(b, 0) << "buffer not cleared";
    const auto datagram = std::move(*steps_.front().datagram);
    steps_.pop_front();
    if (datagram.size() > buffer.size()) return std::nullopt;
    std::copy(datagram.begin(), datagram.end(), buffer.begin());
    return datagram.size();
  }
  int waits = 0;

 private:
  MonotonicClock::time_point& now_;
  std::deque<Step> steps_;
};

TEST(DiscoveryListen, ListensForTheWholeTimeAndCollects) {
  using std::chrono::milliseconds;
  MonotonicClock::time_point now{};
  const auto start = now;
  ScriptedSource source(now, {
                                 {milliseconds(5), HexBytes("58 50 30 30 30 31 46 49 4E 44")},
                                 {milliseconds(5), Reply()},
                                 {milliseconds(5), std::vector<std::uint8_t>(600, 0x41)},
                                 {milliseconds(180), std::nullopt},
                                 {milliseconds(10), Reply()},
                             });
  const auto printers = CollectReplies(source, {""}, 900, [&] { return now; });
  ASSERT_EQ(printers.size(), 1u);
  EXPECT_EQ(printers[0].ip, "192.168.1.100");
  // No early exit after the first reply: the loop runs to the deadline, and
  // its last wait ends there.
  EXPECT_EQ(now - start, milliseconds(900));
}

TEST(DiscoveryListen, NothingAnsweringReturnsEmptyAfterTheListeningTime) {
  MonotonicClock::time_point now{};
  ScriptedSource source(now, {});
  EXPECT_TRUE(CollectReplies(source, {""}, 900, [&] { return now; }).empty());
  EXPECT_EQ(source.waits, 5);  // 5 x 180 ms reach 900 ms
  ScriptedSource none(now, {});
  EXPECT_TRUE(CollectReplies(none, {""}, 0, [&] { return now; }).empty());
  EXPECT_EQ(none.waits, 0);
}

}  // namespace
}  // namespace korvante
