#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "tests/core/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Reference, AgreesWithInetPton) {
  ExpectAgreementWithInetPton<in_addr>(AF_INET, inet_pton, ntohl);
}

}  // namespace
}  // namespace korvante
