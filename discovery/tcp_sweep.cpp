#include "discovery/tcp_sweep.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "commands/command_vocabulary.h"

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
    channel.send(*request);
    const auto answer = channel.receive(kSweepAnswerWait, kSweepAnswerBytes);
    if (answer && ContainsPrinterReply(*answer)) return true;
  }
  return false;
}

std::vector<std::string> SweepHosts(const NetworkProfile& profile) {
  const std::string prefix = networkPrefix(profile.ip);
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

  sortByNumericAddress(found);
  return found;
}

}  // namespace korvante
