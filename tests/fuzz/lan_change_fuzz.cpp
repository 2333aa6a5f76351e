// "Lưu IP" fed whatever the LAN page and the selected printer hold: the
// "XP0001SAVE" datagram and the IP-change command are built whole or refused,
// and the field check names the field that refuses them. The C library is the
// expectation: inet_pton for addresses, sscanf for the MAC text.
//
// Input, one item a line: the printer's MAC text, its device bytes (the first
// two bytes of the line), its port, the new address, the mask, the gateway,
// and flags (u: found by discovery, p: the computer has a profile). The new
// address's line is also typed into the printer box. Fields that parse are
// judged by the refusal rules too.
#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "app/address_checks.h"
#include "app/printer_box.h"
#include "commands/network_settings.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

std::optional<std::array<std::uint8_t, 4>> ExpectedAddress(const std::string& text) {
  std::array<std::uint8_t, 4> bytes{};
  if (inet_pton(AF_INET, text.c_str(), bytes.data()) != 1) return std::nullopt;
  return bytes;
}

// sscanf's reading of "%x-%x-%x-%x-%x-%x", for MAC texts of hex digits and
// dashes with fields of at most 16 digits (where sscanf does not saturate).
std::optional<std::array<std::uint8_t, 6>> ExpectedMac(const std::string& mac) {
  std::size_t run = 0;
  for (char c : mac) {
    if (c == '-') {
      run = 0;
    } else if (!std::isxdigit(static_cast<unsigned char>(c)) || ++run > 16) {
      return std::nullopt;
    }
  }
  unsigned v[6] = {};
  const int n =
      std::sscanf(mac.c_str(), "%x-%x-%x-%x-%x-%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
  std::array<std::uint8_t, 6> out{};
  for (int i = 0; i < std::max(n, 0); ++i) out[static_cast<std::size_t>(i)] = v[i] & 0xFF;
  return out;
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::vector<std::string_view> lines = Split(AsText(data, size), "\n");
  NetworkPrinter printer;
  printer.mac = std::string(Field(lines, 0));
  const std::string_view deviceBytes = Field(lines, 1);
  printer.deviceBytes = {static_cast<std::uint8_t>(deviceBytes.size() > 0 ? deviceBytes[0] : 0x22),
                         static_cast<std::uint8_t>(deviceBytes.size() > 1 ? deviceBytes[1] : 0)};
  printer.port = static_cast<std::int32_t>(Number(Field(lines, 2), 9100));
  const std::u16string newIp = Text16(Field(lines, 3));
  {
    // A printer address typed by hand: inet_pton's reading of the text
    // without the blanks around it, a host a printer can have (1 to 223).
    std::string typed = std::string(Field(lines, 3));
    typed.erase(0, typed.find_first_not_of(" \t"));
    typed.erase(typed.find_last_not_of(" \t") + 1);
    const auto address = ExpectedAddress(typed);
    const bool host = address && (*address)[0] != 0 && (*address)[0] < 224 &&
                      typed.find_first_not_of("0123456789.") == std::string::npos;
    KV_FUZZ_CHECK(TypedPrinterAddress(newIp) == (host ? std::optional(typed) : std::nullopt));
  }
  const std::u16string mask = Text16(Field(lines, 4));
  const std::u16string gateway = Text16(Field(lines, 5));
  printer.foundByUdp = HasFlag(Field(lines, 6), 'u');
  const bool profilesPresent = HasFlag(Field(lines, 6), 'p');

  const LanAddresses addresses = ReadLanAddresses(newIp, mask, gateway);
  KV_FUZZ_CHECK(addresses.newIp == AsciiNarrowed(newIp) && addresses.mask == AsciiNarrowed(mask) &&
                addresses.gateway == AsciiNarrowed(gateway));
  const auto ip = ExpectedAddress(addresses.newIp);
  const auto maskBytes = ExpectedAddress(addresses.mask);
  const auto gatewayBytes = ExpectedAddress(addresses.gateway);

  // The broadcast needs all three fields, the IP-change command the address.
  const bool broadcast = UsesSaveBroadcast(printer, profilesPresent);
  KV_FUZZ_CHECK(broadcast == (printer.foundByUdp && !printer.mac.empty() && profilesPresent));
  std::optional<AddressField> firstBad;
  if (!ip) {
    firstBad = AddressField::LanNewIp;
  } else if (!maskBytes) {
    firstBad = AddressField::Mask;
  } else if (!gatewayBytes) {
    firstBad = AddressField::Gateway;
  }
  KV_FUZZ_CHECK(FindInvalidLanAddress(addresses, true) == firstBad);
  KV_FUZZ_CHECK(FindInvalidLanAddress(addresses, false) ==
                (ip ? std::nullopt : std::optional(AddressField::LanNewIp)));

  // XP0001SAVE: 33 bytes, or refused naming the same field.
  const CommandResult save = BuildSaveDatagram(printer, addresses);
  KV_FUZZ_CHECK(save.invalidField == firstBad);
  KV_FUZZ_CHECK(save.bytes.size() == (firstBad ? 0u : 33u));
  if (!firstBad) {
    const CommandBuffer& b = save.bytes;
    KV_FUZZ_CHECK(std::equal(b.begin(), b.begin() + 10, "XP0001SAVE"));
    if (const auto mac = ExpectedMac(printer.mac)) {
      KV_FUZZ_CHECK(std::equal(mac->begin(), mac->end(), b.begin() + 10));
    }
    KV_FUZZ_CHECK(b[16] == printer.deviceBytes[0] && b[17] == printer.deviceBytes[1]);
    KV_FUZZ_CHECK(std::equal(ip->begin(), ip->end(), b.begin() + 18));
    KV_FUZZ_CHECK(std::equal(maskBytes->begin(), maskBytes->end(), b.begin() + 22));
    KV_FUZZ_CHECK(std::equal(gatewayBytes->begin(), gatewayBytes->end(), b.begin() + 26));
    const auto port = static_cast<std::uint16_t>(printer.port <= 0 ? 9100 : printer.port);
    KV_FUZZ_CHECK(b[30] == (port & 0xFF) && b[31] == (port >> 8) && b[32] == 0);
  }

  // The refusals, on a computer without networks: worked out again from
  // inet_pton's bytes.
  if (!firstBad) {
    auto host = [](const std::array<std::uint8_t, 4>& b) {
      return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
             (std::uint32_t{b[2]} << 8) | b[3];
    };
    const std::uint32_t a = host(*ip), m = host(*maskBytes), g = host(*gatewayBytes);
    const bool maskOk = m != 0 && ((~m) & (~m + 1)) == 0;
    const bool edge = maskOk && m < 0xFFFFFFFEu && ((a & ~m) == 0 || (a | m) == 0xFFFFFFFFu);
    const bool refused = !maskOk || (*ip)[0] == 0 || (*ip)[0] >= 224 || a == g || edge ||
                         (g != 0 && (g & m) != (a & m));
    const std::optional<std::u16string> refusal =
        RefuseLanChange(addresses, LanPath::kBroadcast, {});
    KV_FUZZ_CHECK(refusal.has_value() == refused);
    KV_FUZZ_CHECK(!refusal || !refusal->empty());
    KV_FUZZ_CHECK(!ReachQuestion(addresses, &printer, {}));
  }

  // The IP-change command: 1F 1B 1F 22 and the address, or refused.
  const CommandResult change = BuildIpChangeCommand(addresses.newIp);
  if (ip) {
    KV_FUZZ_CHECK(!change.invalidField);
    KV_FUZZ_CHECK(change.bytes ==
                  (CommandBuffer{0x1F, 0x1B, 0x1F, 0x22, (*ip)[0], (*ip)[1], (*ip)[2], (*ip)[3]}));
  } else {
    KV_FUZZ_CHECK(change.invalidField == AddressField::LanNewIp && change.bytes.empty());
  }
  return 0;
}
