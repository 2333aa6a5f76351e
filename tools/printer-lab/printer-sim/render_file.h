// printer-sim --render: the pictures of the bytes in a file, without a network.
#pragma once

#include <string>

#include "tools/printer-lab/printer-sim/escpos_reader.h"

namespace korvante::sim {

// Appends the bytes of hex text as a journal prints it ("1B 40 0A", "hex=" and
// "|..." tails allowed) to `out`; '#' starts a comment that runs to the end of
// its line. False when the text holds anything else or an odd digit.
bool ParseHexText(const std::string& text, Bytes& out);

// `args` are the words after "--render"; returns the process's exit code.
int RenderFileCommand(int argc, char** argv);

}  // namespace korvante::sim
