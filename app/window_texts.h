// Texts the window shows that are made from data, and the rules by which it
// reads numbers and levels back out of its controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "discovery/printer_records.h"

namespace korvante {

// "192.168.1.25    Máy in bill/tem (00-1A-2B-3C-4D-5E)"; no parentheses
// when the printer reported no MAC.
std::u16string NetworkPrinterItem(const NetworkPrinter& printer);

// "USB001 - Name", or "USB - Name" when the printer has no port.
std::u16string UsbPrinterItem(const UsbPrinter& printer);

// The placeholder of a running refresh and the item of an empty result.
std::u16string_view SearchingItem(ConnectionMode mode);
std::u16string_view NothingFoundItem(ConnectionMode mode);

// The field's number as the C library's wide-string-to-long reads it (leading
// blanks and a sign allowed, stops at the first other character), or
// `fallback` when that is 0 or less or there are no digits. At most the first
// 31 characters are read, as the window reads them.
long PositiveNumberOr(std::u16string_view text, long fallback);

// A size list's level: the item data, 6 when there is none, clamped to 1..9.
int ListLevelFrom(std::optional<long> itemData);

// "Hẹp", "Thường" or "Rộng" followed by two spaces and a down triangle.
std::u16string WidthButtonCaption(int widthLevel);

}  // namespace korvante
