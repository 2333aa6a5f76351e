// The simulated printer's ticket view against the transmissions of the
// end-to-end cases (fixtures/, written from the protocol tables): what it
// decodes, where it puts each row, and the picture it draws, read back with
// independent tools (zbarimg decodes the QR code, the PNG header gives the
// size, cairo reads the pixels).
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tests/core/bytes.h"
#include "tools/printer-lab/printer-sim/print_stream.h"
#include "tools/printer-lab/printer-sim/render_file.h"
#include "tools/printer-lab/printer-sim/ticket_render.h"
#include "tools/printer-lab/printer-sim/virtual_printer.h"

namespace korvante::sim {
namespace {

using korvante::HexBytes;

const LayoutSettings k7December2026{{2026, 12, 7}, "001"};

std::string FixturePath(const std::string& name) { return std::string(KV_FIXTURES) + "/" + name; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fixture's bytes: hex pairs, '#' comments.
Bytes Fixture(const std::string& name) {
  Bytes bytes;
  EXPECT_TRUE(ParseHexText(ReadFile(FixturePath(name)), bytes)) << name << " is not hex text";
  return bytes;
}

StreamResult Print(const Bytes& bytes) { return ReadWholeStream(bytes, k7December2026); }

std::string TempPath(const std::string& name) { return ::testing::TempDir() + name; }

struct Ran {
  int status;
  std::string output;
};
Ran Shell(const std::string& command) {
  Ran run{-1, {}};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    run.output.append(chunk, n);
  run.status = pclose(pipe);
  return run;
}

TEST(TicketView, FixturesHoldTheTransmissionsOfTheEndToEndCases) {
  EXPECT_EQ(Fixture("e2e-ticket.hex").size(), 313u);
  EXPECT_EQ(Fixture("settings-only.hex").size(), 34u);
  EXPECT_EQ(Fixture("enable-cleared.hex").size(), 55u);
  EXPECT_EQ(Fixture("default-ticket.hex").size(), 199u);
}

// Each row: the editor's text, and a height of the font's cell times the
// height multiplier (Font A 12 x 24, Font B 9 x 17).
TEST(TicketView, RowsCarryTheEditorsTextAtTheirCellHeight) {
  struct Row {
    const char* text;
    int height;
  };
  const struct {
    const char* fixture;
    std::vector<Row> rows;
  } cases[] = {
      {"e2e-ticket.hex",
       {
           {"STT Của Bạn Là", 2 * 24},     // size 6: Font A x 2
           {"Xin chào", 5 * 17},           // size 9: five Font B cells
           {"Quý khách", 5 * 17},          // the line's second line, same style
           {"001", 4 * 24},                // counter size 3: Font A x 4
           {"Vui Lòng Chờ Tới Lượt", 17},  // size 1, narrow: one Font B cell
           {"In ngày: 07/12/2026", 24},    // double width, normal height
       }},
      {"default-ticket.hex",
       {{"STT Của Bạn Là", 48}, {"001", 8 * 24}, {"Vui Lòng Chờ Tới Lượt", 48}}},
      {"vietnamese-lines.hex",
       {
           {"Ẳ Ẵ Ẫ Ỷ Ỹ Ỵ", 48},
           // 24 cells of 24 dots fill the 576 dots; the rest goes on below.
           {"Cảm ơn quý khách đã chờ ", 48},
           {"đợi rất lâu", 48},
           {"Đường Nguyễn Huệ, Quận 1", 24},
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const StreamResult result = Print(Fixture(c.fixture));
    ASSERT_EQ(result.printouts.size(), 1u);
    ASSERT_TRUE(result.printouts[0].ticket);
    const PrintedStrip& strip = result.printouts[0].strip;
    ASSERT_EQ(strip.lines.size(), c.rows.size());
    int below = 0;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      const PrintedLine& line = strip.lines[i];
      EXPECT_EQ(line.text, c.rows[i].text);
      EXPECT_EQ(line.height, c.rows[i].height) << line.text;
      EXPECT_GE(line.top, below) << line.text << " overlaps the row above";
      below = line.top + line.height;
      // Centred, and on the paper.
      const PrintedCharacter& first = line.characters.front();
      const PrintedCharacter& last = line.characters.back();
      EXPECT_GE(first.x, 0);
      EXPECT_LE(last.x + last.width, kPaperWidthDots);
      EXPECT_LE(std::abs(first.x - (kPaperWidthDots - last.x - last.width)), 1) << line.text;
    }
    ASSERT_EQ(strip.cuts.size(), 1u);
    EXPECT_GE(strip.cuts[0], below);
  }
}

// The picture: 576 pixels wide, as long as the strip, with ink inside each
// row's band reaching over at least half its height (glyphs fill their cells), in the QR code, and
// at the cut; nowhere else.
TEST(TicketView, PictureIsPaperWideAndInkStaysInTheRows) {
  const PrintedStrip strip = Print(Fixture("e2e-ticket.hex")).printouts.at(0).strip;
  const std::string png = TempPath("e2e-ticket.png");
  std::string error;
  ASSERT_TRUE(WriteTicketPng(strip, png, error)) << error;

  const std::string file = ReadFile(png);
  ASSERT_GE(file.size(), 24u);
  ASSERT_EQ(file.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(file[at]) << 24) |
           (static_cast<unsigned char>(file[at + 1]) << 16) |
           (static_cast<unsigned char>(file[at + 2]) << 8) |
           static_cast<unsigned char>(file[at + 3]);
  };
  EXPECT_EQ(be32(16), 576);  // IHDR width
  EXPECT_EQ(be32(20), strip.height);

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
      cairo_image_surface_create_from_png(png.c_str()), &cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
  const int stride = cairo_image_surface_get_stride(image.get());
  const unsigned char* pixels = cairo_image_surface_get_data(image.get());
  const int height = cairo_image_surface_get_height(image.get());
  auto rowHasInk = [&](int y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + y * stride);
    for (int x = 0; x < 576; ++x) {
      if ((row[x] & 0xFF) < 0x80) return true;
    }
    return false;
  };
  std::vector<bool> allowed(static_cast<std::size_t>(height), false);
  for (const PrintedLine& line : strip.lines) {
    ASSERT_GE(line.top, 0) << line.text;
    ASSERT_LE(line.top + line.height, height) << line.text;
    int first = -1, last = -1;
    for (int y = line.top; y < line.top + line.height; ++y) {
      allowed[static_cast<std::size_t>(y)] = true;
      if (rowHasInk(y)) {
        if (first < 0) first = y;
        last = y;
      }
    }
    EXPECT_GE(last - first + 1, line.height / 2) << line.text << ": glyphs not cell high";
  }
  ASSERT_EQ(strip.qrCodes.size(), 1u);
  const PrintedQr& qr = strip.qrCodes[0];
  EXPECT_EQ(qr.moduleSize, 5);
  EXPECT_EQ(qr.level, 'M');
  ASSERT_GE(qr.top, 0);
  ASSERT_LE(qr.top + qr.modules * qr.moduleSize, height);
  for (int y = qr.top; y < qr.top + qr.modules * qr.moduleSize; ++y) {
    allowed[static_cast<std::size_t>(y)] = true;
    EXPECT_TRUE(rowHasInk(y));  // every QR row has a dark module
  }
  ASSERT_EQ(strip.cuts.size(), 1u);
  ASSERT_GE(strip.cuts[0], 0);
  ASSERT_LT(strip.cuts[0] + 1, height);
  for (int y = strip.cuts[0]; y < strip.cuts[0] + 3 && y < height; ++y)
    allowed[static_cast<std::size_t>(y)] = true;
  EXPECT_TRUE(rowHasInk(strip.cuts[0] + 1));
  for (int y = 0; y < height; ++y) {
    if (!allowed[static_cast<std::size_t>(y)]) {
      EXPECT_FALSE(rowHasInk(y)) << "ink at row " << y;
    }
  }
}

// `printer-sim --render` on the fixture files, and Debian's zbarimg reading
// the QR code back from the picture; a ticket without a QR link has none.
TEST(TicketView, RenderedQrCodeDecodesBackToTheLink) {
  const struct {
    const char* fixture;
    const char* link;  // "" for none
  } cases[] = {
      {"e2e-ticket.hex", "https://korvante.vn/q?s=7"},
      {"default-ticket.hex", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const std::string png = TempPath(std::string(c.fixture) + ".png");
    std::remove(png.c_str());
    const Ran render = Shell(std::string(KV_PRINTER_SIM) + " --render " + FixturePath(c.fixture) +
                             " --hex --out " + png + " --date 2026-12-07");
    ASSERT_EQ(render.status, 0) << render.output;
    EXPECT_NE(render.output.find("ticket 1 "), std::string::npos) << render.output;
    EXPECT_NE(render.output.find("line 0 48 A 2x2"), std::string::npos) << render.output;
    const Ran scan = Shell(std::string(KV_ZBARIMG) + " --raw -q " + png + " 2>/dev/null");
    if (*c.link != '\0') {
      EXPECT_EQ(scan.status, 0);
      EXPECT_EQ(scan.output, std::string(c.link) + "\n");
    } else {
      EXPECT_NE(scan.status, 0) << "zbarimg found a code: " << scan.output;
      EXPECT_EQ(scan.output, "");
    }
  }
}

// Settings alone store no ticket: the settings become a card, no picture is
// drawn, and --render writes no file.
TEST(TicketView, SettingsOnlyAndEnableClearedRenderNoTicket) {
  const struct {
    const char* fixture;
    const char* card;
  } cases[] = {
      {"settings-only.hex", "queue numbers on, 1 copy, date 2026-12-07"},
      {"enable-cleared.hex", "queue numbers off, 1 copy, date 2026-12-07"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const StreamResult result = Print(Fixture(c.fixture));
    EXPECT_TRUE(result.printouts.empty());
    ASSERT_EQ(result.cards.size(), 1u);
    EXPECT_EQ(result.cards[0].title, "Queue settings");
    EXPECT_EQ(result.cards[0].text, c.card);

    const std::string png = TempPath(std::string(c.fixture) + ".png");
    std::remove(png.c_str());
    const Ran render = Shell(std::string(KV_PRINTER_SIM) + " --render " + FixturePath(c.fixture) +
                             " --hex --out " + png);
    EXPECT_EQ(render.status, 0);
    EXPECT_NE(render.output.find("no ticket"), std::string::npos) << render.output;
    EXPECT_FALSE(std::ifstream(png).good());
  }
}

// TCP delivers a transmission in pieces of any size: the ticket is the same
// whichever byte a piece ends at, and a connection that ends before "@end"
// stores none.
TEST(TicketView, TicketDoesNotDependOnHowTheBytesArrive) {
  const Bytes bytes = Fixture("e2e-ticket.hex");
  const PrintedStrip whole = Print(bytes).printouts.at(0).strip;
  PrintStream stream;
  std::vector<Printout> printouts;
  for (std::uint8_t b : bytes) {
    StreamResult piece = stream.Feed(Bytes{b}, k7December2026);
    for (auto& p : piece.printouts) printouts.push_back(std::move(p));
  }
  EXPECT_TRUE(stream.Close(k7December2026).printouts.empty());
  ASSERT_EQ(printouts.size(), 1u);
  const PrintedStrip& bytewise = printouts[0].strip;
  ASSERT_EQ(bytewise.lines.size(), whole.lines.size());
  for (std::size_t i = 0; i < whole.lines.size(); ++i) {
    EXPECT_EQ(bytewise.lines[i].text, whole.lines[i].text);
    EXPECT_EQ(bytewise.lines[i].top, whole.lines[i].top);
  }
  EXPECT_EQ(bytewise.height, whole.height);
  ASSERT_EQ(bytewise.qrCodes.size(), 1u);
  EXPECT_EQ(bytewise.qrCodes[0].data, whole.qrCodes[0].data);

  const StreamResult cut = Print(Bytes(bytes.begin(), bytes.end() - 2));  // "@e"
  EXPECT_TRUE(cut.printouts.empty());
  ASSERT_FALSE(cut.cards.empty());
  EXPECT_EQ(cut.cards.back().title, "Ticket program not stored");
}

// "@cnt" and "@date" are filled in only when a stored program is printed.
TEST(TicketView, PlaceholdersAreFilledInOnlyInAStoredProgram) {
  const StreamResult direct = Print(HexBytes("40 63 6E 74 0A"));
  ASSERT_EQ(direct.printouts.size(), 1u);
  EXPECT_FALSE(direct.printouts[0].ticket);
  ASSERT_EQ(direct.printouts[0].strip.lines.size(), 1u);
  EXPECT_EQ(direct.printouts[0].strip.lines[0].text, "@cnt");

  const StreamResult stored =
      Print(HexBytes("1F 1B 1F 84 05 01 40 63 6E 74 0A 40 64 61 74 65 0A"
                     " 40 65 6E 64"));
  ASSERT_EQ(stored.printouts.size(), 1u);
  EXPECT_TRUE(stored.printouts[0].ticket);
  ASSERT_EQ(stored.printouts[0].strip.lines.size(), 2u);
  EXPECT_EQ(stored.printouts[0].strip.lines[0].text, "001");
  EXPECT_EQ(stored.printouts[0].strip.lines[1].text, "07/12/2026");
}

// The index page beside the journal lists the events in time order, and a
// ticket's picture next to the data that stored it; pictures of an earlier
// run are gone.
TEST(TicketView, IndexPageListsEventsAndShowsTheTicketPicture) {
  const std::string journal = TempPath("journal-100.log");
  const std::string page = IndexPathFor(journal);
  EXPECT_EQ(page, TempPath("journal-100.html"));
  const std::string picture = PicturePathFor(page, true, 1);
  EXPECT_EQ(picture, TempPath("journal-100-ticket-001.png"));
  std::remove(picture.c_str());
  const std::string stale = PicturePathFor(page, true, 2);  // an earlier run's
  std::ofstream(stale) << "old";
  const Bytes bytes = Fixture("e2e-ticket.hex");
  const std::span<const std::uint8_t> all(bytes);
  {
    VirtualPrinter printer(page, "Simulated printer 192.168.77.100");
    ASSERT_TRUE(printer.ok());
    printer.Record(
        {0.5, "udp", "192.168.77.2:9000", "hex=58 50 | XP0001FIND -> reply normal", -1, {}});
    printer.Record({1.0, "tcp-connect", "192.168.77.2:50000", "", 7, {}});
    printer.Record(
        {1.1, "tcp-data", "192.168.77.2:50000", "hex=.. | 100 other bytes", 7, all.first(100)});
    printer.Record(
        {1.2, "tcp-data", "192.168.77.2:50000", "hex=.. | 213 other bytes", 7, all.subspan(100)});
    printer.Record({1.3, "tcp-close", "192.168.77.2:50000", "total=313 hex=..", 7, {}});
    printer.Record({2.0,
                    "udp",
                    "192.168.77.2:9000",
                    "hex=.. | XP0001SAVE mac 00-1A-2B-3C-4D-5E ip 192.168.77.101 -> moved",
                    -1,
                    {}});
  }
  const std::string html = ReadFile(page);
  const std::size_t udp = html.find("XP0001FIND");
  const std::size_t settings = html.find("Queue settings");
  const std::size_t image = html.find("<img src=\"journal-100-ticket-001.png\"");
  const std::size_t close = html.find("tcp-close");
  ASSERT_NE(udp, std::string::npos);
  ASSERT_NE(settings, std::string::npos);
  ASSERT_NE(image, std::string::npos) << html;
  ASSERT_NE(close, std::string::npos);
  EXPECT_LT(udp, settings);
  EXPECT_LT(settings, image);
  EXPECT_LT(image, close);
  EXPECT_NE(html.find("<b>Network settings by broadcast</b>: XP0001SAVE mac 00-1A-2B-3C-4D-5E"),
            std::string::npos);
  EXPECT_EQ(html.find("journal-100-ticket-002"), std::string::npos);
  EXPECT_FALSE(std::ifstream(stale).good());
  EXPECT_EQ(ReadFile(picture).substr(1, 3), "PNG");
  EXPECT_NE(html.find("Vui Lòng Chờ Tới Lượt"), std::string::npos);
}

}  // namespace
}  // namespace korvante::sim
