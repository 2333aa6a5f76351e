// The three ways a finished command leaves the tool: a raw TCP connection to
// port 9100, a RAW job on a Windows print queue, or an overlapped write to a
// USB or COM device path. Each reports only whether every byte was accepted;
// all block and run on worker threads only.
#pragma once

#include "core/command_buffer.h"
#include "core/printer_records.h"
#include "core/tcp_connect_rules.h"
#include "transport/tcp_transport_win32.h"
#include "transport/usb_send_win32.h"

namespace korvante {

// SendTcp9100 for a network target, SendUsb otherwise; no fallback between them.
bool SendToTarget(const PrinterTarget& target, const CommandBuffer& bytes);

// The send jobs of the save actions (RunSendAsync, send_jobs.h), each on its
// own copies of what the action read.
// The ordinary job: SendToTarget(target, bytes).
struct OrdinarySendJob {
  PrinterTarget target;
  CommandBuffer bytes;
  bool operator()() const { return SendToTarget(target, bytes); }
};

// The USB address-change job: SendUsb(printer, bytes).
struct UsbSendJob {
  UsbPrinter printer;
  CommandBuffer bytes;
  bool operator()() const { return SendUsb(printer, bytes); }
};

}  // namespace korvante
