// The technical page's two printer settings, each one proprietary command,
// and the reading of the tool's numeric fields.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/command_buffer.h"

namespace korvante {

inline constexpr std::int32_t kDefaultDensity = 5;
inline constexpr std::int32_t kMaxDensity = 8;

// The C library's wide white-space test as the platform's runtime answers it:
// space, \t \n \v \f \r, no-break space and the other Unicode space, line
// and paragraph separators.
bool IsWideSpace(char16_t unit);

// A numeric field as wcstol reads it in base 10 from the first 31 units:
// leading white space, an optional sign, decimal digits (ASCII, full-width
// and the other scripts the runtime accepts) up to the first other unit,
// saturating at the 32-bit long range; 0 or less (no digits included) gives
// `fallback`.
std::int32_t ReadPositiveNumber(std::u16string_view text, std::int32_t fallback);

// 1F 1B 1F E0 13 14 s 04 02 03, s = 1 to beep after printing; with
// `testPrint` followed by ESC @ and ESC d 1 (15 bytes in all).
CommandBuffer BuildBuzzerCommand(bool beepAfterPrint, bool testPrint);

// The "Độ đậm" field's value: 5 when it is not a positive number, at most 8.
std::int32_t DensityFromText(std::u16string_view text);

// 1F 1B 1F 13 14 n with n clamped to 1..8.
CommandBuffer BuildDensityCommand(std::int32_t density);

}  // namespace korvante
