#include "app/lan_job.h"

#include "discovery/network_profiles.h"

namespace korvante {

LanChangeJob MakeLanChangeJob(const NetworkPrinter& printer, const LanAddresses& addresses,
                              const std::vector<NetworkProfile>& profiles) {
  LanChangeJob job{printer, addresses, !profiles.empty(), ChooseProfile(profiles), {}};
  if (printer.localIp.empty() || printer.localIp == job.profile.ip) return job;
  for (const NetworkProfile& profile : profiles) {
    if (profile.ip != printer.localIp) continue;
    job.profile = profile;
    job.localIp = profile.ip;
    break;
  }
  return job;
}

bool RunLanChange(const LanChangeJob& job, const LanJobHooks& hooks) {
  if (UsesSaveBroadcast(job.printer, job.profilesPresent)) {
    const CommandResult datagram = BuildSaveDatagram(job.printer, job.addresses);
    // A datagram that cannot be built (the window checked the texts first) or
    // a socket that cannot be opened sends nothing; the confirmation decides.
    if (!datagram.invalidField) {
      std::unique_ptr<DatagramSocket> socket = job.localIp.empty()
                                                   ? hooks.openBroadcastSocket()
                                                   : hooks.openBoundBroadcastSocket(job.localIp);
      if (socket) {
        const std::vector<std::string> destinations = BroadcastTargets(job.profile);
        for (int pass = 0; pass < kSaveBroadcastPasses; ++pass) {
          for (const std::string& destination : destinations) {
            socket->SendTo(destination, kSaveBroadcastPort, datagram.bytes);
          }
          hooks.sleep(kSavePassPauseMs);
        }
      }
    }
    hooks.sleep(kApplyWaitMs);
  } else {
    const CommandResult command = BuildIpChangeCommand(job.addresses.newIp);
    const bool delivered = !command.invalidField && hooks.sendTcp9100(job.printer, command.bytes);
    hooks.sleep(kApplyWaitMs);
    if (!delivered) return false;
  }
  return hooks.connectTcp9100(job.addresses.newIp, kConfirmConnectMs);
}

}  // namespace korvante
