// Classification, merging and the decisions of the four enumeration passes,
// over records as Windows reports them.
#include "usb/usb_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/keyword_literals.h"

namespace korvante {
namespace {

UsbPrinter Named(std::u16string name, std::u16string port = u"", std::u16string path = u"",
                 std::u16string queue = u"") {
  return {std::move(name), std::move(port), std::move(path), std::move(queue)};
}

TEST(UsbRules, MatchTextKeepsTheBlankOfEveryField) {
  EXPECT_EQ(MatchText(Named(u"A", u"", u"C", u"")), u"A  C ");
  EXPECT_EQ(MatchText(Named(u"", u"", u"", u"")), u"   ");
}

TEST(UsbRules, ClassifiesByKeywordsInAnyLetterCase) {
  struct Case {
    std::u16string name;
    bool receipt, office, serial;
  };
  const Case cases[] = {
      {u"XPRINTER XP-80C", true, false, false},
      {u"Korvante K58", true, false, false},
      {u"Generic 80MM Printer", true, false, false},
      {u"HP LaserJet 1020", false, true, false},
      {u"laserjet pro", false, true, false},
      {u"CANON LBP2900", false, true, false},
      // "hp " at the end of a name: the blank after the name in the match text.
      {u"Printer by hp", false, true, false},
      {u"shpx", false, false, false},
      // A brand veto beats a receipt keyword; "epson l" is office but no brand.
      {u"Brother label printer", false, true, false},
      {u"EPSON L3110 thermal", true, true, false},
      {u"USB-SERIAL CH340", false, false, true},
      {u"Prolific USB-to-Serial Comm Port", false, false, true},
      {u"Samsung usb serial", false, true, false},
      // Only A to Z fold: a dotless capital I does not become "i".
      {u"\u0130NKJET", false, false, false},
      {u"Unknown gadget", false, false, false},
  };
  for (const Case& c : cases) {
    const UsbPrinter r = Named(c.name);
    EXPECT_EQ(IsReceiptPrinter(r), c.receipt) << std::string(c.name.begin(), c.name.end());
    EXPECT_EQ(IsOfficePrinter(r), c.office) << std::string(c.name.begin(), c.name.end());
    EXPECT_EQ(IsSerialAdapter(r), c.serial) << std::string(c.name.begin(), c.name.end());
  }
  // The vendor id in a path counts as office; so does a queue name.
  EXPECT_TRUE(IsOfficePrinter(Named(u"Printer", u"USB001", u"\\\\?\\usb#vid_04a9&pid_1")));
  EXPECT_TRUE(IsOfficePrinter(Named(u"Printer", u"USB001", u"", u"HP Queue")));
}

// --- Keyword tables ----------------------------------------------------------

namespace lit = literals;

// Each table holds exactly its literals, in order. This is what catches a typo
// in an entry that a shorter one hides from every match ("pos-80" behind "pos").
TEST(UsbKeywords, TablesHoldTheirLiterals) {
  auto expectTable = [](const auto& table, const auto& expected, const char* name) {
    ASSERT_EQ(std::size(table), std::size(expected)) << name;
    for (std::size_t i = 0; i < std::size(table); ++i) {
      EXPECT_EQ(table[i], expected[i]) << name << " entry " << i;
    }
  };
  expectTable(ReceiptKeywords, lit::kReceipt, "ReceiptKeywords");
  expectTable(ReceiptNameKeywords, lit::kReceiptName, "ReceiptNameKeywords");
  expectTable(OfficeKeywords, lit::kOffice, "OfficeKeywords");
  expectTable(OfficeNameKeywords, lit::kOfficeName, "OfficeNameKeywords");
  expectTable(OfficeBrandKeywords, lit::kOfficeBrand, "OfficeBrandKeywords");
  expectTable(SerialAdapterKeywords, lit::kSerialAdapter, "SerialAdapterKeywords");
  expectTable(SerialHardwareKeywords, lit::kSerialHardware, "SerialHardwareKeywords");
}

// A keyword in capitals, and the two near misses with its first or its last
// character changed: a typo in the tool's entry makes the keyword itself stop
// matching, or one of the near misses start.
std::vector<std::u16string> KeywordVariants(std::u16string_view keyword) {
  std::u16string upper(keyword);
  for (char16_t& u : upper) {
    if (u >= u'a' && u <= u'z') u = static_cast<char16_t>(u - 32);
  }
  std::u16string firstChanged = upper;
  std::u16string lastChanged = upper;
  firstChanged.front() = u'~';
  lastChanged.back() = u'~';
  return {upper, firstChanged, lastChanged};
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// Every entry of the seven tables, through the rules that use it, against
// the same rules applied to the literals.
TEST(UsbKeywords, EveryEntryDecidesThroughItsRule) {
  std::vector<std::u16string_view> keywords;
  auto add = [&](const auto& table) {
    keywords.insert(keywords.end(), std::begin(table), std::end(table));
  };
  add(lit::kReceipt);
  add(lit::kReceiptName);
  add(lit::kOffice);  // holds the name and brand tables
  add(lit::kSerialAdapter);
  add(lit::kSerialHardware);

  auto where = [](const UsbLists& lists) {
    return !lists.result.empty() ? 1 : !lists.holding.empty() ? 2 : 0;
  };
  for (std::u16string_view keyword : keywords) {
    for (const std::u16string& variant : KeywordVariants(keyword)) {
      const std::u16string label = u"<" + variant + u">";
      SCOPED_TRACE(Narrow(label));

      // The record rules, with the keyword in the name.
      const std::u16string text = label + u"   ";  // the match text of a name alone
      const bool office = lit::ContainsAny(text, lit::kOffice);
      EXPECT_EQ(IsOfficePrinter(Named(label)), office);
      EXPECT_EQ(IsReceiptPrinter(Named(label)), !lit::ContainsAny(text, lit::kOfficeBrand) &&
                                                    lit::ContainsAny(text, lit::kReceipt));
      EXPECT_EQ(IsSerialAdapter(Named(label)),
                !office && lit::ContainsAny(text, lit::kSerialAdapter));

      // A USB Monitor port whose device id alone holds the keyword.
      const std::u16string deviceId = u"ID\\" + label + u"\\1";
      const std::u16string extended = u"USB Monitor Printer USB001 \\\\?\\m " + deviceId;
      UsbLists monitor;
      TakeMonitorPort(monitor, {u"USB001", deviceId, u"\\\\?\\m", 0});
      EXPECT_EQ(where(monitor), lit::ContainsAny(extended, lit::kOfficeName)    ? 0
                                : lit::ContainsAny(extended, lit::kReceiptName) ? 1
                                                                                : 2);

      // A USB device whose hardware id alone holds the keyword: only a serial
      // hardware word lets it in (as an unrecognised device).
      UsbLists serial;
      TakeUsbDevice(serial, {u"USB\\Z\\1", u"Other", u"Widget", label, u"COM9"});
      const std::u16string serialText = u"Widget COM9 USB\\Z\\1 " + label + u" Other";
      EXPECT_EQ(where(serial), lit::ContainsAny(serialText, lit::kSerialHardware) ? 2 : 0);
    }
  }
}

TEST(UsbRules, MergeMatchesQueuePortOrPathAndFillsOnlyEmptyFields) {
  std::vector<UsbPrinter> list;
  AddOrMergeUsbPrinter(list, Named(u"First", u"USB001", u""));
  AddOrMergeUsbPrinter(list, Named(u"Second", u"", u"\\\\?\\path2"));
  ASSERT_EQ(list.size(), 2u);

  // Same port in another case: fills the empty path, keeps the name.
  AddOrMergeUsbPrinter(list, Named(u"Other", u"usb001", u"\\\\?\\PATH1"));
  // Same path (case differs): fills the port.
  AddOrMergeUsbPrinter(list, Named(u"Other", u"USB002", u"\\\\?\\Path2"));
  // A queue on an entry without one brings its name along.
  AddOrMergeUsbPrinter(list, Named(u"Queue name", u"USB002", u"", u"Kitchen"));
  // A second queue no longer replaces anything.
  AddOrMergeUsbPrinter(list, Named(u"Later", u"", u"", u"KITCHEN"));
  // Two empty ports never match; empty fields never match.
  AddOrMergeUsbPrinter(list, Named(u"Third", u"", u""));

  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], Named(u"First", u"USB001", u"\\\\?\\PATH1"));
  EXPECT_EQ(list[1], Named(u"Queue name", u"USB002", u"\\\\?\\path2", u"Kitchen"));
  EXPECT_EQ(list[2], Named(u"Third"));
}

TEST(UsbRules, MonitorNameFromDeviceId) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"USBPRINT\\XPrinterXP-80C\\7&1a2b&0&USB001", u"XPrinterXP-80C"},
      {u"USBPRINT\\Korvante_K80#7&1a2b&0&USB001", u"Korvante K80"},
      {u"usbprint\\  Model&Name_2  #rest", u"Model Name 2"},
      {u"USB\\USBPRINT\\Deep\\x", u"Deep"},
      {u"USBPRINT\\NoSeparator", u"NoSeparator"},
      {u"USBPRINT\\_&_#x", u"USB Monitor Printer"},
      {u"USBPRINT\\", u"USB Monitor Printer"},
      {u"USB\\VID_1234&PID_5678\\1", u"USB Monitor Printer"},
      {u"", u"USB Monitor Printer"},
  };
  for (const auto& [id, name] : cases) EXPECT_EQ(MonitorNameFromDeviceId(id), name);
}

