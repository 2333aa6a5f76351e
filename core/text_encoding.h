// Text conversions between the tool's UTF-16 text and the bytes printers and
// the platform see, and the keyword search shared by device and adapter rules.
#pragma once

#include <string>
#include <string_view>

namespace korvante {

// Each UTF-16 unit from 1 to 127 becomes the same byte, every other unit
// (0, and 128 and above, Vietnamese letters included) becomes '?'. Same length.
// Used for address fields and WiFi credentials.
std::string ToAsciiNarrow(std::u16string_view text);

// UTF-8 of the whole text; empty for empty text. A lone surrogate becomes
// U+FFFD, as the platform's wide-to-multibyte conversion does.
std::string ToUtf8(std::u16string_view text);

// UTF-16 of UTF-8 text; invalid sequences become U+FFFD. Record texts (narrow
// UTF-8) meet the user interface through this.
std::u16string FromUtf8(std::string_view text);

// ASCII text widened unit by unit (for literals and narrow record fields that
// are known to be ASCII, such as dotted addresses).
std::u16string WidenAscii(std::string_view text);

// The six white-space characters of the C locale: space, \t \n \v \f \r.
constexpr bool IsAsciiSpace(char16_t unit) {
  return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

// Lower-cases the letters A to Z only; every other unit is left unchanged.
std::u16string AsciiLower(std::u16string_view text);

// True when the lower-cased text contains any of the lower-cased keywords as a
// substring (letters A to Z folded only). Keywords are tried in order.
bool ContainsAnyKeyword(std::u16string_view text, const std::u16string_view* keywords,
                        std::size_t count);

template <std::size_t N>
bool ContainsAnyKeyword(std::u16string_view text, const std::u16string_view (&keywords)[N]) {
  return ContainsAnyKeyword(text, keywords, N);
}

}  // namespace korvante
