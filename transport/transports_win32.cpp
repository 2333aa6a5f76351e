// A target's own transport: TCP for a network printer, USB otherwise.
#include "transport/transports_win32.h"

namespace korvante {

bool SendToTarget(const PrinterTarget& target, const CommandBuffer& bytes) {
  if (target.kind == kModeNetwork) return SendTcp9100(target.net, bytes);
  return SendUsb(target.usb, bytes);
}

}  // namespace korvante
