// How the tool reads its numeric fields ("Số liên", "Độ đậm"): as the
// platform's C runtime reads a number, so that a field means what it always
// meant, full-width digits typed with an IME included.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvante {

// The C library's wide white-space test as the platform's runtime answers it:
// space, \t \n \v \f \r, no-break space and the other Unicode space, line
// and paragraph separators.
bool IsWideSpace(char16_t unit);

// True when the text is empty or holds nothing but IsWideSpace units.
bool IsBlankText(std::u16string_view text);

// A numeric field as wcstol reads it in base 10 from the first 31 units:
// leading white space, an optional sign, decimal digits (ASCII, full-width
// and the other scripts the runtime accepts) up to the first other unit,
// saturating at the 32-bit long range; 0 or less (no digits included) gives
// `fallback`.
std::int32_t ReadPositiveNumber(std::u16string_view text, std::int32_t fallback);

}  // namespace korvante