TEST(UsbRules, FindComPort) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"USB-SERIAL CH340 (COM5)", u"COM5"},
      {u"Adapter (com12) USB\\VID_1", u"com12"},
      {u"Compact adapter (Com7)", u"Com7"},
      {u"compact communications", u""},
      {u"COM", u""},
      {u"xcom3y", u"com3"},
      {u"", u""},
  };
  for (const auto& [text, port] : cases) EXPECT_EQ(FindComPort(text), port);
}

// --- Pass decisions ------------------------------------------------------------

TEST(UsbPasses, InterfacesAreListedHeldOrDropped) {
  UsbLists lists;
  TakePrinterInterface(lists, {u"XPrinter XP-58", u"USB\\VID_1\\1", u"\\\\?\\a", u"USB001"});
  TakePrinterInterface(lists, {u"HP LaserJet", u"USB\\VID_2\\2", u"\\\\?\\b", u"USB002"});
  TakePrinterInterface(lists, {u"", u"USB\\VID_3\\3", u"\\\\?\\c", u"USB003"});
  ASSERT_EQ(lists.result.size(), 1u);
  EXPECT_EQ(lists.result[0], Named(u"XPrinter XP-58", u"USB001", u"\\\\?\\a"));
  ASSERT_EQ(lists.holding.size(), 1u);
  EXPECT_EQ(lists.holding[0], Named(u"USB Printer", u"USB003", u"\\\\?\\c"));
}

