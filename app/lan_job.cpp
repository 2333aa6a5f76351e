#include "app/lan_job.h"

#include <utility>

#include "app/window_texts.h"
#include "discovery/network_profiles.h"

namespace korvante {

LanChangeJob MakeLanChangeJob(const NetworkPrinter& printer, const LanAddresses& addresses,
                              const std::vector<NetworkProfile>& profiles) {
  LanChangeJob job{printer, addresses, !profiles.empty(), ChooseProfile(profiles), {}};
  if (printer.localIp.empty() || !BindsEveryNetwork(profiles)) return job;
  for (const NetworkProfile& profile : profiles) {
    if (profile.ip != printer.localIp) continue;
    job.profile = profile;
    job.localIp = profile.ip;
    break;
  }
  return job;
}

namespace {

// Whether the printer that answered is the one changed, and where it is.
LanChangeOutcome JudgeIdentity(const LanChangeJob& job, bool connected,
                               const std::optional<NetworkPrinter>& heard) {
  if (!heard) return {};
  if (Ipv4ToHost(heard->ip) != Ipv4ToHost(job.addresses.newIp)) {
    return {LanChangeResult::kElsewhere, heard->ip};
  }
  if (!connected) return {};
  return {LanChangeResult::kConfirmed, {}};
}

LanChangeOutcome RunBroadcastChange(const LanChangeJob& job, const LanJobHooks& hooks) {
  const CommandResult datagram = BuildSaveDatagram(job.printer, job.addresses);
  const std::vector<std::string> destinations = BroadcastTargets(job.profile);
  std::unique_ptr<DatagramSocket> socket = job.localIp.empty()
                                               ? hooks.openBroadcastSocket()
                                               : hooks.openBoundBroadcastSocket(job.localIp);
  // A datagram that cannot be built (the window checked the texts first) or
  // a socket that cannot be opened sends nothing; the checks decide.
  if (socket && !datagram.invalidField) {
    for (int pass = 0; pass < kSaveBroadcastPasses; ++pass) {
      for (const std::string& destination : destinations) {
        socket->SendTo(destination, kDiscoveryPort, datagram.bytes);
      }
      hooks.sleep(kSavePassPauseMs);
    }
  }
  hooks.sleep(kApplyWaitMs);
  const bool connected = hooks.connectTcp9100(job.addresses.newIp, kSendConnectTimeoutMs);
  if (!socket) return {};

  // Anything may accept a connection at the new address; only the printer's
  // own reply to a search, from that address, says that it moved there. The
  // same socket asks, so the replies come back to it alone.
  const CommandBuffer request = DiscoveryRequest();
  for (const std::string& destination : destinations) {
    socket->SendTo(destination, kDiscoveryPort, request);
  }
  return JudgeIdentity(job, connected,
                       WaitForReplyOf(*socket, job.printer.mac, kIdentityListenMs, hooks.now));
}

}  // namespace

LanChangeOutcome RunLanChange(const LanChangeJob& job, const LanJobHooks& hooks) {
  if (UsesSaveBroadcast(job.printer, job.profilesPresent)) return RunBroadcastChange(job, hooks);
  const CommandResult command = BuildIpChangeCommand(job.addresses.newIp);
  const bool delivered = !command.invalidField && hooks.sendTcp9100(job.printer, command.bytes);
  hooks.sleep(kApplyWaitMs);
  if (!delivered || !hooks.connectTcp9100(job.addresses.newIp, kSendConnectTimeoutMs)) return {};
  return {LanChangeResult::kConfirmed, {}};
}

SendOutcome LanChangeReport(const LanChangeJob& job, const LanChangeOutcome& outcome) {
  SendOutcome report;
  switch (outcome.result) {
    case LanChangeResult::kConfirmed:
      report.text = kLanChangedText;
      report.selectAfterSearch = PrinterToSelect{job.printer.mac, job.addresses.newIp};
      break;
    case LanChangeResult::kElsewhere:
      report.text = LanChangedElsewhereText(outcome.heardAt);
      break;
    case LanChangeResult::kNotConfirmed:
      report.text = kLanNotConfirmedText;
      break;
  }
  return report;
}

ReportingSendJob AfterNeighbourCheck(std::string newIp, std::string printerMac,
                                     NeighbourHooks neighbours, ReportingSendJob change,
                                     std::u16string changeFailure) {
  return [newIp = std::move(newIp), printerMac = std::move(printerMac),
          neighbours = std::move(neighbours), change = std::move(change),
          changeFailure = std::move(changeFailure)]() mutable {
    const std::optional<std::string> holder = FindAddressHolder(newIp, printerMac, neighbours);
    if (!holder) return change();
    SendOutcome ask;
    ask.question = AddressHeldQuestion(newIp, *holder);
    ask.onYes = std::move(change);
    ask.onYesFailure = std::move(changeFailure);
    return ask;
  };
}

}  // namespace korvante
