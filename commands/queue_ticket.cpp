#include "commands/queue_ticket.h"

#include <algorithm>

#include "commands/device_settings.h"
#include "core/text_encoding.h"

namespace korvante {

namespace {

constexpr int kMaxCopies = 9;

std::uint8_t bcd(int value) {
  value = std::clamp(value, 0, 99);
  return static_cast<std::uint8_t>(value / 10 * 16 + value % 10);
}

void appendSettingsHead(CommandBuffer& buffer, const QueueTicketInput& input) {
  appendBytes(buffer, kQueuePreamble);
  appendBytes(buffer, kCodePagePrefix);
  appendBytes(buffer, buildQueueSettingsCommand(input.enable, copiesFromText(input.copiesText),
                                                input.date));
}

bool appendTicketProgram(CommandBuffer& buffer, const QueueTicketInput& input) {
  appendBytes(buffer, kProgramStart);
  appendBytes(buffer, kCodePagePrefix);
  renderQueueLine(buffer, input.lines[0]);
  renderQueueLine(buffer, input.lines[1]);

  // The printer prints the running number in place of "@cnt".
  appendCounterStyle(buffer, input.counterLevel);
  appendCString(buffer, "@cnt");
  appendSplitFeed(buffer, kFeedDotsLetter, 48);
  appendByte(buffer, kLf);

  renderQueueLine(buffer, input.lines[2]);
  renderQueueLine(buffer, input.lines[3]);
  appendBytes(buffer, kStyleReset);
  if (!appendQrCode(buffer, toUtf8(input.qrLink))) return false;

  if (input.printDate) {
    appendBytes(buffer, kDateLineHead);
    appendViscii(buffer, u"In ngày: ");
    appendCString(buffer, "@date");  // the printer's own date
    appendByte(buffer, kLf);
  } else {
    appendBytes(buffer, kNoDateTail);
  }
  appendSplitFeed(buffer, kFeedDotsLetter, 16);

  appendSplitFeed(buffer, kFeedDotsLetter, 255);
  appendBytes(buffer, kFullCut);
  appendSplitFeed(buffer, kFeedLetterLowerJ, 696);
  appendCString(buffer, "@end");
  return true;
}

}  // namespace

int copiesFromText(std::u16string_view text) {
  return std::min(readPositiveNumber(text, 1), kMaxCopies);
}

CommandBuffer buildQueueSettingsCommand(bool enable, int copies, const CalendarDate& date) {
  CommandBuffer buffer;
  appendBytes(buffer, kProprietaryPrefix);                                           // [0:3)
  appendByte(buffer, kFnQueue);                                                      // [3]
  appendByte(buffer, 0x01);                                                          // [4] settings
  appendByte(buffer, enable ? 0x01 : 0x00);                                          // [5] enable
  appendBytes(buffer, Bytes<2>{0x00, 0x00});                                         // [6:8)
  appendByte(buffer, static_cast<std::uint8_t>(std::clamp(copies, 1, kMaxCopies)));  // [8]
  appendByte(buffer, bcd((date.year % 100 + 100) % 100));                            // [9] year
  appendByte(buffer, bcd(date.month));                                               // [10] month
  appendByte(buffer, bcd(date.day));                                                 // [11] day
  appendByte(buffer, 0x00);                                                          // [12]
  return buffer;
}

bool appendQrCode(CommandBuffer& buffer, std::string_view utf8Link) {
  // pL + 256 pH counts the three function bytes and the data.
  const std::size_t storeLength = utf8Link.size() + kQrStoreFunction.size();
  if (storeLength > 0xFFFF) return false;
  if (utf8Link.empty()) return true;
  appendByte(buffer, kLf);
  appendBytes(buffer, kQrModuleSizePrefix);
  appendByte(buffer, kQrModuleSize);
  appendBytes(buffer, kQrErrorCorrectionPrefix);
  appendByte(buffer, kQrErrorCorrectionM);
  appendBytes(buffer, kQrStorePrefix);
  appendByte(buffer, static_cast<std::uint8_t>(storeLength & 0xFF));         // pL
  appendByte(buffer, static_cast<std::uint8_t>((storeLength >> 8) & 0xFF));  // pH
  appendBytes(buffer, kQrStoreFunction);
  appendBytes(buffer, reinterpret_cast<const std::uint8_t*>(utf8Link.data()), utf8Link.size());
  appendBytes(buffer, kQrPrint);
  appendByte(buffer, kLf);
  return true;
}

std::optional<CommandBuffer> buildQueueTransmission(const QueueTicketInput& input) {
  CommandBuffer buffer;
  if (!input.editorShown) {
    // The stored ticket program stays as it is.
    appendBytes(buffer, kInitialize);
    appendSettingsHead(buffer, input);
    return buffer;
  }
  appendBytes(buffer, kNvClearPrefix);
  appendSettingsHead(buffer, input);
  if (input.enable && !appendTicketProgram(buffer, input)) return std::nullopt;
  if (buffer.size() > kMaxTransmission) return std::nullopt;
  return buffer;
}

}  // namespace korvante
