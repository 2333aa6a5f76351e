// The records that discovery produces and the rest of the tool consumes, the
// connection mode, and the small IPv4 text operations shared across the tool.
//
// Addresses are kept as dotted text in every record; numbers are made only for
// arithmetic and ordering. Wide (UTF-16) text is std::u16string.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvante {

// Which kind of printer the window works with; also the kind of a target and
// the mode of a refresh.
using ConnectionMode = std::int32_t;
inline constexpr ConnectionMode kModeUsb = 0;
inline constexpr ConnectionMode kModeNetwork = 1;

// One IPv4 address of one operational local network adapter.
struct NetworkProfile {
  std::u16string name;  // adapter friendly name; "LAN" when it reports none
  std::string ip;       // dotted quad
  std::string mask;     // dotted quad, from the on-link prefix length
  std::string gateway;  // first IPv4 gateway of the adapter; empty when none
  bool wireless = false;
  std::uint32_t ifType = 0;  // the adapter's interface type, as the platform numbers it
};

// The raw TCP port a receipt printer prints on, and the port every record
// starts with.
inline constexpr std::int32_t kPrinterPort = 9100;

// One printer reachable over IP. Every producer starts from this default and
// overwrites what it knows.
struct NetworkPrinter {
  std::string ip;       // identity of the record within a refresh result
  std::string mac;      // "00-1A-2B-3C-4D-5E"; empty when not reported
  std::string mask;     // the printer's own mask; empty when not reported
  std::string gateway;  // the printer's own gateway; empty when not reported
  std::int32_t port = kPrinterPort;
  // The two bytes after the MAC in a discovery reply. Not interpreted: sent
  // back unchanged in the settings write, so the default must match what
  // printers expect from a tool that never saw a reply (0x22, 0x00).
  std::array<std::uint8_t, 2> deviceBytes{0x22, 0x00};
  bool foundByUdp = false;
  // The computer's own address on the network that heard the printer (the ip
  // of that profile): the settings broadcast leaves through that adapter.
  // Empty for records that discovery did not make.
  std::string localIp;

  friend bool operator==(const NetworkPrinter&, const NetworkPrinter&) = default;
};

// The port a printer reported, or 9100 when it reported none (0 or less).
std::int32_t ReportedPort(const NetworkPrinter& printer);

// One attached USB printer or USB-to-serial adapter.
struct UsbPrinter {
  std::u16string name;
  std::u16string port;   // USB001, COM3, ... or empty
  std::u16string path;   // device-interface path, monitor device path or \\.\COMn
  std::u16string queue;  // local print queue on that port; empty when none

  friend bool operator==(const UsbPrinter&, const UsbPrinter&) = default;
};

// The printer a command is sent to. Both members are always present; only the
// one named by kind is meaningful.
struct PrinterTarget {
  ConnectionMode kind = kModeUsb;
  UsbPrinter usb;
  NetworkPrinter net;
};

// --- IPv4 text operations (stateless, any thread) ---------------------------

// Dotted quad to host order (first octet in the top byte); 0 when the text does
// not parse, so 0.0.0.0 and bad text are alike and 0 means "no address".
std::uint32_t Ipv4ToHost(const std::string& text);

// Host order to dotted quad, plain decimal octets.
std::string HostToIpv4(std::uint32_t host);

// "%u.%u.%u.%u" of four address bytes, first octet first, as inet_ntop writes
// an IPv4 address.
std::string FormatIpv4(const std::array<std::uint8_t, 4>& bytes);

// A hardware address as the records keep it: two upper-case hex digits a
// byte, joined by '-' ("00-1A-2B-3C-4D-5E"); empty for no bytes.
std::string FormatMac(std::span<const std::uint8_t> bytes);

// The four address bytes in the order they appear in the text, when it parses.
std::optional<std::array<std::uint8_t, 4>> Ipv4Bytes(const std::string& text);

// The text before the third '.': 192.168.1.25 gives 192.168.1. A text with
// fewer than three dots is returned whole.
std::string NetworkPrefix(const std::string& ip);

// True for an address (host order) that a printer can be given: not 0.x,
// which is "this network" (and what bad text reads as), and below 224, where
// multicast, the reserved block and the limited broadcast begin. A printer
// given any other one is lost.
bool IsHostAddress(std::uint32_t host);

// n leading one bits, n clamped to 0..32.
std::uint32_t PrefixMask(int prefixLength);

// The addresses a profile's broadcasts go to, in order: the limited broadcast,
// the directed broadcast (only when address and mask both parse to non-zero),
// and prefix + ".255". Not de-duplicated: on a /24 the last two are equal and
// each receives its own datagram, which printers on such networks rely on.
std::vector<std::string> BroadcastTargets(const NetworkProfile& profile);

// --- Orderings ----------------------------------------------------------------

// Numeric address order: by Ipv4ToHost(ip), unsigned; bad text sorts as 0.
bool NumericAddressLess(const NetworkPrinter& a, const NetworkPrinter& b);
void SortByNumericAddress(std::vector<NetworkPrinter>& printers);

// --- Selection ------------------------------------------------------------------

// Resolves a printer-list selection against the list of the current mode. A
// negative index, an index past the list, or the placeholder line of an empty
// list gives no target.
std::optional<PrinterTarget> ResolveTarget(ConnectionMode mode, int index,
                                           const std::vector<UsbPrinter>& usbPrinters,
                                           const std::vector<NetworkPrinter>& networkPrinters);

}  // namespace korvante
