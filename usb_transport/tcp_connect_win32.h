// TCP connect to port 9100 with a time limit, shared by the send path, the
// port-9100 sweep and the confirmation of a new printer address.
#pragma once

#include <winsock2.h>

#include <string>

namespace korvante {

// Owns one socket; closes it when it goes out of scope.
class SocketOwner {
 public:
  SocketOwner() = default;
  explicit SocketOwner(SOCKET s) : socket_(s) {}
  SocketOwner(const SocketOwner&) = delete;
  SocketOwner& operator=(const SocketOwner&) = delete;
  SocketOwner(SocketOwner&& other) noexcept : socket_(other.release()) {}
  SocketOwner& operator=(SocketOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~SocketOwner() { reset(); }

  SOCKET get() const { return socket_; }
  explicit operator bool() const { return socket_ != INVALID_SOCKET; }
  SOCKET release() {
    const SOCKET s = socket_;
    socket_ = INVALID_SOCKET;
    return s;
  }
  void reset(SOCKET s = INVALID_SOCKET) {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = s;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

// True when the socket becomes readable (or writable) within timeoutMs.
bool WaitReadable(SOCKET s, unsigned timeoutMs);
bool WaitWritable(SOCKET s, unsigned timeoutMs);

// True when a TCP connection to ip:9100 completes within timeoutMs. With
// socketOut the connected socket (in blocking mode) is handed over; without it
// the connection is closed at once. On false no socket is left open.
bool ConnectTcp9100(const std::string& ip, unsigned timeoutMs, SocketOwner* socketOut = nullptr);

}  // namespace korvante
