#include "commands/number_fields.h"

#include <algorithm>
#include <cstdint>

namespace korvante {

namespace {

// Only a field's first 31 units count: what a 32-unit buffer holds with its
// terminator.
constexpr std::size_t kNumberFieldUnits = 31;

// Windows' long is 32 bits, so wcstol saturates at these.
constexpr std::int64_t kLongMax = INT32_MAX;
constexpr std::int64_t kLongMin = INT32_MIN;

// The runtime's wcstol takes the decimal digits of these scripts as well as
// ASCII ones (a field typed with an IME's full-width digits reads as a number).
constexpr char16_t kDigitZeros[] = {
    0x0030,                                                          // ASCII
    0x0660, 0x06F0,                                                  // Arabic-Indic
    0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6, 0x0D66,  // Indic
    0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810,                  // Thai to Mongolian
    0xFF10,                                                          // full width
};

int DecimalDigit(char16_t unit) {
  for (char16_t zero : kDigitZeros) {
    if (unit >= zero && unit <= zero + 9) return unit - zero;
  }
  return -1;
}

}  // namespace

bool IsWideSpace(char16_t unit) {
  switch (unit) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x00A0:  // no-break space
    case 0x1680:
    case 0x2028:  // line separator
    case 0x2029:  // paragraph separator
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return unit >= 0x2000 && unit <= 0x200A;  // en quad to hair space
  }
}

bool IsBlankText(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsWideSpace);
}

std::int32_t ReadPositiveNumber(std::u16string_view text, std::int32_t fallback) {
  text = text.substr(0, std::min(text.size(), kNumberFieldUnits));
  std::size_t at = 0;
  while (at < text.size() && IsWideSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
  }
  // Accumulate the magnitude and stop growing it once it is past the range:
  // 31 digits would overflow any integer type.
  std::int64_t magnitude = 0;
  for (int digit = 0; at < text.size() && (digit = DecimalDigit(text[at])) >= 0; ++at) {
    magnitude = std::min<std::int64_t>(magnitude * 10 + digit, kLongMax + 1);
  }
  const std::int64_t value =
      negative ? std::max(-magnitude, kLongMin) : std::min(magnitude, kLongMax);
  return value <= 0 ? fallback : static_cast<std::int32_t>(value);
}

}  // namespace korvante
