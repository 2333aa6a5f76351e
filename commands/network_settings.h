// The network settings a printer can be sent: a new static LAN address (by
// command over USB or TCP, or by the "XP0001SAVE" broadcast that names the
// printer by its MAC address) and its WiFi network and addressing.
//
// A printer given a malformed address can drop off the network, so every
// builder refuses an address text that does not parse and names the field;
// the window then says which field and sends nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/command_buffer.h"
#include "core/printer_records.h"

namespace korvante {

// The address fields of the LAN and WiFi pages, and the printer box of the
// connection card when an address is typed into it.
enum class AddressField { LanNewIp, WifiIp, Mask, Gateway, PrinterIp };

// A built command, or the first address field (in the command's order) whose
// text did not parse; then `bytes` is empty.
struct CommandResult {
  CommandBuffer bytes;
  std::optional<AddressField> invalidField;
};

// The LAN page's three fields, narrowed to ASCII ("?" for other units) as the
// LAN job keeps them.
struct LanAddresses {
  std::string newIp;
  std::string mask;
  std::string gateway;
};

LanAddresses ReadLanAddresses(std::u16string_view newIp, std::u16string_view mask,
                              std::u16string_view gateway);

// True when the LAN change goes by the "XP0001SAVE" broadcast: the printer
// answered discovery, its MAC is known and the computer has a network profile.
// Otherwise it goes by the IP-change command over TCP.
bool UsesSaveBroadcast(const NetworkPrinter& printer, bool profilesPresent);

// The first LAN field that the chosen transmission carries and that does not
// parse: the new address alone for the IP-change command, all three for the
// broadcast. The mode (USB/network) is known before the printer selection is
// checked, so the new address can always be checked first.
std::optional<AddressField> FindInvalidLanAddress(const LanAddresses& addresses,
                                                  bool saveBroadcast);

// 1F 1B 1F 22 and the new address's four bytes (8 bytes); mask and gateway
// are not part of it.
CommandResult BuildIpChangeCommand(const std::string& newIp);

// The six bytes of a "%x-%x-%x-%x-%x-%x" MAC text, each field's low 8 bits;
// fields from the first one that does not parse on are 0.
std::array<std::uint8_t, 6> ParseMacText(const std::string& mac);

// The 33-byte "XP0001SAVE" datagram: MAC, the printer's device bytes sent
// back, new address, mask, gateway, port (9100 when 0 or less, low byte
// first) and 00.
CommandResult BuildSaveDatagram(const NetworkPrinter& printer, const LanAddresses& addresses);

// What the WiFi page's fields hold ("Chế độ" is not part of the command).
struct WifiSettings {
  std::u16string networkName;  // "Tên WiFi"
  std::u16string password;     // "Mật khẩu WiFi"
  std::u16string ip;           // "IP máy in WiFi"
  std::u16string mask;         // "Subnet mask"
  std::u16string gateway;      // "Gateway"
};

// 1F 1B 1F B4, address, mask, gateway, 06, name, 00, password, 00
// (19 + n + m bytes); name and password narrowed to ASCII with "?".
CommandResult BuildWifiCommand(const WifiSettings& settings);

}  // namespace korvante
