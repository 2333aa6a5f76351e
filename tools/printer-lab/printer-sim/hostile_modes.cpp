#include "tools/printer-lab/printer-sim/hostile_modes.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string_view>
#include <thread>

#include "tools/printer-lab/printer-sim/journal_text.h"

namespace korvante::sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kFound = "XP0001FOUND";
// Offsets in a reply: marker [0:11), MAC [11:17), device bytes [17:19),
// address [19:23), mask [23:27), gateway [27:31), port [31:33), trailer [33].
constexpr std::size_t kMacAt = 11;
constexpr std::size_t kIpAt = 19;
constexpr std::size_t kReplyLength = 34;
constexpr std::size_t kToolBuffer = 512;  // what the tool receives into

// A copy of `pattern` (a whole reply) with another MAC and address.
Bytes Reply(const Bytes& pattern, std::array<std::uint8_t, 6> mac, std::array<std::uint8_t, 4> ip) {
  Bytes r = pattern;
  std::copy(mac.begin(), mac.end(), r.begin() + kMacAt);
  std::copy(ip.begin(), ip.end(), r.begin() + kIpAt);
  return r;
}

bool HasMarker(const Bytes& d) {
  return std::search(d.begin(), d.end(), kFound.begin(), kFound.end(), [](std::uint8_t b, char c) {
           return b == static_cast<std::uint8_t>(c);
         }) != d.end();
}

class Sender {
 public:
  Sender(int udp, const sockaddr_in& to) : udp_(udp), to_(to) {}
  void Send(const Bytes& d) {
    if (sendto(udp_, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_) !=
        static_cast<ssize_t>(d.size()))
      ++failed_;
    ++sent_;
  }
  std::string Tally() const {
    return std::to_string(sent_) + " datagrams" +
           (failed_ ? " (" + std::to_string(failed_) + " not sent)" : "");
  }

 private:
  int udp_;
  sockaddr_in to_;
  int sent_ = 0;
  int failed_ = 0;
};

