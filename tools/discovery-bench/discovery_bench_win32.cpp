// discovery-bench: times the network refresh and the port-9100 sweep inside
// the lab (tools/bench-discovery.sh starts it there). Prints one line per run
// and a summary line; refuses to run outside the lab's computer namespace.
//
//   discovery_bench.exe refresh|sweep|sweep-every RUNS
//
// refresh discovers on every network of the computer; sweep covers the
// chosen profile's /24 alone, sweep-every the /24 of every profile side by
// side, as a refresh that heard nothing does.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "discovery/network_profiles.h"
#include "discovery/refresh.h"
#include "discovery/tcp_sweep.h"
#include "discovery/udp_discovery.h"
#include "usb_transport/usb_enumeration.h"

namespace {

using korvante::NetworkProfile;

double timeOnce(const std::string& what, std::size_t& found) {
  const auto start = std::chrono::steady_clock::now();
  if (what == "refresh") {
    const korvante::RefreshSources sources{korvante::EnumerateProfiles, korvante::DiscoverUdp,
                                           korvante::ScanTcp9100, korvante::EnumerateUsbPrinters,
                                           korvante::DiscoverEveryNetwork};
    found = korvante::CollectTargets(korvante::kModeNetwork, 1, sources).networkPrinters.size();
  } else if (what == "sweep-every") {
    found = korvante::SweepEveryNetwork(korvante::SweepProfiles(korvante::EnumerateProfiles()),
                                        korvante::ScanTcp9100)
                .size();
  } else {
    found = korvante::ScanTcp9100(korvante::ChooseProfile(korvante::EnumerateProfiles())).size();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc == 3 ? argv[1] : "";
  if (what != "refresh" && what != "sweep" && what != "sweep-every") {
    std::fprintf(stderr, "usage: discovery_bench.exe refresh|sweep|sweep-every RUNS\n");
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
    std::fprintf(stderr, "discovery_bench: not inside the lab; run tools/bench-discovery.sh\n");
    return 1;
  }
  const int runs = std::max(1, std::atoi(argv[2]));
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    std::size_t found = 0;
    times.push_back(timeOnce(what, found));
    std::printf("  run %d: %7.0f ms, %zu printer(s)\n", i + 1, times.back(), found);
  }
  std::sort(times.begin(), times.end());
  std::printf("  %s: min %.0f ms, median %.0f ms, max %.0f ms over %d runs\n", what.c_str(),
              times.front(), times[times.size() / 2], times.back(), runs);
  WSACleanup();
  return 0;
}
