#include "app/lan_target_info.h"

#include "commands/network_settings.h"
#include "core/text_encoding.h"

namespace korvante {

LanTargetInfo DescribeLanTarget(const std::optional<PrinterTarget>& target, bool profilesPresent) {
  LanTargetInfo info;
  if (!target) return info;
  if (target->kind != kModeNetwork) {
    info.addressOnly = true;
    return info;
  }
  const NetworkPrinter& printer = target->net;
  info.addressOnly = !UsesSaveBroadcast(printer, profilesPresent);
  info.current = u"Máy in đang dùng: IP " + FromUtf8(printer.ip);
  if (!printer.mask.empty()) info.current += u", Subnet mask " + FromUtf8(printer.mask);
  if (!printer.gateway.empty()) info.current += u", Gateway " + FromUtf8(printer.gateway);
  return info;
}

std::u16string LanTargetText(const LanTargetInfo& info) {
  std::u16string text = info.current;
  if (info.addressOnly) text += (text.empty() ? u"" : u". ") + std::u16string(kAddressOnlyNote);
  return text;
}

std::u16string NothingChangesMessage(const std::optional<PrinterTarget>& target,
                                     bool profilesPresent, const std::string& newIp) {
  if (!target || target->kind != kModeNetwork || target->net.ip != newIp) return {};
  if (!DescribeLanTarget(target, profilesPresent).addressOnly) return {};
  return u"Máy in đã dùng IP " + FromUtf8(newIp) +
         u". Máy in này không nhận Subnet mask và Gateway, nên không có gì thay đổi. Chưa gửi "
         u"lệnh.";
}

}  // namespace korvante
