// What Windows reports about attached USB devices, run through the four
// enumeration passes: each report's decision against the keyword rules
// written out again, then the composed list as a whole.
//
// Input: one report a line, fields split by '|':
//   I|name|instance id|path|port                      printer interface
//   M|port name|device id|device path|probe error     USB Monitor port
//   D|instance id|class|name|hardware id|PortName      USB device
//   Q|printer name|port name|driver name              print queue
#include <algorithm>

#include "tests/fuzz/fuzz_support.h"
#include "tests/keyword_literals.h"
#include "usb/usb_rules.h"

namespace korvante::fuzz {
namespace {

namespace lit = literals;
using literals::containsAny;

std::u16string matchText(const UsbPrinter& r) {
  return r.name + u" " + r.port + u" " + r.path + u" " + r.queue;
}
bool office(const UsbPrinter& r) { return containsAny(matchText(r), lit::kOffice); }
bool receipt(const UsbPrinter& r) {
  return !containsAny(matchText(r), lit::kOfficeBrand) && containsAny(matchText(r), lit::kReceipt);
}
bool serialAdapter(const UsbPrinter& r) {
  return !office(r) && containsAny(matchText(r), lit::kSerialAdapter);
}
bool startsWithLower(const std::u16string& text, std::u16string_view prefix) {
  return lowerAscii(text).compare(0, prefix.size(), prefix) == 0;
}

enum class Where { kNowhere, kResult, kHolding };

Where whereTaken(const UsbLists& lists) {
  KV_FUZZ_CHECK(lists.result.size() + lists.holding.size() <= 1);
  if (!lists.result.empty()) return Where::kResult;
  return lists.holding.empty() ? Where::kNowhere : Where::kHolding;
}

// Where a report lands when it is the first one seen, and as what record.
Where expectedInterface(const PrinterInterfaceReport& r, UsbPrinter& record) {
  record = {r.name.empty() ? u"USB Printer" : r.name, r.port, r.path, u""};
  if (receipt(record)) return Where::kResult;
  return office(record) ? Where::kNowhere : Where::kHolding;
}

Where expectedMonitor(const MonitorPortReport& r, UsbPrinter& record) {
  const std::uint32_t e = r.probeError;
  if (r.devicePath.empty() || !(e == 0 || e == 5 || e == 32 || e == 170)) return Where::kNowhere;
  record = {MonitorNameFromDeviceId(r.deviceId), r.name, r.devicePath, u""};
  const std::u16string extended =
      record.name + u" " + record.port + u" " + record.path + u" " + r.deviceId;
  if (office(record) || containsAny(extended, lit::kOfficeName)) return Where::kNowhere;
  if (receipt(record) || containsAny(extended, lit::kReceiptName)) return Where::kResult;
  return Where::kHolding;
}

Where expectedDevice(const UsbDeviceReport& r, UsbPrinter& record) {
  if (!startsWithLower(r.instanceId, u"usb\\")) return Where::kNowhere;
  const std::u16string name = r.name.empty() ? u"USB Serial Device" : r.name;
  const std::u16string port =
      r.portName.empty() ? FindComPort(name + u" " + r.instanceId) : r.portName;
  if (!startsWithLower(port, u"com")) return Where::kNowhere;
  record = {name, port, u"\\\\.\\" + port, u""};
  const std::u16string serialText =
      name + u" " + port + u" " + r.instanceId + u" " + r.hardwareId + u" " + r.className;
  const bool adapter = serialAdapter(record);
  if (!adapter && lowerAscii(r.className) != u"ports" &&
      !containsAny(serialText, lit::kSerialHardware)) {
    return Where::kNowhere;
  }
  if (receipt(record) || adapter) return Where::kResult;
  return office(record) ? Where::kNowhere : Where::kHolding;
}

template <typename Report, typename Take, typename Expect>
void checkAlone(const Report& report, Take take, Expect expect) {
  UsbLists lists;
  take(lists, report);
  UsbPrinter record;
  const Where where = expect(report, record);
  KV_FUZZ_CHECK(whereTaken(lists) == where);
  if (where == Where::kResult) KV_FUZZ_CHECK(lists.result[0] == record);
  if (where == Where::kHolding) KV_FUZZ_CHECK(lists.holding[0] == record);
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  std::vector<PrinterInterfaceReport> interfaces;
  std::vector<MonitorPortReport> ports;
  std::vector<UsbDeviceReport> devices;
  std::vector<PrintQueueReport> queues;
  for (std::string_view line : split(asText(data, size), "\n")) {
    const auto f = split(line, "|");
    auto text = [&](std::size_t i) { return text16(field(f, i)); };
    switch (line.empty() ? ' ' : line[0]) {
      case 'I':
        interfaces.push_back({text(1), text(2), text(3), text(4)});
        break;
      case 'M':
        ports.push_back(
            {text(1), text(2), text(3), static_cast<std::uint32_t>(number(field(f, 4), 0))});
        break;
      case 'D':
        devices.push_back({text(1), text(2), text(3), text(4), text(5)});
        break;
      case 'Q':
        queues.push_back({text(1), text(2), text(3)});
        break;
      default:
        break;
    }
  }

  for (const auto& r : interfaces) checkAlone(r, TakePrinterInterface, expectedInterface);
  for (const auto& r : ports) checkAlone(r, TakeMonitorPort, expectedMonitor);
  for (const auto& r : devices) checkAlone(r, TakeUsbDevice, expectedDevice);

  bool queuesRead = false;
  UsbSourceReaders readers;
  readers.printerInterfaces = [&] { return interfaces; };
  readers.monitorPorts = [&] { return ports; };
  readers.usbDevices = [&] { return devices; };
  readers.printQueues = [&] {
    queuesRead = true;
    return queues;
  };
  const std::vector<UsbPrinter> listed = ComposeUsbPrinters(readers);

  // Queues are read only for a non-empty list, and they never remove a record.
  KV_FUZZ_CHECK(queuesRead == !listed.empty());
  KV_FUZZ_CHECK(listed.size() <= interfaces.size() + ports.size() + devices.size());
  for (const UsbPrinter& r : listed) {
    KV_FUZZ_CHECK(!r.name.empty());
    // A queue is always the printer name of a queue report.
    KV_FUZZ_CHECK(r.queue.empty() ||
                  std::any_of(queues.begin(), queues.end(),
                              [&](const PrintQueueReport& q) { return q.printerName == r.queue; }));
  }
  return 0;
}
