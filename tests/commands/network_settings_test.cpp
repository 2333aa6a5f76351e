#include <gtest/gtest.h>

#include <cstdio>

#include "commands/network_settings.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

NetworkPrinter FoundPrinter(std::int32_t port) {
  NetworkPrinter printer;
  printer.ip = "192.168.1.87";
  printer.mac = "00-1A-2B-3C-4D-5E";
  printer.port = port;
  printer.deviceBytes = {0x22, 0x07};
  printer.foundByUdp = true;
  return printer;
}

const LanAddresses kLan{"192.168.1.50", "255.255.255.0", "192.168.1.1"};

TEST(IpChange, NewAddressOnly) {
  const CommandResult built = BuildIpChangeCommand("192.168.1.50");
  EXPECT_FALSE(built.invalidField);
  EXPECT_EQ(built.bytes, HexBytes("1F 1B 1F 22 C0 A8 01 32"));
}

TEST(SaveDatagram, Layout) {
  for (std::int32_t port : {0, -1, 9100}) {
    const CommandResult built = BuildSaveDatagram(FoundPrinter(port), kLan);
    ASSERT_FALSE(built.invalidField);
    EXPECT_EQ(built.bytes, HexBytes("58 50 30 30 30 31 53 41 56 45"  // [0:10) XP0001SAVE
                                    " 00 1A 2B 3C 4D 5E"             // [10:16) MAC
                                    " 22 07"                         // [16:18) device bytes
                                    " C0 A8 01 32"                   // [18:22) new address
                                    " FF FF FF 00"                   // [22:26) mask
                                    " C0 A8 01 01"                   // [26:30) gateway
                                    " 8C 23"                         // [30:32) port 9100
                                    " 00"))                          // [32]
        << port;
  }
  const CommandResult other = BuildSaveDatagram(FoundPrinter(9101), kLan);
  ASSERT_EQ(other.bytes.size(), 33u);
  EXPECT_EQ(other.bytes[30], 0x8D);
  EXPECT_EQ(other.bytes[31], 0x23);
}

