#include "app/probe_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace korvante {
namespace {

// The report's fixed head as support staff expect to read it, in UTF-8.
const std::string kFixedHead =
    "Build=korvante-native-v1.0-restore-size-four-20261004\n"
    "UI_REPAINT=clip-children-and-redraw-page-controls\n"
    "QUEUE_DATETIME=@date\n"
    "QUEUE_DATE_PREFIX=In ng\xC3\xA0y:\n"
    "QUEUE_TIME=unverified-not-sent\n"
    "QUEUE_TEXT_RENDER=firmware-text\n"
    "QUEUE_FONT_LEVELS=1,2,3,4,5,6,7,8,9;all-text-levels-restored\n"
    "QUEUE_FONT_LIMITATION=native-rounding-still-makes-text-levels-1/2-and-4/5-equal\n"
    "QUEUE_FONT_LEVEL_6=legacy-size-2\n"
    "QUEUE_FONT_TARGETS=32.768%,40.96%,51.2%,64%,80%,100%,120%,144%,172.8%;"
    "nearest-native-A-B-not-exact-percent\n"
    "QUEUE_LAYOUT=line1,line2,counter,line3,line4,qr,date\n"
    "QUEUE_COUNTER_SIZE=1..6;level6=legacy-8x\n"
    "QUEUE_EDITOR=scrollable;save-button-fixed\n"
    "QUEUE_LINES=multiline-enter\n"
    "QUEUE_SAVE_BUTTON=visible-above-footer\n"
    "UI_FONT=system/Segoe UI\n";

TEST(ProbeReportPath, NextToTheExecutable) {
  struct Case {
    std::u16string module;
    std::u16string report;
  } const cases[] = {
      {u"C:\\Tools\\korvante-config.exe", u"C:\\Tools\\korvante-native-probe.txt"},
      {u"C:/Tools/korvante-config.exe", u"C:/Tools/korvante-native-probe.txt"},
      // The last separator counts, whichever kind it is.
      {u"C:\\a/b\\c.exe", u"C:\\a/b\\korvante-native-probe.txt"},
      {u"C:/a\\b/c.exe", u"C:/a\\b/korvante-native-probe.txt"},
      {u"C:\\Máy in\\k.exe", u"C:\\Máy in\\korvante-native-probe.txt"},
      {u"\\\\server\\share\\k.exe", u"\\\\server\\share\\korvante-native-probe.txt"},
      {u"C:\\", u"C:\\korvante-native-probe.txt"},
      // No separator at all: the bare name, resolved against the current directory.
      {u"korvante-config.exe", u"korvante-native-probe.txt"},
      {u"", u"korvante-native-probe.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProbeReportPath(c.module), c.report) << std::string(c.module.begin(), c.module.end());
  }
}

// A folder that cannot be written (C:\\Program Files) must not lose the
// report: %TEMP% comes next, and a path the module could not give whole is
// never guessed at.
TEST(ProbeReportPlaces, NextToTheExecutableThenInTemp) {
  using Places = std::vector<std::u16string>;
  const std::u16string exe = u"C:\\Program Files\\Korvante\\korvante-config.exe";
  const std::u16string beside = u"C:\\Program Files\\Korvante\\korvante-native-probe.txt";
  const std::u16string inTemp = u"C:\\Users\\Lan\\AppData\\Local\\Temp\\korvante-native-probe.txt";
  struct Case {
    std::optional<std::u16string> module;
    std::u16string temp;
    Places places;
  } const cases[] = {
      {exe, u"C:\\Users\\Lan\\AppData\\Local\\Temp\\", {beside, inTemp}},
      // Without the trailing separator, or with a forward one.
      {exe, u"C:\\Users\\Lan\\AppData\\Local\\Temp", {beside, inTemp}},
      {exe, u"D:/tmp/", {beside, u"D:/tmp/korvante-native-probe.txt"}},
      {std::nullopt, u"C:\\Users\\Lan\\AppData\\Local\\Temp\\", {inTemp}},
      {exe, u"", {beside}},
      {std::nullopt, u"", {}},
      // The executable run from %TEMP% itself: one place, tried once.
      {u"C:\\Users\\Lan\\AppData\\Local\\Temp\\k.exe",
       u"C:\\Users\\Lan\\AppData\\Local\\Temp\\",
       {inTemp}},
  };
  for (const Case& c : cases) {
    const auto module = c.module ? std::optional<std::u16string_view>(*c.module) : std::nullopt;
    EXPECT_EQ(ProbeReportPlaces(module, c.temp), c.places)
        << std::string(c.temp.begin(), c.temp.end());
  }
}

TEST(ProbeReport, NoNetworkAndNoUsbIsExactlyEighteenLines) {
  const std::string bytes = ProbeReportBytes(ProbeFindings{});
  EXPECT_EQ(bytes, kFixedHead + "Profiles=0\nUSB_COUNT=0\n");
  std::size_t lines = 0;
  for (const char c : bytes) lines += c == '\n';
  EXPECT_EQ(lines, 18u);
}

TEST(ProbeReport, NetworkDiscoveredAndUsbLinesInOrder) {
  ProbeFindings f;
  f.profileCount = 3;
  ProbeNetwork net;
  net.preferred = {u"Wi-Fi 2", "192.168.77.2", "255.255.255.0", "192.168.77.1", true};
  net.suggestion = "192.168.77.222";
  NetworkPrinter second;
  second.ip = "192.168.77.9";
  second.mac = "00-1A-2B-3C-4D-09";
  second.mask = "255.255.0.0";
  second.gateway = "192.168.77.254";
  second.port = 80;
  NetworkPrinter first;
  first.ip = "192.168.77.100";
  first.mac = "00-1A-2B-3C-4D-5E";
  first.mask = "255.255.255.0";
  first.gateway = "192.168.77.1";
  // Kept in discovery's order, not re-sorted by address.
  net.discovered = {first, second};
  f.network = net;
  f.usbPrinters = {
      UsbPrinter{u"Máy in nhiệt", u"USB001", u"\\\\?\\usb#vid_1234&pid_5678#a#{28d78fad}",
                 u"XP-80"},
      UsbPrinter{u"Adapter", u"COM5", u"\\\\.\\COM5", u""},
  };
  EXPECT_EQ(ProbeReportBytes(f),
            kFixedHead +
                "Profiles=3\n"
                "NET=Wi-Fi 2|Type=WiFi|IP=192.168.77.2|Mask=255.255.255.0|Gateway=192.168.77.1\n"
                "SUGGEST_LAN=192.168.77.222|SUGGEST_WIFI=192.168.77.222\n"
                "AUTOIP_COUNT=2\n"
                "AUTOIP=192.168.77.100|MAC=00-1A-2B-3C-4D-5E|Mask=255.255.255.0|"
                "Gateway=192.168.77.1|Port=9100\n"
                "AUTOIP=192.168.77.9|MAC=00-1A-2B-3C-4D-09|Mask=255.255.0.0|"
                "Gateway=192.168.77.254|Port=80\n"
                "USB_COUNT=2\n"
                // "Máy in nhiệt": á = C3 A1, ệ = E1 BB 87.
                "USB=Port:USB001|Name:M\xC3\xA1y in nhi\xE1\xBB\x87t|Queue:XP-80|"
                "Path:\\\\?\\usb#vid_1234&pid_5678#a#{28d78fad}\n"
                "USB=Port:COM5|Name:Adapter|Queue:|Path:\\\\.\\COM5\n");
}

TEST(ProbeReport, EmptyValuesLeaveNothingBetweenKeys) {
  ProbeFindings f;
  f.profileCount = 1;
  ProbeNetwork net;
  net.preferred = {u"LAN", "10.0.0.5", "255.0.0.0", "", false};
  net.suggestion = "10.0.0.222";
  NetworkPrinter bare;
  bare.ip = "10.0.0.7";
  net.discovered = {bare};
  f.network = net;
  f.usbPrinters = {UsbPrinter{}};
  const std::string bytes = ProbeReportBytes(f);
  ASSERT_EQ(bytes.compare(0, kFixedHead.size(), kFixedHead), 0);
  EXPECT_EQ(bytes.substr(kFixedHead.size()),
            "Profiles=1\n"
            "NET=LAN|Type=LAN|IP=10.0.0.5|Mask=255.0.0.0|Gateway=\n"
            "SUGGEST_LAN=10.0.0.222|SUGGEST_WIFI=10.0.0.222\n"
            "AUTOIP_COUNT=1\n"
            "AUTOIP=10.0.0.7|MAC=|Mask=|Gateway=|Port=9100\n"
            "USB_COUNT=1\n"
            "USB=Port:|Name:|Queue:|Path:\n");
}

TEST(ProbeReport, ProfileWithoutAnswersHasNoPrinterLines) {
  ProbeFindings f;
  f.profileCount = 1;
  f.network = ProbeNetwork{
      {u"Ethernet", "192.168.1.20", "255.255.255.0", "192.168.1.1", false}, "192.168.1.222", {}};
  const std::string bytes = ProbeReportBytes(f);
  EXPECT_EQ(bytes.substr(kFixedHead.size()),
            "Profiles=1\n"
            "NET=Ethernet|Type=LAN|IP=192.168.1.20|Mask=255.255.255.0|Gateway=192.168.1.1\n"
            "SUGGEST_LAN=192.168.1.222|SUGGEST_WIFI=192.168.1.222\n"
            "AUTOIP_COUNT=0\n"
            "USB_COUNT=0\n");
  // UTF-8 without a byte order mark.
  EXPECT_EQ(bytes.substr(0, 6), "Build=");
}

}  // namespace
}  // namespace korvante
