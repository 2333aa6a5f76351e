// printer-sim --render: the pictures of the bytes in a file, without a network.
#pragma once

namespace korvante::sim {

// `args` are the words after "--render"; returns the process's exit code.
int RenderFileCommand(int argc, char** argv);

}  // namespace korvante::sim