TEST(SaveDatagram, MacTexts) {
  using Mac = std::array<std::uint8_t, 6>;
  const std::pair<const char*, Mac> cases[] = {
      {"00-1A-2B-3C-4D-5E", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
      {"a-b-c-d-e-f", {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}},
      {"100-2ff-0x33-44-55-66", {0x00, 0xFF, 0x33, 0x44, 0x55, 0x66}},  // low 8 bits
      {"00:1A:2B:3C:4D:5E", {0x00, 0, 0, 0, 0, 0}},                     // stops at ':'
      {"11-22-zz-44-55-66", {0x11, 0x22, 0, 0, 0, 0}},
      {" 11- 22-33", {0x11, 0x22, 0x33, 0, 0, 0}},
      {"", {0, 0, 0, 0, 0, 0}},
      {"-1-2-3-4-5-6", {0xFF, 0x02, 0x03, 0x04, 0x05, 0x06}},  // a signed first field
  };
  for (const auto& [text, mac] : cases) {
    EXPECT_EQ(ParseMacText(text), mac) << text;
    // The C library's own reading of the same format agrees.
    unsigned fields[6] = {};
    std::sscanf(text, "%x-%x-%x-%x-%x-%x", &fields[0], &fields[1], &fields[2], &fields[3],
                &fields[4], &fields[5]);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(mac[i], fields[i] & 0xFF) << text << " field " << i;
  }
}

TEST(Wifi, CommandLayout) {
  WifiSettings settings{u"Velmora", u"", u"192.168.1.222", u"255.255.255.0", u"192.168.1.1"};
  CommandResult built = BuildWifiCommand(settings);
  ASSERT_FALSE(built.invalidField);
  EXPECT_EQ(built.bytes, HexBytes("1F 1B 1F B4 C0 A8 01 DE FF FF FF 00 C0 A8 01 01 06"
                                  " 56 65 6C 6D 6F 72 61 00 00"));

  settings.networkName = u"Quán cà phê";
  settings.password = u"52815281";
  built = BuildWifiCommand(settings);
  EXPECT_EQ(built.bytes.size(), 19u + 11 + 8);
  EXPECT_EQ(CommandBuffer(built.bytes.begin() + 17, built.bytes.end()),
            HexBytes("51 75 3F 6E 20 63 3F 20 70 68 3F 00 35 32 38 31 35 32 38 31 00"));
}

TEST(AddressChecks, BuildersNameTheFieldThatDoesNotParse) {
  const WifiSettings wifi{u"Velmora", u"pw", u"192.168.1.222", u"255.255.255.0", u"192.168.1.1"};
  struct Case {
    const char* name;
    CommandResult result;
    AddressField field;
  };
  auto withWifi = [&](auto edit) {
    WifiSettings s = wifi;
    edit(s);
    return BuildWifiCommand(s);
  };
  auto withLan = [&](auto edit) {
    LanAddresses a = kLan;
    edit(a);
    return BuildSaveDatagram(FoundPrinter(9100), a);
  };
  const Case cases[] = {
      {"ip change, empty", BuildIpChangeCommand(""), AddressField::LanNewIp},
      {"ip change, 256", BuildIpChangeCommand("192.168.1.256"), AddressField::LanNewIp},
      {"ip change, narrowed letter", BuildIpChangeCommand("192.168.1.?"), AddressField::LanNewIp},
      {"save, new ip", withLan([](LanAddresses& a) { a.newIp = "192.168.1"; }),
       AddressField::LanNewIp},
      {"save, mask", withLan([](LanAddresses& a) { a.mask = "255.255.255"; }), AddressField::Mask},
      {"save, gateway", withLan([](LanAddresses& a) { a.gateway = "gw"; }), AddressField::Gateway},
      {"save, mask before gateway", withLan([](LanAddresses& a) { a.mask = a.gateway = ""; }),
       AddressField::Mask},
      {"wifi, ip", withWifi([](WifiSettings& s) { s.ip = u"192.168.1.2x2"; }),
       AddressField::WifiIp},
      {"wifi, mask", withWifi([](WifiSettings& s) { s.mask = u""; }), AddressField::Mask},
      {"wifi, gateway", withWifi([](WifiSettings& s) { s.gateway = u"192.168.1.1.1"; }),
       AddressField::Gateway},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result.invalidField, c.field) << c.name;
    EXPECT_TRUE(c.result.bytes.empty()) << c.name;
  }
}

TEST(AddressChecks, LanPathsCheckWhatTheyCarry) {
  const LanAddresses badMask{"192.168.1.50", "255.255.255.x", "192.168.1.1"};
  EXPECT_EQ(FindInvalidLanAddress(badMask, false), std::nullopt);
  EXPECT_EQ(FindInvalidLanAddress(badMask, true), AddressField::Mask);
  const LanAddresses badGateway{"192.168.1.50", "255.255.255.0", ""};
  EXPECT_EQ(FindInvalidLanAddress(badGateway, false), std::nullopt);
  EXPECT_EQ(FindInvalidLanAddress(badGateway, true), AddressField::Gateway);
  const LanAddresses badIp{"192.168.1.500", "x", "x"};
  EXPECT_EQ(FindInvalidLanAddress(badIp, false), AddressField::LanNewIp);
  EXPECT_EQ(FindInvalidLanAddress(badIp, true), AddressField::LanNewIp);
  EXPECT_EQ(FindInvalidLanAddress(kLan, true), std::nullopt);

  EXPECT_EQ(ReadLanAddresses(u"192.168.1.5ố", u"255.255.255.0", u"").newIp, "192.168.1.5?");

  NetworkPrinter printer = FoundPrinter(9100);
  EXPECT_TRUE(UsesSaveBroadcast(printer, true));
  EXPECT_FALSE(UsesSaveBroadcast(printer, false));
  printer.mac.clear();
  EXPECT_FALSE(UsesSaveBroadcast(printer, true));
  printer = FoundPrinter(9100);
  printer.foundByUdp = false;
  EXPECT_FALSE(UsesSaveBroadcast(printer, true));
}

}  // namespace
}  // namespace korvante
