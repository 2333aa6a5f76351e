// discovery_bench: times the network refresh, the port-9100 sweep and the
// connects to a host that refuses them inside the lab
// (tools/benchmarks/discovery.sh starts it there). Prints one line per run
// and a summary line; refuses to run outside the lab's computer namespace.
//
//   discovery_bench.exe refresh|sweep|sweep-every|burst|refused|lan-change RUNS
//
// refresh discovers on every network of the computer; sweep covers the
// chosen profile's /24 alone, sweep-every the /24 of every profile side by
// side, as a refresh that heard nothing does. burst is the sweep's floor: the
// same /24's connects, all made at once with bare Winsock calls, each ended
// when it completes, fails or reaches the sweep's 420 ms limit, and nothing
// else. refused: per run, 20 connects at the sweep's limit and one at a
// send's to host .20 of the lab, which does not listen on TCP 9100.
// lan-change: per run, the neighbour check of a free address and the
// broadcast-path change of printer .100 to it (.150, .151, ...), confirmed by
// the printer's own reply, as "Lưu IP" runs them from the click on: the
// check's time, the time to the first datagram and the time to the outcome.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/lan_job.h"
#include "app/lan_job_win32.h"
#include "discovery/neighbours_win32.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "discovery/refresh.h"
#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "core/sockets_win32.h"
#include "transport/transports_win32.h"
#include "usb/usb_enumeration_win32.h"

namespace {

using korvante::NetworkProfile;

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The refused connects of one run: the mean of 20 at the sweep's limit, and
// one at a send's in `sendMs`. `found` counts the connects that succeeded.
double TimeRefused(std::size_t& found, double& sendMs) {
  const std::string host = std::string(std::getenv("KV_LAB_SUBNET")) + ".20";
  constexpr int kConnects = 20;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kConnects; ++i) {
    found += korvante::ConnectTcp9100(host, korvante::kSweepConnectTimeoutMs) ? 1 : 0;
  }
  const double mean = MsSince(start) / kConnects;
  start = std::chrono::steady_clock::now();
  found += korvante::ConnectTcp9100(host, korvante::kSendConnectTimeoutMs) ? 1 : 0;
  sendMs = MsSince(start);
  return mean;
}

// A job socket that notes when the first datagram leaves.
class TimedSocket final : public korvante::DatagramSocket {
 public:
  TimedSocket(std::unique_ptr<korvante::DatagramSocket> inner,
              std::optional<std::chrono::steady_clock::time_point>& first)
      : inner_(std::move(inner)), first_(first) {}
  void SendTo(const std::string& ip, std::uint16_t port,
              const korvante::CommandBuffer& bytes) override {
    if (!first_) first_ = std::chrono::steady_clock::now();
    inner_->SendTo(ip, port, bytes);
  }
  bool WaitReadable(std::chrono::milliseconds limit) override {
    return inner_->WaitReadable(limit);
  }
  std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer) override {
    return inner_->Receive(buffer);
  }

 private:
  std::unique_ptr<korvante::DatagramSocket> inner_;
  std::optional<std::chrono::steady_clock::time_point>& first_;
};

struct ChangeTimes {
  double checkMs = 0;
  double firstDatagramMs = 0;
  double outcomeMs = 0;
  bool confirmed = false;
};

