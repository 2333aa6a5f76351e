// After a printer moved to a new address, the sales software keeps printing
// through a Windows print queue whose Standard TCP/IP port still names the old
// one. The tool cannot change such a port (it needs administrator rights), but
// it can name the queues, so that the user knows which ones to update.
#pragma once

#include <string>
#include <vector>

#include "usb/usb_rules.h"

namespace korvante {

// One port of the Standard TCP/IP port monitor: the printer is reached at its
// host name or, when it was given as an address, its IP address.
struct TcpPrinterPort {
  std::u16string name;
  std::u16string hostName;
  std::u16string ipAddress;
};

// The queues, in the spooler's order, that print through a port naming
// `address`. A pooled queue lists its ports joined by commas; port names
// compare without regard to case, as Windows compares them.
std::vector<std::u16string> QueuesAtAddress(const std::vector<TcpPrinterPort>& ports,
                                            const std::vector<PrintQueueReport>& queues,
                                            const std::string& address);

}  // namespace korvante
