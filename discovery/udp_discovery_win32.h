// UDP discovery over real sockets: the request broadcast through each
// network's own adapter, the replies collected by the portable loop.
#pragma once

#include <cstdint>
#include <vector>

#include "discovery/udp_discovery.h"

namespace korvante {

// Discovery on every network at once: the sockets of PlanDiscoverySockets,
// each broadcasting the request to its targets, listened to together for
// listenMs. With one profile (or none) that is one wildcard socket asking the
// chosen profile's broadcast targets. Empty when no socket can be made.
std::vector<NetworkPrinter> DiscoverEveryNetwork(const std::vector<NetworkProfile>& profiles,
                                                 std::uint32_t listenMs);

}  // namespace korvante
