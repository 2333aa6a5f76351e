// The USB receipt printers and USB-to-serial adapters attached to this
// computer, recognised ones first, each joined with the print queue on its port.
#pragma once

#include <vector>

#include "core/printer_records.h"

namespace korvante {

// A fresh list on every call; a source that cannot be read contributes nothing.
std::vector<UsbPrinter> EnumerateUsbPrinters();

}  // namespace korvante
