// How long a connection to port 9100 may take, and what a refused one may
// cost. Windows answers a
// refusal (a reset to its SYN) by sending the SYN again at each retransmission
// timeout, and reports the refusal only after the last retransmission: two
// seconds and more, longer than the sweep's 420 ms or a send's 1,400 ms, so
// every refused host would cost the whole limit. Allowing exactly the
// retransmissions that fall inside the limit keeps every connection that
// could complete within it, and ends a refused one at the last of them.
#pragma once

namespace korvante {

// How long a connection to a printer's port 9100 may take when a command is
// sent to it, or when an address change checks that it answers at its new
// address.
inline constexpr unsigned kSendConnectTimeoutMs = 1400;

// Windows' first SYN retransmission comes one second after the SYN (its
// default initial retransmission timeout), and each gap doubles: the
// retransmissions go at 1 s, 3 s, 7 s, ...
inline constexpr unsigned kFirstSynRetransmitMs = 1000;

// The number of SYN retransmissions that go out before `limitMs` has passed.
constexpr unsigned SynRetransmissionsWithin(unsigned limitMs) {
  unsigned count = 0;
  unsigned long long gap = kFirstSynRetransmitMs;
  for (unsigned long long at = gap; at < limitMs; gap *= 2, at += gap) ++count;
  return count;
}

}  // namespace korvante
