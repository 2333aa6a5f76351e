// Draws a printed strip as the paper looks: 576 pixels wide, one pixel a dot,
// black on white, with cairo; the characters in DejaVu Sans (every Vietnamese
// letter), each glyph stretched to fill its printer cell.
#pragma once

#include <string>

#include "tools/printer-lab/printer-sim/ticket_layout.h"

namespace korvante::sim {

// The tallest picture drawn; a strip fed further is cut short there.
constexpr int kMaxPictureDots = 30000;

// Writes the strip as a PNG file; false with a reason in `error` on failure.
bool WriteTicketPng(const PrintedStrip& strip, const std::string& path, std::string& error);

}  // namespace korvante::sim
