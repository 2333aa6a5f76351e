// The numeric fields: "Độ đậm" (density) and "Số liên" (copies), read as the
// runtime's wcstol reads them, and the commands built from them.
//
// Input: the field's text (UTF-8, read leniently).
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "commands/device_settings.h"
#include "commands/number_fields.h"
#include "commands/queue_ticket.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::u16string text = Text16(AsText(data, size));

  const std::int32_t density = DensityFromText(text);
  const int copies = CopiesFromText(text);
  KV_FUZZ_CHECK(density >= 1 && density <= 8);
  KV_FUZZ_CHECK(copies >= 1 && copies <= 9);

  // The C library is the expectation for ASCII text: the window reads 31
  // units, and the platform's long is 32 bits, so the value saturates there.
  const std::u16string read = text.substr(0, 31);
  if (std::all_of(read.begin(), read.end(), [](char16_t u) { return u < 0x80; })) {
    const std::string narrow(read.begin(), read.end());
    const long long wide = std::strtoll(narrow.c_str(), nullptr, 10);
    const long long value = std::clamp<long long>(wide, INT32_MIN, INT32_MAX);
    KV_FUZZ_CHECK(density == (value <= 0 ? 5 : std::min<long long>(value, 8)));
    KV_FUZZ_CHECK(copies == (value <= 0 ? 1 : std::min<long long>(value, 9)));
  }

  const CommandBuffer densityCommand = BuildDensityCommand(density);
  KV_FUZZ_CHECK(densityCommand ==
                (CommandBuffer{0x1F, 0x1B, 0x1F, 0x13, 0x14, static_cast<std::uint8_t>(density)}));
  const CommandBuffer settings = BuildQueueSettingsCommand(true, copies, {2026, 12, 7});
  KV_FUZZ_CHECK(settings ==
                (CommandBuffer{0x1F, 0x1B, 0x1F, 0x84, 0x01, 0x01, 0x00, 0x00,
                               static_cast<std::uint8_t>(copies), 0x26, 0x12, 0x07, 0x00}));
  return 0;
}
