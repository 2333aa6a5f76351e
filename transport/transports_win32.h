// The three ways a finished command leaves the tool: a raw TCP connection to
// port 9100, a RAW job on a Windows print queue, or an overlapped write to a
// USB or COM device path. Each reports only whether every byte was accepted;
// all block and run on worker threads only.
#pragma once

#include "core/command_buffer.h"
#include "core/printer_records.h"
#include "core/tcp_connect_rules.h"

namespace korvante {

// Connects to printer.ip:9100 within 1,400 ms, sends the whole buffer in one
// send and closes. True exactly when every byte was sent. printer.port is not
// used: printers always print on 9100.
bool SendTcp9100(const NetworkPrinter& printer, const CommandBuffer& bytes);

// The print queue first (when named and the buffer is not empty), then the
// device path, or \\.\ and the port when there is no path.
bool SendUsb(const UsbPrinter& printer, const CommandBuffer& bytes);

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
