// The USB receipt printers and USB-to-serial adapters attached to this
// computer, recognised ones first, each joined with the print queue on its port.
#pragma once

#include <vector>

#include "core/printer_records.h"
#include "usb/usb_rules.h"

namespace korvante {

// A fresh list on every call; a source that cannot be read contributes nothing.
std::vector<UsbPrinter> EnumerateUsbPrinters();

// The local print queues as the spooler lists them, with their ports (a
// pooled queue's joined by commas); empty when the spooler cannot be read.
std::vector<PrintQueueReport> ReadPrintQueues();

}  // namespace korvante
