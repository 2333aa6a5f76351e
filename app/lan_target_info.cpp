#include "app/lan_target_info.h"

#include "app/window_texts.h"
#include "commands/network_settings.h"

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
  info.current = PrinterSettingsText(printer);
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
  return NothingChangesText(newIp);
}

}  // namespace korvante
