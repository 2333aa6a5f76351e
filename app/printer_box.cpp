#include "app/printer_box.h"

#include "core/text_encoding.h"

namespace korvante {
namespace {

std::u16string_view TrimBlanks(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> TypedPrinterAddress(std::u16string_view text) {
  const std::string address = ToAsciiNarrow(std::u16string(TrimBlanks(text)));
  if (!IsHostAddress(Ipv4ToHost(address))) return std::nullopt;
  return address;
}

PrinterBoxChoice ResolvePrinterBox(ConnectionMode mode, int index, bool edited,
                                   std::u16string_view text,
                                   const std::vector<UsbPrinter>& usbPrinters,
                                   const std::vector<NetworkPrinter>& networkPrinters,
                                   bool searching) {
  if (mode != kModeNetwork || !edited) {
    if (searching) return {std::nullopt, false, true};
    return {ResolveTarget(mode, index, usbPrinters, networkPrinters)};
  }
  if (TrimBlanks(text).empty()) return {};
  const std::optional<std::string> address = TypedPrinterAddress(text);
  if (!address) return {std::nullopt, true};
  PrinterTarget target;
  target.kind = kModeNetwork;
  target.net.ip = *address;
  return {target};
}

std::optional<int> FindMovedPrinter(const std::vector<NetworkPrinter>& printers,
                                    const std::string& mac, const std::string& ip) {
  auto indexOf = [&](auto matches) -> std::optional<int> {
    for (std::size_t i = 0; i < printers.size(); ++i) {
      if (matches(printers[i])) return static_cast<int>(i);
    }
    return std::nullopt;
  };
  if (!mac.empty()) {
    if (auto at = indexOf([&](const NetworkPrinter& p) { return p.mac == mac; })) return at;
  }
  return indexOf([&](const NetworkPrinter& p) { return p.ip == ip; });
}

std::optional<std::u16string> TypedTextToKeep(ConnectionMode mode, bool edited,
                                              std::u16string_view text) {
  if (mode != kModeNetwork || !edited || TrimBlanks(text).empty()) return std::nullopt;
  return std::u16string(text);
}

}  // namespace korvante
