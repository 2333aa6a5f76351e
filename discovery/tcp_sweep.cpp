#include "discovery/tcp_sweep.h"

#include <algorithm>
#include <iterator>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/command_vocabulary.h"
#include "discovery/network_profiles.h"

namespace korvante {

bool IsPrinterReplyByte(std::uint8_t byte) {
  return byte == 0x00 || byte == 0x03 || byte == 0x20 || byte == 0x22 || (byte & 0x10) != 0;
}

bool ContainsPrinterReply(std::span<const std::uint8_t> answer) {
  return std::any_of(answer.begin(), answer.end(), IsPrinterReplyByte);
}

bool ProbeStatus(StatusChannel& channel) {
  // Printer status, off-line cause, paper sensor: a printer answers each with
  // one status byte, even while it is busy or out of paper.
  const Bytes<3>* const requests[] = {&kStatusPrinter, &kStatusOffline, &kStatusPaperSensor};
  for (const Bytes<3>* request : requests) {
    channel.Send(*request);
    const auto answer = channel.Receive(kSweepAnswerWait, kSweepAnswerBytes);
    if (answer && ContainsPrinterReply(*answer)) return true;
  }
  return false;
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

std::vector<NetworkPrinter> SweepNetwork(const NetworkProfile& profile, const HostProbe& probe,
                                         int threads) {
  const std::vector<std::string> hosts = SweepHosts(profile);
  std::atomic<std::size_t> next{0};
  std::mutex foundMutex;
  std::vector<NetworkPrinter> found;

  auto sweep = [&] {
    for (;;) {
      const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= hosts.size()) return;
      // The probe blocks on the network: it runs outside the lock.
      if (!probe(hosts[i])) continue;
      NetworkPrinter printer;
      printer.ip = hosts[i];
      const std::lock_guard<std::mutex> lock(foundMutex);
      found.push_back(std::move(printer));
    }
  };

  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(std::max(threads, 0)));
  for (int t = 0; t < threads; ++t) {
    try {
      workers.emplace_back(sweep);
    } catch (const std::system_error&) {
      break;  // fewer threads: the started ones take the remaining hosts
    }
  }
  if (workers.empty()) sweep();
  for (std::thread& worker : workers) worker.join();

  SortByNumericAddress(found);
  return found;
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
