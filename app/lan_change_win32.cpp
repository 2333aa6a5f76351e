// "Lưu IP": the checks and questions before a LAN address change, the job
// that sends it, and what the window does with its outcome: the search that
// selects the printer at its new address, or the question that a check on
// the worker left for the user.
#include <windows.h>

#include <string>
#include <utility>

#include "app/address_checks.h"
#include "app/lan_job.h"
#include "app/lan_job_win32.h"
#include "app/lan_target_info.h"
#include "app/old_address_queues.h"
#include "app/old_address_queues_win32.h"
#include "app/main_window_win32.h"
#include "app/printer_box.h"
#include "app/save_actions_win32.h"
#include "app/window_texts.h"
#include "commands/network_settings.h"
#include "core/text_encoding.h"
#include "discovery/neighbours_win32.h"
#include "transport/send_jobs.h"
#include "transport/transports_win32.h"

namespace korvante {
namespace {

// The questions asked on the window thread, in order: a listed printer that
// holds the address, then an address where the printer could be lost. False
// when one was answered No. While a send runs the change is refused anyway,
// so nothing is asked. `askedHolder` tells whether the first one was asked.
bool AskBeforeChange(MainWindow& w, const LanAddresses& addresses, const NetworkPrinter* printer,
                     bool& askedHolder) {
  askedHolder = false;
  if (w.sendBusy) return true;
  if (printer != nullptr) {
    if (const auto holder = ListedHolder(addresses.newIp, *printer, w.networkPrinters)) {
      askedHolder = true;
      if (!Confirm(w, AddressHeldQuestion(addresses.newIp, holder->mac))) return false;
    }
  }
  const std::optional<std::u16string> reach = ReachQuestion(addresses, printer, w.profiles);
  return !reach || Confirm(w, *reach);
}

// Hands the change to a worker. On the computer's own networks the worker
// first asks the neighbour table who holds the address (within 500 ms, off
// the window thread, which stays free meanwhile); a holder turns the outcome
// into a question.
void StartChange(MainWindow& w, const std::string& newIp, const std::string& printerMac,
                 bool checkNeighbours, ReportingSendJob change, std::u16string failure) {
  if (checkNeighbours && OnComputersNetworks(newIp, w.profiles)) {
    change =
        AfterNeighbourCheck(newIp, printerMac, WindowsNeighbourHooks(), std::move(change), failure);
  }
  RunSendAsync(SendHooksOf(w), std::move(change), std::move(failure));
}

void SaveUsbLan(MainWindow& w, const LanAddresses& addresses) {
  // Over USB only the new address is sent.
  if (auto invalid = FindInvalidLanAddress(addresses, false)) {
    ShowMessage(w, InvalidAddressMessage(*invalid));
    return;
  }
  const PrinterBoxChoice choice = ResolvePrinterBoxOf(w);
  if (!choice.target) {
    ShowMessage(w, choice.searching ? kSearchingText : kNoUsbPrinterText);
    return;
  }
  if (auto refusal = RefuseLanChange(addresses, LanPath::kUsb, w.profiles)) {
    ShowMessage(w, *refusal);
    return;
  }
  bool askedHolder = false;
  if (!AskBeforeChange(w, addresses, nullptr, askedHolder)) return;
  SendJob send = UsbSendJob{choice.target->usb, BuildIpChangeCommand(addresses.newIp).bytes};
  StartChange(w, addresses.newIp, {}, true,
              WithOutcomeTexts(std::move(send), std::u16string(kUsbChangeSendTexts.sent),
                               std::u16string(kUsbChangeSendTexts.failed)),
              std::u16string(kUsbChangeSendTexts.failed));
}

}  // namespace

void SaveLan(MainWindow& w) {
  const LanAddresses addresses =
      ReadLanAddresses(ControlText(w.At(Slot::kLanIpField)), ControlText(w.At(Slot::kLanMaskField)),
                       ControlText(w.At(Slot::kLanGatewayField)));
  if (w.mode != kModeNetwork) {
    SaveUsbLan(w, addresses);
    return;
  }

  // The listed printer, or the address typed into the box.
  const PrinterBoxChoice choice = ResolvePrinterBoxOf(w);
  const std::optional<NetworkPrinter> printer =
      choice.target ? std::optional(choice.target->net) : std::nullopt;
  // The broadcast carries mask and gateway too; the TCP command the address
  // alone. Without a printer only the address can be judged.
  const bool broadcast = printer && UsesSaveBroadcast(*printer, !w.profiles.empty());
  if (auto invalid = FindInvalidLanAddress(addresses, broadcast)) {
    ShowMessage(w, InvalidAddressMessage(*invalid));
    return;
  }
  if (choice.malformed) {
    ShowMessage(w, InvalidAddressMessage(AddressField::PrinterIp));
    return;
  }
  if (!printer) {
    ShowMessage(w, choice.searching ? kSearchingText : kNoLanPrinterText);
    return;
  }
  if (auto refusal =
          RefuseLanChange(addresses, broadcast ? LanPath::kBroadcast : LanPath::kTcp, w.profiles)) {
    ShowMessage(w, *refusal);
    return;
  }
  // A target that takes the address alone, given its own again: nothing
  // would change, a new mask or gateway included.
  if (const std::u16string same =
          NothingChangesMessage(choice.target, !w.profiles.empty(), addresses.newIp);
      !same.empty()) {
    ShowMessage(w, same);
    return;
  }
  bool askedHolder = false;
  if (!AskBeforeChange(w, addresses, &*printer, askedHolder)) return;
  // Its own current address is no conflict, and one the user was asked about
  // already need not be asked again.
  const bool checkNeighbours =
      !askedHolder && Ipv4ToHost(addresses.newIp) != Ipv4ToHost(printer->ip);
  LanChangeJob job = MakeLanChangeJob(*printer, addresses, w.profiles);
  ReportingSendJob change = [job = std::move(job)] {
    const LanChangeOutcome outcome = RunLanChange(job, WindowsLanJobHooks());
    SendOutcome report = LanChangeReport(job, outcome);
    // The sales software's Windows queues may still print to the old address.
    if (outcome.result == LanChangeResult::kConfirmed) {
      const std::u16string note = OldAddressQueuesNote(WindowsQueuesAtAddress(job.printer.ip),
                                                       job.printer.ip, job.addresses.newIp);
      if (!note.empty()) report.text += u"\n\n" + note;
    }
    return report;
  };
  StartChange(w, addresses.newIp, printer->mac, checkNeighbours, std::move(change),
              std::u16string(kLanNotConfirmedText));
}

void FollowUpSend(MainWindow& w, SendOutcome& outcome) {
  // The search starts first: its list is ready by the time the message is read.
  if (outcome.selectAfterSearch && w.mode == kModeNetwork) {
    w.selectAfterSearch = std::move(outcome.selectAfterSearch);
    // A search that runs already began before the printer moved: its list
    // would show the old address, so another one follows it.
    StartRefresh(w, std::nullopt, true);
  }
  if (!outcome.text.empty()) ShowMessage(w, outcome.text);
  if (!outcome.question.empty() && outcome.onYes && Confirm(w, outcome.question)) {
    RunSendAsync(SendHooksOf(w), std::move(outcome.onYes), std::move(outcome.onYesFailure));
  }
}

void SelectMovedPrinter(MainWindow& w) {
  if (!w.selectAfterSearch || w.mode != kModeNetwork) return;
  const PrinterToSelect moved = *std::exchange(w.selectAfterSearch, std::nullopt);
  if (const auto index = FindMovedPrinter(w.networkPrinters, moved.mac, moved.ip)) {
    w.printerTextEdited = false;
    SelectPrinterItem(w, *index);
  } else if (w.printerTextEdited) {
    RestorePrinterText(w, WidenAscii(moved.ip));
  }
}

}  // namespace korvante
