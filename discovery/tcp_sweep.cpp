#include "discovery/tcp_sweep.h"

#include <algorithm>
#include <iterator>
#include <system_error>
#include <thread>

#include "discovery/network_profiles.h"

namespace korvante {

bool IsPrinterReplyByte(std::uint8_t byte) {
  return byte == 0x00 || byte == 0x03 || byte == 0x20 || byte == 0x22 || (byte & 0x10) != 0;
}

bool ContainsPrinterReply(std::span<const std::uint8_t> answer) {
  return std::any_of(answer.begin(), answer.end(), IsPrinterReplyByte);
}

std::vector<std::string> SweepHosts(const NetworkProfile& profile) {
  const std::string prefix = NetworkPrefix(profile.ip);
  std::vector<std::string> hosts;
  for (int n = 1; n <= 254; ++n) {
    std::string host = prefix + "." + std::to_string(n);
    // The computer does not probe itself.
    if (host != profile.ip) hosts.push_back(std::move(host));
  }
  return hosts;
}

std::vector<NetworkProfile> SweepProfiles(const std::vector<NetworkProfile>& profiles) {
  std::vector<NetworkProfile> networks;
  auto add = [&](const NetworkProfile& profile) {
    const std::string prefix = NetworkPrefix(profile.ip);
    for (const NetworkProfile& covered : networks) {
      if (NetworkPrefix(covered.ip) == prefix) return;
    }
    networks.push_back(profile);
  };
  // The chosen network is swept as it always was, whatever its adapter.
  add(ChooseProfile(profiles));
  for (const NetworkProfile& profile : profiles) {
    if (!IsTunnelOrPpp(profile)) add(profile);
  }
  return networks;
}

std::vector<NetworkPrinter> SweepEveryNetwork(const std::vector<NetworkProfile>& networks,
                                              const NetworkSweep& sweep) {
  std::vector<std::vector<NetworkPrinter>> found(networks.size());
  std::vector<std::thread> others;
  std::vector<std::size_t> leftOver;
  for (std::size_t i = 1; i < networks.size(); ++i) {
    try {
      others.emplace_back([&, i] { found[i] = sweep(networks[i]); });
    } catch (const std::system_error&) {
      leftOver.push_back(i);
    }
  }
  if (!networks.empty()) found[0] = sweep(networks[0]);
  for (std::size_t i : leftOver) found[i] = sweep(networks[i]);
  for (std::thread& other : others) other.join();

  std::vector<NetworkPrinter> all;
  for (std::vector<NetworkPrinter>& printers : found) {
    all.insert(all.end(), std::make_move_iterator(printers.begin()),
               std::make_move_iterator(printers.end()));
  }
  return all;
}

}  // namespace korvante
