// The platform's inet_pton is the reference for the portable IPv4 parser.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include "discovery/printer_records.h"
#include "tests/discovery/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Reference, AgreesWithInetPton) {
  for (const char* text : kIpv4ReferenceCases) {
    IN_ADDR address{};
    const bool platform = inet_pton(AF_INET, text, &address) == 1;
    std::uint32_t ours = 0;
    EXPECT_EQ(parseIpv4(text, ours), platform) << '"' << text << '"';
    if (platform) {
      EXPECT_EQ(ours, address.s_addr) << text;
      EXPECT_EQ(ipv4ToHost(text), ntohl(address.s_addr)) << text;
    }
  }
}

}  // namespace
}  // namespace korvante
