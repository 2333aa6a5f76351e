// Hostile hosts for the lab: what printer-sim does with --hostile-udp and
// --hostile-tcp instead of behaving like a printer, so that the tool can be
// tried against a network that floods it, feeds it garbage, names odd
// addresses, or ties up its connections.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace korvante::sim {

using Bytes = std::vector<std::uint8_t>;

// The answer to XP0001FIND of a hostile host, by scene:
//   flood N   N replies with distinct MACs (02-F1-00-00-hh-ll, i = 0..N-1) and
//             addresses (10.77.hh.ll), then the first 100 MACs again naming
//             10.99.hh.ll; sent once per search (the FINDs of one search
//             arrive together), paced over about half a second
//   garbage   random bytes, replies cut short, datagrams larger than 512
//             bytes (with a whole reply beyond byte 512, and at the start),
//             and two whole replies among the junk
//   odd       replies naming 0.0.0.0, 255.255.255.255 and the asking
//             computer's own address
//   silent    nothing
// "@FILE" reads the scene from FILE at every request (no file: silent), so
// that a test can change it while the host runs.
class HostileUdp {
 public:
  explicit HostileUdp(std::string option) : option_(std::move(option)) {}
  // False when the option (a scene or "@FILE") names no scene this host knows.
  static bool Valid(const std::string& option);

  // Answers one XP0001FIND that came from `from` on `udp`; `ownReply` is the
  // host's normal 34-byte reply, the pattern of every reply it sends. Returns
  // what it did, for the journal.
  std::string AnswerFind(int udp, const sockaddr_in& from, const Bytes& ownReply);

 private:
  std::string option_;
  std::chrono::steady_clock::time_point lastFlood_{};
};

// TCP port 9100 of a hostile host, served on a thread of its own:
//   noread   accepts every connection and never reads from it; closes it
//            once the peer has closed its end
//   stream   once a connection sends anything (DLE EOT, say), answers with
//            an endless stream of `streamBytes` until the peer goes
//   reset    accepts every connection and resets it at once
bool ValidHostileTcp(const std::string& mode);
// Listens on `listener`, a TCP socket bound to the print port that it takes
// over, and serves `mode`; journals to `journalPath` with times since `start`.
// False, the socket closed, when it cannot listen or open the journal.
bool StartHostileTcp(int listener, const std::string& mode, const Bytes& streamBytes,
                     const std::string& journalPath, std::chrono::steady_clock::time_point start);

}  // namespace korvante::sim
