// The discovery sockets: bind each, broadcast the request from it, then let
// the portable loop listen on all of them at once.
#include <winsock2.h>

#include <vector>

#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "core/sockets_win32.h"

namespace korvante {

namespace {

class WinsockDatagramSockets final : public DatagramSockets {
 public:
  explicit WinsockDatagramSockets(const std::vector<SocketOwner>& sockets) : sockets_(sockets) {}

  std::vector<std::size_t> WaitReadable(std::chrono::milliseconds limit) override {
    // FD_SETSIZE is 64 on Windows: far more than a computer's networks.
    fd_set set;
    FD_ZERO(&set);
    for (const SocketOwner& s : sockets_) FD_SET(s.get(), &set);
    timeval wait = SelectLimit(limit);
    if (select(0, &set, nullptr, nullptr, &wait) <= 0) return {};
    std::vector<std::size_t> readable;
    for (std::size_t i = 0; i < sockets_.size(); ++i) {
      if (FD_ISSET(sockets_[i].get(), &set)) readable.push_back(i);
    }
    return readable;
  }

  std::optional<std::size_t> Receive(std::size_t index, std::span<std::uint8_t> buffer) override {
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int n = recvfrom(sockets_[index].get(), reinterpret_cast<char*>(buffer.data()),
                           static_cast<int>(buffer.size()), 0, reinterpret_cast<sockaddr*>(&from),
                           &fromLength);
    if (n < 0) return std::nullopt;
    return static_cast<std::size_t>(n);
  }

 private:
  const std::vector<SocketOwner>& sockets_;
};

// A socket of the plan, bound to its address on port 9000 when it can: the
// printers answer the sender's port, so any free port works too. A socket
// that cannot be bound to its adapter's address at all is left out: its
// broadcasts would leave through the wrong adapter.
SocketOwner OpenDiscoverySocket(const DiscoverySocketPlan& plan) {
  SocketOwner s = OpenBroadcastSocket();
  if (!s) return s;
  // Lets two overlapping refreshes, and the wildcard socket beside the bound
  // ones of this run, all hold port 9000.
  const BOOL on = TRUE;
  setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
  const bool wildcard = plan.bindIp == kAnyAddress;
  if (BindUdp(s.get(), plan.bindIp, kDiscoveryPort)) return s;
  if (!BindUdp(s.get(), plan.bindIp, 0) && !wildcard) return SocketOwner();
  return s;
}

}  // namespace

std::vector<NetworkPrinter> DiscoverEveryNetwork(const std::vector<NetworkProfile>& profiles,
                                                 std::uint32_t listenMs) {
  const std::vector<DiscoverySocketPlan> plan = PlanDiscoverySockets(profiles);
  std::vector<SocketOwner> sockets;
  std::vector<const DiscoverySocketPlan*> opened;
  std::vector<std::string> heardOn;
  for (const DiscoverySocketPlan& entry : plan) {
    SocketOwner s = OpenDiscoverySocket(entry);
    if (!s) continue;
    sockets.push_back(std::move(s));
    opened.push_back(&entry);
    heardOn.push_back(entry.heardOn);
  }
  if (sockets.empty()) return {};

  const std::vector<std::uint8_t> request = DiscoveryRequest();
  for (std::size_t i = 0; i < sockets.size(); ++i) {
    for (const std::string& target : opened[i]->targets) {
      SendDatagram(sockets[i].get(), target, kDiscoveryPort, request);
    }
  }

  WinsockDatagramSockets source(sockets);
  return CollectReplies(source, heardOn, listenMs);
}

}  // namespace korvante
