#include "discovery/network_profiles.h"

#include <gtest/gtest.h>

#include "tests/core/keyword_literals.h"

namespace korvante {
namespace {

AdapterAddress V4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, int prefix = 24) {
  AdapterAddress address;
  address.isIpv4 = true;
  address.bytes = {a, b, c, d};
  address.prefixLength = prefix;
  return address;
}

AdapterRecord Adapter(std::u16string name, std::uint32_t ifType, std::vector<AdapterAddress> ips,
                      std::vector<AdapterAddress> gateways = {}, std::u16string description = u"") {
  AdapterRecord record;
  record.operUp = true;
  record.ifType = ifType;
  record.friendlyName = std::move(name);
  record.description = std::move(description);
  record.unicast = std::move(ips);
  record.gateways = std::move(gateways);
  return record;
}

constexpr std::uint32_t kEthernet = 6;

TEST(Profiles, WiFiAdapterSortsFirstAndIsChosen) {
  const auto profiles = ProfilesFromAdapters({
      Adapter(u"Ethernet", kEthernet, {V4(192, 168, 0, 15)}, {V4(192, 168, 0, 1)}),
      Adapter(u"Wi-Fi", 71, {V4(10, 0, 0, 8)}, {V4(10, 0, 0, 1)}),
  });
  ASSERT_EQ(profiles.size(), 2u);
  EXPECT_EQ(profiles[0].name, u"Wi-Fi");
  EXPECT_EQ(profiles[0].ip, "10.0.0.8");
  EXPECT_EQ(profiles[0].mask, "255.255.255.0");
  EXPECT_EQ(profiles[0].gateway, "10.0.0.1");
  EXPECT_TRUE(profiles[0].wireless);
  EXPECT_FALSE(profiles[1].wireless);

  const SuggestionWrites w = DecideSuggestions(profiles, true, {});
  EXPECT_EQ(w.lanIp, u"10.0.0.222");
  EXPECT_EQ(w.wifiIp, u"10.0.0.222");
  EXPECT_EQ(w.lanMask, u"255.255.255.0");
  EXPECT_EQ(w.wifiMask, u"255.255.255.0");
  EXPECT_EQ(w.lanGateway, u"10.0.0.1");
  EXPECT_EQ(w.wifiGateway, u"10.0.0.1");
}

TEST(Profiles, WalkSkipsDownLoopbackAndUnusableAddresses) {
  AdapterRecord down = Adapter(u"Down", kEthernet, {V4(192, 168, 3, 3)});
  down.operUp = false;
  AdapterAddress v6;  // an IPv6 entry: not isIpv4
  AdapterRecord mixed = Adapter(u"Mixed", kEthernet,
                                {v6, V4(127, 0, 0, 1, 8), V4(169, 254, 10, 20, 16),
                                 V4(172, 16, 5, 9, 16), V4(10, 9, 8, 7, 32)},
                                {v6, V4(172, 16, 0, 1)});
  mixed.friendlyName.reset();
  const auto profiles = ProfilesFromAdapters({
      down,
      Adapter(u"Loopback", 24, {V4(192, 168, 4, 4)}),
      mixed,
  });
  ASSERT_EQ(profiles.size(), 2u);
  // The first IPv4 gateway, shared by both addresses; a missing name is "LAN".
  EXPECT_EQ(profiles[0].name, u"LAN");
  EXPECT_EQ(profiles[0].ip, "172.16.5.9");
  EXPECT_EQ(profiles[0].mask, "255.255.0.0");
  EXPECT_EQ(profiles[0].gateway, "172.16.0.1");
  EXPECT_EQ(profiles[1].ip, "10.9.8.7");
  EXPECT_EQ(profiles[1].mask, "255.255.255.255");
}

TEST(Profiles, WirelessKeywordsInNameOrDescription) {
  struct Case {
    std::uint32_t ifType;
    const char16_t* name;
    const char16_t* description;
    bool wireless;
  };
  const Case cases[] = {
      {71, u"Ethernet 2", u"Intel(R) Ethernet", true},
      {kEthernet, u"Ethernet 2", u"Realtek Wireless LAN 802.11n", true},
      {kEthernet, u"Local Area Connection", u"USB WLAN ADAPTER", true},
      {kEthernet, u"WiFi", u"", true},
      {kEthernet, u"Wi-Fi 3", u"", true},
      {kEthernet, u"", u"Qualcomm 802.11ac", true},
      {kEthernet, u"Ethernet", u"Realtek PCIe GbE Family Controller", false},
      {kEthernet, u"Wi", u"Fi", false},  // joined by a space: "wi fi"
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWirelessAdapter(c.ifType, c.name, c.description), c.wireless)
        << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
  }
}