// One change of the printer to `newIp`, timed from what would be the click.
ChangeTimes TimeChange(korvante::NetworkPrinter& printer, const std::string& newIp) {
  using namespace korvante;
  const std::vector<NetworkProfile> profiles = EnumerateProfiles();
  const auto start = std::chrono::steady_clock::now();
  const std::optional<std::string> holder =
      FindAddressHolder(newIp, printer.mac, WindowsNeighbourHooks());
  ChangeTimes times;
  times.checkMs = MsSince(start);
  if (holder) {
    std::printf("  %s is held by %s: choose other addresses\n", newIp.c_str(), holder->c_str());
    return times;
  }
  std::optional<std::chrono::steady_clock::time_point> first;
  LanJobHooks hooks = WindowsLanJobHooks();
  auto timed = [&first](std::unique_ptr<DatagramSocket> inner) -> std::unique_ptr<DatagramSocket> {
    if (!inner) return nullptr;
    return std::make_unique<TimedSocket>(std::move(inner), first);
  };
  hooks.openBroadcastSocket = [open = hooks.openBroadcastSocket, timed] { return timed(open()); };
  hooks.openBoundBroadcastSocket = [open = hooks.openBoundBroadcastSocket,
                                    timed](const std::string& ip) { return timed(open(ip)); };
  const LanChangeJob job = MakeLanChangeJob(
      printer, {newIp, "255.255.255.0", std::string(std::getenv("KV_LAB_SUBNET")) + ".1"},
      profiles);
  times.confirmed = RunLanChange(job, hooks).result == LanChangeResult::kConfirmed;
  times.outcomeMs = MsSince(start);
  if (first) {
    times.firstDatagramMs = std::chrono::duration<double, std::milli>(*first - start).count();
  }
  if (times.confirmed) printer.ip = newIp;
  return times;
}

// The changes of `runs` runs; prints each and the medians.
void TimeChanges(int runs) {
  const std::string subnet = std::getenv("KV_LAB_SUBNET");
  std::vector<korvante::NetworkPrinter> found =
      korvante::DiscoverEveryNetwork(korvante::EnumerateProfiles(), korvante::kRefreshListenMs);
  const auto printer = std::find_if(found.begin(), found.end(),
                                    [&](const auto& p) { return p.ip == subnet + ".100"; });
  if (printer == found.end()) {
    std::printf("  printer .100 did not answer discovery\n");
    return;
  }
  std::vector<double> checks, firsts, outcomes;
  for (int i = 0; i < runs; ++i) {
    const ChangeTimes t = TimeChange(*printer, subnet + "." + std::to_string(150 + i));
    std::printf("  run %d: check %6.0f ms, first datagram %6.0f ms, outcome %6.0f ms, %s\n", i + 1,
                t.checkMs, t.firstDatagramMs, t.outcomeMs,
                t.confirmed ? "confirmed" : "NOT confirmed");
    checks.push_back(t.checkMs);
    firsts.push_back(t.firstDatagramMs);
    outcomes.push_back(t.outcomeMs);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  auto max = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
  std::printf(
      "  lan-change: check median %.0f ms (max %.0f), first datagram median %.0f ms, "
      "outcome median %.0f ms (max %.0f) over %d runs\n",
      median(checks), max(checks), median(firsts), median(outcomes), max(outcomes), runs);
}

// The bare burst: a non-blocking connect to port 9100 of every host of the
// /24, then selects over all of them until each has connected, failed or run
// out its own limit. `found` counts the connects that completed.
void ConnectBurst(const NetworkProfile& profile, std::size_t& found) {
  struct Pending {
    SOCKET s;
    std::chrono::steady_clock::time_point deadline;
  };
  std::vector<Pending> pending;
  for (const std::string& host : korvante::SweepHosts(profile)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(9100);
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
      closesocket(s);
      continue;
    }
    pending.push_back({s, std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(korvante::kSweepConnectTimeoutMs)});
  }
  // Sets as Winsock reads them: a count, then that many sockets.
  struct Set {
    u_int count = 0;
    SOCKET sockets[256];
  } writable, failed;
  while (!pending.empty()) {
    writable.count = failed.count = 0;
    auto first = pending.front().deadline;
    for (const Pending& p : pending) {
      writable.sockets[writable.count++] = failed.sockets[failed.count++] = p.s;
      first = std::min(first, p.deadline);
    }
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        std::max(first - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{}));
    timeval limit{static_cast<long>(left.count() / 1000000),
                  static_cast<long>(left.count() % 1000000)};
    select(0, nullptr, reinterpret_cast<fd_set*>(&writable), reinterpret_cast<fd_set*>(&failed),
           &limit);
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(pending, [&](const Pending& p) {
      const bool ok = FD_ISSET(p.s, reinterpret_cast<fd_set*>(&writable));
      const bool ended =
          ok || FD_ISSET(p.s, reinterpret_cast<fd_set*>(&failed)) || p.deadline <= now;
      if (ok) ++found;
      if (ended) closesocket(p.s);
      return ended;
    });
  }
}

