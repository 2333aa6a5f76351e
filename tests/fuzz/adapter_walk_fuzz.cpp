// The computer's adapters as the platform reports them: the walk that makes
// profiles, their order, the chosen profile, its suggestion and broadcasts,
// and the sockets of discovery and the networks of the sweep on all of them.
//
// Input: one adapter a line, "up|ifType|name|description|unicast|gateways";
// up is 1 or 0, a name or description of "~" is absent, addresses are comma
// separated "a.b.c.d/prefix" (anything else stands for a non-IPv4 address).
#include <algorithm>
#include <set>
#include <tuple>

#include "discovery/network_profiles.h"
#include "discovery/tcp_sweep.h"
#include "discovery/udp_discovery.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/core/keyword_literals.h"

namespace korvante::fuzz {
namespace {

AdapterAddress ReadAddress(std::string_view text) {
  AdapterAddress address;
  const auto slash = Split(text, "/");
  const auto octets = Split(slash[0], ".");
  if (octets.size() != 4) return address;
  for (std::size_t i = 0; i < 4; ++i) {
    const long value = Number(octets[i], -1);
    if (value < 0) return address;
    address.bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
  }
  address.isIpv4 = true;
  address.prefixLength = static_cast<int>(Number(Field(slash, 1), 0));
  return address;
}

std::optional<std::u16string> OptionalText(std::string_view text) {
  if (text == "~") return std::nullopt;
  return Text16(text);
}

AdapterRecord ReadAdapter(std::string_view line) {
  const auto f = Split(line, "|");
  AdapterRecord adapter;
  adapter.operUp = Field(f, 0) == "1";
  adapter.ifType = static_cast<std::uint32_t>(Number(Field(f, 1), 6));
  adapter.friendlyName = OptionalText(Field(f, 2));
  adapter.description = OptionalText(Field(f, 3));
  for (std::string_view a : Split(Field(f, 4), ",")) adapter.unicast.push_back(ReadAddress(a));
  for (std::string_view g : Split(Field(f, 5), ",")) adapter.gateways.push_back(ReadAddress(g));
  return adapter;
}

std::string Dotted(std::uint32_t host) {
  return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 0xFF) + "." +
         std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF);
}

