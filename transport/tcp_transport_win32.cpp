// The TCP port-9100 transport: one connection, the whole buffer in one send.
#include <winsock2.h>

#include "core/sockets_win32.h"
#include "core/tcp_connect_rules.h"
#include "transport/tcp_transport_win32.h"

namespace korvante {

bool SendTcp9100(const NetworkPrinter& printer, const CommandBuffer& bytes) {
  SocketOwner s;
  if (!ConnectTcp9100(printer.ip, kSendConnectTimeoutMs, &s)) return false;
  // One send of the whole buffer: commands are at most about a kilobyte.
  const int sent =
      send(s.get(), reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
  return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

}  // namespace korvante
