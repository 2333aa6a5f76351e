#include "commands/network_settings.h"

#include "core/command_vocabulary.h"
#include "core/text_encoding.h"

namespace korvante {

namespace {

constexpr Bytes<10> kSaveMagic{'X', 'P', '0', '0', '0', '1', 'S', 'A', 'V', 'E'};
constexpr std::uint8_t kWifiFieldsEnd = 0x06;

// Appends the address bytes, or names `field` when the text does not parse.
void AppendAddress(CommandBuffer& buffer, const std::string& text, AddressField field,
                   std::optional<AddressField>& invalid) {
  const auto address = Ipv4Bytes(text);
  if (address) {
    AppendBytes(buffer, *address);
  } else if (!invalid) {
    invalid = field;
  }
}

void AppendText(CommandBuffer& buffer, const std::string& text) {
  AppendBytes(buffer, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

CommandResult Finish(CommandBuffer bytes, std::optional<AddressField> invalid) {
  if (invalid) return {{}, invalid};
  return {std::move(bytes), std::nullopt};
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One %x conversion as scanf does it: white space, a sign, an optional 0x,
// at least one hex digit. The value wraps as unsigned arithmetic does.
bool ScanHex(const std::string& text, std::size_t& at, std::uint32_t& value) {
  while (at < text.size() && IsAsciiSpace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
      HexDigit(text[at + 2]) >= 0) {
    at += 2;
  }
  if (at >= text.size() || HexDigit(text[at]) < 0) return false;
  value = 0;
  for (; at < text.size() && HexDigit(text[at]) >= 0; ++at) {
    value = value * 16 + static_cast<std::uint32_t>(HexDigit(text[at]));
  }
  if (negative) value = 0u - value;
  return true;
}

}  // namespace

LanAddresses ReadLanAddresses(std::u16string_view newIp, std::u16string_view mask,
                              std::u16string_view gateway) {
  return {ToAsciiNarrow(newIp), ToAsciiNarrow(mask), ToAsciiNarrow(gateway)};
}

bool UsesSaveBroadcast(const NetworkPrinter& printer, bool profilesPresent) {
  return printer.foundByUdp && !printer.mac.empty() && profilesPresent;
}

std::optional<AddressField> FindInvalidLanAddress(const LanAddresses& addresses,
                                                  bool saveBroadcast) {
  if (!Ipv4Bytes(addresses.newIp)) return AddressField::LanNewIp;
  if (!saveBroadcast) return std::nullopt;
  if (!Ipv4Bytes(addresses.mask)) return AddressField::Mask;
  if (!Ipv4Bytes(addresses.gateway)) return AddressField::Gateway;
  return std::nullopt;
}

CommandResult BuildIpChangeCommand(const std::string& newIp) {
  CommandBuffer buffer;
  std::optional<AddressField> invalid;
  AppendBytes(buffer, kProprietaryPrefix);
  AppendByte(buffer, kFnSetLanAddress);
  AppendAddress(buffer, newIp, AddressField::LanNewIp, invalid);
  return Finish(std::move(buffer), invalid);
}

std::array<std::uint8_t, 6> ParseMacText(const std::string& mac) {
  std::array<std::uint8_t, 6> out{};
  std::size_t at = 0;
  for (std::size_t field = 0; field < out.size(); ++field) {
    if (field > 0) {
      if (at >= mac.size() || mac[at] != '-') break;
      ++at;
    }
    std::uint32_t value = 0;
    if (!ScanHex(mac, at, value)) break;
    out[field] = static_cast<std::uint8_t>(value & 0xFF);
  }
  return out;
}

CommandResult BuildSaveDatagram(const NetworkPrinter& printer, const LanAddresses& addresses) {
  CommandBuffer buffer;
  std::optional<AddressField> invalid;
  const auto port = static_cast<std::uint16_t>(ReportedPort(printer));
  AppendBytes(buffer, kSaveMagic);                                           // [0:10)
  AppendBytes(buffer, ParseMacText(printer.mac));                            // [10:16)
  AppendBytes(buffer, printer.deviceBytes);                                  // [16:18)
  AppendAddress(buffer, addresses.newIp, AddressField::LanNewIp, invalid);   // [18:22)
  AppendAddress(buffer, addresses.mask, AddressField::Mask, invalid);        // [22:26)
  AppendAddress(buffer, addresses.gateway, AddressField::Gateway, invalid);  // [26:30)
  AppendByte(buffer, static_cast<std::uint8_t>(port & 0xFF));                // [30] port low
  AppendByte(buffer, static_cast<std::uint8_t>(port >> 8));                  // [31] port high
  AppendByte(buffer, 0x00);                                                  // [32]
  return Finish(std::move(buffer), invalid);
}

CommandResult BuildWifiCommand(const WifiSettings& settings) {
  CommandBuffer buffer;
  std::optional<AddressField> invalid;
  AppendBytes(buffer, kProprietaryPrefix);
  AppendByte(buffer, kFnWifiSettings);
  AppendAddress(buffer, ToAsciiNarrow(settings.ip), AddressField::WifiIp, invalid);
  AppendAddress(buffer, ToAsciiNarrow(settings.mask), AddressField::Mask, invalid);
  AppendAddress(buffer, ToAsciiNarrow(settings.gateway), AddressField::Gateway, invalid);
  AppendByte(buffer, kWifiFieldsEnd);
  AppendText(buffer, ToAsciiNarrow(settings.networkName));  // no length prefix
  AppendByte(buffer, 0x00);
  AppendText(buffer, ToAsciiNarrow(settings.password));
  AppendByte(buffer, 0x00);
  return Finish(std::move(buffer), invalid);
}

}  // namespace korvante
