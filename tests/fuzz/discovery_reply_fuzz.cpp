// Datagrams from anything on the LAN: the reply parser, the one-record-per-MAC
// collector and the listening loop with its 512-byte receive buffer.
//
// Input: the datagrams of one discovery run, separated by "NEXT"; the whole
// input is also parsed as one datagram.
#include <algorithm>
#include <chrono>
#include <map>
#include <string>

#include "discovery/udp_discovery.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

// The reply as the protocol lays it out, read without the tool's code: the
// first "XP0001FOUND", then 23 bytes up to the trailing byte.
std::optional<NetworkPrinter> ExpectedReply(std::string_view datagram) {
  const std::size_t m = datagram.find("XP0001FOUND");
  if (m == std::string_view::npos || datagram.size() < m + 34) return std::nullopt;
  auto at = [&](std::size_t offset) { return static_cast<unsigned char>(datagram[m + offset]); };
  NetworkPrinter p;
  char mac[18];
  std::snprintf(mac, sizeof mac, "%02X-%02X-%02X-%02X-%02X-%02X", at(11), at(12), at(13), at(14),
                at(15), at(16));
  p.mac = mac;
  p.deviceBytes = {at(17), at(18)};
  auto quad = [&](std::size_t o) {
    return std::to_string(at(o)) + "." + std::to_string(at(o + 1)) + "." +
           std::to_string(at(o + 2)) + "." + std::to_string(at(o + 3));
  };
  p.ip = quad(19);
  p.mask = quad(23);
  p.gateway = quad(27);
  const int port = at(31) | (at(32) << 8);
  p.port = port == 0 ? 9100 : port;
  p.foundByUdp = true;
  return p;
}

std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

void CheckRecord(const NetworkPrinter& p) {
  KV_FUZZ_CHECK(p.mac.size() == 17);
  for (std::size_t i = 0; i < p.mac.size(); ++i) {
    KV_FUZZ_CHECK(i % 3 == 2 ? p.mac[i] == '-' : IsUpperHex(p.mac[i]));
  }
  KV_FUZZ_CHECK(p.port > 0 && p.port <= 0xFFFF);
  KV_FUZZ_CHECK(Ipv4Bytes(p.ip) && Ipv4Bytes(p.mask) && Ipv4Bytes(p.gateway));
  KV_FUZZ_CHECK(p.foundByUdp);
}

// What a run must return: the first reply of every MAC, in numeric address
// order. Records of one address may come in any order, so both sides are
// compared sorted by address and MAC.
std::vector<NetworkPrinter> ExpectedRun(const std::vector<std::string_view>& datagrams,
                                        std::size_t maxLength) {
  std::map<std::string, NetworkPrinter> firstByMac;
  for (std::string_view d : datagrams) {
    if (d.size() > maxLength) continue;
    if (auto p = ExpectedReply(d)) firstByMac.try_emplace(p->mac, *p);
  }
  std::vector<NetworkPrinter> out;
  for (auto& [mac, p] : firstByMac) out.push_back(p);
  return out;
}

bool ByAddressThenMac(const NetworkPrinter& a, const NetworkPrinter& b) {
  const auto ka = Ipv4ToHost(a.ip), kb = Ipv4ToHost(b.ip);
  return ka != kb ? ka < kb : a.mac < b.mac;
}

void CheckRun(std::vector<NetworkPrinter> got, std::vector<NetworkPrinter> expected) {
  KV_FUZZ_CHECK(std::is_sorted(got.begin(), got.end(), NumericAddressLess));
  std::sort(got.begin(), got.end(), ByAddressThenMac);
  std::sort(expected.begin(), expected.end(), ByAddressThenMac);
  KV_FUZZ_CHECK(got == expected);
}

// A socket that delivers the datagrams in order; one larger than the buffer
// fails to arrive, as a datagram socket reports it. The fake clock stands
// still while datagrams arrive and runs out once all are delivered.
class ScriptedSource : public DatagramSockets {
 public:
  explicit ScriptedSource(const std::vector<std::string_view>& datagrams) : datagrams_(datagrams) {}
  std::vector<std::size_t> WaitReadable(std::chrono::milliseconds) override {
    if (next_ < datagrams_.size()) return {0};
    clock += std::chrono::hours(1);
    return {};
  }
  std::optional<std::size_t> Receive(std::size_t index, std::span<std::uint8_t> buffer) override {
    KV_FUZZ_CHECK(index == 0 && buffer.size() == kDiscoveryReceiveBytes);
    const std::string_view d = datagrams_[next_++];
    if (d.size() > buffer.size()) return std::nullopt;
    std::copy(d.begin(), d.end(), buffer.begin());
    return d.size();
  }
  MonotonicClock::time_point clock{};

 private:
  const std::vector<std::string_view>& datagrams_;
  std::size_t next_ = 0;
};

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::string_view input = AsText(data, size);

  const std::optional<NetworkPrinter> parsed = ParseDiscoveryReply(BytesOf(input));
  KV_FUZZ_CHECK(parsed == ExpectedReply(input));
  if (parsed) CheckRecord(*parsed);

  const std::vector<std::string_view> datagrams = Split(input, "NEXT");
  ReplyCollector collector;
  for (std::string_view d : datagrams) collector.Add(BytesOf(d));
  CheckRun(collector.Take(), ExpectedRun(datagrams, SIZE_MAX));

  ScriptedSource source(datagrams);
  const auto listened =
      CollectReplies(source, {""}, kRefreshListenMs, [&] { return source.clock; });
  CheckRun(listened, ExpectedRun(datagrams, kDiscoveryReceiveBytes));
  return 0;
}
