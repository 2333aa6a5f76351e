#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include "tests/core/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Reference, AgreesWithInetPton) {
  ExpectAgreementWithInetPton<IN_ADDR>(AF_INET, inet_pton, ntohl);
}

}  // namespace
}  // namespace korvante
