// The LAN job's sockets and waits on Windows.
#include <winsock2.h>

#include <chrono>
#include <thread>

#include "app/lan_job.h"
#include "app/lan_job_win32.h"
#include "core/sockets_win32.h"
#include "transport/transports_win32.h"

namespace korvante {
namespace {

class BroadcastSocket final : public DatagramSocket {
 public:
  explicit BroadcastSocket(SocketOwner socket) : socket_(std::move(socket)) {}
  void SendTo(const std::string& ip, std::uint16_t port, const CommandBuffer& bytes) override {
    SendDatagram(socket_.get(), ip, port, bytes);
  }
  bool WaitReadable(std::chrono::milliseconds limit) override {
    return korvante::WaitReadable(socket_.get(), static_cast<unsigned>(limit.count()));
  }
  std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer) override {
    const int n = recv(socket_.get(), reinterpret_cast<char*>(buffer.data()),
                       static_cast<int>(buffer.size()), 0);
    if (n < 0) return std::nullopt;
    return static_cast<std::size_t>(n);
  }

 private:
  SocketOwner socket_;
};

std::unique_ptr<DatagramSocket> JobSocket(SocketOwner socket) {
  if (!socket) return nullptr;
  return std::make_unique<BroadcastSocket>(std::move(socket));
}

}  // namespace

LanJobHooks WindowsLanJobHooks() {
  LanJobHooks hooks;
  hooks.openBroadcastSocket = [] { return JobSocket(OpenBroadcastSocket()); };
  hooks.openBoundBroadcastSocket = [](const std::string& localIp) {
    return JobSocket(OpenBoundBroadcastSocket(localIp));
  };
  hooks.sendTcp9100 = [](const NetworkPrinter& printer, const CommandBuffer& bytes) {
    return SendTcp9100(printer, bytes);
  };
  hooks.connectTcp9100 = [](const std::string& ip, unsigned timeoutMs) {
    return ConnectTcp9100(ip, timeoutMs);
  };
  hooks.sleep = [](unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  return hooks;
}

}  // namespace korvante
