// The LAN job's hooks on Windows.
#pragma once

#include "app/lan_job.h"

namespace korvante {

// The real sockets and waits of the LAN job: broadcast sockets, the TCP
// transport and its connect, and a sleep on the calling thread.
LanJobHooks WindowsLanJobHooks();

}  // namespace korvante