TEST(UsbPasses, MonitorPortPresenceProbe) {
  struct Case {
    std::uint32_t error;
    bool listed;
  };
  // Opened, access denied, sharing violation, busy: present. Not found, bad
  // name, device not connected: absent unless another source saw the path.
  const Case cases[] = {{0, true},  {5, true},  {32, true},   {170, true},
                        {2, false}, {3, false}, {123, false}, {1167, false}};
  for (const Case& c : cases) {
    UsbLists lists;
    TakeMonitorPort(lists, {u"USB001", u"USBPRINT\\Korvante_K80#1", u"\\\\?\\m", c.error});
    EXPECT_EQ(lists.result.size(), c.listed ? 1u : 0u) << c.error;
  }

  UsbLists seen;
  seen.holding.push_back(Named(u"USB Printer", u"", u"\\\\?\\M"));
  TakeMonitorPort(seen, {u"USB009", u"USBPRINT\\Korvante_K80#1", u"\\\\?\\m", 2});
  ASSERT_EQ(seen.result.size(), 1u);
  EXPECT_EQ(seen.result[0], Named(u"Korvante K80", u"USB009", u"\\\\?\\m"));

  UsbLists noPath;
  TakeMonitorPort(noPath, {u"USB001", u"USBPRINT\\Korvante#1", u"", 0});
  EXPECT_TRUE(noPath.result.empty() && noPath.holding.empty());
}

TEST(UsbPasses, MonitorPortClassificationUsesTheDeviceId) {
  struct Case {
    std::u16string deviceId;
    int where;  // 0 dropped, 1 result, 2 holding
  };
  const Case cases[] = {
      {u"USBPRINT\\Korvante_K80#1", 1},
      // Name "XP 365B": no receipt keyword, but "xp-" in the device id.
      {u"USBPRINT\\XP_365B#xp-365b", 1},
      {u"USBPRINT\\ACME_Model_9#1", 2},
      {u"USBPRINT\\CanonLBP2900#1", 0},
      // Office words in the device id only (the name is from another part).
      {u"USBPRINT\\Model#Brother", 0},
      // The vendor ids are not among the name words: held, not dropped.
      {u"USBPRINT\\Model#vid_04a9", 2},
  };
  for (const Case& c : cases) {
    UsbLists lists;
    TakeMonitorPort(lists, {u"USB001", c.deviceId, u"\\\\?\\m", 0});
    const int where = !lists.result.empty() ? 1 : !lists.holding.empty() ? 2 : 0;
    EXPECT_EQ(where, c.where) << std::string(c.deviceId.begin(), c.deviceId.end());
  }
}

