// What the LAN page says of the selected printer before "Lưu IP" is pressed:
// the settings it reported of itself (read only: the printers have no other
// read-back), and whether it can take a mask and a gateway at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/printer_records.h"

namespace korvante {

struct LanTargetInfo {
  // "Máy in đang dùng: IP a, Subnet mask m, Gateway g", or its address alone
  // when that is all the tool knows; empty for USB and for no printer.
  std::u16string current;
  // The change carries the new address alone (the IP-change command).
  bool addressOnly = false;
};

LanTargetInfo DescribeLanTarget(const std::optional<PrinterTarget>& target, bool profilesPresent);

// The page's one text: what the printer reported, then the note when it
// takes the address alone ("Máy in đang dùng: IP a. Máy in này chỉ nhận ...").
std::u16string LanTargetText(const LanTargetInfo& info);

// Refused before anything is sent: a target that takes the address alone
// would get the address it already has, so nothing would change (re-saving
// it with a new mask or gateway changes neither). The message, or empty.
std::u16string NothingChangesMessage(const std::optional<PrinterTarget>& target,
                                     bool profilesPresent, const std::string& newIp);

}  // namespace korvante
