// The merge of a refresh's discovery and sweep records into the list the
// window shows, and the network refresh that runs the sweep only when
// discovery found nothing.
//
// Input: one record a line, "F|ip|mac|port" for a discovery record (in the
// order discovery returned them) or "S|ip" for a sweep record.
#include <algorithm>
#include <cstring>

#include "discovery/refresh.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

// Byte by byte, as unsigned bytes, a prefix first.
bool TextBefore(const std::string& a, const std::string& b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  return c != 0 ? c < 0 : a.size() < b.size();
}

void CheckMerged(const std::vector<NetworkPrinter>& merged,
                 const std::vector<NetworkPrinter>& found,
                 const std::vector<NetworkPrinter>& swept) {
  // Unique addresses in text order.
  for (std::size_t i = 1; i < merged.size(); ++i) {
    KV_FUZZ_CHECK(TextBefore(merged[i - 1].ip, merged[i].ip));
  }
  // Every address of either list, each as the last discovery record with it,
  // or else the first sweep record.
  std::vector<std::string> addresses;
  for (const auto* records : {&found, &swept}) {
    for (const NetworkPrinter& r : *records) {
      if (std::find(addresses.begin(), addresses.end(), r.ip) == addresses.end()) {
        addresses.push_back(r.ip);
      }
    }
  }
  KV_FUZZ_CHECK(merged.size() == addresses.size());
  auto withIp = [](const std::string& ip) {
    return [&ip](const NetworkPrinter& p) { return p.ip == ip; };
  };
  for (const std::string& ip : addresses) {
    const auto in = std::find_if(merged.begin(), merged.end(), withIp(ip));
    KV_FUZZ_CHECK(in != merged.end());
    const auto lastFound = std::find_if(found.rbegin(), found.rend(), withIp(ip));
    const auto firstSwept = std::find_if(swept.begin(), swept.end(), withIp(ip));
    KV_FUZZ_CHECK(*in == (lastFound != found.rend() ? *lastFound : *firstSwept));
  }
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  std::vector<NetworkPrinter> found, swept;
  for (std::string_view line : Split(AsText(data, size), "\n")) {
    const auto f = Split(line, "|");
    NetworkPrinter p;
    p.ip = std::string(Field(f, 1));
    if (Field(f, 0) == "F") {
      p.mac = std::string(Field(f, 2));
      p.port = static_cast<std::int32_t>(Number(Field(f, 3), 9100));
      p.foundByUdp = true;
      found.push_back(p);
    } else if (Field(f, 0) == "S") {
      swept.push_back(p);
    }
  }
  CheckMerged(MergeNetworkPrinters(found, swept), found, swept);

  // The refresh: the sweep runs only when discovery found nothing.
  bool sweepRan = false;
  RefreshSources sources;
  sources.enumerateProfiles = [] { return std::vector<NetworkProfile>{}; };
  sources.discoverEveryNetwork = [&](const std::vector<NetworkProfile>& profiles,
                                     std::uint32_t listenMs) {
    KV_FUZZ_CHECK(profiles.empty() && listenMs == 900);
    return found;
  };
  sources.scanTcp9100 = [&](const NetworkProfile&) {
    sweepRan = true;
    return swept;
  };
  sources.enumerateUsbPrinters = [] {
    KV_FUZZ_CHECK(false);  // not in network mode
    return std::vector<UsbPrinter>{};
  };
  const TargetsResult result = CollectTargets(kModeNetwork, 7, sources);
  KV_FUZZ_CHECK(sweepRan == found.empty());
  KV_FUZZ_CHECK(result.mode == kModeNetwork && result.generation == 7);
  KV_FUZZ_CHECK(result.usbPrinters.empty() && result.profiles.empty());
  CheckMerged(result.networkPrinters, found, found.empty() ? swept : std::vector<NetworkPrinter>{});
  return 0;
}
