// The printer box of LAN / Wi-Fi mode with an address typed by hand.
#include "app/printer_box.h"

#include <gtest/gtest.h>

#include "app/window_texts.h"
#include "commands/network_settings.h"

namespace korvante {
namespace {

TEST(PrinterBox, TypedTextNamesAPrinterAddressOrNothing) {
  struct Case {
    const char16_t* text;
    const char* address;  // null: names no printer
  };
  const Case cases[] = {
      {u"10.30.0.100", "10.30.0.100"},
      {u"  192.168.1.7\t", "192.168.1.7"},
      {u"1.0.0.1", "1.0.0.1"},
      {u"223.255.255.254", "223.255.255.254"},
      {u"0.0.0.0", nullptr},
      {u"0.1.2.3", nullptr},
      {u"224.0.0.1", nullptr},
      {u"255.255.255.255", nullptr},
      {u"192.168.1", nullptr},
      {u"192.168.1.256", nullptr},
      {u"192.168.1.7x", nullptr},
      {u"192.168.01.7", nullptr},
      {u"1.2.3.4    Máy in", nullptr},
      {u"máy in", nullptr},
      {u"", nullptr},
      {u"192.168.1.7 8", nullptr},
  };
  for (const Case& c : cases) {
    const auto address = TypedPrinterAddress(c.text);
    if (c.address) {
      EXPECT_EQ(address, std::optional<std::string>(c.address));
    } else {
      EXPECT_EQ(address, std::nullopt) << *address;
    }
  }
}

TEST(PrinterBox, SelectionUntilTypedThenTheTypedAddress) {
  NetworkPrinter listed;
  listed.ip = "192.168.77.100";
  listed.mac = "00-1A-2B-3C-4D-5E";
  listed.foundByUdp = true;
  const std::vector<NetworkPrinter> net{listed};
  const std::vector<UsbPrinter> usb{UsbPrinter{u"K80", u"USB001", u"", u""}};

  // Not typed into: the selection, exactly as before, whatever the text.
  auto choice = ResolvePrinterBox(kModeNetwork, 0, false, u"anything", usb, net);
  ASSERT_TRUE(choice.target);
  EXPECT_EQ(choice.target->net, listed);
  EXPECT_FALSE(ResolvePrinterBox(kModeNetwork, -1, false, u"", usb, net).target);

  // Typed: a network printer on TCP 9100 that discovery did not find, even
  // while an item is selected; blank is no printer; anything else malformed.
  choice = ResolvePrinterBox(kModeNetwork, 0, true, u" 10.30.0.100 ", usb, net);
  ASSERT_TRUE(choice.target);
  EXPECT_EQ(choice.target->kind, kModeNetwork);
  NetworkPrinter typed;
  typed.ip = "10.30.0.100";
  EXPECT_EQ(choice.target->net, typed);
  EXPECT_FALSE(UsesSaveBroadcast(choice.target->net, true));  // "Lưu IP" goes by TCP
  choice = ResolvePrinterBox(kModeNetwork, 0, true, u"  ", usb, net);
  EXPECT_FALSE(choice.target);
  EXPECT_FALSE(choice.malformed);
  choice = ResolvePrinterBox(kModeNetwork, 0, true, u"10.30.0", usb, net);
  EXPECT_FALSE(choice.target);
  EXPECT_TRUE(choice.malformed);
  EXPECT_EQ(InvalidAddressMessage(AddressField::PrinterIp), u"Địa chỉ không hợp lệ: IP máy in");

  // While a search runs the box shows its placeholder and names no printer;
  // a typed address is still what the box shows.
  choice = ResolvePrinterBox(kModeNetwork, 0, false, u"", usb, net, true);
  EXPECT_FALSE(choice.target);
  EXPECT_TRUE(choice.searching);
  choice = ResolvePrinterBox(kModeUsb, 0, false, u"", usb, net, true);
  EXPECT_TRUE(choice.searching);
  choice = ResolvePrinterBox(kModeNetwork, 0, true, u"10.30.0.100", usb, net, true);
  ASSERT_TRUE(choice.target);
  EXPECT_FALSE(choice.searching);

  // USB mode is a pick-list: typing never counts there.
  choice = ResolvePrinterBox(kModeUsb, 0, true, u"10.30.0", usb, net);
  ASSERT_TRUE(choice.target);
  EXPECT_EQ(choice.target->usb.port, u"USB001");
}

TEST(PrinterBox, ARefreshKeepsOnlyWhatWasTyped) {
  EXPECT_EQ(TypedTextToKeep(kModeNetwork, true, u"10.30.0.1"), u"10.30.0.1");
  EXPECT_EQ(TypedTextToKeep(kModeNetwork, true, u"10.30"), u"10.30");  // refused at the send
  EXPECT_EQ(TypedTextToKeep(kModeNetwork, true, u" "), std::nullopt);
  EXPECT_EQ(TypedTextToKeep(kModeNetwork, false, u"10.30.0.1"), std::nullopt);
  EXPECT_EQ(TypedTextToKeep(kModeUsb, true, u"10.30.0.1"), std::nullopt);
}

// After a confirmed change the search's list is searched for the printer:
// its MAC wins over an address that another record may have taken meanwhile.
TEST(PrinterBox, TheMovedPrinterIsFoundByMacElseByAddress) {
  auto printer = [](const char* ip, const char* mac) {
    NetworkPrinter p;
    p.ip = ip;
    p.mac = mac;
    return p;
  };
  const std::vector<NetworkPrinter> listed{printer("10.30.0.150", "00-1A-2B-3C-4D-09"),
                                           printer("10.30.0.200", "00-1A-2B-3C-4D-5E"),
                                           printer("10.30.0.222", "")};
  EXPECT_EQ(FindMovedPrinter(listed, "00-1A-2B-3C-4D-5E", "10.30.0.150"), 1);
  EXPECT_EQ(FindMovedPrinter(listed, "00-1A-2B-3C-4D-77", "10.30.0.222"), 2);
  EXPECT_EQ(FindMovedPrinter(listed, "", "10.30.0.150"), 0);
  EXPECT_EQ(FindMovedPrinter(listed, "", "10.30.0.1"), std::nullopt);
  EXPECT_EQ(FindMovedPrinter({}, "00-1A-2B-3C-4D-5E", "10.30.0.200"), std::nullopt);
}

}  // namespace
}  // namespace korvante
