// The Winsock pieces shared by the send path, discovery, the port-9100 sweep
// and the LAN address change: the socket owner, waits, datagrams, and the TCP
// connect to port 9100 with a time limit.
#pragma once

#include <winsock2.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "core/unique_handle.h"

namespace korvante {

struct SocketTraits {
  using Handle = SOCKET;
  static SOCKET None() { return INVALID_SOCKET; }
  static bool Held(SOCKET s) { return s != INVALID_SOCKET; }
  static void Close(SOCKET s) { closesocket(s); }
};
// Owns one socket; closes it when it goes out of scope.
using SocketOwner = UniqueHandle<SocketTraits>;

// A wait as select takes it: whole seconds and microseconds; not negative.
timeval SelectLimit(std::chrono::microseconds wait);

// True when the socket becomes readable within timeoutMs.
bool WaitReadable(SOCKET s, unsigned timeoutMs);

// A UDP socket allowed to send to broadcast addresses; empty when none opens.
SocketOwner OpenBroadcastSocket();
// Binds a UDP socket to ip:port (port 0: any free one); false when the
// address does not parse or the bind fails.
bool BindUdp(SOCKET s, const std::string& ip, std::uint16_t port);
// OpenBroadcastSocket bound to one of the computer's own addresses on any
// free port, so that what it sends, 255.255.255.255 included, leaves through
// that address's adapter; empty when the socket cannot be made or bound.
SocketOwner OpenBoundBroadcastSocket(const std::string& localIp);
// Sends one datagram to ip:port; false when the address does not parse or the
// send fails.
bool SendDatagram(SOCKET s, const std::string& ip, std::uint16_t port,
                  std::span<const std::uint8_t> bytes);

// True when a TCP connection to ip:9100 completes within timeoutMs. A refused
// connection fails as soon as the system gives up on it, never later than the
// limit. With socketOut the connected socket (in blocking mode) is handed
// over; without it the connection is closed at once. On false no socket is
// left open.
bool ConnectTcp9100(const std::string& ip, unsigned timeoutMs, SocketOwner* socketOut = nullptr);

// The start of ConnectTcp9100 for callers that wait on many connects at once:
// a non-blocking socket whose connect to ip:9100 is under way (or, with
// `connected` set, already done), retransmitting its SYN only within
// timeoutMs. Empty when the text is no address, no socket opens or the
// connect failed at once. A refused connect then shows in select's except
// set; one that select reports writable has connected when
// ConnectSucceeded says so.
SocketOwner StartConnectTcp9100(const std::string& ip, unsigned timeoutMs, bool& connected);
bool ConnectSucceeded(SOCKET s);

}  // namespace korvante
