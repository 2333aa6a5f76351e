// The port-9100 sweep over real sockets: every host's non-blocking connect,
// and one select over all the sockets in flight.
//
// Why select: a /24 holds 253 hosts, more than the 64 sockets of Winsock's
// own fd_set, but Winsock's select reads as many sockets as a set's count
// names, so a set of our own size holds them all, as FD_SETSIZE defined
// larger would, on every Windows version. It also reports a refused connect
// in the except set at once, as ConnectTcp9100 relies on. WSAPoll did not
// report failed connects before Windows 10 2004 (a refused host would run
// out its whole limit), WSAEventSelect waits on at most 64 events at a time,
// and overlapped ConnectEx with a completion port would need a cancel per
// time-out and a bound socket per host for the same result.
#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <thread>
#include <unordered_map>
#include <vector>

#include "discovery/sweep_scheduler.h"
#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "core/sockets_win32.h"

namespace korvante {

namespace {

// The hosts of one /24: the most sockets one sweep holds at once.
constexpr std::size_t kHostsPerNetwork = 254;

// A select set for every host of a /24. Laid out as Winsock's fd_set, whose
// array only its declared size (FD_SETSIZE, 64) limits.
struct SocketSet {
  u_int fd_count = 0;
  SOCKET fd_array[kHostsPerNetwork];

  void Add(SOCKET s) {
    if (fd_count < kHostsPerNetwork) fd_array[fd_count++] = s;
  }
  fd_set* Get() { return reinterpret_cast<fd_set*>(this); }
};
static_assert(offsetof(SocketSet, fd_array) == offsetof(fd_set, fd_array));

class SelectSweepSockets final : public SweepSockets {
 public:
  SweepTime Now() override {
    return std::chrono::duration_cast<SweepTime>(std::chrono::steady_clock::now() - origin_);
  }

  ConnectStart Connect(std::size_t host, const std::string& address) override {
    bool connected = false;
    SocketOwner s = StartConnectTcp9100(address, kSweepConnectTimeoutMs, connected);
    if (!s) return ConnectStart::kFailed;
    hostOf_[s.get()] = host;
    sockets_[host] = std::move(s);
    return connected ? ConnectStart::kConnected : ConnectStart::kPending;
  }

  void Send(std::size_t host, std::span<const std::uint8_t> bytes) override {
    ::send(sockets_[host].get(), reinterpret_cast<const char*>(bytes.data()),
           static_cast<int>(bytes.size()), 0);
  }

  std::optional<std::vector<std::uint8_t>> Receive(std::size_t host,
                                                   std::size_t maxBytes) override {
    std::vector<std::uint8_t> answer(maxBytes);
    const int n = recv(sockets_[host].get(), reinterpret_cast<char*>(answer.data()),
                       static_cast<int>(answer.size()), 0);
    if (n <= 0) return std::nullopt;
    answer.resize(static_cast<std::size_t>(n));
    return answer;
  }

  void Close(std::size_t host) override {
    auto it = sockets_.find(host);
    if (it == sockets_.end()) return;
    hostOf_.erase(it->second.get());
    sockets_.erase(it);
  }

  std::vector<SocketReady> Wait(std::span<const SocketWatch> watches, SweepTime until) override {
    // Connects in the write set (done) and the except set (refused),
    // answers in the read set.
    writable_.fd_count = failed_.fd_count = readable_.fd_count = 0;
    for (const SocketWatch& watch : watches) {
      const SOCKET s = sockets_[watch.host].get();
      if (watch.connecting) {
        writable_.Add(s);
        failed_.Add(s);
      } else {
        readable_.Add(s);
      }
    }
    const SweepTime left = std::max(until - Now(), SweepTime::zero());
    timeval limit = SelectLimit(left);
    std::vector<SocketReady> ready;
    const int count = select(0, readable_.fd_count ? readable_.Get() : nullptr,
                             writable_.fd_count ? writable_.Get() : nullptr,
                             failed_.fd_count ? failed_.Get() : nullptr, &limit);
    // A select that fails reports nothing; the hosts then end at their
    // limits, waited for here rather than in a busy loop.
    if (count == SOCKET_ERROR) std::this_thread::sleep_for(left);
    if (count <= 0) return ready;
    // select leaves in each set only the sockets that are ready.
    for (u_int i = 0; i < failed_.fd_count; ++i) {
      ready.push_back({hostOf_[failed_.fd_array[i]], SocketEvent::kFailed});
    }
    for (u_int i = 0; i < writable_.fd_count; ++i) {
      const SOCKET s = writable_.fd_array[i];
      if (FD_ISSET(s, failed_.Get())) continue;
      ready.push_back(
          {hostOf_[s], ConnectSucceeded(s) ? SocketEvent::kConnected : SocketEvent::kFailed});
    }
    for (u_int i = 0; i < readable_.fd_count; ++i) {
      ready.push_back({hostOf_[readable_.fd_array[i]], SocketEvent::kReadable});
    }
    return ready;
  }

 private:
  const std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
  std::unordered_map<std::size_t, SocketOwner> sockets_;
  std::unordered_map<SOCKET, std::size_t> hostOf_;
  SocketSet writable_;
  SocketSet failed_;
  SocketSet readable_;
};

}  // namespace

std::vector<NetworkPrinter> ScanTcp9100(const NetworkProfile& profile) {
  // Shared by the sweeps of every network, which run side by side. Never
  // destroyed: a refresh still sweeping when the window closes runs on while
  // the process ends, after its static objects are gone.
  static ConnectBudget& budget = *new ConnectBudget(kSweepSocketsInFlight);
  SelectSweepSockets sockets;
  return SweepAtOnce(profile, sockets, budget);
}

}  // namespace korvante
