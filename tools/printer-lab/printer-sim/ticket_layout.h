// Where a printer puts what it is asked to print: the commands of a ticket
// program (or of a direct print) become printed rows of characters, QR codes
// and cuts on a strip of 80 mm paper, 576 dots wide, measured in dots from the
// strip's top. Text is decoded to Unicode with the selected character code
// table (glibc iconv: table 27 is VISCII); QR codes are encoded with
// libqrencode. What the picture cannot show is listed in `notes`.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "tools/printer-lab/printer-sim/escpos_reader.h"

namespace korvante::sim {

constexpr int kPaperWidthDots = 576;

struct CharacterStyle {
  int font = 0;    // 0 = Font A (12 x 24 cell), 1 = Font B (9 x 17 cell)
  int width = 1;   // multipliers, 1 to 8
  int height = 1;  //
  bool bold = false;
  bool italic = false;
  int underline = 0;  // line thickness in dots, 0 to 2
};

struct PrintedCharacter {
  char32_t code = 0;
  CharacterStyle style;
  int x = 0;  // the cell's left edge, in dots from the paper's left edge
  int width = 0;
  int height = 0;  // the cell, multipliers applied; its bottom is the row's
};

// One printed row: cells side by side on the row's common bottom line.
struct PrintedLine {
  int top = 0;
  int height = 0;    // the tallest cell of the row
  std::string text;  // UTF-8
  std::vector<PrintedCharacter> characters;
};

struct PrintedQr {
  int top = 0;
  int left = 0;
  int moduleSize = 0;  // dots
  int modules = 0;     // modules per side
  char level = 'L';
  std::string data;        // the stored bytes
  std::vector<bool> dark;  // modules x modules, row by row
};

struct PrintedStrip {
  int height = 0;  // paper used, in dots, down to the last cut when one was made
  std::vector<PrintedLine> lines;
  std::vector<PrintedQr> qrCodes;
  std::vector<int> cuts;  // where the paper was cut
  std::vector<std::string> notes;
  bool HasInk() const { return !lines.empty() || !qrCodes.empty(); }
};

struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct LayoutSettings {
  CalendarDay today;            // printed at "@date"
  std::string counter = "001";  // printed at "@cnt"
};

// Lays out the commands as a printer in its power-on state prints them; a
// ticket program's commands stop at its "@end".
PrintedStrip LayOut(std::span<const Command> commands, const LayoutSettings& settings);

CalendarDay LocalToday();
void AppendUtf8(std::string& out, char32_t code);
std::string DateText(const CalendarDay& day);  // "07/12/2026"

}  // namespace korvante::sim
