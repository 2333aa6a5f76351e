// UDP discovery on port 9000: the "XP0001FIND" request, the "XP0001FOUND"
// reply, and the listening loop that collects one record per printer.
//
// The loop is portable over a small datagram interface; the Win32 socket that
// stands behind it is in udp_discovery_win32.cpp.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "discovery/printer_records.h"

namespace korvante {

inline constexpr std::uint16_t kDiscoveryPort = 9000;
inline constexpr std::uint32_t kRefreshListenMs = 900;
inline constexpr std::uint32_t kProbeReportListenMs = 1600;
// How long one wait for a datagram lasts; bounds how late the deadline is seen.
inline constexpr std::chrono::milliseconds kDiscoveryPoll{180};
inline constexpr std::size_t kDiscoveryReceiveBytes = 512;

// The request datagram: the 10 ASCII bytes "XP0001FIND", no terminator.
std::vector<std::uint8_t> DiscoveryRequest();

// The record of one reply datagram, or nullopt when it holds no complete reply.
// The reply may start anywhere in the datagram (the first "XP0001FOUND" is
// taken) and needs 23 bytes after the marker, its trailing byte included.
std::optional<NetworkPrinter> ParseDiscoveryReply(std::span<const std::uint8_t> datagram);

// The replies of one discovery run, one record per MAC: the first reply of a
// printer wins, later ones (to the other broadcast targets, or from another
// address) are dropped.
class ReplyCollector {
 public:
  // Parses the datagram and keeps its record when its MAC is new.
  void add(std::span<const std::uint8_t> datagram);
  // The records in numeric address order.
  std::vector<NetworkPrinter> take();

 private:
  std::set<std::string> seen_;
  std::vector<NetworkPrinter> printers_;
};

// The receiving side of a discovery socket.
class DatagramSource {
 public:
  virtual ~DatagramSource() = default;
  // Waits up to `limit` for a datagram; false on time-out or error.
  virtual bool waitReadable(std::chrono::milliseconds limit) = 0;
  // Receives one datagram into `buffer`; its length, or nullopt on failure
  // (a datagram larger than the buffer counts as a failure).
  virtual std::optional<std::size_t> receive(std::span<std::uint8_t> buffer) = 0;
};

using MonotonicClock = std::chrono::steady_clock;
using ClockNow = std::function<MonotonicClock::time_point()>;

// Listens for the whole listening time, in waits of at most 180 ms, and returns
// the collected records. The deadline is on the monotonic clock: a change of
// the computer's wall clock neither ends the listening early nor makes it run
// on. `now` is injectable for tests.
std::vector<NetworkPrinter> CollectReplies(DatagramSource& source, std::uint32_t listenMs,
                                           const ClockNow& now = MonotonicClock::now);

// Broadcasts the request to every target of the profile and listens for
// listenMs. Empty when no socket can be made. Windows only.
std::vector<NetworkPrinter> DiscoverUdp(const NetworkProfile& profile, std::uint32_t listenMs);

}  // namespace korvante
