// Placeholder until the four enumeration passes land: no USB printers.
#include "usb_transport/usb_enumeration.h"

namespace korvante {

std::vector<UsbPrinter> EnumerateUsbPrinters() { return {}; }

}  // namespace korvante
