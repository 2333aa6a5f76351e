#include "app/address_checks.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "core/text_encoding.h"

namespace korvante {
namespace {

constexpr std::uint32_t kSlash24 = 0xFFFFFF00u;
constexpr std::uint32_t kSlash31 = 0xFFFFFFFEu;

// The messages, in pieces around the addresses they name; each piece is one
// literal, as the guide quotes it.
constexpr std::u16string_view kNewIp = u"IP mới ";
constexpr std::u16string_view kChooseAnother = u". Hãy chọn IP khác.";
constexpr std::u16string_view kBadMask =
    u" không hợp lệ. Subnet mask thường dùng là 255.255.255.0.";
constexpr std::u16string_view kNoPrinterAddress = u" không dùng được cho máy in. Hãy chọn IP khác.";
constexpr std::u16string_view kOwnAddress = u" là IP của chính máy tính này. Hãy chọn IP khác.";
constexpr std::u16string_view kGatewayAddress =
    u" là IP của Gateway (modem, router). Hãy chọn IP khác.";
constexpr std::u16string_view kNetworkAddress = u" là địa chỉ mạng của dải IP (Subnet mask ";
constexpr std::u16string_view kBroadcastAddress = u" là địa chỉ broadcast của dải IP (Subnet mask ";
constexpr std::u16string_view kGatewayOutside = u" không cùng dải IP với IP mới ";
constexpr std::u16string_view kMaskNote = u" (Subnet mask ";
constexpr std::u16string_view kFixGateway = u"). Hãy sửa Gateway hoặc Subnet mask.";
constexpr std::u16string_view kHeld = u" đang được một thiết bị khác dùng";
constexpr std::u16string_view kHeldTail =
    u". Nếu đổi, máy in sẽ trùng IP với thiết bị đó và có thể không in được. Vẫn đổi IP?";
constexpr std::u16string_view kOutOfReach = u" không thuộc mạng nào của máy tính này.";
constexpr std::u16string_view kOutOfReachTail =
    u" Sau khi đổi, máy tính này sẽ không kết nối được với máy in. Vẫn đổi IP?";
constexpr std::u16string_view kOffItsLink = u" không thuộc mạng mà máy in đang nối vào.";
constexpr std::u16string_view kOffItsLinkTail =
    u" Sau khi đổi, không máy tính nào kết nối được với máy in, trừ khi máy in được chuyển sang "
    u"mạng đó. Vẫn đổi IP?";
constexpr std::u16string_view kOtherSubnet =
    u" khác dải IP với máy tính này nên chưa gửi được lệnh.";
constexpr std::u16string_view kOtherSubnetTail = u" Hãy đổi IP máy in ở trang Máy in Lan trước.";

// Joins literal pieces and ASCII addresses into one message.
std::u16string Message(std::initializer_list<std::u16string_view> pieces) {
  std::u16string text;
  for (std::u16string_view piece : pieces) text += piece;
  return text;
}

std::u16string Text(const std::string& ascii) { return WidenAscii(ascii); }

// 0.x is "this network", 224 and above multicast, reserved and the limited
// broadcast: a printer given one is lost. (The printer box takes the same
// addresses, TypedPrinterAddress.)
bool IsHostAddress(std::uint32_t address) {
  const std::uint32_t first = address >> 24;
  return first != 0 && first < 224;
}

std::optional<std::uint32_t> ProfileMask(const NetworkProfile& profile) {
  return UsableMask(profile.mask);
}

}  // namespace

std::optional<std::uint32_t> UsableMask(const std::string& mask) {
  const auto bytes = Ipv4Bytes(mask);
  if (!bytes) return std::nullopt;
  const std::uint32_t value = Ipv4ToHost(mask);
  // A run of ones then zeros: the zeros below the lowest one bit are all
  // there is below it.
  const std::uint32_t inverted = ~value;
  if (value == 0 || (inverted & (inverted + 1)) != 0) return std::nullopt;
  return value;
}

bool SameNetwork(const std::string& a, const std::string& b, std::uint32_t mask) {
  if (!Ipv4Bytes(a) || !Ipv4Bytes(b)) return false;
  return (Ipv4ToHost(a) & mask) == (Ipv4ToHost(b) & mask);
}

std::optional<std::u16string> RefuseLanChange(const LanAddresses& addresses, LanPath path,
                                              const std::vector<NetworkProfile>& profiles) {
  const std::u16string ip = Text(addresses.newIp);
  const std::u16string maskText = Text(addresses.mask);
  const std::uint32_t address = Ipv4ToHost(addresses.newIp);
  const std::optional<std::uint32_t> mask = UsableMask(addresses.mask);

  if (path == LanPath::kBroadcast && !mask) return Message({u"Subnet mask ", maskText, kBadMask});
  if (!IsHostAddress(address)) return Message({kNewIp, ip, kNoPrinterAddress});
  for (const NetworkProfile& profile : profiles) {
    if (Ipv4ToHost(profile.ip) == address) return Message({kNewIp, ip, kOwnAddress});
  }
  const bool formGateway = Ipv4ToHost(addresses.gateway) == address;
  const bool computersGateway = std::any_of(profiles.begin(), profiles.end(), [&](const auto& p) {
    return Ipv4ToHost(p.gateway) == address;
  });
  if (formGateway || computersGateway) return Message({kNewIp, ip, kGatewayAddress});
  // A /31 or /32 has no network or broadcast address of its own.
  if (mask && *mask < kSlash31) {
    if ((address & ~*mask) == 0) {
      return Message({kNewIp, ip, kNetworkAddress, maskText, u")", kChooseAnother});
    }
    if ((address | *mask) == 0xFFFFFFFFu) {
      return Message({kNewIp, ip, kBroadcastAddress, maskText, u")", kChooseAnother});
    }
  }
  if (path == LanPath::kBroadcast && Ipv4ToHost(addresses.gateway) != 0 &&
      !SameNetwork(addresses.gateway, addresses.newIp, *mask)) {
    return Message({u"Gateway ", Text(addresses.gateway), kGatewayOutside, ip, kMaskNote, maskText,
                    kFixGateway});
  }
  return std::nullopt;
}

std::optional<NetworkPrinter> ListedHolder(const std::string& newIp, const NetworkPrinter& printer,
                                           const std::vector<NetworkPrinter>& listed) {
  const std::uint32_t address = Ipv4ToHost(newIp);
  if (address == 0 || Ipv4ToHost(printer.ip) == address) return std::nullopt;
  for (const NetworkPrinter& other : listed) {
    if (Ipv4ToHost(other.ip) != address) continue;
    if (!printer.mac.empty() && other.mac == printer.mac) continue;  // itself, listed twice
    return other;
  }
  return std::nullopt;
}

bool OnComputersNetworks(const std::string& ip, const std::vector<NetworkProfile>& profiles) {
  return std::any_of(profiles.begin(), profiles.end(), [&](const NetworkProfile& profile) {
    const std::optional<std::uint32_t> mask = ProfileMask(profile);
    return mask && SameNetwork(ip, profile.ip, *mask);
  });
}

std::optional<std::u16string> ReachQuestion(const LanAddresses& addresses,
                                            const NetworkPrinter* current,
                                            const std::vector<NetworkProfile>& profiles) {
  if (profiles.empty()) return std::nullopt;
  const std::u16string ip = Text(addresses.newIp);
  if (current != nullptr) {
    const std::uint32_t mask =
        UsableMask(current->mask).value_or(UsableMask(addresses.mask).value_or(kSlash24));
    if (SameNetwork(addresses.newIp, current->ip, mask)) return std::nullopt;
  }
  if (!OnComputersNetworks(addresses.newIp, profiles)) {
    return Message({u"IP ", ip, kOutOfReach, kOutOfReachTail});
  }
  if (current == nullptr) return std::nullopt;
  // The link the printer sits on: the network that heard it, else its own,
  // which the new address is not on.
  for (const NetworkProfile& heardOn : profiles) {
    if (!current->localIp.empty() && heardOn.ip == current->localIp &&
        OnComputersNetworks(addresses.newIp, {heardOn})) {
      return std::nullopt;
    }
  }
  return Message({u"IP ", ip, kOffItsLink, kOffItsLinkTail});
}

bool HeardOutsideItsNetwork(const NetworkPrinter& printer,
                            const std::vector<NetworkProfile>& profiles) {
  if (printer.localIp.empty()) return false;
  for (const NetworkProfile& profile : profiles) {
    if (profile.ip != printer.localIp) continue;
    const std::optional<std::uint32_t> mask = ProfileMask(profile);
    return mask && !SameNetwork(printer.ip, profile.ip, *mask);
  }
  return false;
}

std::u16string AddressHeldQuestion(const std::string& ip, const std::string& holderMac) {
  if (holderMac.empty()) return Message({u"IP ", Text(ip), kHeld, kHeldTail});
  return Message({u"IP ", Text(ip), kHeld, u" (MAC ", Text(holderMac), u")", kHeldTail});
}

std::u16string OtherSubnetFailure(const std::string& printerIp) {
  return Message({u"Máy in ", Text(printerIp), kOtherSubnet, kOtherSubnetTail});
}

}  // namespace korvante
