// What every fuzz target shares: the invariant check, and the reading of the
// fuzzer's bytes into the texts and records the tool receives from outside.
//
// Most targets read a small text format (one record a line, fields split by
// '|'), so that the seeds are readable and the fuzzer's mutations stay close
// to real reports. Field texts are UTF-8, read leniently: a byte that starts
// no valid sequence is taken as the Latin-1 unit of the same value, and
// three-byte sequences may encode surrogate halves, so every UTF-16 unit the
// platform can report is reachable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvante::fuzz {

// An invariant that does not hold is a finding: it stops the run like a crash
// and leaves the input behind.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, file, line);
  std::abort();
}

#define KV_FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::korvante::fuzz::Fail(#condition, __FILE__, __LINE__))

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The parts of `text` between separators; n separators give n + 1 parts.
inline std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + separator.size());
  }
}

// Field `i` of a split line, empty when the line has fewer fields.
inline std::string_view Field(const std::vector<std::string_view>& fields, std::size_t i) {
  return i < fields.size() ? fields[i] : std::string_view{};
}

// Lenient UTF-8 to UTF-16, independent of the product's decoder (see above).
inline std::u16string Text16(std::string_view utf8) {
  std::u16string out;
  auto byte = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned lead = byte(i);
    const std::size_t extra = lead >= 0xF0 && lead < 0xF5   ? 3
                              : lead >= 0xE0 && lead < 0xF0 ? 2
                              : lead >= 0xC0 && lead < 0xE0 ? 1
                                                            : 0;
    char32_t cp = lead & (0x3Fu >> extra);
    bool whole = extra > 0 && i + extra < utf8.size();
    for (std::size_t k = 1; whole && k <= extra; ++k) {
      whole = (byte(i + k) & 0xC0) == 0x80;
      cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (whole && cp <= 0xFFFF) {
      out += static_cast<char16_t>(cp);  // surrogate halves included
    } else if (whole && cp <= 0x10FFFF) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(lead);
      i += 1;
      continue;
    }
    i += 1 + extra;
  }
  return out;
}

// A small decimal number of a field ("12", "-3"); `fallback` when it holds none.
inline long Number(std::string_view text, long fallback) {
  long value = 0;
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') negative = true, ++i;
  const std::size_t digitsAt = i;
  for (; i < text.size() && i < digitsAt + 9 && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  if (i == digitsAt) return fallback;
  return negative ? -value : value;
}

inline bool HasFlag(std::string_view text, char flag) {
  return text.find(flag) != std::string_view::npos;
}

// The ASCII narrowing of addresses and WiFi credentials, independent of the
// product's: units 1 to 127 are kept, every other unit becomes '?'.
inline std::string AsciiNarrowed(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) out += u >= 1 && u <= 127 ? static_cast<char>(u) : '?';
  return out;
}

// Folds A to Z only, as the tool's case-insensitive comparisons do.
inline std::u16string LowerAscii(std::u16string text) {
  for (char16_t& u : text) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
  }
  return text;
}

}  // namespace korvante::fuzz
