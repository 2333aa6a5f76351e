#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include "tests/core/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Reference, AgreesWithInetPton) {
  ExpectAgreementWithPlatform(
      [](const char* text, std::uint32_t& value) {
        IN_ADDR address{};
        if (inet_pton(AF_INET, text, &address) != 1) return false;
        value = address.s_addr;
        return true;
      },
      [](std::uint32_t value) { return ntohl(value); });
}

}  // namespace
}  // namespace korvante
