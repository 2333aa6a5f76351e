// Text sizes and styles of the queue ticket: the printer has two native fonts
// (Font A 12 x 24 dots, Font B 9 x 17 dots) and integer multipliers 1 to 8,
// while the ticket offers nine sizes per line and six for the queue number,
// each a share of a reference size. These functions pick the nearest native
// size and render one styled line; the window sizes its counter preview by
// the same mapping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/command_buffer.h"
#include "core/command_vocabulary.h"

namespace korvante {

inline constexpr int kTextLevelMax = 9;     // a line's size list: 1 to 9
inline constexpr int kCounterLevelMax = 6;  // the "Cỡ STT" list: 1 to 6
inline constexpr int kDefaultSizeLevel = 6;

inline constexpr int kWidthNarrow = 1;  // "Hẹp"
inline constexpr int kWidthNormal = 2;  // "Thường"
inline constexpr int kWidthWide = 3;    // "Rộng"

// One queue line: its text and size as its controls hold them when the
// ticket is saved, its width and styles as its buttons set them.
struct TicketLine {
  std::u16string text;  // the line's editor, line breaks included
  int sizeLevel = kDefaultSizeLevel;
  int widthLevel = kWidthNormal;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// A native font and the multiplier that come closest to a size level.
struct NativeFontFit {
  std::uint8_t font = kFontA;  // kFontA or kFontB, the ESC M parameter
  int multiplier = 2;          // 1 to 8
  int cellWidth = 12;          // dots, of the chosen font at multiplier 1
  int cellHeight = 24;
};

// The native font and multiplier nearest to a text level (clamped to 1..9) or,
// with `counter`, to a queue-number level (clamped to 1..6).
NativeFontFit FitNativeFont(int level, bool counter);

// Appends one styled, centred line; a line that is empty or white space only
// appends nothing.
void RenderQueueLine(CommandBuffer& buffer, const TicketLine& line);

// Appends the queue number's style: font, bold off, equal width and height
// multipliers from the counter level, centred (12 bytes).
void AppendCounterStyle(CommandBuffer& buffer, int counterLevel);

// A size list's value: the selected item's data, or 6 when nothing is selected
// or the data cannot be read (nullopt); then clamped to 1..9.
int SizeListLevel(std::optional<int> selectedItemData);

}  // namespace korvante
