// The Win32 edge of the tool's UTF-16 text: wchar_t is 16 bits on Windows, so
// std::u16string and the wide API share one representation.
#pragma once

#include <string>
#include <string_view>

namespace korvante {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

// UTF-16 text as the wide Win32 calls take it.
inline const wchar_t* WideText(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The same for a view of a string literal, whose terminator follows it.
inline const wchar_t* WideText(std::u16string_view literal) {
  return reinterpret_cast<const wchar_t*>(literal.data());
}

// A wide text from the platform; a missing (null) text is empty.
inline std::u16string FromWide(const wchar_t* text) {
  return text == nullptr ? std::u16string()
                         : std::u16string(reinterpret_cast<const char16_t*>(text));
}

}  // namespace korvante
