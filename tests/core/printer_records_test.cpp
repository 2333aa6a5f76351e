#include "core/printer_records.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/core/ipv4_reference_cases.h"

namespace korvante {
namespace {

TEST(Ipv4Text, ToHostParsesDottedQuadsAndGivesZeroForAnythingElse) {
  struct Case {
    const char* text;
    std::uint32_t host;
  };
  const Case cases[] = {
      {"192.168.1.25", 0xC0A80119},
      {"255.255.255.255", 0xFFFFFFFF},
      {"10.0.0.7", 0x0A000007},
      {"0.0.0.0", 0},
      {"", 0},
      {"1.2.3", 0},
      {"1.2.3.4.5", 0},
      {"256.1.1.1", 0},
      {"1.2.3.4 ", 0},
      {" 1.2.3.4", 0},
      {"1..2.3", 0},
      {"1.2.3.", 0},
      {".1.2.3", 0},
      {"01.2.3.4", 0},
      {"1.2.3.-4", 0},
      {"abc", 0},
      {"192.168.001.1", 0},
      {"0.10.100.0", 0x000A6400},
  };
  for (const auto& c : cases) EXPECT_EQ(Ipv4ToHost(c.text), c.host) << '"' << c.text << '"';
}

TEST(Ipv4Text, HostToTextAndPrefixMasks) {
  EXPECT_EQ(HostToIpv4(0xFFFFFF00), "255.255.255.0");
  EXPECT_EQ(HostToIpv4(PrefixMask(32)), "255.255.255.255");
  EXPECT_EQ(HostToIpv4(PrefixMask(0)), "0.0.0.0");
  EXPECT_EQ(HostToIpv4(0x0A010203), "10.1.2.3");
  EXPECT_EQ(PrefixMask(24), 0xFFFFFF00u);
  EXPECT_EQ(PrefixMask(16), 0xFFFF0000u);
  EXPECT_EQ(PrefixMask(1), 0x80000000u);
  EXPECT_EQ(PrefixMask(31), 0xFFFFFFFEu);
  for (std::uint32_t host : {1u, 0x7F000001u, 0xC0A80119u, 0xFFFFFFFEu}) {
    EXPECT_EQ(Ipv4ToHost(HostToIpv4(host)), host);
  }
}

TEST(Ipv4Text, ParseStoresNetworkOrderAndLeavesOutputOnFailure) {
  std::uint32_t value = 0xDEADBEEF;
  EXPECT_FALSE(ParseIpv4("192.168.1", value));
  EXPECT_EQ(value, 0xDEADBEEFu);
  ASSERT_TRUE(ParseIpv4("192.168.1.50", value));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
  EXPECT_EQ(bytes[0], 192);
  EXPECT_EQ(bytes[1], 168);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 50);
  ASSERT_TRUE(ParseIpv4("0.0.0.0", value));  // parses, although Ipv4ToHost says 0
  EXPECT_EQ(value, 0u);

