// Texts the window shows that are made from data: the printer list items.
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

}  // namespace korvante
