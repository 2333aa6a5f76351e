#include "commands/info_slip.h"

#include <cstdio>

#include "core/command_vocabulary.h"
#include "core/text_encoding.h"

namespace korvante {
namespace {

constexpr std::uint8_t kJustifyLeft = 0x00;
// The paper travels this far (dots, 8 a millimetre) for the last line to pass
// the cutter, as a ticket's does before its cut.
constexpr unsigned kFeedBeforeCutDots = 120;

void AppendLine(CommandBuffer& buffer, std::u16string_view text) {
  AppendViscii(buffer, text);
  AppendByte(buffer, kLf);
}

}  // namespace

std::vector<SlipRow> InfoSlipRows(const PrinterTarget& target) {
  std::vector<SlipRow> rows;
  if (target.kind != kModeNetwork) {
    rows.push_back({u"Cổng", target.usb.port.empty() ? u"USB" : target.usb.port});
    if (!target.usb.name.empty()) rows.push_back({u"Thiết bị", target.usb.name});
    return rows;
  }
  const NetworkPrinter& printer = target.net;
  rows.push_back({u"Địa chỉ IP", WidenAscii(printer.ip)});
  if (!printer.mask.empty()) rows.push_back({u"Subnet mask", WidenAscii(printer.mask)});
  if (!printer.gateway.empty()) rows.push_back({u"Gateway", WidenAscii(printer.gateway)});
  if (!printer.mac.empty()) rows.push_back({u"MAC", WidenAscii(printer.mac)});
  rows.push_back({u"Cổng", WidenAscii(std::to_string(ReportedPort(printer)))});
  return rows;
}

CommandBuffer BuildInfoSlip(const std::vector<SlipRow>& rows, const SlipTime& printedAt) {
  CommandBuffer buffer;
  AppendBytes(buffer, kInitialize);
  AppendBytes(buffer, kCodePagePrefix);
  AppendBytes(buffer, kJustifyPrefix);
  AppendByte(buffer, kJustifyCentre);
  AppendLine(buffer, u"THÔNG TIN MÁY IN");
  AppendByte(buffer, kLf);
  AppendBytes(buffer, kJustifyPrefix);
  AppendByte(buffer, kJustifyLeft);
  for (const SlipRow& row : rows) AppendLine(buffer, row.label + u": " + row.value);
  char time[64];
  std::snprintf(time, sizeof time, "%02d/%02d/%04d %02d:%02d", printedAt.day, printedAt.month,
                printedAt.year, printedAt.hour, printedAt.minute);
  AppendLine(buffer, u"In lúc: " + WidenAscii(time));
  AppendSplitFeed(buffer, kFeedDotsLetter, kFeedBeforeCutDots);
  AppendBytes(buffer, kFullCut);
  return buffer;
}

}  // namespace korvante
