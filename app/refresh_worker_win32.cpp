#include "app/refresh_worker_win32.h"

#include <memory>

#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "discovery/refresh.h"
#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "usb/usb_enumeration_win32.h"

namespace korvante {

void RefreshTargets(HWND window, ConnectionMode mode, std::int32_t generation) {
  const RefreshSources sources{EnumerateProfiles, DiscoverUdp, ScanTcp9100, EnumerateUsbPrinters,
                               DiscoverEveryNetwork};
  auto result = std::make_unique<TargetsResult>(CollectTargets(mode, generation, sources));
  if (PostMessageW(window, kMsgTargetsReady, 0, reinterpret_cast<LPARAM>(result.get()))) {
    result.release();  // the window owns it now
  }
}

}  // namespace korvante
