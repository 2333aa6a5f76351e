// The port-9100 sweep of one /24 with every host tried at once: a
// non-blocking connect per host with its own 420 ms limit, then the three
// status requests with their 180 ms waits on each host that accepts, all of
// them in flight together and driven by one wait at a time.
//
// The scheduling and each host's steps are portable and run against any
// SweepSockets: the Win32 one (tcp_sweep_win32.cpp) makes real sockets and
// waits on them with select; the tests play a network with a clock of their
// own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

// Time on the sweep's clock, from an origin of the SweepSockets' choosing.
using SweepTime = std::chrono::microseconds;

// How a connect began: still in progress, already connected, or over.
enum class ConnectStart { kPending, kConnected, kFailed };

// What a wait reports for one socket.
enum class SocketEvent {
  kConnected,  // a pending connect completed
  kFailed,     // a pending connect was refused or failed
  kReadable,   // an answer (or the end of the connection) can be received
};

// A socket the scheduler waits on: its host's index, and whether its connect
// is pending (else it waits for an answer).
struct SocketWatch {
  std::size_t host = 0;
  bool connecting = false;
};

struct SocketReady {
  std::size_t host = 0;
  SocketEvent event = SocketEvent::kReadable;
};

// The platform's half of the sweep: at most one socket per host index, to
// that host's TCP port 9100, and one wait over many of them.
class SweepSockets {
 public:
  virtual ~SweepSockets() = default;
  virtual SweepTime Now() = 0;
  // Opens the socket of `host` and starts a non-blocking connect to
  // address:9100. On kFailed no socket is left open.
  virtual ConnectStart Connect(std::size_t host, const std::string& address) = 0;
  // Sends on a connected socket; the result is not needed.
  virtual void Send(std::size_t host, std::span<const std::uint8_t> bytes) = 0;
  // Up to maxBytes of what arrived on a readable socket; nullopt when the
  // connection ended or failed.
  virtual std::optional<std::vector<std::uint8_t>> Receive(std::size_t host,
                                                           std::size_t maxBytes) = 0;
  virtual void Close(std::size_t host) = 0;
  // Waits until a watched socket has something to report, or until `until`
  // on the sweep's clock; returns what is ready, nothing on time-out.
  virtual std::vector<SocketReady> Wait(std::span<const SocketWatch> watches, SweepTime until) = 0;
};

// Bounds the sockets that sweeps running side by side hold at once: each host
// holds one unit from its connect until its socket is closed.
class ConnectBudget {
 public:
  explicit ConnectBudget(std::size_t units);
  bool TryTake();
  // Waits for a unit. Only a sweep that holds none waits, so every unit it
  // waits for is held by another sweep's host, which gives it back within
  // one connect limit and three answer waits.
  void Take();
  void Give();

 private:
  std::mutex mutex_;
  std::condition_variable freed_;
  std::size_t left_;
};

// Sockets in flight over every sweep at once: two networks' sweeps run fully
// side by side, a third and a fourth start their hosts as units come back.
inline constexpr std::size_t kSweepSocketsInFlight = 512;

// Tries every host of the list at once, as far as the budget allows (host i
// is the sockets' index i), and returns whether each is a printer: an answer
// to one of the status requests held a printer reply byte (tcp_sweep.h).
std::vector<bool> ProbeHostsAtOnce(const std::vector<std::string>& hosts, SweepSockets& sockets,
                                   ConnectBudget& budget);

// ProbeHostsAtOnce over SweepHosts(profile); returns a sweep record (address only) per printer, in
// numeric address order.
std::vector<NetworkPrinter> SweepAtOnce(const NetworkProfile& profile, SweepSockets& sockets,
                                        ConnectBudget& budget);

}  // namespace korvante
