// Reads the computer's IPv4 neighbour table into portable rows; the waiting
// and the verdicts are neighbours.cpp's.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <algorithm>
#include <span>
#include <thread>

#include "core/printer_records.h"
#include "core/sockets_win32.h"
#include "discovery/neighbours.h"
#include "discovery/neighbours_win32.h"

namespace korvante {
namespace {

// The discard service: nothing on a printer or a PC answers it, and a
// datagram to it still makes the computer resolve the address first.
constexpr std::uint16_t kDiscardPort = 9;

std::string MacText(const MIB_IPNET_ROW2& row) {
  const ULONG length = std::min<ULONG>(row.PhysicalAddressLength, IF_MAX_PHYS_ADDRESS_LENGTH);
  return FormatMac(std::span<const std::uint8_t>(row.PhysicalAddress, length));
}

std::vector<NeighbourEntry> ReadNeighbours(const std::string& ip) {
  IN_ADDR wanted{};
  if (inet_pton(AF_INET, ip.c_str(), &wanted) != 1) return {};
  MIB_IPNET_TABLE2* table = nullptr;
  if (GetIpNetTable2(AF_INET, &table) != NO_ERROR || table == nullptr) return {};
  std::vector<NeighbourEntry> rows;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPNET_ROW2& row = table->Table[i];
    if (row.Address.si_family != AF_INET || row.Address.Ipv4.sin_addr.s_addr != wanted.s_addr) {
      continue;
    }
    rows.push_back({static_cast<NeighbourState>(row.State), MacText(row)});
  }
  FreeMibTable(table);
  return rows;
}

void SendProbe(const std::string& ip) {
  SocketOwner s(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (s) SendDatagram(s.get(), ip, kDiscardPort, {});
}

}  // namespace

NeighbourHooks WindowsNeighbourHooks() {
  NeighbourHooks hooks;
  hooks.sendProbe = SendProbe;
  hooks.read = ReadNeighbours;
  hooks.sleep = [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); };
  return hooks;
}

}  // namespace korvante
