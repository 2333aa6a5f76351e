// "Cài WiFi" fed whatever the WiFi page holds: the command is 19 bytes plus
// the narrowed name and password, or refused when an address does not parse
// (inet_pton is the expectation).
//
// Input, one field a line: network name, password, address, mask, gateway.
#include <arpa/inet.h>

#include <array>

#include "commands/network_settings.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::vector<std::string_view> lines = Split(AsText(data, size), "\n");
  WifiSettings settings{Text16(Field(lines, 0)), Text16(Field(lines, 1)), Text16(Field(lines, 2)),
                        Text16(Field(lines, 3)), Text16(Field(lines, 4))};

  // The command's fields in order: address, mask, gateway.
  CommandBuffer expected{0x1F, 0x1B, 0x1F, 0xB4};
  std::optional<AddressField> firstBad;
  const std::pair<const std::u16string*, AddressField> addresses[] = {
      {&settings.ip, AddressField::WifiIp},
      {&settings.mask, AddressField::Mask},
      {&settings.gateway, AddressField::Gateway}};
  for (const auto& [text, fieldName] : addresses) {
    std::array<std::uint8_t, 4> bytes{};
    if (inet_pton(AF_INET, AsciiNarrowed(*text).c_str(), bytes.data()) != 1) {
      if (!firstBad) firstBad = fieldName;
      continue;
    }
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  expected.push_back(0x06);
  const std::string name = AsciiNarrowed(settings.networkName);
  const std::string password = AsciiNarrowed(settings.password);
  expected.insert(expected.end(), name.begin(), name.end());
  expected.push_back(0x00);
  expected.insert(expected.end(), password.begin(), password.end());
  expected.push_back(0x00);

  const CommandResult built = BuildWifiCommand(settings);
  KV_FUZZ_CHECK(built.invalidField == firstBad);
  if (firstBad) {
    KV_FUZZ_CHECK(built.bytes.empty());
  } else {
    KV_FUZZ_CHECK(built.bytes == expected);
    KV_FUZZ_CHECK(built.bytes.size() == 19 + name.size() + password.size());
  }
  return 0;
}
