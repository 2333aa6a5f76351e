// The technical page's two printer settings, each one proprietary command.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/command_buffer.h"

namespace korvante {

inline constexpr std::int32_t kDefaultDensity = 5;
inline constexpr std::int32_t kMaxDensity = 8;

// 1F 1B 1F E0 13 14 s 04 02 03, s = 1 to beep after printing; with
// `testPrint` followed by ESC @ and ESC d 1 (15 bytes in all).
CommandBuffer BuildBuzzerCommand(bool beepAfterPrint, bool testPrint);

// The "Độ đậm" field's value: 5 when it is not a positive number, at most 8.
std::int32_t DensityFromText(std::u16string_view text);

// 1F 1B 1F 13 14 n with n clamped to 1..8.
CommandBuffer BuildDensityCommand(std::int32_t density);

}  // namespace korvante
