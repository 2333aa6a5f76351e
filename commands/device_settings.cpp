#include "commands/device_settings.h"

#include <algorithm>
#include <cstdint>

#include "commands/number_fields.h"
#include "core/command_vocabulary.h"

namespace korvante {

CommandBuffer BuildBuzzerCommand(bool beepAfterPrint, bool testPrint) {
  CommandBuffer buffer;
  AppendBytes(buffer, kProprietaryPrefix);           // [0:3) US ESC US
  AppendByte(buffer, kFnBuzzer);                     // [3] function E0
  AppendBytes(buffer, Bytes<2>{0x13, 0x14});         // [4:6) fixed 13 14, the printer's own
  AppendByte(buffer, beepAfterPrint ? 0x01 : 0x00);  // [6] s: 1 beeps after printing
  // [7:10) fixed 04 02 03: no byte follows "Số lần".
  AppendBytes(buffer, Bytes<3>{0x04, 0x02, 0x03});
  if (testPrint) {
    AppendBytes(buffer, kInitialize);           // [10:12) ESC @
    AppendBytes(buffer, kPrintAndFeedOneLine);  // [12:15) ESC d 1: the test print
  }
  return buffer;
}

std::int32_t DensityFromText(std::u16string_view text) {
  return std::min(ReadPositiveNumber(text, kDefaultDensity), kMaxDensity);
}

CommandBuffer BuildDensityCommand(std::int32_t density) {
  CommandBuffer buffer;
  const auto level = static_cast<std::uint8_t>(std::clamp<std::int32_t>(density, 1, kMaxDensity));
  AppendBytes(buffer, kProprietaryPrefix);  // [0:3) US ESC US
  AppendByte(buffer, kFnDensity);           // [3] function 13
  AppendByte(buffer, 0x14);                 // [4] fixed 14, the printer's own
  AppendByte(buffer, level);                // [5] n: density 1 to 8
  return buffer;
}

}  // namespace korvante
