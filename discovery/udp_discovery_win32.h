// UDP discovery over real sockets: the request broadcast through each
// network's own adapter, the replies collected by the portable loop.
#pragma once

#include <cstdint>
#include <vector>

#include "discovery/udp_discovery.h"

namespace korvante {

// Broadcasts the request to every target of the profile and listens for
// listenMs. Empty when no socket can be made.
std::vector<NetworkPrinter> DiscoverUdp(const NetworkProfile& profile, std::uint32_t listenMs);

// Discovery on every network at once: the sockets of PlanDiscoverySockets,
// listened to together for listenMs. With one profile (or none) this is
// DiscoverUdp of the chosen profile.
std::vector<NetworkPrinter> DiscoverEveryNetwork(const std::vector<NetworkProfile>& profiles,
                                                 std::uint32_t listenMs);

}  // namespace korvante
