// The port-9100 sweep over real sockets.
#pragma once

#include <vector>

#include "discovery/tcp_sweep.h"

namespace korvante {

// SweepNetwork with the port-9100 probe: connect within 420 ms, then
// ProbeStatus. Blocks until every host was tried.
std::vector<NetworkPrinter> ScanTcp9100(const NetworkProfile& profile);

}  // namespace korvante
