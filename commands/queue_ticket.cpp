#include "commands/queue_ticket.h"

#include <algorithm>

#include "commands/number_fields.h"
#include "core/text_encoding.h"

namespace korvante {

namespace {

constexpr int kMaxCopies = 9;

std::uint8_t Bcd(int value) {
  value = std::clamp(value, 0, 99);
  return static_cast<std::uint8_t>(value / 10 * 16 + value % 10);
}

void AppendSettingsHead(CommandBuffer& buffer, const QueueTicketInput& input) {
  AppendBytes(buffer, kQueuePreamble);
  AppendBytes(buffer, kCodePagePrefix);
  AppendBytes(buffer, BuildQueueSettingsCommand(input.enable, CopiesFromText(input.copiesText),
                                                input.date));
}

bool AppendTicketProgram(CommandBuffer& buffer, const QueueTicketInput& input) {
  AppendBytes(buffer, kProgramStart);
  AppendBytes(buffer, kCodePagePrefix);
  RenderQueueLine(buffer, input.lines[0]);
  RenderQueueLine(buffer, input.lines[1]);

  // The printer prints the running number in place of "@cnt".
  AppendCounterStyle(buffer, input.counterLevel);
  AppendCString(buffer, "@cnt");
  AppendSplitFeed(buffer, kFeedDotsLetter, 48);
  AppendByte(buffer, kLf);

  RenderQueueLine(buffer, input.lines[2]);
  RenderQueueLine(buffer, input.lines[3]);
  AppendBytes(buffer, kStyleReset);
  if (!AppendQrCode(buffer, ToUtf8(input.qrLink))) return false;

  if (input.printDate) {
    AppendBytes(buffer, kDateLineHead);
    AppendViscii(buffer, u"In ngày: ");
    AppendCString(buffer, "@date");  // the printer's own date
    AppendByte(buffer, kLf);
  } else {
    AppendBytes(buffer, kNoDateTail);
  }
  AppendSplitFeed(buffer, kFeedDotsLetter, 16);

  AppendSplitFeed(buffer, kFeedDotsLetter, 255);
  AppendBytes(buffer, kFullCut);
  AppendSplitFeed(buffer, kFirmwareFeedLetter, 696);
  AppendCString(buffer, "@end");
  return true;
}

}  // namespace

int CopiesFromText(std::u16string_view text) {
  return std::min(ReadPositiveNumber(text, 1), kMaxCopies);
}

CommandBuffer BuildQueueSettingsCommand(bool enable, int copies, const CalendarDate& date) {
  CommandBuffer buffer;
  AppendBytes(buffer, kProprietaryPrefix);                                           // [0:3)
  AppendByte(buffer, kFnQueue);                                                      // [3]
  AppendByte(buffer, 0x01);                                                          // [4] settings
  AppendByte(buffer, enable ? 0x01 : 0x00);                                          // [5] enable
  AppendBytes(buffer, Bytes<2>{0x00, 0x00});                                         // [6:8)
  AppendByte(buffer, static_cast<std::uint8_t>(std::clamp(copies, 1, kMaxCopies)));  // [8]
  AppendByte(buffer, Bcd((date.year % 100 + 100) % 100));                            // [9] year
  AppendByte(buffer, Bcd(date.month));                                               // [10] month
  AppendByte(buffer, Bcd(date.day));                                                 // [11] day
  AppendByte(buffer, 0x00);                                                          // [12]
  return buffer;
}

bool AppendQrCode(CommandBuffer& buffer, std::string_view utf8Link) {
  // pL + 256 pH counts the three function bytes and the data.
  const std::size_t storeLength = utf8Link.size() + kQrStoreFunction.size();
  if (storeLength > 0xFFFF) return false;
  if (utf8Link.empty()) return true;
  AppendByte(buffer, kLf);
  AppendBytes(buffer, kQrModuleSizePrefix);
  AppendByte(buffer, kQrModuleSize);
  AppendBytes(buffer, kQrErrorCorrectionPrefix);
  AppendByte(buffer, kQrErrorCorrectionM);
  AppendBytes(buffer, kQrStorePrefix);
  AppendByte(buffer, static_cast<std::uint8_t>(storeLength & 0xFF));         // pL
  AppendByte(buffer, static_cast<std::uint8_t>((storeLength >> 8) & 0xFF));  // pH
  AppendBytes(buffer, kQrStoreFunction);
  AppendBytes(buffer, reinterpret_cast<const std::uint8_t*>(utf8Link.data()), utf8Link.size());
  AppendBytes(buffer, kQrPrint);
  AppendByte(buffer, kLf);
  return true;
}

std::optional<CommandBuffer> BuildQueueTransmission(const QueueTicketInput& input) {
  CommandBuffer buffer;
  if (!input.editorShown) {
    // The stored ticket program stays as it is.
    AppendBytes(buffer, kInitialize);
    AppendSettingsHead(buffer, input);
    return buffer;
  }
  AppendBytes(buffer, kNvClearPrefix);
  AppendSettingsHead(buffer, input);
  if (input.enable && !AppendTicketProgram(buffer, input)) return std::nullopt;
  if (buffer.size() > kMaxTransmission) return std::nullopt;
  return buffer;
}

}  // namespace korvante