// Every entry of the Wi-Fi table, in capitals, makes an Ethernet-type adapter
// wireless from its name and from its description; the entry with its first
// or last character changed does not. A typo in any entry fails one of these.
TEST(Profiles, EveryWirelessKeywordCounts) {
  for (std::u16string_view keyword : literals::kWireless) {
    std::u16string upper(keyword);
    for (char16_t& u : upper) {
      if (u >= u'a' && u <= u'z') u = static_cast<char16_t>(u - 32);
    }
    const std::u16string variants[] = {upper, u"~" + upper.substr(1),
                                       upper.substr(0, upper.size() - 1) + u"~"};
    for (const std::u16string& variant : variants) {
      const std::u16string word = u"<" + variant + u">";
      const bool expected = literals::ContainsAny(word, literals::kWireless);
      EXPECT_EQ(IsWirelessAdapter(kEthernet, word, u"Adapter"), expected)
          << std::string(word.begin(), word.end());
      EXPECT_EQ(IsWirelessAdapter(kEthernet, u"Adapter", word), expected)
          << std::string(word.begin(), word.end());
    }
  }
}

TEST(Profiles, SortOrderWirelessThenGatewayThenName) {
  auto profile = [](std::u16string name, bool wireless, std::string gateway) {
    NetworkProfile p;
    p.name = std::move(name);
    p.wireless = wireless;
    p.gateway = std::move(gateway);
    return p;
  };
  std::vector<NetworkProfile> list{
      profile(u"Ethernet", false, ""),
      profile(u"Ethernet 2", false, "10.0.0.1"),
      profile(u"Wi-Fi", true, ""),
      profile(u"Eth", false, "10.0.0.1"),
      profile(u"Wi-Fi 2", true, "192.168.1.1"),
  };
  SortProfiles(list);
  const char16_t* expected[] = {u"Wi-Fi 2", u"Wi-Fi", u"Eth", u"Ethernet 2", u"Ethernet"};
  for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].name, expected[i]) << i;
}

TEST(Profiles, ChooseProfileAppliesItsRuleToAnyList) {
  NetworkProfile wired;
  wired.name = u"wired";
  wired.gateway = "10.0.0.1";
  NetworkProfile wifiNoGateway;
  wifiNoGateway.name = u"wifi-nogw";
  wifiNoGateway.wireless = true;
  NetworkProfile wifi = wifiNoGateway;
  wifi.name = u"wifi";
  wifi.gateway = "10.0.1.1";

  EXPECT_EQ(ChooseProfile({wired, wifiNoGateway, wifi}).name, u"wifi");
  EXPECT_EQ(ChooseProfile({wired, wifiNoGateway}).name, u"wifi-nogw");
  EXPECT_EQ(ChooseProfile({wired}).name, u"wired");

  const NetworkProfile fallback = ChooseProfile({});
  EXPECT_EQ(fallback.name, u"WiFi");
  EXPECT_EQ(fallback.ip, "192.168.1.1");
  EXPECT_EQ(fallback.mask, "255.255.255.0");
  EXPECT_EQ(fallback.gateway, "192.168.1.1");
  EXPECT_TRUE(fallback.wireless);
}

TEST(Profiles, SuggestAddressFromGatewayOrAddress) {
  struct Case {
    const char* ip;
    const char* gateway;
    const char* octet;
    const char* expected;
  };
  const Case cases[] = {
      {"10.1.2.3", "10.1.2.254", "222", "10.1.2.222"}, {"172.16.5.9", "", "1", "172.16.5.1"},
      {"172.16.5.9", "", "222", "172.16.5.222"},       {"", "", "222", "192.168.1.222"},
      {"1.2.3", "", "222", "192.168.1.222"},           {"10.0.0.5", "gateway", "1", "192.168.1.1"},
  };
  for (const Case& c : cases) {
    NetworkProfile p;
    p.ip = c.ip;
    p.gateway = c.gateway;
    EXPECT_EQ(SuggestAddress(p, c.octet), c.expected) << c.ip << " / " << c.gateway;
  }
}

