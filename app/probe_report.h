// The diagnostic report of a "--probe" run: what this build is, what the
// computer's networks look like, which printers answer discovery and which USB
// printers are present. Composing it is portable; RunProbeReport gathers the
// facts from the platform and writes the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

inline constexpr char16_t kProbeReportName[] = u"korvante-native-probe.txt";

// What the network half of the report states; present only when the computer
// has at least one network profile.
struct ProbeNetwork {
  NetworkProfile preferred;                // the profile the network line shows
  std::string suggestion;                  // the address suggested with ".222"
  std::vector<NetworkPrinter> discovered;  // every network's, in the order discovery returned them
};

struct ProbeFindings {
  std::size_t profileCount = 0;
  std::optional<ProbeNetwork> network;
  std::vector<UsbPrinter> usbPrinters;
};

// The report next to the executable: the module path cut after its last '\'
// or '/' with the report's name appended; the bare name when the path has
// neither (it then resolves against the current directory).
std::u16string ProbeReportPath(std::u16string_view modulePath);

// The folders a probe run tries, in turn, until the report is written: the
// executable's (absent when its path could not be read whole), then the
// user's temporary folder as GetTempPathW gives it, with or without its
// trailing separator (absent when empty). A folder named twice is tried once.
std::vector<std::u16string> ProbeReportPlaces(std::optional<std::u16string_view> modulePath,
                                              std::u16string_view tempFolder);

// Every line of the report, each ending in a line feed, the last one included.
std::u16string ComposeProbeReport(const ProbeFindings& findings);

// The file's bytes: the whole report as UTF-8, without a byte order mark.
std::string ProbeReportBytes(const ProbeFindings& findings);

}  // namespace korvante
