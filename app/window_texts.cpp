#include "app/window_texts.h"

#include "core/text_encoding.h"

namespace korvante {
std::u16string NetworkPrinterItem(const NetworkPrinter& printer) {
  std::u16string item = FromUtf8(printer.ip);
  item += u"    Máy in bill/tem";
  if (!printer.mac.empty()) {
    item += u" (";
    item += FromUtf8(printer.mac);
    item += u")";
  }
  return item;
}

std::u16string UsbPrinterItem(const UsbPrinter& printer) {
  std::u16string item = printer.port.empty() ? std::u16string(u"USB") : printer.port;
  item += u" - ";
  item += printer.name;
  return item;
}

std::u16string_view SearchingItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Đang tìm máy in LAN / Wi-Fi..." : u"Đang tìm máy in USB...";
}

std::u16string_view NothingFoundItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Không tìm thấy máy in LAN / Wi-Fi" : u"Không tìm thấy máy in USB";
}

}  // namespace korvante
