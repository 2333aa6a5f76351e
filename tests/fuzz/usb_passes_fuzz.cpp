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
#include "tests/core/keyword_literals.h"
#include "usb/usb_rules.h"

namespace korvante::fuzz {
namespace {

namespace lit = literals;
using literals::ContainsAny;

std::u16string ReportText(const UsbPrinter& r) {
  return r.name + u" " + r.port + u" " + r.path + u" " + r.queue;
}
bool Office(const UsbPrinter& r) { return ContainsAny(ReportText(r), lit::kOffice); }
bool Receipt(const UsbPrinter& r) {
  return !ContainsAny(ReportText(r), lit::kOfficeBrand) &&
         ContainsAny(ReportText(r), lit::kReceipt);
}
bool SerialAdapter(const UsbPrinter& r) {
  return !Office(r) && ContainsAny(ReportText(r), lit::kSerialAdapter);
}
bool StartsWithLower(const std::u16string& text, std::u16string_view prefix) {
  return LowerAscii(text).compare(0, prefix.size(), prefix) == 0;
}

enum class Where { kNowhere, kResult, kHolding };

Where WhereTaken(const UsbLists& lists) {
  KV_FUZZ_CHECK(lists.result.size() + lists.holding.size() <= 1);
  if (!lists.result.empty()) return Where::kResult;
  return lists.holding.empty() ? Where::kNowhere : Where::kHolding;
}

// Where a report lands when it is the first one seen, and as what record.
Where ExpectedInterface(const PrinterInterfaceReport& r, UsbPrinter& record) {
  record = {r.name.empty() ? u"USB Printer" : r.name, r.port, r.path, u""};
  if (Receipt(record)) return Where::kResult;
  return Office(record) ? Where::kNowhere : Where::kHolding;
}

Where ExpectedMonitor(const MonitorPortReport& r, UsbPrinter& record) {
  const std::uint32_t e = r.probeError;
  if (r.devicePath.empty() || !(e == 0 || e == 5 || e == 32 || e == 170)) return Where::kNowhere;
  record = {MonitorNameFromDeviceId(r.deviceId), r.name, r.devicePath, u""};
  const std::u16string extended =
      record.name + u" " + record.port + u" " + record.path + u" " + r.deviceId;
  if (Office(record) || ContainsAny(extended, lit::kOfficeName)) return Where::kNowhere;
  if (Receipt(record) || ContainsAny(extended, lit::kReceiptName)) return Where::kResult;
  return Where::kHolding;
}

Where ExpectedDevice(const UsbDeviceReport& r, UsbPrinter& record) {
  if (!StartsWithLower(r.instanceId, u"usb\\")) return Where::kNowhere;
  const std::u16string name = r.name.empty() ? u"USB Serial Device" : r.name;
  const std::u16string port =
      r.portName.empty() ? FindComPort(name + u" " + r.instanceId) : r.portName;
  if (!StartsWithLower(port, u"com")) return Where::kNowhere;
  record = {name, port, u"\\\\.\\" + port, u""};
  const std::u16string serialText =
      name + u" " + port + u" " + r.instanceId + u" " + r.hardwareId + u" " + r.className;
  const bool adapter = SerialAdapter(record);
  if (!adapter && LowerAscii(r.className) != u"ports" &&
      !ContainsAny(serialText, lit::kSerialHardware)) {
    return Where::kNowhere;
  }
  if (Receipt(record) || adapter) return Where::kResult;
  return Office(record) ? Where::kNowhere : Where::kHolding;
}

template <typename Report, typename Take, typename Expect>
void CheckAlone(const Report& report, Take take, Expect expect) {
  UsbLists lists;
  take(lists, report);
  UsbPrinter record;
  const Where where = expect(report, record);
  KV_FUZZ_CHECK(WhereTaken(lists) == where);
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
  for (std::string_view line : Split(AsText(data, size), "\n")) {
    const auto f = Split(line, "|");
    auto text = [&](std::size_t i) { return Text16(Field(f, i)); };
    switch (line.empty() ? ' ' : line[0]) {
      case 'I':
        interfaces.push_back({text(1), text(2), text(3), text(4)});
        break;
      case 'M':
        ports.push_back(
            {text(1), text(2), text(3), static_cast<std::uint32_t>(Number(Field(f, 4), 0))});
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

  for (const auto& r : interfaces) CheckAlone(r, TakePrinterInterface, ExpectedInterface);
  for (const auto& r : ports) CheckAlone(r, TakeMonitorPort, ExpectedMonitor);
  for (const auto& r : devices) CheckAlone(r, TakeUsbDevice, ExpectedDevice);

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
