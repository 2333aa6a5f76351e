// A minimal PNG writer for the window screenshots of the test run: 8-bit RGB,
// uncompressed deflate blocks, so it needs no image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvante::testing {

// rgb holds width * height * 3 bytes, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace korvante::testing
