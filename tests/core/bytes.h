// Expected byte sequences written as the protocol tables write them: "1B 40".
#pragma once

#include <cctype>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvante {

// Each byte is exactly two hex digits, separated by white space. Anything else
// is a typo in the test ("4O", "zz", "123") and throws, so the test fails
// instead of comparing against bytes nobody meant.
inline std::vector<std::uint8_t> HexBytes(const std::string& hex) {
  std::vector<std::uint8_t> out;
  std::istringstream in(hex);
  std::string pair;
  while (in >> pair) {
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (pair.size() != 2 || !isHex(pair[0]) || !isHex(pair[1])) {
      throw std::invalid_argument("HexBytes(\"" + hex + "\"): malformed byte \"" + pair + "\"");
    }
    out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  }
  return out;
}

}  // namespace korvante
