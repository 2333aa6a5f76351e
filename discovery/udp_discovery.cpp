#include "discovery/udp_discovery.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "discovery/network_profiles.h"

namespace korvante {

namespace {

constexpr std::string_view kRequestMarker = "XP0001FIND";
constexpr std::string_view kReplyMarker = "XP0001FOUND";
// Marker, MAC 6, device bytes 2, address 4, mask 4, gateway 4, port 2, trailer 1.
constexpr std::size_t kReplyLength = 11 + 6 + 2 + 4 + 4 + 4 + 2 + 1;

// Reads fixed-size fields of a reply in order. The caller checks the whole
// length once, so every read here is in bounds.
class ReplyReader {
 public:
  explicit ReplyReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t Byte() { return bytes_[at_++]; }
  std::string Mac() {
    const std::string text = FormatMac(bytes_.subspan(at_, 6));
    at_ += 6;
    return text;
  }
  std::string Ipv4() { return FormatIpv4({Byte(), Byte(), Byte(), Byte()}); }
  std::uint16_t LittleEndian16() {
    const unsigned low = Byte();
    const unsigned high = Byte();
    return static_cast<std::uint16_t>(low | (high << 8));
  }
  void Skip(std::size_t n) { at_ += n; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::vector<std::uint8_t> DiscoveryRequest() {
  return std::vector<std::uint8_t>(kRequestMarker.begin(), kRequestMarker.end());
}

std::optional<NetworkPrinter> ParseDiscoveryReply(std::span<const std::uint8_t> datagram) {
  const auto found = std::search(
      datagram.begin(), datagram.end(), kReplyMarker.begin(), kReplyMarker.end(),
      [](std::uint8_t byte, char marker) { return byte == static_cast<std::uint8_t>(marker); });
  if (found == datagram.end()) return std::nullopt;
  const auto reply = datagram.subspan(static_cast<std::size_t>(found - datagram.begin()));
  if (reply.size() < kReplyLength) return std::nullopt;

  ReplyReader in(reply);
  NetworkPrinter printer;
  in.Skip(kReplyMarker.size());                    // [0:11) marker
  printer.mac = in.Mac();                          // [11:17) MAC, first byte first
  printer.deviceBytes[0] = in.Byte();              // [17] first device byte
  printer.deviceBytes[1] = in.Byte();              // [18] second device byte
  printer.ip = in.Ipv4();                          // [19:23) address
  printer.mask = in.Ipv4();                        // [23:27) mask
  printer.gateway = in.Ipv4();                     // [27:31) gateway
  const std::uint16_t port = in.LittleEndian16();  // [31:33) port, low byte first
  printer.port = port == 0 ? kPrinterPort : port;
  // [33] trailing byte: required, not interpreted.
  printer.foundByUdp = true;
  return printer;
}

void ReplyCollector::Add(std::span<const std::uint8_t> datagram, const std::string& heardOn) {
  std::optional<NetworkPrinter> printer = ParseDiscoveryReply(datagram);
  if (!printer) return;
  if (!seen_.insert(printer->mac).second) return;
  printer->localIp = heardOn;
  printers_.push_back(std::move(*printer));
}

std::vector<NetworkPrinter> ReplyCollector::Take() {
  std::vector<NetworkPrinter> printers = std::move(printers_);
  printers_.clear();
  seen_.clear();
  SortByNumericAddress(printers);
  return printers;
}

bool BindsEveryNetwork(const std::vector<NetworkProfile>& profiles) {
  std::set<std::uint32_t> addresses;
  for (const NetworkProfile& profile : profiles) {
    if (const std::uint32_t address = Ipv4ToHost(profile.ip); address != 0) {
      addresses.insert(address);
    }
  }
  return addresses.size() > 1;
}

std::vector<DiscoverySocketPlan> PlanDiscoverySockets(const std::vector<NetworkProfile>& profiles) {
  const NetworkProfile chosen = ChooseProfile(profiles);
  const bool bound = BindsEveryNetwork(profiles) && Ipv4ToHost(chosen.ip) != 0;
  std::vector<DiscoverySocketPlan> plan{
      {bound ? chosen.ip : kAnyAddress, BroadcastTargets(chosen), chosen.ip}};
  for (const NetworkProfile& profile : profiles) {
    // An address that does not parse cannot be bound; one already planned
    // (two profiles of one address) would only ask the same network twice.
    if (Ipv4ToHost(profile.ip) == 0) continue;
    const bool planned = std::any_of(plan.begin(), plan.end(), [&](const DiscoverySocketPlan& s) {
      return s.heardOn == profile.ip;
    });
    if (!planned) plan.push_back({profile.ip, BroadcastTargets(profile), profile.ip});
  }
  return plan;
}

std::vector<NetworkPrinter> CollectReplies(DatagramSockets& sockets,
                                           const std::vector<std::string>& heardOn,
                                           std::uint32_t listenMs, const ClockNow& now) {
  ReplyCollector collector;
  std::array<std::uint8_t, kDiscoveryReceiveBytes> buffer;
  const MonotonicClock::time_point deadline = now() + std::chrono::milliseconds(listenMs);
  while (now() < deadline) {
    // The last wait ends with the listening time rather than up to a whole
    // poll after it: a refresh's list comes that much sooner.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
    for (const std::size_t index : sockets.WaitReadable(std::min(kDiscoveryPoll, left))) {
      if (index >= heardOn.size()) continue;
      buffer.fill(0);
      const std::optional<std::size_t> length = sockets.Receive(index, buffer);
      if (!length) continue;
      collector.Add(std::span<const std::uint8_t>(buffer.data(), *length), heardOn[index]);
    }
  }
  return collector.Take();
}

std::optional<NetworkPrinter> WaitForReplyOf(DatagramSource& source, const std::string& mac,
                                             std::uint32_t listenMs, const ClockNow& now) {
  std::array<std::uint8_t, kDiscoveryReceiveBytes> buffer;
  const MonotonicClock::time_point deadline = now() + std::chrono::milliseconds(listenMs);
  for (MonotonicClock::time_point at = now(); at < deadline; at = now()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - at);
    if (!source.WaitReadable(std::min(left, kDiscoveryPoll))) continue;
    buffer.fill(0);
    const std::optional<std::size_t> length = source.Receive(buffer);
    if (!length) continue;
    std::optional<NetworkPrinter> printer =
        ParseDiscoveryReply(std::span<const std::uint8_t>(buffer.data(), *length));
    if (printer && printer->mac == mac) return printer;
  }
  return std::nullopt;
}

}  // namespace korvante
