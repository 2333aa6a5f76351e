#include "app/refresh_worker_win32.h"

#include <memory>

#include "app/startup_trace.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "discovery/refresh.h"
#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "usb/usb_enumeration_win32.h"

namespace korvante {

namespace {

// The network steps, each noted in the benchmark's trace as it ends.
std::vector<NetworkProfile> ReadProfiles() {
  std::vector<NetworkProfile> profiles = EnumerateProfiles();
  MarkStartupStep("worker: profiles read");
  return profiles;
}

std::vector<NetworkPrinter> Discover(const std::vector<NetworkProfile>& profiles,
                                     std::uint32_t listenMs) {
  std::vector<NetworkPrinter> found = DiscoverEveryNetwork(profiles, listenMs);
  MarkStartupStep("worker: discovery done");
  return found;
}

}  // namespace

void RefreshTargets(HWND window, ConnectionMode mode, std::int32_t generation) {
  MarkStartupStep("worker: started");
  const RefreshSources sources{ReadProfiles, Discover, ScanTcp9100, EnumerateUsbPrinters};
  auto result = std::make_unique<TargetsResult>(CollectTargets(mode, generation, sources));
  MarkStartupStep("worker: result ready");
  if (PostMessageW(window, kMsgTargetsReady, 0, reinterpret_cast<LPARAM>(result.get()))) {
    result.release();  // the window owns it now
  }
}

}  // namespace korvante
