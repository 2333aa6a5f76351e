// glibc's VISCII converter is an independent reference for the encoder: every
// UTF-16 unit from 0x80 to 0xFFFF must encode as iconv encodes it, and units
// iconv cannot encode must give '?'.
#include <iconv.h>

#include <gtest/gtest.h>

#include "core/command_buffer.h"

namespace korvante {
namespace {

// The VISCII byte iconv gives for one code point, or -1 when it has none.
int IconvViscii(iconv_t converter, char16_t unit) {
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};  // UTF-16LE
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = sizeof in, outLeft = sizeof out;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
    return -1;
  if (sizeof out - outLeft != 1) return -1;
  return static_cast<unsigned char>(out[0]);
}

TEST(VisciiReference, EveryUnitAgreesWithIconv) {
  iconv_t converter = iconv_open("VISCII", "UTF-16LE");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "glibc has no VISCII converter";
  int mapped = 0;
  for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    const auto unit = static_cast<char16_t>(cp);
    if (cp >= 0xD800 && cp <= 0xDFFF) {  // a lone surrogate half is never a letter
      ASSERT_EQ(VisciiByte(unit), '?');
      continue;
    }
    const int reference = IconvViscii(converter, unit);
    if (reference >= 0) ++mapped;
    ASSERT_EQ(VisciiByte(unit), reference >= 0 ? reference : '?')
        << std::hex << "U+" << static_cast<unsigned>(cp);
  }
  iconv_close(converter);
  EXPECT_EQ(mapped, 134);
}

}  // namespace
}  // namespace korvante
