// The network address-change job of "Lưu IP": the "XP0001SAVE" broadcast or
// the IP-change command over TCP, then the check that the printer answers at
// its new address. Portable over a few hooks, so its order and waits are
// tested without sockets; lan_job_win32.cpp binds the real ones.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/command_vocabulary.h"
#include "commands/network_settings.h"
#include "core/printer_records.h"

namespace korvante {

// Everything the job owns: copies taken on the window thread at the press.
struct LanChangeJob {
  NetworkPrinter printer;
  LanAddresses addresses;
  bool profilesPresent = false;  // the computer had a network profile
  NetworkProfile profile;        // whose broadcast targets the datagram goes to
  // Empty: the broadcast leaves from an unbound socket, through the adapter of
  // the preferred route. Otherwise the computer's address on the network that
  // heard the printer: the socket is bound to it, so it leaves there.
  std::string localIp = {};
};

// The job for a printer: its broadcast goes to the network that heard it.
// A printer heard on the chosen profile (or whose network is gone from the
// list) gets exactly the chosen profile's unbound broadcast; one heard on
// another profile gets that profile's targets from a socket bound to its
// address.
LanChangeJob MakeLanChangeJob(const NetworkPrinter& printer, const LanAddresses& addresses,
                              const std::vector<NetworkProfile>& profiles);

// An open UDP socket with broadcast enabled; closed when destroyed.
class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // Sends one datagram; a failure is not reported (the confirmation decides).
  virtual void SendTo(const std::string& ip, std::uint16_t port, const CommandBuffer& bytes) = 0;
};

struct LanJobHooks {
  // Null when no socket can be created: the broadcast is then skipped.
  std::function<std::unique_ptr<DatagramSocket>()> openBroadcastSocket;
  // The same, bound to one of the computer's addresses; null when that
  // address cannot be bound (its adapter went away).
  std::function<std::unique_ptr<DatagramSocket>(const std::string& localIp)>
      openBoundBroadcastSocket = {};
  std::function<bool(const NetworkPrinter& printer, const CommandBuffer& bytes)> sendTcp9100;
  std::function<bool(const std::string& ip, unsigned timeoutMs)> connectTcp9100;
  std::function<void(unsigned ms)> sleep;
};

inline constexpr std::uint16_t kSaveBroadcastPort = 9000;  // the discovery port
inline constexpr int kSaveBroadcastPasses = 3;
inline constexpr unsigned kSavePassPauseMs = 180;
// Printers take a moment to apply a new address before they answer on it.
inline constexpr unsigned kApplyWaitMs = 900;
inline constexpr unsigned kConfirmConnectMs = 1400;

// True when the printer accepted a connection at its new address.
bool RunLanChange(const LanChangeJob& job, const LanJobHooks& hooks);

}  // namespace korvante
