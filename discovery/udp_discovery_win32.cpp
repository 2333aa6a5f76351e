// The discovery socket: broadcast the request, then let the portable loop
// listen on it.
#include <winsock2.h>

#include "discovery/udp_discovery.h"
#include "usb_transport/sockets_win32.h"

namespace korvante {

namespace {

class WinsockDatagramSource final : public DatagramSource {
 public:
  explicit WinsockDatagramSource(SOCKET s) : socket_(s) {}

  bool waitReadable(std::chrono::milliseconds limit) override {
    return WaitReadable(socket_, static_cast<unsigned>(limit.count()));
  }

  std::optional<std::size_t> receive(std::span<std::uint8_t> buffer) override {
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int n =
        recvfrom(socket_, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()),
                 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n < 0) return std::nullopt;
    return static_cast<std::size_t>(n);
  }

 private:
  SOCKET socket_;
};

}  // namespace

std::vector<NetworkPrinter> DiscoverUdp(const NetworkProfile& profile, std::uint32_t listenMs) {
  SocketOwner s = OpenBroadcastSocket();
  if (!s) return {};
  // Lets two overlapping refreshes both hold port 9000.
  const BOOL on = TRUE;
  setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);

  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kDiscoveryPort);
  if (bind(s.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    // Port 9000 taken by another program: printers answer the sender's port.
    local.sin_port = 0;
    bind(s.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
  }

  const std::vector<std::uint8_t> request = DiscoveryRequest();
  for (const std::string& target : broadcastTargets(profile)) {
    SendDatagram(s.get(), target, kDiscoveryPort, request);
  }

  WinsockDatagramSource source(s.get());
  return CollectReplies(source, listenMs);
}

}  // namespace korvante
