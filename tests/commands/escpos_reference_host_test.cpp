// The tool's ESC/POS bytes against two encoders that no one here wrote
// (tests/commands/escpos-reference, installed by tools/install-deps.sh). Only
// commands that both define are compared; the printers' own choices (ESC a
// instead of padding, ESC t 27, the proprietary commands) are not theirs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/queue_ticket.h"
#include "commands/ticket_sizes.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

constexpr const char* kEncoder = "receipt-printer-encoder";
constexpr const char* kThermal = "node-thermal-printer";

// case -> library -> printed hex ("absent" when the library emitted nothing).
using ReferenceOutput = std::map<std::string, std::map<std::string, std::string>>;

ReferenceOutput RunReference(const std::vector<std::string>& cases) {
  std::string command =
      std::string("'") + KV_NODE_EXECUTABLE + "' '" + KV_ESCPOS_REFERENCE_SCRIPT + "'";
  for (const auto& c : cases) command += " '" + c + "'";  // no case holds a quote
  command += " 2>&1";
  ReferenceOutput out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::string text;
  std::array<char, 4096> chunk;
  while (std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe.get()))
    text.append(chunk.data(), n);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto tab1 = line.find('\t');
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab1 == std::string::npos || tab2 == std::string::npos) {
      ADD_FAILURE() << "reference script said: " << line
                    << " (are its packages installed? bash tools/install-deps.sh)";
      continue;
    }
    out[line.substr(0, tab1)][line.substr(tab1 + 1, tab2 - tab1 - 1)] = line.substr(tab2 + 1);
  }
  return out;
}

// Checks each library's bytes for one case against the tool's.
void ExpectSame(const ReferenceOutput& reference, const std::string& name,
                const CommandBuffer& tool, std::initializer_list<const char*> libraries) {
  const auto found = reference.find(name);
  ASSERT_NE(found, reference.end()) << name << ": no output from the reference script";
  for (const char* library : libraries) {
    const auto bytesOf = found->second.find(library);
    ASSERT_NE(bytesOf, found->second.end()) << name << ": " << library << " not reported";
    ASSERT_NE(bytesOf->second, "absent") << name << ": " << library << " emitted no command";
    EXPECT_EQ(tool, HexBytes(bytesOf->second)) << name << " against " << library;
  }
}

// Multipliers of each text level at width levels 1 (narrow), 2, 3 (wide).
struct TextSize {
  int level;
  int height;
  int narrow;
  int normal;
  int wide;
};
constexpr TextSize kTextSizes[] = {
    {1, 1, 1, 1, 2}, {2, 1, 1, 1, 2}, {3, 1, 1, 1, 2}, {4, 2, 1, 2, 3}, {5, 2, 1, 2, 3},
    {6, 2, 1, 2, 3}, {7, 3, 2, 3, 4}, {8, 4, 3, 4, 5}, {9, 5, 4, 5, 6},
};
// The queue number's multiplier (width equals height) per counter level.
constexpr int kCounterMultiplier[] = {4, 3, 4, 5, 6, 8};

std::string SizeCase(int width, int height) {
  return "size:" + std::to_string(width) + ":" + std::to_string(height);
}

std::vector<std::string> QrLinks() {
  std::vector<std::string> links = {"https://example.com/q", "https://korvante.vn/xep-hang?id=12"};
  // pL alone up to 252 bytes of data; pH set from 253 on.
  for (std::size_t length : {252u, 253u, 300u, 700u}) {
    std::string link = "https://example.com/ticket?ref=";
    for (std::size_t i = 0; link.size() < length; ++i) link += static_cast<char>('a' + i % 26);
    links.push_back(link);
  }
  return links;
}

TEST(EscPosReference, SameBytesAsIndependentEncoders) {
  std::vector<std::string> cases = {"cut"};
  for (const auto& size : kTextSizes) {
    for (int width : {size.narrow, size.normal, size.wide})
      cases.push_back(SizeCase(width, size.height));
  }
  for (int m : kCounterMultiplier) cases.push_back(SizeCase(m, m));
  for (const auto& link : QrLinks()) cases.push_back("qr:" + link);
  const ReferenceOutput reference = RunReference(cases);
  ASSERT_FALSE(reference.empty()) << "the reference script printed nothing";

  // GS ! of every line size: the bytes after ESC M f.
  for (const auto& size : kTextSizes) {
    const int widths[] = {size.narrow, size.normal, size.wide};
    for (int widthLevel = 1; widthLevel <= 3; ++widthLevel) {
      CommandBuffer line;
      RenderQueueLine(line, TicketLine{u"A", size.level, widthLevel});
      const int width = widths[widthLevel - 1];
      const CommandBuffer tool(line.begin() + 3, line.begin() + 6);
      if (width == size.height) {
        ExpectSame(reference, SizeCase(width, size.height), tool, {kEncoder, kThermal});
      } else {
        ExpectSame(reference, SizeCase(width, size.height), tool, {kEncoder});
      }
    }
  }

  // GS ! of the queue number: the bytes after ESC M f ESC E 0.
  for (int level = 1; level <= 6; ++level) {
    CommandBuffer style;
    AppendCounterStyle(style, level);
    const int m = kCounterMultiplier[level - 1];
    ExpectSame(reference, SizeCase(m, m), CommandBuffer(style.begin() + 6, style.begin() + 9),
               {kEncoder, kThermal});
  }

  // Module size, error correction, store with pL pH, print: the QR block
  // without the line feeds the ticket puts around it.
  for (const auto& link : QrLinks()) {
    CommandBuffer block;
    ASSERT_TRUE(AppendQrCode(block, link));
    ExpectSame(reference, "qr:" + link, CommandBuffer(block.begin() + 1, block.end() - 1),
               {kEncoder, kThermal});
  }

  // GS V 0 as the ticket program sends it, after ESC J 255.
  QueueTicketInput ticket;
  ticket.editorShown = true;
  const auto program = BuildQueueTransmission(ticket);
  ASSERT_TRUE(program);
  const CommandBuffer feed = HexBytes("1B 4A FF");
  const auto at = std::search(program->begin(), program->end(), feed.begin(), feed.end());
  ASSERT_NE(at, program->end());
  ExpectSame(reference, "cut", CommandBuffer(at + 3, at + 6), {kEncoder, kThermal});
}

}  // namespace
}  // namespace korvante
