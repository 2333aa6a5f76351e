// The simulated printer's reading of its print port: every command of the
// tool's vocabulary, written as the protocol tables write it, frames exactly
// (a command cut short waits for its rest), the settings read back their
// values, and the paper follows the feed and size rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/bytes.h"
#include "tools/printer-lab/printer-sim/escpos_reader.h"
#include "tools/printer-lab/printer-sim/ticket_layout.h"

namespace korvante::sim {
namespace {

using korvante::HexBytes;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(EscposReader, EveryCommandFramesExactly) {
  const char* const commands[] = {
      "1B 40",                                   // ESC @
      "1B 64 01",                                // ESC d 1
      "1B 4A 30",                                // ESC J 48
      "1B 6A FF",                                // ESC j 255
      "1B 61 01",                                // ESC a 1
      "1B 4D 01",                                // ESC M 1
      "1B 45 01",                                // ESC E 1
      "1B 2D 01",                                // ESC - 1
      "1B 34",                                   // ESC 4
      "1B 35",                                   // ESC 5
      "1B 21 20",                                // ESC ! 0x20
      "1D 21 54",                                // GS ! 0x54
      "1D 56 00",                                // GS V 0
      "1C 2E",                                   // FS .
      "1B 74 1B",                                // ESC t 27
      "1D 28 6B 03 00 31 43 05",                 // QR module size
      "1D 28 6B 03 00 31 45 31",                 // QR level M
      "1D 28 6B 05 00 31 50 30 61 62",           // QR store "ab"
      "1D 28 6B 03 00 31 51 30",                 // QR print
      "1D 28 4C 05 00 30 41 43 4C 52",           // delete all NV graphics
      "1D 28 4C 04 00 30 42 20 20",              // delete NV graphics 20 20
      "10 04 01",                                // DLE EOT 1
      "1F 1B 1F 22 C0 A8 01 DE",                 // LAN address
      "1F 1B 1F 13 14 03",                       // density
      "1F 1B 1F E0 13 14 01 04 02 03",           // buzzer
      "1F 1B 1F 84 01 01 00 00 02 26 12 07 00",  // queue settings
      "1F 1B 1F 84 05 01",                       // program start
      "1F 1B 1F 84 02",                          //
      "1F 1B 1F 00 0A 00 01",                    // queue preamble
      "1F 1B 1F FF 1B 0A 00",                    // end of the code-page prefix
      "1F 1B 1F B4 C0 A8 4D DE FF FF FF 00 C0 A8 4D 01 06 56 65 6C 00 35 32 00",  // WiFi
      "1D 76 30 00 01 00 02 00 FF 81",  // a raster image, 1 byte x 2 rows
      "1B 2A 00 02 00 AA BB",           // a bit image, 2 columns
  };
  for (const char* hex : commands) {
    SCOPED_TRACE(hex);
    Bytes stream = HexBytes(hex);
    const std::size_t size = stream.size();
    for (std::size_t cut = 1; cut < size; ++cut) {
      Command partial;
      EXPECT_FALSE(ReadCommand(std::span(stream).first(cut), false, partial)) << cut << " bytes";
      EXPECT_TRUE(!ReadCommand(std::span(stream).first(cut), true, partial) &&
                  partial.op == Op::kTruncated && partial.length == cut);
    }
    stream.push_back('A');
    const std::vector<Command> read = ReadCommands(stream);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].length, size);
    EXPECT_NE(read[0].op, Op::kUnknown);
    EXPECT_EQ(read[1].op, Op::kText);
    EXPECT_EQ(read[1].data, Bytes{'A'});
  }
}

TEST(EscposReader, SettingsReadBackTheirValues) {
  const std::pair<const char*, const char*> cases[] = {
      {"1F 1B 1F 13 14 03", "print density 3"},
      {"1F 1B 1F E0 13 14 00 04 02 03", "buzzer after printing off (bytes 13 14 00 04 02 03)"},
      {"1F 1B 1F E0 13 14 01 04 02 03", "buzzer after printing on (bytes 13 14 01 04 02 03)"},
      {"1F 1B 1F 22 C0 A8 01 DE", "set the LAN address to 192.168.1.222"},
      {"1F 1B 1F 84 01 00 00 00 09 99 01 31 00", "queue numbers off, 9 copies, date 2099-01-31"},
      {"1F 1B 1F B4 C0 A8 4D DE FF FF FF 00 C0 A8 4D 01 06 56 65 6C 00 35 32 00",
       "WiFi: address 192.168.77.222, mask 255.255.255.0, gateway 192.168.77.1, byte 06, "
       "network \"Vel\", password \"52\""},
      {"1D 28 6B 03 00 31 45 31", "QR error correction level M"},
  };
  for (const auto& [hex, meaning] : cases) {
    const std::vector<Command> read = ReadCommands(HexBytes(hex));
    ASSERT_EQ(read.size(), 1u) << hex;
    EXPECT_EQ(Meaning(read[0]), meaning);
  }
}

// Small print jobs from a printer's power-on state: the rows they print and
// the paper they use.
TEST(TicketLayout, FeedsSizesCodeTablesAndWrapping) {
  const struct {
    const char* name;
    std::string hex;
    std::vector<std::string> rows;
    int height;
  } cases[] = {
      {"LF prints a row one cell high", "41 0A", {"A"}, 24},
      {"LF on an empty line feeds one cell", "0A 1D 21 01 0A", {}, 24 + 48},
      {"ESC d 3 counts the printed row", "41 1B 64 03", {"A"}, 3 * 24},
      {"ESC J moves from the row's top", "41 1B 4A 10 1B 4A 30", {"A"}, 24 + 48},
      {"ESC ! sets double width and height", "1B 21 30 41 0A", {"A"}, 48},
      {"GS ! over 8 is ignored", "1D 21 88 41 0A", {"A"}, 24},
      {"Font B under GS ! 0x54", "1B 4D 01 1D 21 54 41 0A", {"A"}, 85},
      // VISCII needs ESC t 27: the power-on table prints 0xE0 as PC437's alpha.
      {"power-on code table", "E0 0A", {"\u03B1"}, 24},
      {"ESC t 27", "1B 74 1B E0 0A", {"\u00E0"}, 24},
      {"ESC @ restores the power-on table", "1B 74 1B 1B 40 E0 0A", {"\u03B1"}, 24},
      {"a row longer than the paper goes on below",
       Repeat("42 ", 49) + "0A",
       {std::string(48, 'B'), "B"},
       48},
      {"no line feed prints nothing", "41 42", {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PrintedStrip strip = LayOut(ReadCommands(HexBytes(c.hex)), {{2026, 12, 7}, "001"});
    std::vector<std::string> rows;
    for (const PrintedLine& line : strip.lines) rows.push_back(line.text);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(strip.height, c.height);
  }
}

}  // namespace
}  // namespace korvante::sim
