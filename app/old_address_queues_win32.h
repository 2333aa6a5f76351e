// The Windows side of old_address_queues.h.
#pragma once

#include <string>
#include <vector>

namespace korvante {

// The local print queues whose Standard TCP/IP port names `address`, read
// from the registry and the spooler; empty when none does or neither reads.
std::vector<std::u16string> WindowsQueuesAtAddress(const std::string& address);

}  // namespace korvante
