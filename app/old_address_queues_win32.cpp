// The Windows print queues whose Standard TCP/IP port names an address: the
// port monitor's keys, read only, joined with the spooler's queue list.
#include <windows.h>

#include "app/old_address_queues.h"
#include "app/old_address_queues_win32.h"
#include "core/registry_win32.h"
#include "core/win32_handles_win32.h"
#include "usb/usb_enumeration_win32.h"

namespace korvante {
namespace {

constexpr wchar_t kTcpPortsKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
// Host names are at most 255 characters; addresses far fewer.
constexpr DWORD kHostBytes = 1024;

std::vector<TcpPrinterPort> ReadTcpPrinterPorts() {
  std::vector<TcpPrinterPort> ports;
  KeyOwner root;
  if (!OpenKeyForReading(root, HKEY_LOCAL_MACHINE, kTcpPortsKey)) return ports;
  for (const std::u16string& name : SubkeyNames(root.get())) {
    KeyOwner port;
    if (!OpenKeyForReading(port, root.get(), WideText(name))) continue;
    ports.push_back({name, ReadRegistryString(port.get(), L"HostName", kHostBytes),
                     ReadRegistryString(port.get(), L"IPAddress", kHostBytes)});
  }
  return ports;
}

}  // namespace

std::vector<std::u16string> WindowsQueuesAtAddress(const std::string& address) {
  return QueuesAtAddress(ReadTcpPrinterPorts(), ReadPrintQueues(), address);
}

}  // namespace korvante
