#include "discovery/refresh.h"

#include <map>

#include "discovery/tcp_sweep.h"
#include "discovery/udp_discovery.h"

namespace korvante {

std::vector<NetworkPrinter> MergeNetworkPrinters(const std::vector<NetworkPrinter>& found,
                                                 const std::vector<NetworkPrinter>& swept) {
  // std::string orders byte by byte, a prefix first: the text address order.
  std::map<std::string, NetworkPrinter> byIp;
  for (const NetworkPrinter& printer : found) byIp[printer.ip] = printer;
  for (const NetworkPrinter& printer : swept) byIp.try_emplace(printer.ip, printer);

  std::vector<NetworkPrinter> merged;
  merged.reserve(byIp.size());
  for (auto& entry : byIp) merged.push_back(std::move(entry.second));
  return merged;
}

TargetsResult CollectTargets(ConnectionMode mode, std::int32_t generation,
                             const RefreshSources& sources) {
  TargetsResult result;
  result.mode = mode;
  result.generation = generation;
  if (mode == kModeUsb) {
    result.usbPrinters = sources.enumerateUsbPrinters();
    return result;
  }
  result.profiles = sources.enumerateProfiles();
  const std::vector<NetworkPrinter> found =
      sources.discoverEveryNetwork(result.profiles, kRefreshListenMs);
  std::vector<NetworkPrinter> swept;
  if (found.empty()) swept = SweepEveryNetwork(SweepProfiles(result.profiles), sources.scanTcp9100);
  result.networkPrinters = MergeNetworkPrinters(found, swept);
  return result;
}

}  // namespace korvante
