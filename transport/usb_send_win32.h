// The USB transport: a USB printer or USB-to-serial adapter, through its
// print queue or its device path.
#pragma once

#include "core/command_buffer.h"
#include "core/printer_records.h"

namespace korvante {

// The print queue first (when named and the buffer is not empty), then the
// device path, or \\.\ and the port when there is no path.
bool SendUsb(const UsbPrinter& printer, const CommandBuffer& bytes);

}  // namespace korvante
