// The port-9100 sweep of a profile's /24 network, for printers that do not
// answer UDP discovery.
//
// The threading and the status-probe rules are portable; the Win32 side
// (tcp_sweep_win32.cpp) supplies the probe of one host over a real socket.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

inline constexpr int kSweepThreads = 32;
inline constexpr unsigned kSweepConnectTimeoutMs = 420;
inline constexpr std::chrono::milliseconds kSweepAnswerWait{180};
inline constexpr std::size_t kSweepAnswerBytes = 16;

// A byte of a status answer that marks the host as a receipt printer: 0x00,
// 0x03, 0x20, 0x22, or any byte with bit 4 set. Raw print servers and other
// services on port 9100 answer with text or not at all.
bool IsPrinterReplyByte(std::uint8_t byte);
bool ContainsPrinterReply(std::span<const std::uint8_t> answer);

// One connected host, as the status probe sees it.
class StatusChannel {
 public:
  virtual ~StatusChannel() = default;
  virtual void Send(std::span<const std::uint8_t> bytes) = 0;
  // Up to `maxBytes` of an answer arriving within `wait`; nullopt on time-out,
  // error or a closed connection.
  virtual std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds wait,
                                                           std::size_t maxBytes) = 0;
};

// Sends the real-time status requests DLE EOT 1, 2 and 4 in turn, each
// followed by one wait of 180 ms, and stops at the first answer holding a
// printer reply byte. True when the host is a printer.
bool ProbeStatus(StatusChannel& channel);

// Probes one host address; true when it is a printer.
using HostProbe = std::function<bool(const std::string& host)>;

// The hosts prefix.1 to prefix.254 of the profile's address (the first three
// octets, whatever the mask), without the profile's own address, in order.
std::vector<std::string> SweepHosts(const NetworkProfile& profile);

// Tries every host of SweepHosts with `threads` threads sharing one atomic
// next-host counter and one mutex-guarded result list; every host is probed
// exactly once. Returns a sweep record (address only) per printer, in numeric
// address order. If threads cannot be started, the ones that did (or the
// calling thread, when none did) cover every host.
std::vector<NetworkPrinter> SweepNetwork(const NetworkProfile& profile, const HostProbe& probe,
                                         int threads = kSweepThreads);

// The profiles whose /24 the sweep covers when no network answered
// discovery: the chosen one first (the default profile when there is none),
// then every other one on a /24 not covered yet. Of the others, tunnel and PPP
// adapters are not swept: an office printer beyond a VPN must not get status
// probes. The chosen one is swept as on a computer with one network.
std::vector<NetworkProfile> SweepProfiles(const std::vector<NetworkProfile>& profiles);

// The sweep of one network, as ScanTcp9100 does it.
using NetworkSweep = std::function<std::vector<NetworkPrinter>(const NetworkProfile&)>;

// Sweeps every given network side by side, each on a thread of its own (the
// first on the calling thread), so that two to four networks take about the
// time of one. The records of all of them, network by network in the given
// order. A thread that cannot be started leaves its network to the caller.
std::vector<NetworkPrinter> SweepEveryNetwork(const std::vector<NetworkProfile>& networks,
                                              const NetworkSweep& sweep);

}  // namespace korvante
