// The text conversions at the edge of every command: VISCII for printed
// text, ASCII narrowing for addresses and WiFi credentials, UTF-8 for the QR
// link, and UTF-8 record texts read back for the window. glibc's iconv is the
// independent expectation.
//
// Input: UTF-16LE text (a trailing odd byte is dropped); the same bytes are
// also read as UTF-8.
#include <iconv.h>

#include <algorithm>
#include <array>

#include "core/command_buffer.h"
#include "core/text_encoding.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// One iconv direction, opened once (the fuzzer runs on one thread).
class Converter {
 public:
  Converter(const char* to, const char* from) : c_(iconv_open(to, from)) {
    KV_FUZZ_CHECK(c_ != reinterpret_cast<iconv_t>(-1));
  }
  ~Converter() { iconv_close(c_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The whole buffer converted; nullopt when iconv refuses any of it.
  std::optional<std::string> operator()(std::string_view in) const {
    iconv(c_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in.data());
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    if (iconv(c_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  iconv_t c_;
};

const Converter toViscii("VISCII", "UTF-16LE");
const Converter utf16ToUtf8("UTF-8", "UTF-16LE");
const Converter utf8ToUtf16("UTF-16LE", "UTF-8");

std::string Utf16le(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

// The VISCII byte of every unit at or above 0x80 as iconv gives it, '?' for
// the units it cannot encode.
const std::array<std::uint8_t, 0x10000>& VisciiReferenceOf() {
  static const auto table = [] {
    std::array<std::uint8_t, 0x10000> t{};
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
      const auto unit = static_cast<char16_t>(cp);
      const auto byte = IsSurrogate(unit) ? std::nullopt : toViscii(Utf16le({unit}));
      t[cp] = byte && byte->size() == 1 ? static_cast<std::uint8_t>((*byte)[0]) : '?';
    }
    return t;
  }();
  return table;
}

void CheckViscii(const std::u16string& text) {
  CommandBuffer encoded;
  AppendViscii(encoded, text);
  // One byte per unit, except CR, which gives none.
  std::size_t at = 0;
  for (char16_t u : text) {
    if (u == u'\r') continue;
    KV_FUZZ_CHECK(at < encoded.size());
    KV_FUZZ_CHECK(encoded[at++] == (u < 0x80 ? u : VisciiReferenceOf()[u]));
  }
  KV_FUZZ_CHECK(at == encoded.size());
}

void CheckNarrow(const std::u16string& text) {
  KV_FUZZ_CHECK(ToAsciiNarrow(text) == AsciiNarrowed(text));
}

void CheckUtf8(std::u16string text) {
  const std::string utf8 = ToUtf8(text);
  // A surrogate half without its partner becomes U+FFFD, as the platform's
  // conversion does; then the text is valid UTF-16 and iconv agrees.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (IsSurrogate(text[i])) {
      text[i] = 0xFFFD;
    }
  }
  KV_FUZZ_CHECK(utf16ToUtf8(Utf16le(text)) == utf8);
  KV_FUZZ_CHECK(FromUtf8(utf8) == text);  // and it reads back unchanged
}

void CheckFromUtf8(std::string_view bytes) {
  const std::u16string text = FromUtf8(bytes);
  // Valid UTF-8 reads as iconv reads it; any input gives well-formed UTF-16.
  if (const auto reference = utf8ToUtf16(bytes)) {
    KV_FUZZ_CHECK(Utf16le(text) == *reference);
    KV_FUZZ_CHECK(ToUtf8(text) == bytes);
  }
  KV_FUZZ_CHECK(utf16ToUtf8(Utf16le(text)).has_value());
  KV_FUZZ_CHECK(text.empty() == bytes.empty());
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante::fuzz;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  CheckViscii(text);
  CheckNarrow(text);
  CheckUtf8(text);
  CheckFromUtf8(AsText(data, size));
  return 0;
}
