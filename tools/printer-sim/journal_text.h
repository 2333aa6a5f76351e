// The journal's ways of writing bytes and peers, shared by the printer and
// its hostile modes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace korvante::sim {

// "1B 40 0A": upper-case hex, one space between bytes.
inline std::string HexText(const std::uint8_t* data, std::size_t n) {
  std::string out;
  char two[4];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(two, sizeof two, i ? " %02X" : "%02X", data[i]);
    out += two;
  }
  return out;
}

// "192.168.77.2:9000".
inline std::string PeerText(const sockaddr_in& a) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

}  // namespace korvante::sim
