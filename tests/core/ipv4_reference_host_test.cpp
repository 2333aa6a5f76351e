#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "tests/core/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Reference, AgreesWithInetPton) {
  ExpectAgreementWithPlatform(
      [](const char* text, std::uint32_t& value) {
        in_addr address{};
        if (inet_pton(AF_INET, text, &address) != 1) return false;
        value = address.s_addr;
        return true;
      },
      [](std::uint32_t value) { return ntohl(value); });
}

}  // namespace
}  // namespace korvante
