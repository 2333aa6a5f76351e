// The refresh cycle's result and its portable steps: what one refresh finds,
// and how discovery and sweep records merge into the list the window shows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

// Posted to the main window with kMsgTargetsReady (lParam); the window owns it
// from the moment the post succeeds.
struct TargetsResult {
  ConnectionMode mode = kModeUsb;               // the mode the refresh was started for
  std::int32_t generation = 0;                  // the refresh generation it was started with
  std::vector<UsbPrinter> usbPrinters;          // mode 0 only
  std::vector<NetworkPrinter> networkPrinters;  // mode 1 only: one per ip, text order
  std::vector<NetworkProfile> profiles;         // mode 1 only: as enumerated
};

// One record per ip text, in text address order. Discovery records go in first
// (in their order, so a later one with the same ip replaces an earlier one);
// a sweep record is added only for an address discovery did not report.
std::vector<NetworkPrinter> MergeNetworkPrinters(const std::vector<NetworkPrinter>& found,
                                                 const std::vector<NetworkPrinter>& swept);

// The operations a refresh calls; the Win32 refresh passes the real ones.
struct RefreshSources {
  std::function<std::vector<NetworkProfile>()> enumerateProfiles;
  // Discovery on every profile of the list at once (DiscoverEveryNetwork).
  std::function<std::vector<NetworkPrinter>(const std::vector<NetworkProfile>&,
                                            std::uint32_t listenMs)>
      discoverEveryNetwork;
  // The sweep of one network; the refresh runs one per network side by side.
  std::function<std::vector<NetworkPrinter>(const NetworkProfile&)> scanTcp9100;
  std::function<std::vector<UsbPrinter>()> enumerateUsbPrinters;
};

// Runs one refresh: mode 0 lists the USB printers; any other mode enumerates
// the profiles, discovers on every network for 900 ms, sweeps the networks of
// SweepProfiles only when discovery found nothing, and merges.
TargetsResult CollectTargets(ConnectionMode mode, std::int32_t generation,
                             const RefreshSources& sources);

}  // namespace korvante
