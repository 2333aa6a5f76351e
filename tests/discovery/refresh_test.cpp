#include "discovery/refresh.h"

#include <gtest/gtest.h>

namespace korvante {
namespace {

NetworkPrinter Udp(std::string ip, std::string mac) {
  NetworkPrinter p;
  p.ip = std::move(ip);
  p.mac = std::move(mac);
  p.mask = "255.255.255.0";
  p.gateway = "192.168.1.1";
  p.port = 9100;
  p.foundByUdp = true;
  return p;
}

NetworkPrinter Swept(std::string ip) {
  NetworkPrinter p;
  p.ip = std::move(ip);
  return p;
}

std::vector<std::string> Ips(const std::vector<NetworkPrinter>& printers) {
  std::vector<std::string> out;
  for (const auto& p : printers) out.push_back(p.ip);
  return out;
}

TEST(Merge, OnePerAddressInTextOrderDiscoveryWinning) {
  const auto merged = MergeNetworkPrinters(
      {Udp("192.168.1.3", "00-00-00-00-00-03"), Udp("192.168.1.50", "00-00-00-00-00-50"),
       Udp("192.168.1.50", "00-00-00-00-00-51"), Udp("192.168.1.100", "00-00-00-00-01-00")},
      {Swept("192.168.1.20"), Swept("192.168.1.3"), Swept("192.168.1.20")});
  EXPECT_EQ(Ips(merged), (std::vector<std::string>{"192.168.1.100", "192.168.1.20", "192.168.1.3",
                                                   "192.168.1.50"}));
  EXPECT_TRUE(merged[2].foundByUdp);  // .3 keeps its discovery record
  EXPECT_EQ(merged[2].mac, "00-00-00-00-00-03");
  EXPECT_EQ(merged[3].mac, "00-00-00-00-00-51");  // the later record replaces every field
  EXPECT_FALSE(merged[1].foundByUdp);
}

// The list the window shows is in text address order, the merge's; the
// numeric order is what discovery hands it.
TEST(AddressOrder, NumericAndTextOrdersDiffer) {
  std::vector<NetworkPrinter> printers;
  for (const char* ip : {"10.0.0.20", "10.0.0.100", "bad", "10.0.0.2", "9.255.255.255"}) {
    printers.push_back(Swept(ip));
  }

  SortByNumericAddress(printers);
  EXPECT_EQ(Ips(printers), (std::vector<std::string>{"bad", "9.255.255.255", "10.0.0.2",
                                                     "10.0.0.20", "10.0.0.100"}));

  EXPECT_EQ(
      Ips(MergeNetworkPrinters(printers, {})),
      (std::vector<std::string>{"10.0.0.100", "10.0.0.2", "10.0.0.20", "9.255.255.255", "bad"}));
}

TEST(AddressOrder, TextOrderComparesBytesUnsigned) {
  // A byte above 0x7F must sort after ASCII.
  EXPECT_EQ(Ips(MergeNetworkPrinters({Swept("\xC3\xA9")}, {Swept("z")})),
            (std::vector<std::string>{"z", "\xC3\xA9"}));
}

struct Calls {
  int profiles = 0, discover = 0, sweep = 0, usb = 0;
  std::vector<NetworkProfile> discoveredOn;
  NetworkProfile sweptOn;
  std::uint32_t listenMs = 0;
};

RefreshSources FakeSources(Calls& calls, std::vector<NetworkProfile> profiles,
                           std::vector<NetworkPrinter> found, std::vector<NetworkPrinter> sweep) {
  return RefreshSources{
      [&calls, profiles] {
        ++calls.profiles;
        return profiles;
      },
      [&calls, found](const std::vector<NetworkProfile>& all, std::uint32_t ms) {
        ++calls.discover;
        calls.discoveredOn = all;
        calls.listenMs = ms;
        return found;
      },
      [&calls, sweep](const NetworkProfile& p) {
        ++calls.sweep;
        calls.sweptOn = p;
        return sweep;
      },
      [&calls] {
        ++calls.usb;
        UsbPrinter u;
        u.name = u"POS-80";
        return std::vector<UsbPrinter>{u};
      },
  };
}

TEST(Refresh, DiscoveryFindingAPrinterSkipsTheSweep) {
  NetworkProfile wired, wifi;
  wired.ip = "10.0.0.5";
  wifi.ip = "192.168.1.25";
  wifi.gateway = "192.168.1.1";
  wifi.wireless = true;
  Calls calls;
  const TargetsResult r =
      CollectTargets(1, 7,
                     FakeSources(calls, {wired, wifi}, {Udp("192.168.1.100", "00-1A-2B-3C-4D-5E")},
                                 {Swept("192.168.1.3")}));
  EXPECT_EQ(r.mode, 1);
  EXPECT_EQ(r.generation, 7);
  EXPECT_EQ(Ips(r.networkPrinters), std::vector<std::string>{"192.168.1.100"});
  EXPECT_EQ(r.profiles.size(), 2u);
  EXPECT_TRUE(r.usbPrinters.empty());
  EXPECT_EQ(calls.sweep, 0);
  EXPECT_EQ(calls.usb, 0);
  // Every profile of the fresh list, as enumerated.
  ASSERT_EQ(calls.discoveredOn.size(), 2u);
  EXPECT_EQ(calls.discoveredOn[1].ip, "192.168.1.25");
  EXPECT_EQ(calls.listenMs, 900u);
}

TEST(Refresh, NothingDiscoveredSweepsTheDefaultProfile) {
  Calls calls;
  const TargetsResult r = CollectTargets(
      1, 3, FakeSources(calls, {}, {}, {Swept("192.168.1.3"), Swept("192.168.1.20")}));
  EXPECT_EQ(calls.sweep, 1);
  EXPECT_EQ(calls.sweptOn.ip, "192.168.1.1");
  EXPECT_EQ(calls.sweptOn.mask, "255.255.255.0");
  EXPECT_TRUE(calls.discoveredOn.empty());
  EXPECT_EQ(Ips(r.networkPrinters), (std::vector<std::string>{"192.168.1.20", "192.168.1.3"}));
  for (const auto& p : r.networkPrinters) {
    EXPECT_TRUE(p.mac.empty());
    EXPECT_EQ(p.port, 9100);
    EXPECT_FALSE(p.foundByUdp);
  }
  EXPECT_TRUE(r.profiles.empty());
}

TEST(Refresh, UsbModeTouchesNoNetwork) {
  Calls calls;
  const TargetsResult r = CollectTargets(0, 12, FakeSources(calls, {NetworkProfile{}}, {}, {}));
  EXPECT_EQ(r.mode, 0);
  EXPECT_EQ(r.generation, 12);
  ASSERT_EQ(r.usbPrinters.size(), 1u);
  EXPECT_EQ(r.usbPrinters[0].name, u"POS-80");
  EXPECT_TRUE(r.networkPrinters.empty());
  EXPECT_TRUE(r.profiles.empty());
  EXPECT_EQ(calls.profiles + calls.discover + calls.sweep, 0);
}

}  // namespace
}  // namespace korvante