TEST(Suggestions, ProfileWithoutGatewayAndNoProfileAtAll) {
  NetworkProfile noGateway;
  noGateway.ip = "172.16.5.9";
  noGateway.mask = "255.255.0.0";
  SuggestionWrites w = DecideSuggestions({noGateway}, true, {});
  EXPECT_EQ(w.lanIp, u"172.16.5.222");
  EXPECT_EQ(w.lanMask, u"255.255.0.0");
  EXPECT_EQ(w.lanGateway, u"172.16.5.1");
  EXPECT_EQ(w.wifiGateway, u"172.16.5.1");

  noGateway.mask.clear();
  w = DecideSuggestions({noGateway}, true, {});
  EXPECT_EQ(w.wifiMask, u"255.255.255.0");

  w = DecideSuggestions({}, true, {});
  EXPECT_EQ(w.lanIp, u"192.168.1.222");
  EXPECT_EQ(w.lanMask, u"255.255.255.0");
  EXPECT_EQ(w.lanGateway, u"192.168.1.1");
}

TEST(Suggestions, KeepUserEditsReplacesOnlyFieldsStillHoldingASuggestion) {
  NetworkProfile p;
  p.ip = "10.0.0.8";
  p.mask = "255.255.0.0";
  p.gateway = "10.0.0.1";
  auto fields = [](std::u16string lanIp, std::u16string lanMask, std::u16string lanGw,
                   std::u16string wifiIp, std::u16string wifiMask, std::u16string wifiGw) {
    return SuggestionFields{lanIp, lanMask, lanGw, wifiIp, wifiMask, wifiGw};
  };
  const SuggestionFields typed = fields(u"192.168.5.50", u"255.255.0.0", u"192.168.5.9",
                                        u"192.168.5.51", u"255.0.0.0", u"192.168.5.254");
  const SuggestionFields suggested = fields(u"192.168.5.222", u"255.255.255.0", u"192.168.5.1",
                                            u"192.168.5.223", u"255.255.255.0", u"192.168.5.1");

  SuggestionWrites keep = DecideSuggestions({p}, false, typed);
  EXPECT_FALSE(keep.lanIp);
  EXPECT_FALSE(keep.lanMask);
  EXPECT_FALSE(keep.lanGateway);
  EXPECT_FALSE(keep.wifiIp);
  EXPECT_FALSE(keep.wifiMask);
  EXPECT_FALSE(keep.wifiGateway);

  SuggestionWrites replace = DecideSuggestions({p}, false, suggested);
  EXPECT_EQ(replace.lanIp, u"10.0.0.222");
  EXPECT_EQ(replace.lanMask, u"255.255.0.0");
  EXPECT_EQ(replace.lanGateway, u"10.0.0.1");
  EXPECT_EQ(replace.wifiIp, u"10.0.0.222");
  EXPECT_EQ(replace.wifiMask, u"255.255.0.0");
  EXPECT_EQ(replace.wifiGateway, u"10.0.0.1");

  // .223 counts as a suggestion on the WiFi page only; a text without a dot is
  // the user's; empty fields take the suggestion; non-ASCII is read as '?'.
  SuggestionWrites mixed = DecideSuggestions(
      {p}, false,
      fields(u"192.168.5.223", u"", u"gateway", u"", u"255.255.255.0 ", u"10.0.0.\u0031"));
  EXPECT_FALSE(mixed.lanIp);
  EXPECT_EQ(mixed.lanMask, u"255.255.0.0");
  EXPECT_FALSE(mixed.lanGateway);
  EXPECT_EQ(mixed.wifiIp, u"10.0.0.222");
  EXPECT_FALSE(mixed.wifiMask);
  EXPECT_EQ(mixed.wifiGateway, u"10.0.0.1");

  SuggestionWrites vietnamese =
      DecideSuggestions({p}, false, fields(u"1.2.3.2\u1EA322", u"", u"", u"", u"", u""));
  EXPECT_FALSE(vietnamese.lanIp);

  // Force overwrites even what the user typed.
  SuggestionWrites forced = DecideSuggestions({p}, true, typed);
  EXPECT_EQ(forced.lanIp, u"10.0.0.222");
  EXPECT_EQ(forced.wifiMask, u"255.255.0.0");
}

}  // namespace
}  // namespace korvante
