// The journal's lines and its ways of writing bytes, addresses and peers, shared by the
// printer, its hostile modes and its reading of commands.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace korvante::sim {

// "1B 40 0A": upper-case hex, one space between bytes.
inline std::string HexText(std::span<const std::uint8_t> bytes) {
  std::string out;
  char two[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(two, sizeof two, i ? " %02X" : "%02X", bytes[i]);
    out += two;
  }
  return out;
}
// One byte: "1B".
inline std::string HexText(std::uint8_t byte) { return HexText({&byte, 1}); }

// The four bytes at `b` as an address: "192.168.77.2".
inline std::string DottedText(const std::uint8_t* b) {
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
         std::to_string(b[3]);
}

// "192.168.77.2:9000".
inline std::string PeerText(const sockaddr_in& a) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

// Appends "<seconds since start> <what> <peer> <rest>" to the journal and
// flushes it; returns the seconds.
inline double WriteJournalLine(std::FILE* journal, std::chrono::steady_clock::time_point start,
                               const std::string& what, const std::string& peer,
                               const std::string& rest) {
  const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(journal, "%.3f %s %s %s\n", t, what.c_str(), peer.c_str(), rest.c_str());
  std::fflush(journal);
  return t;
}

}  // namespace korvante::sim
