#include "core/printer_records.h"

#include <algorithm>

namespace korvante {

// Parses exactly as inet_pton(AF_INET) does: four decimal parts of 0..255
// separated by single dots, nothing else, no leading zeros ("01" is refused).
std::optional<std::array<std::uint8_t, 4>> Ipv4Bytes(const std::string& text) {
  std::array<std::uint8_t, 4> bytes{};
  int parts = 0;
  unsigned value = 0;
  bool inDigits = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (inDigits && value == 0) return std::nullopt;  // leading zero
      value = value * 10 + static_cast<unsigned>(c - '0');
      if (value > 255) return std::nullopt;
      if (!inDigits) {
        if (++parts > 4) return std::nullopt;
        inDigits = true;
      }
    } else if (c == '.' && inDigits) {
      if (parts == 4) return std::nullopt;
      bytes[parts - 1] = static_cast<std::uint8_t>(value);
      value = 0;
      inDigits = false;
    } else {
      return std::nullopt;
    }
  }
  if (parts < 4 || !inDigits) return std::nullopt;
  bytes[3] = static_cast<std::uint8_t>(value);
  return bytes;
}

std::uint32_t Ipv4ToHost(const std::string& text) {
  const auto bytes = Ipv4Bytes(text);
  if (!bytes) return 0;
  return (std::uint32_t{(*bytes)[0]} << 24) | (std::uint32_t{(*bytes)[1]} << 16) |
         (std::uint32_t{(*bytes)[2]} << 8) | std::uint32_t{(*bytes)[3]};
}

std::string HostToIpv4(std::uint32_t host) {
  return FormatIpv4({static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                     static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host)});
}

std::string FormatIpv4(const std::array<std::uint8_t, 4>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += '.';
    text += std::to_string(b);
  }
  return text;
}

std::string FormatMac(std::span<const std::uint8_t> bytes) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += '-';
    text += kHexDigits[b >> 4];
    text += kHexDigits[b & 0x0F];
  }
  return text;
}

std::int32_t ReportedPort(const NetworkPrinter& printer) {
  return printer.port > 0 ? printer.port : kPrinterPort;
}

std::string NetworkPrefix(const std::string& ip) {
  std::size_t dot = std::string::npos;
  for (int i = 0; i < 3; ++i) {
    dot = ip.find('.', dot == std::string::npos ? 0 : dot + 1);
    if (dot == std::string::npos) return ip;
  }
  return ip.substr(0, dot);
}

bool IsHostAddress(std::uint32_t host) {
  const std::uint32_t firstOctet = host >> 24;
  return firstOctet != 0 && firstOctet < 224;
}

std::uint32_t PrefixMask(int prefixLength) {
  if (prefixLength <= 0) return 0;
  if (prefixLength >= 32) return 0xFFFFFFFFu;
  return ~((1u << (32 - prefixLength)) - 1u);
}

std::vector<std::string> BroadcastTargets(const NetworkProfile& profile) {
  std::vector<std::string> targets{"255.255.255.255"};
  const std::uint32_t address = Ipv4ToHost(profile.ip);
  const std::uint32_t mask = Ipv4ToHost(profile.mask);
  if (address != 0 && mask != 0) targets.push_back(HostToIpv4(address | ~mask));
  targets.push_back(NetworkPrefix(profile.ip) + ".255");
  return targets;
}

bool NumericAddressLess(const NetworkPrinter& a, const NetworkPrinter& b) {
  return Ipv4ToHost(a.ip) < Ipv4ToHost(b.ip);
}

void SortByNumericAddress(std::vector<NetworkPrinter>& printers) {
  std::sort(printers.begin(), printers.end(), NumericAddressLess);
}

std::optional<PrinterTarget> ResolveTarget(ConnectionMode mode, int index,
                                           const std::vector<UsbPrinter>& usbPrinters,
                                           const std::vector<NetworkPrinter>& networkPrinters) {
  if (index < 0) return std::nullopt;
  const auto at = static_cast<std::size_t>(index);
  PrinterTarget target;
  if (mode == kModeNetwork) {
    if (at >= networkPrinters.size()) return std::nullopt;
    target.kind = kModeNetwork;
    target.net = networkPrinters[at];
  } else {
    if (at >= usbPrinters.size()) return std::nullopt;
    target.kind = kModeUsb;
    target.usb = usbPrinters[at];
  }
  return target;
}

}  // namespace korvante
