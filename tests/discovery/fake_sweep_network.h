// A network for the sweep's scheduler, with a clock of its own: each host
// follows a script, and a wait moves the clock straight to the next thing
// that happens (or to the wait's limit), so a sweep of a /24 runs in
// microseconds and its times are exact. It records what each host received
// and how long its socket was held, and notes every misuse of a socket
// (`misuse`, empty when there was none) instead of failing a test itself, so
// that the fuzz targets use it too.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/sweep_scheduler.h"

namespace korvante::testing {

using std::chrono::milliseconds;

struct FakeHost {
  enum class Tcp {
    kAbsent,       // nobody at the address: the connect never completes
    kUnreachable,  // the connect fails as it is made
    kRefuses,      // refused after connectAfter
    kAccepts,      // accepted after connectAfter
  };
  Tcp tcp = Tcp::kAbsent;
  milliseconds connectAfter{1};
  // What the host sends back to request 1, 2 or 3, answerAfter after it.
  std::map<int, std::vector<std::uint8_t>> answers;
  milliseconds answerAfter{2};
  bool closesAtOnce = false;  // ends the connection as soon as it is made
};

struct HostRecord {
  int connects = 0;
  std::vector<std::uint8_t> received;  // every byte sent to the host
  SweepTime opened{};
  SweepTime closed{};
  SweepTime Held() const { return closed - opened; }
};

class FakeSweepNetwork final : public SweepSockets {
 public:
  // Addresses not listed are absent. `openAcrossSweeps`, when given, counts
  // the sockets open in every network that shares it.
  explicit FakeSweepNetwork(std::map<std::string, FakeHost> hosts,
                            std::atomic<int>* openAcrossSweeps = nullptr)
      : hosts_(std::move(hosts)), shared_(openAcrossSweeps) {}

  SweepTime Now() override { return now_; }

  ConnectStart Connect(std::size_t host, const std::string& address) override {
    if (sockets_.count(host)) Misuse("a second socket for one host");
    HostRecord& record = records[address];
    ++record.connects;
    const FakeHost script = hosts_.count(address) ? hosts_.at(address) : FakeHost{};
    if (script.tcp == FakeHost::Tcp::kUnreachable) return ConnectStart::kFailed;
    record.opened = now_;
    Socket& s = sockets_[host];
    s.address = address;
    s.script = script;
    if (script.tcp != FakeHost::Tcp::kAbsent) s.connectAt = now_ + script.connectAfter;
    if (script.closesAtOnce && s.connectAt) s.endAt = *s.connectAt;
    ++open_;
    peakOpen = std::max(peakOpen, open_);
    if (shared_) {
      const int now = ++*shared_;
      peakAcrossSweeps = std::max(peakAcrossSweeps, now);
    }
    return ConnectStart::kPending;
  }

  void Send(std::size_t host, std::span<const std::uint8_t> bytes) override {
    Socket* s = Connected(host, "a send");
    if (!s) return;
    records[s->address].received.insert(records[s->address].received.end(), bytes.begin(),
                                        bytes.end());
    const auto answer = s->script.answers.find(++s->requests);
    if (answer != s->script.answers.end() && !s->endAt) {
      s->arrivals.push_back({now_ + s->script.answerAfter, answer->second});
    }
  }

  std::optional<std::vector<std::uint8_t>> Receive(std::size_t host,
                                                   std::size_t maxBytes) override {
    Socket* s = Connected(host, "a receive");
    if (!s) return std::nullopt;
    std::vector<std::uint8_t> read;
    // The stream as it has arrived: a long answer is read in parts.
    while (!s->arrivals.empty() && s->arrivals.front().at <= now_ && read.size() < maxBytes) {
      std::vector<std::uint8_t>& bytes = s->arrivals.front().bytes;
      const std::size_t take = std::min(maxBytes - read.size(), bytes.size());
      read.insert(read.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
      bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
      if (bytes.empty()) s->arrivals.erase(s->arrivals.begin());
    }
    if (read.empty()) {
      if (!(s->endAt && *s->endAt <= now_)) Misuse("a receive with nothing to read");
      return std::nullopt;
    }
    return read;
  }

  void Close(std::size_t host) override {
    auto it = sockets_.find(host);
    if (it == sockets_.end()) return Misuse("a close without a socket");
    records[it->second.address].closed = now_;
    sockets_.erase(it);
    --open_;
    if (shared_) --*shared_;
  }

  std::vector<SocketReady> Wait(std::span<const SocketWatch> watches, SweepTime until) override {
    if (watches.empty()) Misuse("a wait on nothing");
    if (until <= now_) {
      Misuse("a wait that ends before it starts");
      until = now_ + milliseconds(1);  // the clock moves on, so the sweep ends
    }
    SweepTime next = until;
    for (const SocketWatch& watch : watches) {
      if (const auto at = EventAt(watch)) next = std::min(next, *at);
    }
    now_ = next;
    std::vector<SocketReady> ready;
    for (const SocketWatch& watch : watches) {
      const auto at = EventAt(watch);
      if (!at || *at > now_) continue;
      if (!watch.connecting) {
        ready.push_back({watch.host, SocketEvent::kReadable});
        continue;
      }
      Socket& s = sockets_.at(watch.host);
      s.connectAt.reset();
      const bool accepted = s.script.tcp == FakeHost::Tcp::kAccepts;
      s.connected = accepted;
      ready.push_back({watch.host, accepted ? SocketEvent::kConnected : SocketEvent::kFailed});
    }
    return ready;
  }

  std::map<std::string, HostRecord> records;  // by address
  int peakOpen = 0;
  int peakAcrossSweeps = 0;
  std::string misuse;

  int OpenNow() const { return open_; }

 private:
  struct Arrival {
    SweepTime at;
    std::vector<std::uint8_t> bytes;
  };
  struct Socket {
    std::string address;
    FakeHost script;
    std::optional<SweepTime> connectAt;  // while the connect is pending
    std::optional<SweepTime> endAt;      // when the host ends the connection
    bool connected = false;
    int requests = 0;
    std::vector<Arrival> arrivals;
  };

  void Misuse(const std::string& what) {
    if (misuse.find(what) == std::string::npos) misuse += what + "; ";
  }

  Socket* Connected(std::size_t host, const char* what) {
    auto it = sockets_.find(host);
    if (it == sockets_.end() || !it->second.connected) {
      Misuse(std::string(what) + " on a socket that is not connected");
      return nullptr;
    }
    return &it->second;
  }

  // When the watched socket has something to report, if ever.
  std::optional<SweepTime> EventAt(const SocketWatch& watch) {
    auto it = sockets_.find(watch.host);
    if (it == sockets_.end()) {
      Misuse("a wait on a closed socket");
      return std::nullopt;
    }
    const Socket& s = it->second;
    if (watch.connecting) {
      if (s.connected) Misuse("a wait for a connect that is done");
      return s.connectAt;
    }
    if (!s.connected) Misuse("a wait for an answer before the connect");
    std::optional<SweepTime> at = s.endAt;
    if (!s.arrivals.empty()) at = at ? std::min(*at, s.arrivals.front().at) : s.arrivals.front().at;
    // What arrived while the host was busy elsewhere is there at once.
    if (at) at = std::max(*at, now_);
    return at;
  }

  std::map<std::string, FakeHost> hosts_;
  std::atomic<int>* shared_;
  std::map<std::size_t, Socket> sockets_;
  SweepTime now_{};
  int open_ = 0;
};

}  // namespace korvante::testing
