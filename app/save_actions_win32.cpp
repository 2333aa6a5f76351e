// The save actions: each reads its controls into the plain inputs of the
// command builders, checks them in its order, resolves the printer and hands a
// send job to RunSendAsync with its own success and failure texts.
#include "app/save_actions_win32.h"

#include <functional>
#include <string>
#include <utility>

#include "app/address_checks.h"
#include "app/window_texts.h"
#include "app/lan_target_info.h"
#include "commands/device_settings.h"
#include "commands/info_slip.h"
#include "commands/network_settings.h"
#include "commands/queue_ticket.h"
#include "discovery/network_profiles.h"
#include "app/window_send_hooks_win32.h"
#include "transport/transports_win32.h"

namespace korvante {
namespace {

void Send(MainWindow& w, SendJob job, std::u16string_view success, std::u16string_view failure) {
  RunSendAsync(SendHooksOf(w), std::move(job), std::u16string(success), std::u16string(failure));
}

// The ordinary send job of the selected target, with the bytes `build` makes
// for it, or "Chưa chọn máy in.", or the refusal of a typed address that
// names no printer. With a question, only once the user has answered it Yes.
void SendToSelected(MainWindow& w, const std::function<CommandBuffer(const PrinterTarget&)>& build,
                    const SendTexts& texts, std::u16string_view question = {}) {
  PrinterBoxChoice choice = ResolvePrinterBoxOf(w);
  if (choice.malformed) {
    ShowMessage(w, InvalidAddressMessage(AddressField::PrinterIp));
    return;
  }
  if (!choice.target) {
    ShowMessage(w, choice.searching ? kSearchingText : kNoPrinterText);
    return;
  }
  // While a send runs the job is refused anyway ("Đang gửi lệnh, vui lòng
  // đợi."): no question first.
  if (!question.empty() && !w.sendBusy && !Confirm(w, question)) return;
  // A printer heard on a network it is not an address of cannot be reached
  // over TCP: when the send fails, that is why.
  const std::u16string reason =
      choice.target->kind == kModeNetwork && HeardOutsideItsNetwork(choice.target->net, w.profiles)
          ? OtherSubnetFailure(choice.target->net.ip)
          : std::u16string(texts.failed);
  CommandBuffer bytes = build(*choice.target);
  Send(w, OrdinarySendJob{std::move(*choice.target), std::move(bytes)}, texts.sent, reason);
}

void SendToSelected(MainWindow& w, CommandBuffer bytes, const SendTexts& texts,
                    std::u16string_view question = {}) {
  SendToSelected(
      w, [&bytes](const PrinterTarget&) { return std::move(bytes); }, texts, question);
}

CalendarDate LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

SlipTime LocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
}

}  // namespace

SendJobHooks SendHooksOf(MainWindow& w) {
  MainWindow* window = &w;
  return WindowSendHooks(
      w.hwnd, w.sendBusy, [window](std::u16string_view text) { ShowMessage(*window, text); },
      [window](bool on) { SetBusy(*window, on); });
}

void SaveWifi(MainWindow& w) {
  WifiSettings settings;
  settings.networkName = ControlText(w.At(Slot::kWifiNameField));
  settings.password = ControlText(w.At(Slot::kWifiPasswordField));
  settings.ip = ControlText(w.At(Slot::kWifiIpField));
  settings.mask = ControlText(w.At(Slot::kWifiMaskField));
  settings.gateway = ControlText(w.At(Slot::kWifiGatewayField));
  CommandResult command = BuildWifiCommand(settings);
  if (command.invalidField) {
    ShowMessage(w, InvalidAddressMessage(*command.invalidField));
    return;
  }
  SendToSelected(w, std::move(command.bytes), kWifiSendTexts);
}

void SaveBeep(MainWindow& w, bool test) {
  SendToSelected(w, BuildBuzzerCommand(IsChecked(w.At(Slot::kBeepCheck)), test), kBeepSendTexts);
}

void PrintInfo(MainWindow& w) {
  const SlipTime now = LocalTime();
  SendToSelected(
      w, [&now](const PrinterTarget& target) { return BuildInfoSlip(InfoSlipRows(target), now); },
      kInfoSlipSendTexts);
}

void ShowLanTargetInfo(MainWindow& w) {
  const std::u16string text =
      LanTargetText(DescribeLanTarget(ResolvePrinterBoxOf(w).target, !w.profiles.empty()));
  SetWindowTextW(w.At(Slot::kLanTargetText), WideText(text));
}

void SaveDensity(MainWindow& w) {
  const std::int32_t density = DensityFromText(ControlText(w.At(Slot::kDensityField)));
  SendToSelected(w, BuildDensityCommand(density), kDensitySendTexts);
}

void SaveQueue(MainWindow& w) {
  QueueTicketInput input;
  input.enable = IsChecked(w.At(Slot::kPrintNumberCheck));
  input.copiesText = ControlText(w.At(Slot::kCopiesField));
  input.printDate = IsChecked(w.At(Slot::kPrintDateCheck));
  input.editorShown = w.contentShown;
  for (int i = 0; i < kLineCount; ++i) {
    TicketLine& line = input.lines[i] = w.lines[i];
    line.text = ControlText(w.Line(i, LinePart::kEditor));
    line.sizeLevel = ListLevel(w.Line(i, LinePart::kSizeList));
  }
  input.counterLevel = ListLevel(w.At(Slot::kCounterSizeList));
  input.qrLink = ControlText(w.At(Slot::kQrField));
  input.date = LocalDate();

  // The length is checked before the printer: an over-long ticket is reported
  // even with no printer selected.
  std::optional<CommandBuffer> transmission = BuildQueueTransmission(input);
  if (!transmission) {
    ShowMessage(w, kTicketTooLongMessage);
    return;
  }
  // The full transmission begins by deleting every graphic stored in the
  // printer, a shop's receipt logo among them: the user says so first.
  SendToSelected(w, std::move(*transmission),
                 input.editorShown ? kTicketSendTexts : kQueueSettingsSendTexts,
                 input.editorShown ? kStoredGraphicsQuestion : std::u16string_view{});
}

}  // namespace korvante
