// The port-9100 sweep of a profile's /24 network, for printers that do not
// answer UDP discovery: which hosts it tries, what answer marks a printer,
// and which networks a refresh sweeps. Every host is tried at once
// (sweep_scheduler.h); the Win32 side (tcp_sweep_win32.cpp) supplies the
// sockets.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

inline constexpr unsigned kSweepConnectTimeoutMs = 420;
inline constexpr std::chrono::milliseconds kSweepAnswerWait{180};
inline constexpr std::size_t kSweepAnswerBytes = 16;

// A byte of a status answer that marks the host as a receipt printer: 0x00,
// 0x03, 0x20, 0x22, or any byte with bit 4 set. Raw print servers and other
// services on port 9100 answer with text or not at all.
bool IsPrinterReplyByte(std::uint8_t byte);
bool ContainsPrinterReply(std::span<const std::uint8_t> answer);

// The hosts prefix.1 to prefix.254 of the profile's address (the first three
// octets, whatever the mask), without the profile's own address, in order.
std::vector<std::string> SweepHosts(const NetworkProfile& profile);

// The profiles whose /24 the sweep covers when no network answered
// discovery: the chosen one first (the default profile when there is none),
// then every other one on a /24 not covered yet. Of the others, tunnel and PPP
// adapters are not swept: an office printer beyond a VPN must not get status
// probes. The chosen one is swept as on a computer with one network.
std::vector<NetworkProfile> SweepProfiles(const std::vector<NetworkProfile>& profiles);

// The sweep of one network, as ScanTcp9100 does it.
using NetworkSweep = std::function<std::vector<NetworkPrinter>(const NetworkProfile&)>;

// Sweeps every given network side by side, each on a thread of its own (the
// first on the calling thread), so that two networks take about the time of
// one (kSweepSocketsInFlight bounds the sockets of all of them). The records of all of them,
// network by network in the given order. A thread that cannot be started leaves its network to the
// caller.
std::vector<NetworkPrinter> SweepEveryNetwork(const std::vector<NetworkProfile>& networks,
                                              const NetworkSweep& sweep);

}  // namespace korvante