double TimeOnce(const std::string& what, std::size_t& found) {
  const auto start = std::chrono::steady_clock::now();
  if (what == "burst") {
    ConnectBurst(korvante::ChooseProfile(korvante::EnumerateProfiles()), found);
  } else if (what == "refresh") {
    const korvante::RefreshSources sources{korvante::EnumerateProfiles,
                                           korvante::DiscoverEveryNetwork, korvante::ScanTcp9100,
                                           korvante::EnumerateUsbPrinters};
    found = korvante::CollectTargets(korvante::kModeNetwork, 1, sources).networkPrinters.size();
  } else if (what == "sweep-every") {
    found = korvante::SweepEveryNetwork(korvante::SweepProfiles(korvante::EnumerateProfiles()),
                                        korvante::ScanTcp9100)
                .size();
  } else {
    found = korvante::ScanTcp9100(korvante::ChooseProfile(korvante::EnumerateProfiles())).size();
  }
  return MsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string modes[] = {"refresh", "sweep", "sweep-every", "burst", "refused", "lan-change"};
  if (argc != 3 || std::find(std::begin(modes), std::end(modes), argv[1]) == std::end(modes)) {
    std::fprintf(stderr,
                 "usage: discovery_bench.exe refresh|sweep|sweep-every|burst|refused|lan-change "
                 "RUNS\n");
    return 2;
  }
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
  // Every address of the computer must be one of the lab's own.
  const char* computer = std::getenv("KV_LAB_COMPUTER");
  const char* second = std::getenv("KV_LAB_SECOND_COMPUTER");
  const auto profiles = korvante::EnumerateProfiles();
  const bool inLab = computer != nullptr && !profiles.empty() &&
                     std::all_of(profiles.begin(), profiles.end(), [&](const NetworkProfile& p) {
                       return p.ip == computer || (second != nullptr && p.ip == second);
                     });
  if (!inLab) {
    std::fprintf(stderr,
                 "discovery_bench: not inside the lab; run tools/benchmarks/discovery.sh\n");
    return 1;
  }
  std::string what = argv[1];
  const int runs = std::max(1, std::atoi(argv[2]));
  std::vector<double> times;
  if (what == "lan-change") {
    TimeChanges(runs);
    WSACleanup();
    return 0;
  }
  if (what == "refused") {
    std::vector<double> sends;
    for (int i = 0; i < runs; ++i) {
      std::size_t connected = 0;
      double sendMs = 0;
      times.push_back(TimeRefused(connected, sendMs));
      sends.push_back(sendMs);
      std::printf("  run %d: %7.2f ms per connect at %u ms, %7.2f ms at %u ms, %zu connected\n",
                  i + 1, times.back(), korvante::kSweepConnectTimeoutMs, sendMs,
                  korvante::kSendConnectTimeoutMs, connected);
    }
    std::sort(sends.begin(), sends.end());
    std::printf("  refused at %u ms: min %.2f ms, median %.2f ms, max %.2f ms over %d runs\n",
                korvante::kSendConnectTimeoutMs, sends.front(), sends[sends.size() / 2],
                sends.back(), runs);
    what = "refused at " + std::to_string(korvante::kSweepConnectTimeoutMs) + " ms";
  } else {
    for (int i = 0; i < runs; ++i) {
      std::size_t found = 0;
      times.push_back(TimeOnce(what, found));
      std::printf("  run %d: %7.1f ms, %zu %s\n", i + 1, times.back(), found,
                  what == "burst" ? "connected" : "printer(s)");
    }
  }
  std::sort(times.begin(), times.end());
  // Refusals take well under a millisecond where they end at once.
  const char* format = what.starts_with("refused")
                           ? "  %s: min %.2f ms, median %.2f ms, max %.2f ms over %d runs\n"
                           : "  %s: min %.1f ms, median %.1f ms, max %.1f ms over %d runs\n";
  std::printf(format, what.c_str(), times.front(), times[times.size() / 2], times.back(), runs);
  WSACleanup();
  return 0;
}