TEST(UsbPasses, MonitorPortDuplicatingAnInterfaceIsListedOnce) {
  UsbLists lists;
  TakePrinterInterface(lists, {u"XPrinter", u"USB\\VID_1\\1", u"\\\\?\\usb#a", u"USB001"});
  TakeMonitorPort(lists, {u"USB001", u"USBPRINT\\Korvante_K80#1", u"\\\\?\\other", 0});
  ASSERT_EQ(lists.result.size(), 1u);
  EXPECT_EQ(lists.result[0], Named(u"XPrinter", u"USB001", u"\\\\?\\usb#a"));
}

TEST(UsbPasses, SerialDevices) {
  struct Case {
    UsbDeviceReport report;
    int where;  // 0 passed over, 1 result, 2 holding
    std::u16string port;
  };
  const Case cases[] = {
      {{u"USB\\VID_1A86&PID_7523\\5", u"Ports", u"USB-SERIAL CH340 (COM5)", u"USB\\VID_1A86",
        u"COM5"},
       1,
       u"COM5"},
      // No PortName: the name's "(Com7)" in its own case; "compact" is no port.
      {{u"USB\\VID_0403&PID_6001\\6", u"Ports", u"compact adapter (Com7)", u"FTDIBUS", u""},
       2,
       u"Com7"},
      // Not a serial adapter by name, but class ports (any case).
      {{u"USB\\X\\1", u"PORTS", u"Widget", u"X", u"COM8"}, 2, u"COM8"},
      // Accepted by the hardware id only.
      {{u"USB\\X\\1", u"Other", u"Widget", u"USBSER\\1", u"COM9"}, 2, u"COM9"},
      // Neither adapter, nor ports, nor a serial hardware word.
      {{u"USB\\ROOT_HUB30\\4", u"USB", u"Root Hub (COM3)", u"USB\\ROOT_HUB30", u""}, 0, u""},
      // Not under USB\, or a port that is not a COM port.
      {{u"FTDIBUS\\X\\1", u"Ports", u"USB Serial Port", u"FTDIBUS", u"COM4"}, 0, u""},
      {{u"USB\\VID_1\\1", u"Ports", u"USB Serial Port", u"USB\\VID_1", u"USB001"}, 0, u""},
      {{u"USB\\VID_1\\1", u"Ports", u"compact", u"USB\\VID_1", u""}, 0, u""},
      // Receipt printer behind an adapter; office printer on a COM port.
      {{u"USB\\VID_1\\1", u"Ports", u"POS-80 printer", u"USB\\VID_1", u"COM6"}, 1, u"COM6"},
      {{u"USB\\VID_1\\1", u"Ports", u"Canon COM device", u"USB\\VID_1", u"COM2"}, 0, u""},
  };
  for (const Case& c : cases) {
    UsbLists lists;
    TakeUsbDevice(lists, c.report);
    const int where = !lists.result.empty() ? 1 : !lists.holding.empty() ? 2 : 0;
    const std::string label(c.report.name.begin(), c.report.name.end());
    ASSERT_EQ(where, c.where) << label;
    if (where == 0) continue;
    const UsbPrinter& r = where == 1 ? lists.result[0] : lists.holding[0];
    EXPECT_EQ(r.port, c.port) << label;
    EXPECT_EQ(r.path, u"\\\\.\\" + c.port) << label;
  }

  UsbLists unnamed;
  TakeUsbDevice(unnamed, {u"USB\\VID_1\\1", u"Ports", u"", u"USB\\VID_1", u"COM3"});
  ASSERT_EQ(unnamed.result.size(), 1u);  // "USB Serial Device" is a serial adapter name
  EXPECT_EQ(unnamed.result[0].name, u"USB Serial Device");
}

