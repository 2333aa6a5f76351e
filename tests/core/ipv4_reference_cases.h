// The platform's inet_pton is the reference for the portable IPv4 parser: on
// these address texts both must agree, on the host (glibc) and under Wine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/printer_records.h"

namespace korvante {

// Ipv4Bytes as the platform's parser reports it: on success the four address
// bytes in text order (network order) in `out`; on failure `out` untouched.
inline bool ParseIpv4(const std::string& text, std::uint32_t& out) {
  const auto bytes = Ipv4Bytes(text);
  if (!bytes) return false;
  std::memcpy(&out, bytes->data(), sizeof out);
  return true;
}

inline constexpr const char* kIpv4ReferenceCases[] = {
    "192.168.1.25", "0.0.0.0",   "255.255.255.255", "1.2.3.4",    "10.0.0.100", "",
    "1.2.3",        "1.2.3.4.5", "256.0.0.1",       "1.2.3.256",  "01.2.3.4",   "1.2.3.04",
    "0.0.0.00",     "1..2.3",    ".1.2.3",          "1.2.3.",     "1.2.3.4 ",   " 1.2.3.4",
    "1.2.3.4\n",    "0x1.2.3.4", "1.2.3.-4",        "+1.2.3.4",   "a.b.c.d",    "1,2,3,4",
    "1.2.3.4/24",   "999.1.1.1", "1.2.3.4.",        "1.2.3.1000", "127.0.0.1",  "172.16.5.9",
};

// The comparison with the platform's inet_pton and ntohl, whose address
// record is InAddr (its s_addr in network order).
template <typename InAddr, typename InetPton, typename Ntohl>
void ExpectAgreementWithInetPton(int addressFamily, InetPton inetPton, Ntohl toHost) {
  for (const char* text : kIpv4ReferenceCases) {
    InAddr address{};
    const bool platform = inetPton(addressFamily, text, &address) == 1;
    const std::uint32_t platformValue = platform ? address.s_addr : 0;
    std::uint32_t ours = 0;
    EXPECT_EQ(ParseIpv4(text, ours), platform) << '"' << text << '"';
    if (platform) {
      EXPECT_EQ(ours, platformValue) << text;
      EXPECT_EQ(Ipv4ToHost(text), toHost(platformValue)) << text;
    }
  }
}

}  // namespace korvante
