// Address texts on which the portable parser must agree with inet_pton.
#pragma once

namespace korvante {

inline constexpr const char* kIpv4ReferenceCases[] = {
    "192.168.1.25", "0.0.0.0",   "255.255.255.255", "1.2.3.4",    "10.0.0.100", "",
    "1.2.3",        "1.2.3.4.5", "256.0.0.1",       "1.2.3.256",  "01.2.3.4",   "1.2.3.04",
    "0.0.0.00",     "1..2.3",    ".1.2.3",          "1.2.3.",     "1.2.3.4 ",   " 1.2.3.4",
    "1.2.3.4\n",    "0x1.2.3.4", "1.2.3.-4",        "+1.2.3.4",   "a.b.c.d",    "1,2,3,4",
    "1.2.3.4/24",   "999.1.1.1", "1.2.3.4.",        "1.2.3.1000", "127.0.0.1",  "172.16.5.9",
};

}  // namespace korvante
