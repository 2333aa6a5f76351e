// The queue-number settings and the ticket program that the printer replays
// for every ticket: four styled lines, the running number at "@cnt", an
// optional QR code and an optional date at "@date", ended by "@end". The
// printer accepts at most 1,024 bytes in one transmission.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/command_buffer.h"
#include "core/command_vocabulary.h"
#include "commands/ticket_sizes.h"

namespace korvante {

// ESC @, delete all NV graphics, delete NV graphics 20 20, ESC @.
inline constexpr auto kNvClearPrefix =
    JoinBytes(kInitialize, kDeleteAllNvGraphics, kDeleteNvGraphicsKey2020, kInitialize);
// Sent ahead of the queue settings.
inline constexpr auto kQueuePreamble =
    JoinBytes(kProprietaryPrefix, Bytes<4>{kFnQueuePreamble, 0x0A, 0x00, 0x01});
// The printer stores what follows, up to "@end", as the ticket program.
inline constexpr auto kProgramStart =
    JoinBytes(kProprietaryPrefix, Bytes<3>{kFnQueue, 0x05, 0x01}, kProprietaryPrefix,
              Bytes<2>{kFnQueue, 0x02}, kInitialize);
// Font A, bold off: lines 3 and 4 leave no style to the QR code and date.
inline constexpr auto kStyleReset =
    JoinBytes(kSelectFontPrefix, Bytes<1>{kFontA}, kEmphasisPrefix, Bytes<1>{0x00});
// Normal size, double width, centred; then "In ngày: @date".
inline constexpr auto kDateLineHead =
    JoinBytes(kCharacterSizePrefix, Bytes<1>{0x00}, kPrintModePrefix,
              Bytes<1>{kPrintModeDoubleWidth}, kJustifyPrefix, Bytes<1>{kJustifyCentre});
// Normal size and print mode, centred, one empty line in place of the date.
inline constexpr auto kNoDateTail =
    JoinBytes(kCharacterSizePrefix, Bytes<1>{0x00}, kPrintModePrefix, Bytes<1>{kPrintModeNormal},
              kJustifyPrefix, Bytes<1>{kJustifyCentre}, Bytes<1>{kLf});

static_assert(kNvClearPrefix.size() == 23 && kQueuePreamble.size() == 7);
static_assert(kProgramStart.size() == 13 && kStyleReset.size() == 6);
static_assert(kDateLineHead.size() == 9 && kNoDateTail.size() == 10);

inline constexpr std::size_t kMaxTransmission = 1024;

// The computer's local date at the press, as the window reads it.
struct CalendarDate {
  int year = 2000;
  int month = 1;
  int day = 1;
};

// What the queue page's controls hold when "Lưu vào máy" is pressed.
struct QueueTicketInput {
  bool enable = true;                    // "Bật in số"
  std::u16string copiesText = u"1";      // "Số liên"
  bool printDate = false;                // "In ngày"
  bool editorShown = false;              // the content-shown flag
  std::array<TicketLine, 4> lines{};     // "Dòng 1" to "Dòng 4"
  int counterLevel = kDefaultSizeLevel;  // "Cỡ STT", read with SizeListLevel
  std::u16string qrLink;                 // "Link QR"
  CalendarDate date;
};

// "Số liên": 1 when it is not a positive number, at most 9.
int CopiesFromText(std::u16string_view text);

// The 13-byte queue settings command: enable, copies (clamped to 1..9) and
// the date in BCD (year modulo 100; month and day capped at 99).
CommandBuffer BuildQueueSettingsCommand(bool enable, int copies, const CalendarDate& date);

// LF, QR module size 5, error correction M, store the UTF-8 link (pL, pH from
// its length), print, LF; nothing for an empty link. A link too long for the
// 16-bit store length (over 65,532 bytes) appends nothing and gives false.
bool AppendQrCode(CommandBuffer& buffer, std::string_view utf8Link);

// The transmission "Lưu vào máy" sends: the settings alone (34 bytes) while
// the editor is hidden, otherwise the settings and, with enable set, the
// ticket program. nullopt when it would exceed 1,024 bytes: nothing is to be
// sent, and the window says that the ticket is too long.
std::optional<CommandBuffer> BuildQueueTransmission(const QueueTicketInput& input);

}  // namespace korvante
