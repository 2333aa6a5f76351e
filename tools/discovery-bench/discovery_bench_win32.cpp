// discovery-bench: times the network refresh and the port-9100 sweep inside
// the lab (tools/bench-discovery.sh starts it there). Prints one line per run
// and a summary line; refuses to run outside the lab's computer namespace.
//
//   discovery_bench.exe refresh|sweep RUNS
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
                                           korvante::ScanTcp9100, korvante::EnumerateUsbPrinters};
    found = korvante::CollectTargets(korvante::kModeNetwork, 1, sources).networkPrinters.size();
  } else {
    found = korvante::ScanTcp9100(korvante::ChooseProfile(korvante::EnumerateProfiles())).size();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "refresh") != 0 && std::strcmp(argv[1], "sweep") != 0)) {
    std::fprintf(stderr, "usage: discovery_bench.exe refresh|sweep RUNS\n");
    return 2;
  }
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
  const char* computer = std::getenv("KV_LAB_COMPUTER");
  const auto profiles = korvante::EnumerateProfiles();
  if (computer == nullptr || profiles.size() != 1 || profiles[0].ip != computer) {
    std::fprintf(stderr, "discovery_bench: not inside the lab; run tools/bench-discovery.sh\n");
    return 1;
  }
  const std::string what = argv[1];
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
