// The LAN job's sockets and waits on Windows.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <thread>

#include "app/lan_job.h"
#include "app/save_actions_win32.h"
#include "usb_transport/tcp_connect_win32.h"
#include "usb_transport/transports.h"

namespace korvante {
namespace {

class BroadcastSocket final : public DatagramSocket {
 public:
  explicit BroadcastSocket(SocketOwner socket) : socket_(std::move(socket)) {}
  void SendTo(const std::string& ip, std::uint16_t port, const CommandBuffer& bytes) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &to.sin_addr) != 1) return;
    sendto(socket_.get(), reinterpret_cast<const char*>(bytes.data()),
           static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  }

 private:
  SocketOwner socket_;
};

std::unique_ptr<DatagramSocket> OpenBroadcastSocket() {
  SocketOwner socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (!socket) return nullptr;
  const BOOL on = TRUE;
  setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
             sizeof(on));
  return std::make_unique<BroadcastSocket>(std::move(socket));
}

}  // namespace

LanJobHooks WindowsLanJobHooks() {
  LanJobHooks hooks;
  hooks.openBroadcastSocket = OpenBroadcastSocket;
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