TEST(UsbPasses, PrintQueues) {
  const std::vector<UsbPrinter> start = {
      Named(u"USB Printer", u"USB001", u"\\\\?\\a"),
      Named(u"USB Monitor Printer", u"USB002", u"\\\\?\\b"),
      Named(u"USB Serial Device", u"COM3", u"\\\\.\\COM3"),
      Named(u"Widget", u"USB004", u"\\\\?\\d"),
  };
  struct Case {
    PrintQueueReport queue;
    std::size_t index;  // record changed; start.size() for none
    std::u16string name, queueName;
  };
  const Case cases[] = {
      {{u"Front", u"usb001", u"Generic"}, 0, u"Front - Generic", u"Front"},
      {{u"Back", u"USB002", u""}, 1, u"Back", u"Back"},
      // A serial device keeps its name unless the queue is a receipt printer.
      {{u"Desk", u"COM3:", u"Generic"}, 4, u"", u""},
      {{u"Desk", u"COM3", u"Generic"}, 2, u"USB Serial Device", u"Desk"},
      {{u"Desk", u"COM3", u"POS-58 Driver"}, 2, u"Desk - POS-58 Driver", u"Desk"},
      // A pooled queue is matched by its first port only.
      {{u"Pool", u"USB004,USB001", u"Generic"}, 3, u"Widget", u"Pool"},
      {{u"Pool", u"USB009,USB001", u"Generic"}, 4, u"", u""},
      // Office queues, other port kinds and incomplete entries change nothing.
      {{u"Office", u"USB001", u"HP LaserJet"}, 4, u"", u""},
      {{u"Net", u"IP_10.0.0.5", u"Generic"}, 4, u"", u""},
      {{u"", u"USB001", u"Generic"}, 4, u"", u""},
      {{u"Front", u"", u"Generic"}, 4, u"", u""},
  };
  for (const Case& c : cases) {
    std::vector<UsbPrinter> list = start;
    ApplyPrintQueue(list, c.queue);
    const std::string label(c.queue.portName.begin(), c.queue.portName.end());
    for (std::size_t i = 0; i < start.size(); ++i) {
      if (i != c.index) {
        EXPECT_EQ(list[i], start[i]) << label;
        continue;
      }
      EXPECT_EQ(list[i].name, c.name) << label;
      EXPECT_EQ(list[i].queue, c.queueName) << label;
      EXPECT_EQ(list[i].port, start[i].port) << label;
    }
  }

  // A later queue on the same port replaces the earlier one; "dot4" ports count.
  std::vector<UsbPrinter> list = {Named(u"Widget", u"DOT4_001", u"")};
  ApplyPrintQueue(list, {u"One", u"DOT4_001", u""});
  ApplyPrintQueue(list, {u"Two", u"dot4_001", u""});
  EXPECT_EQ(list[0], Named(u"Widget", u"DOT4_001", u"", u"Two"));
}

TEST(UsbPasses, ResultOrderAndWhenQueuesAreRead) {
  bool queuesRead = false;
  UsbSourceReaders readers;
  readers.printerInterfaces = [] {
    return std::vector<PrinterInterfaceReport>{
        {u"", u"USB\\A\\1", u"\\\\?\\a", u"USB003"},                // held
        {u"XPrinter XP-80", u"USB\\B\\1", u"\\\\?\\b", u"USB001"},  // listed
    };
  };
  readers.monitorPorts = [] {
    return std::vector<MonitorPortReport>{
        {u"USB007", u"USBPRINT\\ACME_Model_9#1", u"\\\\?\\g", 0},  // held
        {u"USB002", u"USBPRINT\\Korvante_K80#1", u"\\\\?\\k", 0},  // listed
        {u"USB003", u"USBPRINT\\ACME#2", u"\\\\?\\a", 2},          // merges into held
    };
  };
  readers.usbDevices = [] {
    return std::vector<UsbDeviceReport>{
        {u"USB\\VID_1A86\\5", u"Ports", u"USB-SERIAL CH340", u"USB\\VID_1A86", u"COM5"}};
  };
  readers.printQueues = [&] {
    queuesRead = true;
    return std::vector<PrintQueueReport>{{u"Front", u"USB003", u"Generic"}};
  };

  const std::vector<UsbPrinter> expected = {
      Named(u"XPrinter XP-80", u"USB001", u"\\\\?\\b"),
      Named(u"Korvante K80", u"USB002", u"\\\\?\\k"),
      Named(u"USB-SERIAL CH340", u"COM5", u"\\\\.\\COM5"),
      Named(u"Front - Generic", u"USB003", u"\\\\?\\a", u"Front"),
      Named(u"ACME Model 9", u"USB007", u"\\\\?\\g"),
  };
  EXPECT_EQ(ComposeUsbPrinters(readers), expected);
  EXPECT_TRUE(queuesRead);

  // Nothing attached: no queue is examined.
  queuesRead = false;
  UsbSourceReaders empty;
  empty.printQueues = readers.printQueues;
  EXPECT_TRUE(ComposeUsbPrinters(empty).empty());
  EXPECT_FALSE(queuesRead);
}

}  // namespace
}  // namespace korvante
