// Discovery, the sweep and the refresh on a computer with several networks:
// which sockets a run opens and where each sends, which networks the sweep
// covers, and how replies heard on different sockets merge.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <mutex>

#include "discovery/network_profiles.h"
#include "discovery/refresh.h"
#include "discovery/tcp_sweep.h"
#include "discovery/udp_discovery.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

NetworkProfile Profile(const char* ip, const char* mask = "255.255.255.0", bool wireless = false,
                       std::uint32_t ifType = 6) {
  NetworkProfile p;
  p.name = u"LAN";
  p.ip = ip;
  p.mask = mask;
  p.wireless = wireless;
  p.ifType = ifType;
  return p;
}

std::string Describe(const DiscoverySocketPlan& s) {
  std::string text = s.bindIp + " heard-on " + s.heardOn + " ->";
  for (const std::string& t : s.targets) text += " " + t;
  return text;
}

std::vector<std::string> Plan(const std::vector<NetworkProfile>& profiles) {
  std::vector<std::string> out;
  for (const DiscoverySocketPlan& s : PlanDiscoverySockets(profiles)) out.push_back(Describe(s));
  return out;
}

TEST(EveryNetwork, DiscoverySocketsChosenProfileFirstThenOneBoundPerAddress) {
  using Lines = std::vector<std::string>;
  // No profile, one profile, one address listed twice: exactly the single
  // wildcard socket of a computer with one network.
  const Lines single{
      "0.0.0.0 heard-on 192.168.77.2 -> 255.255.255.255 192.168.77.255 192.168.77.255"};
  EXPECT_EQ(Plan({}), (Lines{"0.0.0.0 heard-on 192.168.1.1 -> 255.255.255.255 192.168.1.255 "
                             "192.168.1.255"}));
  EXPECT_EQ(Plan({Profile("192.168.77.2")}), single);
  EXPECT_EQ(Plan({Profile("192.168.77.2"), Profile("192.168.77.2"), Profile("bad")}), single);
  // With several networks the chosen (wireless) profile comes first wherever
  // it is listed, bound to its own address like every other distinct,
  // parsable address, each with its own targets: the wildcard socket's
  // limited broadcast would leave through the cable's adapter alone. A
  // second address of the chosen network is a network of its own socket
  // too; a repeated or unparsable address is not.
  EXPECT_EQ(Plan({Profile("10.20.0.2"), Profile("192.168.1.25", "255.255.255.0", true),
                  Profile("10.20.0.2"), Profile("bad"), Profile("172.16.5.9", "255.255.0.0"),
                  Profile("192.168.1.26")}),
            (Lines{"192.168.1.25 heard-on 192.168.1.25 -> 255.255.255.255 192.168.1.255 "
                   "192.168.1.255",
                   "10.20.0.2 heard-on 10.20.0.2 -> 255.255.255.255 10.20.0.255 10.20.0.255",
                   "172.16.5.9 heard-on 172.16.5.9 -> 255.255.255.255 172.16.255.255 "
                   "172.16.5.255",
                   "192.168.1.26 heard-on 192.168.1.26 -> 255.255.255.255 192.168.1.255 "
                   "192.168.1.255"}));
}

// Several sockets: each wait reports the sockets that a script says are
// readable, and each receive hands over that socket's next datagram.
class ScriptedSockets final : public DatagramSockets {
 public:
  explicit ScriptedSockets(std::vector<std::deque<std::vector<std::uint8_t>>> queues)
      : queues_(std::move(queues)) {}
  std::vector<std::size_t> WaitReadable(std::chrono::milliseconds) override {
    std::vector<std::size_t> ready;
    for (std::size_t i = 0; i < queues_.size(); ++i) {
      if (!queues_[i].empty()) ready.push_back(i);
    }
    return ready;
  }
  std::optional<std::size_t> Receive(std::size_t index, std::span<std::uint8_t> buffer) override {
    const std::vector<std::uint8_t> datagram = queues_[index].front();
    queues_[index].pop_front();
    std::copy(datagram.begin(), datagram.end(), buffer.begin());
    return datagram.size();
  }

 private:
  std::vector<std::deque<std::vector<std::uint8_t>>> queues_;
};

std::vector<std::uint8_t> Found(const std::string& macTail, const std::string& ip) {
  return HexBytes("58 50 30 30 30 31 46 4F 55 4E 44 00 1A 2B 3C 4D " + macTail + " 22 00 " + ip +
                  " FF FF FF 00 00 00 00 00 8C 23 00");
}

