// The probe of one host on port 9100, over a real socket.
#include <winsock2.h>

#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "core/sockets_win32.h"

namespace korvante {

namespace {

class SocketStatusChannel final : public StatusChannel {
 public:
  explicit SocketStatusChannel(SOCKET s) : socket_(s) {}

  void Send(std::span<const std::uint8_t> bytes) override {
    ::send(socket_, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
  }

  std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds wait,
                                                   std::size_t maxBytes) override {
    if (!WaitReadable(socket_, static_cast<unsigned>(wait.count()))) return std::nullopt;
    std::vector<std::uint8_t> answer(maxBytes);
    const int n =
        recv(socket_, reinterpret_cast<char*>(answer.data()), static_cast<int>(answer.size()), 0);
    if (n <= 0) return std::nullopt;
    answer.resize(static_cast<std::size_t>(n));
    return answer;
  }

 private:
  SOCKET socket_;
};

bool ProbePort9100(const std::string& host) {
  SocketOwner s;
  if (!ConnectTcp9100(host, kSweepConnectTimeoutMs, &s)) return false;
  SocketStatusChannel channel(s.get());
  return ProbeStatus(channel);
}

}  // namespace

std::vector<NetworkPrinter> ScanTcp9100(const NetworkProfile& profile) {
  return SweepNetwork(profile, ProbePort9100);
}

}  // namespace korvante