std::string Flood(Sender& out, const Bytes& own, unsigned count) {
  constexpr unsigned kRepeats = 100;
  const unsigned total = count + std::min(count, kRepeats);
  // About half a second in all: a burst every 5 ms, small enough for the
  // tool's socket buffer to take while it reads.
  const unsigned burst = std::max(1u, total / 100);
  const auto start = Clock::now();
  unsigned inBurst = 0;
  auto pace = [&] {
    if (++inBurst < burst) return;
    inBurst = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  auto hi = [](unsigned i) { return static_cast<std::uint8_t>(i >> 8); };
  auto lo = [](unsigned i) { return static_cast<std::uint8_t>(i); };
  for (unsigned i = 0; i < count; ++i) {
    out.Send(Reply(own, {0x02, 0xF1, 0x00, 0x00, hi(i), lo(i)}, {10, 77, hi(i), lo(i)}));
    pace();
  }
  // The same printers again under other addresses: the first reply of a MAC
  // is the one that counts.
  for (unsigned i = 0; i < std::min(count, kRepeats); ++i) {
    out.Send(Reply(own, {0x02, 0xF1, 0x00, 0x00, hi(i), lo(i)}, {10, 99, hi(i), lo(i)}));
    pace();
  }
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  return "flood of " + std::to_string(count) + " replies, then " +
         std::to_string(std::min(count, kRepeats)) +
         " repeated MACs naming 10.99.x.y: " + out.Tally() + " in " + std::to_string(ms) + " ms";
}

// The same junk at every request: a fixed seed.
std::string Garbage(Sender& out, const Bytes& own) {
  std::mt19937 random(9100);
  auto junk = [&](std::size_t n) {
    Bytes d(n);
    do {
      for (auto& b : d) b = static_cast<std::uint8_t>(random());
    } while (HasMarker(d));
    return d;
  };
  auto joined = [](Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  // Foreign datagrams of random bytes, up to well beyond the tool's buffer.
  for (std::size_t n : {1, 7, 40, 200, 511, 512, 513, 600, 1400}) out.Send(junk(n));
  // A reply cut short after each of its first 33 bytes (the marker alone,
  // and every field but the trailer): MAC 02-CC-00-00-00-<length>.
  for (std::size_t n = 1; n < kReplyLength; ++n) {
    Bytes cut =
        Reply(own, {0x02, 0xCC, 0, 0, 0, static_cast<std::uint8_t>(n)}, {192, 168, 77, 200});
    cut.resize(n);
    out.Send(cut);
  }
  // Larger than the buffer: a failed receive, whatever it holds. A whole
  // reply beyond byte 512, and one at the very start.
  const Bytes beyond =
      Reply(own, {0x02, 0xDD, 0, 0, 0, 0x01}, {192, 168, 77, 201});  // at 520 of 600
  out.Send(joined(joined(junk(520), beyond), junk(600 - 520 - kReplyLength)));
  const Bytes atStart = Reply(own, {0x02, 0xDD, 0, 0, 0, 0x02}, {192, 168, 77, 202});
  out.Send(joined(atStart, junk(600 - kReplyLength)));
  // One byte too many for the buffer, the reply ending at byte 513.
  const Bytes oneOver = Reply(own, {0x02, 0xDD, 0, 0, 0, 0x03}, {192, 168, 77, 203});
  out.Send(joined(junk(kToolBuffer + 1 - kReplyLength), oneOver));
  // Whole replies among the junk: one ending exactly at byte 512 of a
  // datagram that just fits the buffer, one after 100 junk bytes.
  const Bytes lastFit = Reply(own, {0x02, 0xEE, 0, 0, 0, 0x01}, {192, 168, 77, 211});
  out.Send(joined(junk(kToolBuffer - kReplyLength), lastFit));
  const Bytes afterJunk = Reply(own, {0x02, 0xEE, 0, 0, 0, 0x02}, {192, 168, 77, 212});
  out.Send(joined(junk(100), afterJunk));
  return "garbage: " + out.Tally() +
         "; whole replies within 512 bytes only from 02-EE-00-00-00-01 (.211) and "
         "02-EE-00-00-00-02 (.212)";
}

std::string Odd(Sender& out, const Bytes& own, const sockaddr_in& from) {
  std::array<std::uint8_t, 4> asker{};
  std::memcpy(asker.data(), &from.sin_addr, 4);
  out.Send(Reply(own, {0x02, 0x0D, 0, 0, 0, 0x01}, {0, 0, 0, 0}));
  out.Send(Reply(own, {0x02, 0x0D, 0, 0, 0, 0x02}, {255, 255, 255, 255}));
  out.Send(Reply(own, {0x02, 0x0D, 0, 0, 0, 0x03}, asker));
  return "odd addresses 0.0.0.0, 255.255.255.255 and the asker's own: " + out.Tally();
}

std::string SceneOf(const std::string& option) {
  if (option.empty() || option[0] != '@') return option;
  std::ifstream file(option.substr(1));
  std::string scene;
  if (!file || !std::getline(file, scene)) return "silent";
  while (!scene.empty() && (scene.back() == '\r' || scene.back() == ' ')) scene.pop_back();
  return scene.empty() ? "silent" : scene;
}

bool FloodCount(const std::string& scene, unsigned& count) {
  unsigned n = 0;
  char tail = 0;
  if (std::sscanf(scene.c_str(), "flood %u%c", &n, &tail) != 1 || n == 0 || n > 65536) return false;
  count = n;
  return true;
}

}  // namespace

bool HostileUdp::Valid(const std::string& option) {
  if (!option.empty() && option[0] == '@') return option.size() > 1;
  unsigned count = 0;
  return option == "garbage" || option == "odd" || option == "silent" || FloodCount(option, count);
}

std::string HostileUdp::AnswerFind(int udp, const sockaddr_in& from, const Bytes& ownReply) {
  const std::string scene = SceneOf(option_);
  Sender out(udp, from);
  unsigned count = 0;
  if (FloodCount(scene, count)) {
    // The requests of one search come together: one flood answers them all.
    const auto now = Clock::now();
    if (now - lastFlood_ < std::chrono::milliseconds(1500)) return "hostile: flood already sent";
    lastFlood_ = now;
    return "hostile: " + Flood(out, ownReply, count);
  }
  if (scene == "garbage") return "hostile: " + Garbage(out, ownReply);
  if (scene == "odd") return "hostile: " + Odd(out, ownReply, from);
  return "hostile: silent (" + scene + ")";
}

// --- TCP ----------------------------------------------------------------------

namespace {

class HostileTcp {
 public:
  HostileTcp(std::string mode, Bytes streamBytes, std::FILE* journal, Clock::time_point start,
             int listener)
      : mode_(std::move(mode)), journal_(journal), start_(start), listener_(listener) {
    // One chunk of the endless stream, the status bytes over and over.
    if (streamBytes.empty()) streamBytes = {0x12};
    while (chunk_.size() < 4096)
      chunk_.insert(chunk_.end(), streamBytes.begin(), streamBytes.end());
  }
  void Run();

 private:
  struct Client {
    std::string peer;
    std::size_t received = 0;
    std::size_t streamed = 0;
    bool streaming = false;
  };
  void Log(const std::string& what, const std::string& peer, const std::string& rest) {
    WriteJournalLine(journal_, start_, what, peer, rest);
  }
  void Accept();
  bool Serve(int fd, short events);

  std::string mode_;
  std::FILE* journal_;
  Clock::time_point start_;
  int listener_;
  Bytes chunk_;
  std::map<int, Client> clients_;
};

void HostileTcp::Accept() {
  sockaddr_in from{};
  socklen_t length = sizeof from;
  const int fd = accept(listener_, reinterpret_cast<sockaddr*>(&from), &length);
  if (fd < 0) return;
  const std::string peer = PeerText(from);
  if (mode_ == "reset") {
    // A zero linger time turns the close into a reset.
    const linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close(fd);
    Log("tcp-reset", peer, "hostile: reset at once");
    return;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  clients_[fd].peer = peer;
  Log("tcp-connect", peer, "hostile: " + mode_);
}

// False when the connection is over.
bool HostileTcp::Serve(int fd, short events) {
  Client& c = clients_[fd];
  if (events & POLLIN) {
    std::uint8_t d[4096];
    const ssize_t n = recv(fd, d, sizeof d, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN)) {
      Log("tcp-close", c.peer,
          "total=" + std::to_string(c.received) + " streamed=" + std::to_string(c.streamed));
      return false;
    }
    if (n > 0) {
      c.received += static_cast<std::size_t>(n);
      Log("tcp-data", c.peer,
          "hex=" + HexText({d, static_cast<std::size_t>(n)}) +
              (c.streaming ? " | (streaming)"
                           : " | -> endless stream of " + HexText({chunk_.data(), 2})));
      c.streaming = true;
    }
  }
  if (c.streaming && (events & (POLLOUT | POLLIN))) {
    for (;;) {
      const ssize_t n = send(fd, chunk_.data(), chunk_.size(), MSG_NOSIGNAL);
      if (n > 0) {
        c.streamed += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EAGAIN) break;
      Log("tcp-close", c.peer,
          "total=" + std::to_string(c.received) + " streamed=" + std::to_string(c.streamed) +
              " (peer gone: " + std::strerror(errno) + ")");
      return false;
    }
  }
  if (events & (POLLRDHUP | POLLHUP | POLLERR)) {
    Log("tcp-close", c.peer,
        "total=" + std::to_string(c.received) + " streamed=" + std::to_string(c.streamed));
    return false;
  }
  return true;
}

void HostileTcp::Run() {
  for (;;) {
    std::vector<pollfd> fds{{listener_, POLLIN, 0}};
    for (const auto& [fd, client] : clients_) {
      // A host that never reads does not ask for input either: only the
      // peer's end of sending (its FIN), a reset or a hang-up ends it.
      const short events = mode_ == "noread"
                               ? static_cast<short>(POLLRDHUP)
                               : static_cast<short>(POLLIN | (client.streaming ? POLLOUT : 0));
      fds.push_back({fd, events, 0});
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == listener_) {
        Accept();
      } else if (!Serve(p.fd, p.revents)) {
        close(p.fd);
        clients_.erase(p.fd);
      }
    }
  }
}

}  // namespace

bool ValidHostileTcp(const std::string& mode) {
  return mode == "noread" || mode == "stream" || mode == "reset";
}

bool StartHostileTcp(int listener, const std::string& mode, const Bytes& streamBytes,
                     const std::string& journalPath, Clock::time_point start) {
  if (mode == "noread") {
    // A small window, so that what the host never reads soon fills it.
    const int small = 4096;
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  }
  if (listen(listener, 64) != 0) {
    close(listener);
    return false;
  }
  std::FILE* journal = std::fopen(journalPath.c_str(), "a");
  if (journal == nullptr) {
    close(listener);
    return false;
  }
  std::thread([=] { HostileTcp(mode, streamBytes, journal, start, listener).Run(); }).detach();
  return true;
}

}  // namespace korvante::sim
