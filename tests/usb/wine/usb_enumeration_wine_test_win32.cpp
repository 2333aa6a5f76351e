// EnumerateUsbPrinters over the bench's fake devices, monitor ports and queues
// (usb_bench.reg): all four passes against the real SetupAPI, registry,
// presence probe and spooler of Wine.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/usb-bench/bench_win32.h"
#include "usb/usb_enumeration_win32.h"

namespace korvante {
namespace {

std::string Show(const UsbPrinter& p) {
  auto narrow = [](const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
  };
  return narrow(p.name) + " | " + narrow(p.port) + " | " + narrow(p.path) + " | " + narrow(p.queue);
}

TEST(UsbEnumerationWine, FourPassesOverTheBench) {
  const std::vector<UsbPrinter> expected = {
      // Interface, merged with monitor port USB001; renamed by its receipt queue.
      {u"XP-80 Queue - Generic / Text Only", u"USB001", bench::kUsb1Path, u"XP-80 Queue"},
      // Monitor port whose values sit in the inner key; a plain queue keeps its name.
      {u"Korvante K80 Pro", u"USB002", bench::kUsb2Path, u"Kitchen"},
      // Serial adapter with a PortName.
      {u"USB-SERIAL CH340 (COM5)", u"COM5", u"\\\\.\\COM5", u""},
      // Held: the unnamed interface (monitor port USB005 merged into it by path
      // although its device is absent), named after the first port of its queue.
      {u"Front Desk - Generic Driver", u"USB003", bench::kUnnamedPath, u"Front Desk"},
      // Held: an unknown monitor port; the office queue on its port is ignored.
      {u"ACME Model 9", u"USB007", bench::kAcmePath, u""},
      // Held: a ports-class device whose COM port comes from its name.
      {u"compact FT232R UART (Com17)", u"Com17", u"\\\\.\\Com17", u""},
  };
  // Not listed: the Brother interface, the absent Korvante Ghost (USB004), the
  // Canon port (USB006), and the hub named "(COM9)".
  const std::vector<UsbPrinter> found = EnumerateUsbPrinters();
  for (const UsbPrinter& p : found) std::printf("  %s\n", Show(p).c_str());
  EXPECT_EQ(found, expected);
}

TEST(UsbEnumerationWine, TwoThreadsAtOnceSeeTheSameList) {
  std::vector<UsbPrinter> a, b;
  std::thread first([&] { a = EnumerateUsbPrinters(); });
  std::thread second([&] { b = EnumerateUsbPrinters(); });
  first.join();
  second.join();
  EXPECT_EQ(a.size(), 6u);
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace korvante