  const auto parts = Ipv4Bytes("10.1.255.0");
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(*parts, (std::array<std::uint8_t, 4>{10, 1, 255, 0}));
}

TEST(Ipv4Text, NetworkPrefixCutsBeforeTheThirdDot) {
  EXPECT_EQ(NetworkPrefix("10.0.0.7"), "10.0.0");
  EXPECT_EQ(NetworkPrefix("192.168.1.25"), "192.168.1");
  EXPECT_EQ(NetworkPrefix("abc"), "abc");
  EXPECT_EQ(NetworkPrefix("1.2.3"), "1.2.3");
  EXPECT_EQ(NetworkPrefix(""), "");
  EXPECT_EQ(NetworkPrefix("1.2.3.4.5"), "1.2.3");
  EXPECT_EQ(NetworkPrefix("..."), "..");
}

TEST(BroadcastTargets, LimitedDirectedAndPrefixBroadcastWithoutDeduplication) {
  NetworkProfile slash24;
  slash24.ip = "192.168.1.25";
  slash24.mask = "255.255.255.0";
  EXPECT_EQ(BroadcastTargets(slash24),
            (std::vector<std::string>{"255.255.255.255", "192.168.1.255", "192.168.1.255"}));

  NetworkProfile slash16;
  slash16.ip = "10.1.2.3";
  slash16.mask = "255.255.0.0";
  EXPECT_EQ(BroadcastTargets(slash16),
            (std::vector<std::string>{"255.255.255.255", "10.1.255.255", "10.1.2.255"}));

  NetworkProfile noMask;
  noMask.ip = "10.1.2.3";
  EXPECT_EQ(BroadcastTargets(noMask), (std::vector<std::string>{"255.255.255.255", "10.1.2.255"}));

  NetworkProfile badAddress;
  badAddress.ip = "printer";
  badAddress.mask = "255.255.255.0";
  EXPECT_EQ(BroadcastTargets(badAddress),
            (std::vector<std::string>{"255.255.255.255", "printer.255"}));
}

TEST(Records, DefaultsAreWhatPrintersExpect) {
  const NetworkPrinter printer;
  EXPECT_EQ(printer.port, 9100);
  EXPECT_EQ(printer.deviceBytes[0], 0x22);
  EXPECT_EQ(printer.deviceBytes[1], 0x00);
  EXPECT_FALSE(printer.foundByUdp);
  EXPECT_TRUE(printer.ip.empty() && printer.mac.empty() && printer.mask.empty() &&
              printer.gateway.empty());

  const NetworkProfile profile;
  EXPECT_FALSE(profile.wireless);

  const PrinterTarget target;
  EXPECT_EQ(target.kind, kModeUsb);
  EXPECT_EQ(target.net, NetworkPrinter{});
  EXPECT_EQ(target.usb, UsbPrinter{});
}

std::vector<std::string> IpsOf(const std::vector<NetworkPrinter>& printers) {
  std::vector<std::string> ips;
  for (const auto& p : printers) ips.push_back(p.ip);
  return ips;
}

std::vector<NetworkPrinter> PrintersAt(std::initializer_list<const char*> ips) {
  std::vector<NetworkPrinter> printers;
  for (const char* ip : ips) {
    NetworkPrinter p;
    p.ip = ip;
    printers.push_back(p);
  }
  return printers;
}

TEST(AddressOrder, NumericOrderComparesUnsigned) {
  auto printers = PrintersAt({"200.0.0.1", "100.0.0.1"});
  SortByNumericAddress(printers);
  EXPECT_EQ(IpsOf(printers), (std::vector<std::string>{"100.0.0.1", "200.0.0.1"}));
}

TEST(ResolveTarget, IndexIsTakenAgainstTheListOfTheCurrentMode) {
  UsbPrinter usb{u"POS-80", u"USB001", u"\\\\?\\usb#x", u"POS-80 queue"};
  const std::vector<UsbPrinter> usbList{usb};
  const auto netList = PrintersAt({"192.168.1.10", "192.168.1.9"});

  const auto second = ResolveTarget(kModeNetwork, 1, usbList, netList);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->kind, kModeNetwork);
  EXPECT_EQ(second->net.ip, "192.168.1.9");
  EXPECT_EQ(second->usb, UsbPrinter{});

  const auto usbTarget = ResolveTarget(kModeUsb, 0, usbList, netList);
  ASSERT_TRUE(usbTarget.has_value());
  EXPECT_EQ(usbTarget->kind, kModeUsb);
  EXPECT_EQ(usbTarget->usb, usb);
  EXPECT_EQ(usbTarget->net, NetworkPrinter{});

  EXPECT_FALSE(ResolveTarget(kModeUsb, 1, usbList, netList).has_value());
  EXPECT_FALSE(ResolveTarget(kModeNetwork, 2, usbList, netList).has_value());
  EXPECT_FALSE(ResolveTarget(kModeNetwork, -1, usbList, netList).has_value());
  // The placeholder line of an empty list sits at index 0 and addresses nothing.
  EXPECT_FALSE(ResolveTarget(kModeNetwork, 0, usbList, {}).has_value());
  EXPECT_FALSE(ResolveTarget(kModeUsb, 0, {}, netList).has_value());
}

}  // namespace
}  // namespace korvante
