#include "app/address_checks.h"

#include <algorithm>

#include "app/window_texts.h"

namespace korvante {
namespace {

constexpr std::uint32_t kSlash24 = 0xFFFFFF00u;
constexpr std::uint32_t kSlash31 = 0xFFFFFFFEu;

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
  const std::string& ip = addresses.newIp;
  const std::uint32_t address = Ipv4ToHost(ip);
  const std::optional<std::uint32_t> mask = UsableMask(addresses.mask);

  if (path == LanPath::kBroadcast && !mask) return BadMaskRefusal(addresses.mask);
  if (!IsHostAddress(address)) return NoPrinterAddressRefusal(ip);
  for (const NetworkProfile& profile : profiles) {
    if (Ipv4ToHost(profile.ip) == address) return OwnAddressRefusal(ip);
  }
  const bool formGateway = Ipv4ToHost(addresses.gateway) == address;
  const bool computersGateway = std::any_of(profiles.begin(), profiles.end(), [&](const auto& p) {
    return Ipv4ToHost(p.gateway) == address;
  });
  if (formGateway || computersGateway) return GatewayAddressRefusal(ip);
  // A /31 or /32 has no network or broadcast address of its own.
  if (mask && *mask < kSlash31) {
    if ((address & ~*mask) == 0) return NetworkAddressRefusal(ip, addresses.mask);
    if ((address | *mask) == 0xFFFFFFFFu) return BroadcastAddressRefusal(ip, addresses.mask);
  }
  if (path == LanPath::kBroadcast && Ipv4ToHost(addresses.gateway) != 0 &&
      !SameNetwork(addresses.gateway, ip, *mask)) {
    return GatewayOutsideRefusal(addresses.gateway, ip, addresses.mask);
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
  if (current != nullptr) {
    const std::uint32_t mask =
        UsableMask(current->mask).value_or(UsableMask(addresses.mask).value_or(kSlash24));
    if (SameNetwork(addresses.newIp, current->ip, mask)) return std::nullopt;
  }
  if (!OnComputersNetworks(addresses.newIp, profiles)) return OutOfReachQuestion(addresses.newIp);
  if (current == nullptr) return std::nullopt;
  // The link the printer sits on: the network that heard it, else its own,
  // which the new address is not on.
  for (const NetworkProfile& heardOn : profiles) {
    if (!current->localIp.empty() && heardOn.ip == current->localIp &&
        OnComputersNetworks(addresses.newIp, {heardOn})) {
      return std::nullopt;
    }
  }
  return OffItsLinkQuestion(addresses.newIp);
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

}  // namespace korvante
