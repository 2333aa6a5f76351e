// The computer's own networks, read from the platform.
#pragma once

#include <vector>

#include "discovery/network_profiles.h"

namespace korvante {

// The computer's profiles, sorted; empty when the adapter list cannot be read
// (GetAdaptersAddresses).
std::vector<NetworkProfile> EnumerateProfiles();

}  // namespace korvante
