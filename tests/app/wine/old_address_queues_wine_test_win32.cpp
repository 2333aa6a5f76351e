// The queues still printing to a printer's old address, from the Standard
// TCP/IP port monitor's keys and the spooler of Wine, over the bench's queues
// (usb_bench.reg), as the window names them after an address change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/old_address_queues_win32.h"

namespace korvante {
namespace {

TEST(OldAddressQueuesWine, QueuesOnTcpPortsNamingAnAddress) {
  EXPECT_EQ(WindowsQueuesAtAddress("192.168.77.100"),
            (std::vector<std::u16string>{u"Bep", u"Thu ngan"}));
  EXPECT_EQ(WindowsQueuesAtAddress("192.168.77.9"), std::vector<std::u16string>{u"Van phong"});
  EXPECT_TRUE(WindowsQueuesAtAddress("192.168.77.10").empty());
}

}  // namespace
}  // namespace korvante
