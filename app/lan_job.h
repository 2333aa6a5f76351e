// The network address-change job of "Lưu IP": the "XP0001SAVE" broadcast or
// the IP-change command over TCP, then the check that the printer answers at
// its new address, and on the broadcast path that the printer answering is
// this one. Portable over a few hooks, so its order and waits are tested
// without sockets; lan_job_win32.cpp binds the real ones.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/command_buffer.h"
#include "commands/network_settings.h"
#include "core/printer_records.h"
#include "core/tcp_connect_rules.h"
#include "discovery/neighbours.h"
#include "discovery/udp_discovery.h"
#include "transport/send_jobs.h"

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

// The job for a printer: its broadcast goes to the network that heard it. On
// a computer with one network (or a printer whose network is gone from the
// list) that is the chosen profile's unbound broadcast, as ever; on a
// computer with several (BindsEveryNetwork) it leaves from a socket bound to
// the address of the profile that heard the printer, the chosen one
// included.
LanChangeJob MakeLanChangeJob(const NetworkPrinter& printer, const LanAddresses& addresses,
                              const std::vector<NetworkProfile>& profiles);

// An open UDP socket with broadcast enabled; closed when destroyed. What it
// receives (replies to what it sent) is read as a DatagramSource.
class DatagramSocket : public DatagramSource {
 public:
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
  ClockNow now = MonotonicClock::now;
};

// The datagram goes to the discovery port, kDiscoveryPort.
inline constexpr int kSaveBroadcastPasses = 3;
inline constexpr unsigned kSavePassPauseMs = 180;
// Printers take a moment to apply a new address before they answer on it.
inline constexpr unsigned kApplyWaitMs = 900;
// The new address is tried within a send's connect limit, kSendConnectTimeoutMs.
// How long the printer has to answer "XP0001FIND" after the confirmation.
inline constexpr std::uint32_t kIdentityListenMs = 900;

// How a change ended.
enum class LanChangeResult {
  kConfirmed,     // the new address answers, and (broadcast path) so does the printer's MAC there
  kElsewhere,     // the printer's MAC answered at another address
  kNotConfirmed,  // nothing answered at the new address, or something that is not the printer
};

struct LanChangeOutcome {
  LanChangeResult result = LanChangeResult::kNotConfirmed;
  std::string heardAt;  // kElsewhere: the address the printer answered from
};

// Broadcast path: the three passes, the wait, the TCP confirmation, then
// "XP0001FIND" to the same targets from the same socket and up to 900 ms for
// the printer's MAC. TCP path: the command, the wait, the confirmation (no
// MAC to ask for).
LanChangeOutcome RunLanChange(const LanChangeJob& job, const LanJobHooks& hooks);

// What the window shows and does: a confirmed change searches again and
// selects the printer at its new address (by MAC, else by that address).
SendOutcome LanChangeReport(const LanChangeJob& job, const LanChangeOutcome& outcome);

// `change` behind the neighbour check of the new address: when a device
// other than the printer (its MAC, empty for none known) holds the address,
// nothing is sent and the outcome asks whether to go on, with `change` to run
// on Yes; otherwise `change` runs at once.
ReportingSendJob AfterNeighbourCheck(std::string newIp, std::string printerMac,
                                     NeighbourHooks neighbours, ReportingSendJob change,
                                     std::u16string changeFailure);

}  // namespace korvante
