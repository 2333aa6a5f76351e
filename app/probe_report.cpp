#include "app/probe_report.h"

#include "app/version.h"
#include "core/text_encoding.h"

namespace korvante {
namespace {

// Facts of this build that support staff read off a customer's report; they
// carry no measured value. The Build= line names the version of this build
// (its major and minor numbers); the rest of the lines are fixed texts.
constexpr std::u16string_view kBuildLines[] = {
    u"Build=korvante-native-v" KV_VERSION_MAJOR_MINOR "-restore-size-four-20261004",
    u"UI_REPAINT=clip-children-and-redraw-page-controls",
    u"QUEUE_DATETIME=@date",
    u"QUEUE_DATE_PREFIX=In ngày:",
    u"QUEUE_TIME=unverified-not-sent",
    u"QUEUE_TEXT_RENDER=firmware-text",
    u"QUEUE_FONT_LEVELS=1,2,3,4,5,6,7,8,9;all-text-levels-restored",
    u"QUEUE_FONT_LIMITATION=native-rounding-still-makes-text-levels-1/2-and-4/5-equal",
    u"QUEUE_FONT_LEVEL_6=legacy-size-2",
    u"QUEUE_FONT_TARGETS=32.768%,40.96%,51.2%,64%,80%,100%,120%,144%,172.8%;"
    u"nearest-native-A-B-not-exact-percent",
    u"QUEUE_LAYOUT=line1,line2,counter,line3,line4,qr,date",
    u"QUEUE_COUNTER_SIZE=1..6;level6=legacy-8x",
    u"QUEUE_EDITOR=scrollable;save-button-fixed",
    u"QUEUE_LINES=multiline-enter",
    u"QUEUE_SAVE_BUTTON=visible-above-footer",
    u"UI_FONT=system/Segoe UI",
};
static_assert(std::size(kBuildLines) == 16);

// Builds one report line from key and value pieces, in the order given.
class ReportWriter {
 public:
  ReportWriter& Text(std::u16string_view text) {
    report_ += text;
    return *this;
  }
  ReportWriter& Narrow(const std::string& utf8) { return Text(FromUtf8(utf8)); }
  ReportWriter& Number(std::size_t value) { return Text(WidenAscii(std::to_string(value))); }
  void EndLine() { report_ += u'\n'; }
  std::u16string Take() { return std::move(report_); }

 private:
  std::u16string report_;
};

}  // namespace

std::u16string ProbeReportPath(std::u16string_view modulePath) {
  const std::size_t separator = modulePath.find_last_of(u"\\/");
  std::u16string path;
  if (separator != std::u16string_view::npos) path = modulePath.substr(0, separator + 1);
  return path += kProbeReportName;
}

std::vector<std::u16string> ProbeReportPlaces(std::optional<std::u16string_view> modulePath,
                                              std::u16string_view tempFolder) {
  std::vector<std::u16string> places;
  if (modulePath) places.push_back(ProbeReportPath(*modulePath));
  if (!tempFolder.empty()) {
    std::u16string inTemp(tempFolder);
    if (inTemp.back() != u'\\' && inTemp.back() != u'/') inTemp += u'\\';
    inTemp += kProbeReportName;
    if (places.empty() || places.front() != inTemp) places.push_back(std::move(inTemp));
  }
  return places;
}

std::u16string ComposeProbeReport(const ProbeFindings& findings) {
  ReportWriter out;
  for (const std::u16string_view line : kBuildLines) {
    out.Text(line).EndLine();
  }
  out.Text(u"Profiles=").Number(findings.profileCount).EndLine();
  if (findings.network) {
    const ProbeNetwork& net = *findings.network;
    const NetworkProfile& p = net.preferred;
    out.Text(u"NET=").Text(p.name);
    out.Text(u"|Type=").Text(p.wireless ? u"WiFi" : u"LAN");
    out.Text(u"|IP=").Narrow(p.ip);
    out.Text(u"|Mask=").Narrow(p.mask);
    out.Text(u"|Gateway=").Narrow(p.gateway).EndLine();
    // The WiFi page's suggestion is made the same way as the LAN page's.
    out.Text(u"SUGGEST_LAN=").Narrow(net.suggestion);
    out.Text(u"|SUGGEST_WIFI=").Narrow(net.suggestion).EndLine();
    out.Text(u"AUTOIP_COUNT=").Number(net.discovered.size()).EndLine();
    for (const NetworkPrinter& printer : net.discovered) {
      out.Text(u"AUTOIP=").Narrow(printer.ip);
      out.Text(u"|MAC=").Narrow(printer.mac);
      out.Text(u"|Mask=").Narrow(printer.mask);
      out.Text(u"|Gateway=").Narrow(printer.gateway);
      out.Text(u"|Port=").Text(WidenAscii(std::to_string(printer.port))).EndLine();
    }
  }
  out.Text(u"USB_COUNT=").Number(findings.usbPrinters.size()).EndLine();
  for (const UsbPrinter& printer : findings.usbPrinters) {
    out.Text(u"USB=Port:").Text(printer.port);
    out.Text(u"|Name:").Text(printer.name);
    out.Text(u"|Queue:").Text(printer.queue);
    out.Text(u"|Path:").Text(printer.path).EndLine();
  }
  return out.Take();
}

std::string ProbeReportBytes(const ProbeFindings& findings) {
  return ToUtf8(ComposeProbeReport(findings));
}

}  // namespace korvante
