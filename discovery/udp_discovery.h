// UDP discovery on port 9000: the "XP0001FIND" request, the "XP0001FOUND"
// reply, and the listening loop that collects one record per printer.
//
// The loop is portable over a small datagram interface; the Win32 sockets that
// stand behind it are in udp_discovery_win32.cpp.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

inline constexpr std::uint16_t kDiscoveryPort = 9000;
inline constexpr std::uint32_t kRefreshListenMs = 900;
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
// printer wins, later ones (to the other broadcast targets, from another
// address, or heard on another network) are dropped.
class ReplyCollector {
 public:
  // Parses the datagram and keeps its record when its MAC is new; the record
  // keeps `heardOn`, the local address of the socket that received it.
  void Add(std::span<const std::uint8_t> datagram, const std::string& heardOn = {});
  // The records in numeric address order.
  std::vector<NetworkPrinter> Take();

 private:
  std::set<std::string> seen_;
  std::vector<NetworkPrinter> printers_;
};

// The receiving side of one socket: the address change's, which asks one
// printer and waits for its reply alone.
class DatagramSource {
 public:
  virtual ~DatagramSource() = default;
  // Waits up to `limit` for a datagram; false on time-out or error.
  virtual bool WaitReadable(std::chrono::milliseconds limit) = 0;
  // Receives one datagram into `buffer`; its length, or nullopt on failure
  // (a datagram larger than the buffer counts as a failure).
  virtual std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer) = 0;
};

// The receiving side of every socket of one discovery run, listened to in
// one wait.
class DatagramSockets {
 public:
  virtual ~DatagramSockets() = default;
  // Waits up to `limit` for datagrams; the indices of the sockets holding
  // one, ascending (empty on time-out or error).
  virtual std::vector<std::size_t> WaitReadable(std::chrono::milliseconds limit) = 0;
  // Receives one datagram of socket `index`, as DatagramSource::Receive.
  virtual std::optional<std::size_t> Receive(std::size_t index, std::span<std::uint8_t> buffer) = 0;
};

// One socket of a discovery run over every network of the computer.
struct DiscoverySocketPlan {
  std::string bindIp;                // "0.0.0.0" for the chosen profile, else the profile's ip
  std::vector<std::string> targets;  // BroadcastTargets of the profile
  std::string heardOn;               // the profile's ip, kept by the records heard here
};

inline constexpr char kAnyAddress[] = "0.0.0.0";

// True when the computer has more than one network address to ask from
// (distinct addresses that parse). Then every network's broadcasts, the
// chosen one's included, leave from a socket bound to that network's own
// address; with one network they leave from the wildcard socket, as always.
bool BindsEveryNetwork(const std::vector<NetworkProfile>& profiles);

// The chosen profile's socket first, then one socket bound to the address of
// every other profile with a distinct address, each with that profile's
// targets. A limited broadcast from a socket bound to an adapter's address
// leaves through that adapter; from the wildcard socket it leaves through
// the adapter of the preferred route alone, which on a computer with cable
// and WiFi is the cable, whatever profile was chosen. So the chosen
// profile's socket is bound to its address too when BindsEveryNetwork; on a
// computer with one network it is 0.0.0.0 with its three targets, exactly
// as ever.
std::vector<DiscoverySocketPlan> PlanDiscoverySockets(const std::vector<NetworkProfile>& profiles);

using MonotonicClock = std::chrono::steady_clock;
using ClockNow = std::function<MonotonicClock::time_point()>;

// Listens on every socket of a run in one wait for the whole listening time,
// in waits of at most 180 ms (the last one ending with it), and returns the
// collected records: a record heard on socket i keeps heardOn[i]; one record
// per MAC over all of them. The deadline is on the monotonic clock: a change
// of the computer's wall clock neither ends the listening early nor makes it
// run on. `now` is injectable for tests.
std::vector<NetworkPrinter> CollectReplies(DatagramSockets& sockets,
                                           const std::vector<std::string>& heardOn,
                                           std::uint32_t listenMs,
                                           const ClockNow& now = MonotonicClock::now);

// Listens for up to listenMs for a reply of the printer with this MAC and
// returns its record as soon as one comes; nullopt when none came in time.
// Other printers' replies and foreign datagrams are passed over.
std::optional<NetworkPrinter> WaitForReplyOf(DatagramSource& source, const std::string& mac,
                                             std::uint32_t listenMs,
                                             const ClockNow& now = MonotonicClock::now);

}  // namespace korvante
