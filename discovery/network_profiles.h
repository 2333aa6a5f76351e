// The computer's own IPv4 networks as NetworkProfile records, the choice of the
// preferred one, and the printer addresses suggested from it.
//
// Everything here but EnumerateProfiles is portable: the Win32 side reads the
// adapter list into plain AdapterRecord values and ProfilesFromAdapters applies
// the walk, skip, format and sort rules to them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

// Interface types and the operational state that the walk looks at, as the
// platform numbers them.
inline constexpr std::uint32_t kIfTypePpp = 23;
inline constexpr std::uint32_t kIfTypeSoftwareLoopback = 24;
inline constexpr std::uint32_t kIfTypePropVirtual = 53;
inline constexpr std::uint32_t kIfTypeIeee80211 = 71;
inline constexpr std::uint32_t kIfTypeTunnel = 131;

// A VPN tunnel or a dial-up link: what lies beyond it is not the shop's
// network, so the port-9100 sweep leaves it alone. The virtual adapters that
// VPN clients install (Wintun, tap-windows6) report the proprietary virtual
// type 53, not the tunnel type.
bool IsTunnelOrPpp(const NetworkProfile& profile);

// One IPv4 unicast address of an adapter, or one of its gateways. Addresses of
// other families are kept (with isIpv4 false) so that the walk can skip them.
struct AdapterAddress {
  bool isIpv4 = false;
  std::array<std::uint8_t, 4> bytes{};  // first octet first
  int prefixLength = 0;                 // on-link prefix length (unicast only)
};

// What the walk needs of one adapter, in the order the platform lists them.
struct AdapterRecord {
  bool operUp = false;
  std::uint32_t ifType = 0;
  std::optional<std::u16string> friendlyName;  // nullopt when the adapter reports none
  std::optional<std::u16string> description;
  std::vector<AdapterAddress> unicast;
  std::vector<AdapterAddress> gateways;
};

// True for an IEEE 802.11 adapter, or when friendly name + " " + description
// contains "wi-fi", "wifi", "wireless", "wlan" or "802.11", ignoring case:
// many Wi-Fi adapters report themselves as Ethernet.
bool IsWirelessAdapter(std::uint32_t ifType, std::u16string_view friendlyName,
                       std::u16string_view description);

// Preferred network first: wireless before wired, then with a gateway before
// without, then by name (UTF-16 units, a prefix before longer names).
bool ProfileLess(const NetworkProfile& a, const NetworkProfile& b);
void SortProfiles(std::vector<NetworkProfile>& profiles);

// One profile per usable IPv4 address of every adapter that is up and not the
// loopback; 127.x and 169.254.x addresses are skipped. Sorted.
std::vector<NetworkProfile> ProfilesFromAdapters(const std::vector<AdapterRecord>& adapters);

// Stands in when the computer has no usable profile: WiFi 192.168.1.1/24 with
// gateway 192.168.1.1.
NetworkProfile DefaultProfile();

// The default profile for an empty list; else the first wireless profile with a
// gateway, else the first wireless one, else the first one.
NetworkProfile ChooseProfile(const std::vector<NetworkProfile>& profiles);

// The first three octets of the gateway (or of the address when there is no
// gateway), or 192.168.1 when that text has fewer than three dots, then "." and
// the octet: gateway 10.1.2.254 and "222" give 10.1.2.222.
std::string SuggestAddress(const NetworkProfile& profile, std::string_view lastOctet);

// The six address fields of the LAN and WiFi pages that take suggestions.
struct SuggestionFields {
  std::u16string lanIp;
  std::u16string lanMask;
  std::u16string lanGateway;
  std::u16string wifiIp;
  std::u16string wifiMask;
  std::u16string wifiGateway;
};

// The new text of each field, or nullopt where the field keeps what it holds.
struct SuggestionWrites {
  std::optional<std::u16string> lanIp;
  std::optional<std::u16string> lanMask;
  std::optional<std::u16string> lanGateway;
  std::optional<std::u16string> wifiIp;
  std::optional<std::u16string> wifiMask;
  std::optional<std::u16string> wifiGateway;
};

// What ApplySuggestions writes, decided from the window's profile list and the
// fields' current texts. With force every field gets its suggestion; without,
// a field is replaced only while it still holds a suggestion (empty, or an
// address ending in a suggested octet, or the mask 255.255.255.0), so what the
// user typed survives a refresh.
SuggestionWrites DecideSuggestions(const std::vector<NetworkProfile>& profiles, bool force,
                                   const SuggestionFields& current);

}  // namespace korvante
