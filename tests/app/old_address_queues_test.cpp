// The Windows queues still printing to a printer's old address.
#include "app/old_address_queues.h"

#include <gtest/gtest.h>

#include "app/window_texts.h"

namespace korvante {
namespace {

TEST(OldAddressQueues, QueuesWhosePortNamesTheAddress) {
  const std::vector<TcpPrinterPort> ports = {
      {u"IP_192.168.1.50", u"", u"192.168.1.50"},  // made from an address
      {u"Quay 2", u" 192.168.1.50 ", u""},         // a host name that is the address
      {u"IP_192.168.1.5", u"", u"192.168.1.5"},    // a prefix of the address is another
      {u"", u"192.168.1.50", u""},                 // no name: no queue can use it
  };
  const std::vector<PrintQueueReport> queues = {
      {u"Thu ngân", u"ip_192.168.1.50", u""},  // port names ignore case
      {u"Bếp", u"USB001, Quay 2", u""},        // pooled: any of its ports
      {u"Văn phòng", u"IP_192.168.1.5", u""},
      {u"Kho", u"IP_192.168.1.500", u""},
      {u"PDF", u"", u""},
  };
  EXPECT_EQ(QueuesAtAddress(ports, queues, "192.168.1.50"),
            (std::vector<std::u16string>{u"Thu ngân", u"Bếp"}));
  EXPECT_EQ(QueuesAtAddress(ports, queues, "192.168.1.5"),
            std::vector<std::u16string>{u"Văn phòng"});
  EXPECT_TRUE(QueuesAtAddress(ports, queues, "10.0.0.1").empty());
  EXPECT_TRUE(QueuesAtAddress({}, queues, "192.168.1.50").empty());

  EXPECT_EQ(OldAddressQueuesNote({}, "192.168.1.50", "192.168.1.60"), u"");
  EXPECT_EQ(OldAddressQueuesNote({u"Thu ngân", u"Bếp"}, "192.168.1.50", "192.168.1.60"),
            u"Máy in trên Windows vẫn in tới IP cũ 192.168.1.50: \u201CThu ngân\u201D, "
            u"\u201CBếp\u201D. Hãy sửa cổng của máy in đó sang IP 192.168.1.60 (xem hướng dẫn, "
            u"mục đổi IP).");
}

}  // namespace
}  // namespace korvante
