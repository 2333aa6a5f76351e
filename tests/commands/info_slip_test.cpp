// The slip of "In thông tin IP": what it says of each kind of target, and its
// bytes as the printer's command tables write them.
#include "commands/info_slip.h"

#include <gtest/gtest.h>

#include "tests/core/bytes.h"

namespace korvante {
namespace {

TEST(InfoSlip, RowsSayWhatTheToolKnowsOfTheTarget) {
  PrinterTarget heard;  // answered discovery: every field reported
  heard.kind = kModeNetwork;
  heard.net.ip = "192.168.77.100";
  heard.net.mask = "255.255.255.0";
  heard.net.gateway = "192.168.77.1";
  heard.net.mac = "00-1A-2B-3C-4D-5E";
  heard.net.port = 9100;
  PrinterTarget swept;  // found by the sweep, or typed: its address only
  swept.kind = kModeNetwork;
  swept.net.ip = "10.0.0.7";
  swept.net.port = 0;
  PrinterTarget serial;
  serial.usb = UsbPrinter{u"USB-SERIAL CH340", u"COM5", u"\\\\.\\COM5", u""};
  PrinterTarget unnamed;
  unnamed.usb.path = u"\\\\?\\usb#vid_1234";

  struct Case {
    const PrinterTarget& target;
    std::vector<SlipRow> rows;
  };
  const Case cases[] = {
      {heard,
       {{u"Địa chỉ IP", u"192.168.77.100"},
        {u"Subnet mask", u"255.255.255.0"},
        {u"Gateway", u"192.168.77.1"},
        {u"MAC", u"00-1A-2B-3C-4D-5E"},
        {u"Cổng", u"9100"}}},
      {swept, {{u"Địa chỉ IP", u"10.0.0.7"}, {u"Cổng", u"9100"}}},
      {serial, {{u"Cổng", u"COM5"}, {u"Thiết bị", u"USB-SERIAL CH340"}}},
      {unnamed, {{u"Cổng", u"USB"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(InfoSlipRows(c.target), c.rows);
}

TEST(InfoSlip, BytesAreTheCommandsEveryPrinterAlreadyGets) {
  const CommandBuffer slip =
      BuildInfoSlip({{u"MAC", u"00-1A"}, {u"IP", u"10.0.0.7"}}, SlipTime{2026, 12, 9, 7, 5});
  EXPECT_EQ(slip,
            HexBytes("1B 40 "                                               // ESC @
                     "1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00 "                 // VISCII code page
                     "1B 61 01 "                                            // ESC a 1: centred
                     "54 48 D4 4E 47 20 54 49 4E 20 4D C1 59 20 49 4E 0A "  // THÔNG TIN MÁY IN
                     "0A "                                                  // a blank line
                     "1B 61 00 "                                            // ESC a 0: left
                     "4D 41 43 3A 20 30 30 2D 31 41 0A "                    // MAC: 00-1A
                     "49 50 3A 20 31 30 2E 30 2E 30 2E 37 0A "              // IP: 10.0.0.7
                     "49 6E 20 6C FA 63 3A 20 "                             // In lúc:
                     "30 39 2F 31 32 2F 32 30 32 36 20 30 37 3A 30 35 0A "  // 09/12/2026 07:05
                     "1B 4A 78 "                                            // ESC J 120: feed
                     "1D 56 00 "));                                         // GS V 0: full cut
}

}  // namespace
}  // namespace korvante