std::string Dotted(const std::array<std::uint8_t, 4>& b) {
  return Dotted((std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                (std::uint32_t{b[2]} << 8) | b[3]);
}

std::uint32_t MaskOf(int prefixLength) {
  const int n = std::clamp(prefixLength, 0, 32);
  return static_cast<std::uint32_t>(0xFFFFFFFF00000000ull >> n);
}

// The profiles the walk must give, in adapter and address order.
std::vector<NetworkProfile> ExpectedProfiles(const std::vector<AdapterRecord>& adapters) {
  std::vector<NetworkProfile> out;
  for (const AdapterRecord& a : adapters) {
    if (!a.operUp || a.ifType == 24) continue;
    std::string gateway;
    for (const AdapterAddress& g : a.gateways) {
      if (g.isIpv4) {
        gateway = Dotted(g.bytes);
        break;
      }
    }
    const bool wireless =
        a.ifType == 71 ||
        literals::ContainsAny(a.friendlyName.value_or(u"") + u" " + a.description.value_or(u""),
                              literals::kWireless);
    for (const AdapterAddress& u : a.unicast) {
      if (!u.isIpv4 || u.bytes[0] == 127 || (u.bytes[0] == 169 && u.bytes[1] == 254)) continue;
      out.push_back({a.friendlyName.value_or(u"LAN"), Dotted(u.bytes),
                     Dotted(MaskOf(u.prefixLength)), gateway, wireless});
    }
  }
  return out;
}

// Wireless first, then with a gateway, then by name.
bool ExpectedBefore(const NetworkProfile& a, const NetworkProfile& b) {
  return std::make_tuple(!a.wireless, a.gateway.empty(), a.name) <
         std::make_tuple(!b.wireless, b.gateway.empty(), b.name);
}

auto Key(const NetworkProfile& p) { return std::tie(p.wireless, p.gateway, p.name, p.ip, p.mask); }

bool SameProfile(const NetworkProfile& a, const NetworkProfile& b) { return Key(a) == Key(b); }

void CheckChoice(const std::vector<NetworkProfile>& profiles) {
  const NetworkProfile chosen = ChooseProfile(profiles);
  if (profiles.empty()) {
    KV_FUZZ_CHECK(
        SameProfile(chosen, {u"WiFi", "192.168.1.1", "255.255.255.0", "192.168.1.1", true}));
  } else {
    KV_FUZZ_CHECK(SameProfile(chosen, profiles.front()));  // the sorted list's first
  }

  // The printer address: the base's first three octets and 222.
  const std::string& base = chosen.gateway.empty() ? chosen.ip : chosen.gateway;
  const std::string suggestion = SuggestAddress(chosen, "222");
  KV_FUZZ_CHECK(suggestion == base.substr(0, base.rfind('.')) + ".222");

  const std::vector<std::string> targets = BroadcastTargets(chosen);
  const auto ip = Ipv4Bytes(chosen.ip);
  const auto mask = Ipv4Bytes(chosen.mask);
  KV_FUZZ_CHECK(ip && mask);
  std::uint32_t host = 0, maskHost = 0;
  for (int i = 0; i < 4; ++i) {
    host = host << 8 | (*ip)[i];
    maskHost = maskHost << 8 | (*mask)[i];
  }
  std::vector<std::string> expected{"255.255.255.255"};
  if (host != 0 && maskHost != 0) expected.push_back(Dotted(host | ~maskHost));
  expected.push_back(chosen.ip.substr(0, chosen.ip.rfind('.')) + ".255");
  KV_FUZZ_CHECK(targets == expected);
}

// Discovery: the chosen profile first, then one socket bound to each other
// distinct usable address; the chosen one is bound to its own address too
// when there are others, else it is the wildcard socket. The sweep: never a
// tunnel or PPP adapter, each /24 once, every other network covered.
void CheckEveryNetwork(const std::vector<NetworkProfile>& profiles) {
  const NetworkProfile chosen = ChooseProfile(profiles);
  const std::vector<DiscoverySocketPlan> plan = PlanDiscoverySockets(profiles);
  std::set<std::string> expectedBound, bound;
  for (const NetworkProfile& p : profiles) {
    if (p.ip != chosen.ip && p.ip != "0.0.0.0") expectedBound.insert(p.ip);
  }
  const std::string chosenBind =
      chosen.ip != "0.0.0.0" && !expectedBound.empty() ? chosen.ip : "0.0.0.0";
  KV_FUZZ_CHECK(!plan.empty() && plan[0].bindIp == chosenBind && plan[0].heardOn == chosen.ip &&
                plan[0].targets == BroadcastTargets(chosen));
  for (std::size_t i = 1; i < plan.size(); ++i) {
    KV_FUZZ_CHECK(plan[i].bindIp == plan[i].heardOn && bound.insert(plan[i].bindIp).second);
  }
  KV_FUZZ_CHECK(bound == expectedBound);

  std::set<std::string> swept;
  const std::vector<NetworkProfile> sweeps = SweepProfiles(profiles);
  KV_FUZZ_CHECK(!sweeps.empty() && sweeps[0].ip == chosen.ip);
  for (std::size_t i = 0; i < sweeps.size(); ++i) {
    const NetworkProfile& p = sweeps[i];
    KV_FUZZ_CHECK(i == 0 || (p.ifType != 131 && p.ifType != 23 && p.ifType != 53));
    KV_FUZZ_CHECK(swept.insert(p.ip.substr(0, p.ip.rfind('.'))).second);
  }
  for (const NetworkProfile& p : profiles) {
    if (p.ifType == 131 || p.ifType == 23 || p.ifType == 53) continue;
    KV_FUZZ_CHECK(swept.count(p.ip.substr(0, p.ip.rfind('.'))) == 1);
  }
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  std::vector<AdapterRecord> adapters;
  for (std::string_view line : Split(AsText(data, size), "\n")) {
    adapters.push_back(ReadAdapter(line));
  }

  const std::vector<NetworkProfile> profiles = ProfilesFromAdapters(adapters);
  KV_FUZZ_CHECK(std::is_sorted(profiles.begin(), profiles.end(), ExpectedBefore));
  std::vector<NetworkProfile> expected = ExpectedProfiles(adapters);
  KV_FUZZ_CHECK(profiles.size() == expected.size());
  std::vector<NetworkProfile> got = profiles;
  auto total = [](const NetworkProfile& a, const NetworkProfile& b) { return Key(a) < Key(b); };
  std::sort(got.begin(), got.end(), total);
  std::sort(expected.begin(), expected.end(), total);
  KV_FUZZ_CHECK(std::equal(got.begin(), got.end(), expected.begin(), SameProfile));

  CheckChoice(profiles);
  CheckEveryNetwork(profiles);
  return 0;
}
