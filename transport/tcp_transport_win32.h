// The TCP port-9100 transport.
#pragma once

#include "core/command_buffer.h"
#include "core/printer_records.h"

namespace korvante {

// Connects to printer.ip:9100 within kSendConnectTimeoutMs (1,400 ms), sends
// the whole buffer in one send and closes. True exactly when every byte was
// sent. printer.port is not used: printers always print on 9100.
bool SendTcp9100(const NetworkPrinter& printer, const CommandBuffer& bytes);

}  // namespace korvante
