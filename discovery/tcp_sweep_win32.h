// The port-9100 sweep over real sockets.
#pragma once

#include <vector>

#include "discovery/tcp_sweep.h"

namespace korvante {

// SweepAtOnce over real sockets: every host's connect within 420 ms, the
// status requests to each that accepts. Blocks until every host was tried.
std::vector<NetworkPrinter> ScanTcp9100(const NetworkProfile& profile);

}  // namespace korvante
