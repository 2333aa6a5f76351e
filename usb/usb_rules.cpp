#include "usb/usb_rules.h"

#include <algorithm>
#include <utility>

#include "core/text_encoding.h"

namespace korvante {

namespace {

// The name and vendor tables are prefixes of the office table; keep them so.
constexpr bool IsPrefixOfOffice(const std::u16string_view* table, std::size_t count) {
  return std::equal(table, table + count, std::begin(OfficeKeywords));
}
static_assert(std::size(OfficeKeywords) == 15 && std::size(OfficeNameKeywords) == 10 &&
              std::size(OfficeBrandKeywords) == 8);
static_assert(IsPrefixOfOffice(OfficeNameKeywords, std::size(OfficeNameKeywords)));
static_assert(IsPrefixOfOffice(OfficeBrandKeywords, std::size(OfficeBrandKeywords)));
static_assert(std::size(ReceiptKeywords) == 18 && std::size(ReceiptNameKeywords) == 14 &&
              std::size(SerialAdapterKeywords) == 10 && std::size(SerialHardwareKeywords) == 7);

std::u16string JoinWithBlanks(std::initializer_list<std::u16string_view> parts) {
  std::u16string text;
  bool first = true;
  for (std::u16string_view part : parts) {
    if (!first) text += u' ';
    text += part;
    first = false;
  }
  return text;
}

bool StartsWithIgnoreAsciiCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool SameNonEmpty(std::u16string_view a, std::u16string_view b) {
  return !a.empty() && !b.empty() && EqualsIgnoreAsciiCase(a, b);
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool HasPath(const std::vector<UsbPrinter>& list, std::u16string_view path) {
  return std::any_of(list.begin(), list.end(), [&](const UsbPrinter& entry) {
    return EqualsIgnoreAsciiCase(entry.path, path);
  });
}

std::u16string NameOr(std::u16string_view name, std::u16string_view fallback) {
  return std::u16string(name.empty() ? fallback : name);
}

}  // namespace

std::u16string MatchText(const UsbPrinter& record) {
  return JoinWithBlanks({record.name, record.port, record.path, record.queue});
}

bool IsOfficePrinter(const UsbPrinter& record) {
  return ContainsAnyKeyword(MatchText(record), OfficeKeywords);
}

bool IsReceiptPrinter(const UsbPrinter& record) {
  const std::u16string text = MatchText(record);
  if (ContainsAnyKeyword(text, OfficeBrandKeywords)) return false;
  return ContainsAnyKeyword(text, ReceiptKeywords);
}

bool IsSerialAdapter(const UsbPrinter& record) {
  if (IsOfficePrinter(record)) return false;
  return ContainsAnyKeyword(MatchText(record), SerialAdapterKeywords);
}

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

void AddOrMergeUsbPrinter(std::vector<UsbPrinter>& list, const UsbPrinter& record) {
  for (UsbPrinter& entry : list) {
    const bool matches = SameNonEmpty(record.queue, entry.queue) ||
                         SameNonEmpty(record.port, entry.port) ||
                         SameNonEmpty(record.path, entry.path);
    if (!matches) continue;
    if (entry.queue.empty() && !record.queue.empty()) {
      entry.queue = record.queue;
      if (!record.name.empty()) entry.name = record.name;
    }
    if (entry.path.empty() && !record.path.empty()) entry.path = record.path;
    if (entry.port.empty() && !record.port.empty()) entry.port = record.port;
    return;
  }
  list.push_back(record);
}

std::u16string MonitorNameFromDeviceId(std::u16string_view deviceId) {
  std::u16string id(deviceId);
  std::replace(id.begin(), id.end(), u'#', u'\\');
  constexpr std::u16string_view kMarker = u"usbprint\\";
  const std::size_t at = AsciiLower(id).find(kMarker);
  if (at == std::u16string::npos) return std::u16string(kDefaultMonitorName);

  const std::size_t start = at + kMarker.size();
  std::u16string model = id.substr(start, id.find(u'\\', start) - start);
  for (char16_t& c : model) {
    if (c == u'&' || c == u'_') c = u' ';
  }
  const auto first = std::find_if_not(model.begin(), model.end(), IsAsciiSpace);
  const auto last = std::find_if_not(model.rbegin(), model.rend(), IsAsciiSpace).base();
  if (first >= last) return std::u16string(kDefaultMonitorName);
  return std::u16string(first, last);
}

std::u16string FindComPort(std::u16string_view text) {
  const std::u16string lower = AsciiLower(text);
  for (std::size_t at = lower.find(u"com"); at != std::u16string::npos;
       at = lower.find(u"com", at + 3)) {
    std::size_t end = at + 3;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end > at + 3) return std::u16string(text.substr(at, end - at));
  }
  return {};
}

void TakePrinterInterface(UsbLists& lists, const PrinterInterfaceReport& report) {
  const UsbPrinter record{NameOr(report.name, kDefaultInterfaceName), report.port, report.path,
                          u""};
  if (IsReceiptPrinter(record)) {
    AddOrMergeUsbPrinter(lists.result, record);
  } else if (!IsOfficePrinter(record)) {
    AddOrMergeUsbPrinter(lists.holding, record);
  }
}

void TakeMonitorPort(UsbLists& lists, const MonitorPortReport& report) {
  if (report.devicePath.empty()) return;
  const bool present = report.probeError == 0 || report.probeError == kProbeAccessDenied ||
                       report.probeError == kProbeSharingViolation ||
                       report.probeError == kProbeBusy;
  // Any other failure (usually "not found") is believed only when another
  // source already saw a device at this path.
  if (!present && !HasPath(lists.result, report.devicePath) &&
      !HasPath(lists.holding, report.devicePath)) {
    return;
  }

  const UsbPrinter record{MonitorNameFromDeviceId(report.deviceId), report.name, report.devicePath,
                          u""};
  const std::u16string extended =
      JoinWithBlanks({record.name, record.port, record.path, report.deviceId});
  if (IsOfficePrinter(record) || ContainsAnyKeyword(extended, OfficeNameKeywords)) return;
  if (IsReceiptPrinter(record) || ContainsAnyKeyword(extended, ReceiptNameKeywords)) {
    AddOrMergeUsbPrinter(lists.result, record);
  } else {
    AddOrMergeUsbPrinter(lists.holding, record);
  }
}

void TakeUsbDevice(UsbLists& lists, const UsbDeviceReport& report) {
  if (!StartsWithIgnoreAsciiCase(report.instanceId, u"usb\\")) return;
  const std::u16string name = NameOr(report.name, kDefaultSerialName);
  std::u16string port = report.portName;
  if (port.empty()) port = FindComPort(JoinWithBlanks({name, report.instanceId}));
  if (!StartsWithIgnoreAsciiCase(port, u"com")) return;

  const UsbPrinter record{name, port, u"\\\\.\\" + port, u""};
  const std::u16string serialText =
      JoinWithBlanks({name, port, report.instanceId, report.hardwareId, report.className});
  const bool adapter = IsSerialAdapter(record);
  const bool accepted = adapter || EqualsIgnoreAsciiCase(report.className, u"ports") ||
                        ContainsAnyKeyword(serialText, SerialHardwareKeywords);
  if (!accepted) return;
  if (IsReceiptPrinter(record) || adapter) {
    AddOrMergeUsbPrinter(lists.result, record);
  } else if (!IsOfficePrinter(record)) {
    AddOrMergeUsbPrinter(lists.holding, record);
  }
}

std::vector<UsbPrinter> JoinHolding(UsbLists lists) {
  for (const UsbPrinter& held : lists.holding) AddOrMergeUsbPrinter(lists.result, held);
  return std::move(lists.result);
}

void ApplyPrintQueue(std::vector<UsbPrinter>& result, const PrintQueueReport& report) {
  if (report.printerName.empty() || report.portName.empty()) return;
  // "USB001,USB002" (a pooled queue) is matched by its first port.
  const std::u16string port = report.portName.substr(0, report.portName.find(u','));
  if (!StartsWithIgnoreAsciiCase(port, u"usb") && !StartsWithIgnoreAsciiCase(port, u"dot4") &&
      !StartsWithIgnoreAsciiCase(port, u"com")) {
    return;
  }

  const UsbPrinter queueRecord{report.driverName.empty()
                                   ? report.printerName
                                   : report.printerName + u" - " + report.driverName,
                               port, u"", report.printerName};
  if (IsOfficePrinter(queueRecord)) return;

  for (UsbPrinter& entry : result) {
    if (!SameNonEmpty(entry.port, port)) continue;
    entry.queue = report.printerName;
    if (IsReceiptPrinter(queueRecord) || entry.name == kDefaultInterfaceName ||
        entry.name == kDefaultMonitorName) {
      entry.name = queueRecord.name;
    }
    return;
  }
}

std::vector<UsbPrinter> ComposeUsbPrinters(const UsbSourceReaders& readers) {
  UsbLists lists;
  if (readers.printerInterfaces) {
    for (const auto& report : readers.printerInterfaces()) TakePrinterInterface(lists, report);
  }
  if (readers.monitorPorts) {
    for (const auto& report : readers.monitorPorts()) TakeMonitorPort(lists, report);
  }
  if (readers.usbDevices) {
    for (const auto& report : readers.usbDevices()) TakeUsbDevice(lists, report);
  }
  std::vector<UsbPrinter> result = JoinHolding(std::move(lists));
  if (!result.empty() && readers.printQueues) {
    for (const auto& report : readers.printQueues()) ApplyPrintQueue(result, report);
  }
  return result;
}

}  // namespace korvante