TEST(EveryNetwork, RepliesKeepTheSocketThatHeardThemOneRecordPerMacOverAll) {
  // The same printer (MAC ..5E) answers on both sockets: the first one
  // serviced, the chosen profile's, wins even though its reply names another
  // address; .50 is heard on the second network only.
  ScriptedSockets sockets(
      {{Found("5E", "C0 A8 4D 64")}, {Found("50", "0A 14 00 32"), Found("5E", "0A 14 00 63")}});
  MonotonicClock::time_point t{};
  const auto now = [&] { return t += std::chrono::milliseconds(50); };
  const auto found = CollectReplies(sockets, {"192.168.77.2", "10.20.0.2"}, 300, now);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].ip, "10.20.0.50");  // numeric order: 10.x before 192.x
  EXPECT_EQ(found[0].localIp, "10.20.0.2");
  EXPECT_EQ(found[1].ip, "192.168.77.100");
  EXPECT_EQ(found[1].localIp, "192.168.77.2");
}

TEST(EveryNetwork, SweepCoversEachNetworkOnceChosenFirstNeverTunnelsOrPpp) {
  auto ips = [](const std::vector<NetworkProfile>& profiles) {
    std::vector<std::string> out;
    for (const NetworkProfile& p : SweepProfiles(profiles)) out.push_back(p.ip);
    return out;
  };
  using Ips = std::vector<std::string>;
  EXPECT_EQ(ips({}), Ips{"192.168.1.1"});
  EXPECT_EQ(ips({Profile("10.20.0.2"), Profile("192.168.77.2", "255.255.255.0", true),
                 Profile("10.8.0.6", "255.255.255.0", false, kIfTypeTunnel),
                 Profile("10.64.1.3", "255.255.255.255", false, kIfTypePpp), Profile("10.20.0.9"),
                 // A Wintun or tap-windows6 VPN adapter: IF_TYPE_PROP_VIRTUAL.
                 Profile("100.64.0.7", "255.255.255.0", false, 53),
                 Profile("172.16.5.9", "255.255.0.0")}),
            (Ips{"192.168.77.2", "10.20.0.2", "172.16.5.9"}));
  // A VPN that is the only network is the chosen one, swept as it always was.
  EXPECT_EQ(ips({Profile("10.8.0.6", "255.255.255.0", false, kIfTypeTunnel)}), Ips{"10.8.0.6"});
}

TEST(EveryNetwork, RefreshAsksEveryNetworkAndSweepsEachWhenNoneAnswered) {
  const std::vector<NetworkProfile> profiles = {
      Profile("192.168.77.2"), Profile("10.20.0.2"),
      Profile("10.8.0.6", "255.255.255.0", false, kIfTypeTunnel)};
  std::vector<NetworkProfile> askedWith;
  std::vector<std::string> swept;
  std::mutex sweptMutex;
  RefreshSources sources;
  sources.enumerateProfiles = [&] { return profiles; };
  sources.discoverEveryNetwork = [&](const std::vector<NetworkProfile>& all, std::uint32_t ms) {
    EXPECT_EQ(ms, kRefreshListenMs);
    askedWith = all;
    return std::vector<NetworkPrinter>{};
  };
  sources.scanTcp9100 = [&](const NetworkProfile& p) {
    NetworkPrinter found;
    found.ip = NetworkPrefix(p.ip) + ".50";
    const std::lock_guard<std::mutex> lock(sweptMutex);
    swept.push_back(p.ip);
    return std::vector<NetworkPrinter>{found};
  };
  const TargetsResult r = CollectTargets(kModeNetwork, 1, sources);
  EXPECT_EQ(askedWith.size(), 3u);
  std::sort(swept.begin(), swept.end());
  EXPECT_EQ(swept, (std::vector<std::string>{"10.20.0.2", "192.168.77.2"}));
  ASSERT_EQ(r.networkPrinters.size(), 2u);
  EXPECT_EQ(r.networkPrinters[0].ip, "10.20.0.50");
  EXPECT_EQ(r.networkPrinters[1].ip, "192.168.77.50");
}

TEST(EveryNetwork, ProfilesRecordTheirAdapterType) {
  AdapterRecord vpn;
  vpn.operUp = true;
  vpn.ifType = kIfTypeTunnel;
  AdapterAddress address;
  address.isIpv4 = true;
  address.bytes = {10, 8, 0, 6};
  address.prefixLength = 24;
  vpn.unicast = {address};
  const auto profiles = ProfilesFromAdapters({vpn});
  ASSERT_EQ(profiles.size(), 1u);
  EXPECT_TRUE(IsTunnelOrPpp(profiles[0]));
}

}  // namespace
}  // namespace korvante
