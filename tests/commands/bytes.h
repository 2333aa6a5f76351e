// Expected byte sequences written as the protocol tables write them: "1B 40".
#pragma once

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace korvante {

inline std::vector<std::uint8_t> bytes(const std::string& hex) {
  std::vector<std::uint8_t> out;
  std::istringstream in(hex);
  std::string pair;
  while (in >> pair)
    out.push_back(static_cast<std::uint8_t>(std::strtoul(pair.c_str(), nullptr, 16)));
  return out;
}

}  // namespace korvante
