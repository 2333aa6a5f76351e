// What the LAN page says of each kind of target, and the change that would
// change nothing.
#include "app/lan_target_info.h"

#include <gtest/gtest.h>

#include "app/window_texts.h"

namespace korvante {
namespace {

PrinterTarget Network(const char* ip, const char* mac, const char* mask, const char* gateway,
                      bool heard) {
  PrinterTarget target;
  target.kind = kModeNetwork;
  target.net.ip = ip;
  target.net.mac = mac;
  target.net.mask = mask;
  target.net.gateway = gateway;
  target.net.foundByUdp = heard;
  return target;
}

TEST(LanTargetInfo, WhatThePageSaysOfEachKindOfTarget) {
  const PrinterTarget heard =
      Network("192.168.77.100", "00-1A-2B-3C-4D-5E", "255.255.255.0", "192.168.77.1", true);
  const PrinterTarget swept = Network("192.168.77.30", "", "", "", false);
  PrinterTarget usb;
  usb.usb.port = u"COM5";
  struct Case {
    std::optional<PrinterTarget> target;
    bool profilesPresent;
    std::u16string current;
    bool addressOnly;
  };
  const Case cases[] = {
      {heard, true,
       u"Máy in đang dùng: IP 192.168.77.100, Subnet mask 255.255.255.0, Gateway 192.168.77.1",
       false},
      // Heard, but the computer has no network of its own: the TCP command.
      {heard, false,
       u"Máy in đang dùng: IP 192.168.77.100, Subnet mask 255.255.255.0, Gateway 192.168.77.1",
       true},
      {swept, true, u"Máy in đang dùng: IP 192.168.77.30", true},
      {usb, true, u"", true},
      {std::nullopt, true, u"", false},
  };
  for (const Case& c : cases) {
    const LanTargetInfo info = DescribeLanTarget(c.target, c.profilesPresent);
    EXPECT_EQ(info.current, c.current);
    EXPECT_EQ(info.addressOnly, c.addressOnly) << static_cast<int>(c.addressOnly);
  }
  EXPECT_EQ(LanTargetText(DescribeLanTarget(swept, true)),
            u"Máy in đang dùng: IP 192.168.77.30. Máy in này chỉ nhận IP mới: Subnet mask và "
            u"Gateway không được gửi.");
  EXPECT_EQ(LanTargetText(DescribeLanTarget(usb, true)), kAddressOnlyNote);

  // Its own address again changes nothing where only the address is sent.
  EXPECT_EQ(NothingChangesMessage(swept, true, "192.168.77.30"),
            u"Máy in đã dùng IP 192.168.77.30. Máy in này không nhận Subnet mask và Gateway, nên "
            u"không có gì thay đổi. Chưa gửi lệnh.");
  EXPECT_EQ(NothingChangesMessage(swept, true, "192.168.77.31"), u"");
  EXPECT_EQ(NothingChangesMessage(heard, true, "192.168.77.100"), u"");  // a new mask may go
  EXPECT_NE(NothingChangesMessage(heard, false, "192.168.77.100"), u"");
  EXPECT_EQ(NothingChangesMessage(usb, true, "192.168.77.30"), u"");
}

}  // namespace
}  // namespace korvante
