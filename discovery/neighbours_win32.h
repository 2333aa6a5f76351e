// The neighbour check over the platform: a datagram to the address and the
// IPv4 neighbour table (GetIpNetTable2).
#pragma once

#include "discovery/neighbours.h"

namespace korvante {

// Hooks that send the datagram from a socket of their own, read the table
// and sleep on the calling thread. Under Wine SendARP is not implemented
// (ERROR_NOT_SUPPORTED); a datagram and the table work on both.
NeighbourHooks WindowsNeighbourHooks();

}  // namespace korvante
