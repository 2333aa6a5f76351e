#include "tools/printer-lab/printer-sim/render_file.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/printer-lab/printer-sim/print_stream.h"
#include "tools/printer-lab/printer-sim/ticket_render.h"
#include "tools/printer-lab/printer-sim/virtual_printer.h"

namespace korvante::sim {

bool ParseHexText(const std::string& text, Bytes& out) {
  std::string digits;
  bool comment = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') comment = false;
    if (comment) continue;
    if (c == '#' || c == '|') {
      comment = true;
    } else if (text.compare(i, 4, "hex=") == 0) {
      i += 3;
    } else if (std::isxdigit(static_cast<unsigned char>(c))) {
      digits += c;
    } else if (!std::isspace(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  if (digits.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < digits.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return true;
}

namespace {

constexpr const char* kUsage =
    "usage: printer-sim --render FILE [--hex] [--out PNG] [--date YYYY-MM-DD]\n";

// The first picture takes the name given, the next ones "-2", "-3" before ".png".
std::string NthPath(const std::string& out, int n) {
  if (n == 1) return out;
  const bool png = out.size() > 4 && out.compare(out.size() - 4, 4, ".png") == 0;
  const std::string stem = png ? out.substr(0, out.size() - 4) : out;
  return stem + "-" + std::to_string(n) + (png ? ".png" : "");
}

}  // namespace

int RenderFileCommand(int argc, char** argv) {
  std::string file, out;
  bool hex = false;
  LayoutSettings settings{LocalToday(), "001"};
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--hex") {
      hex = true;
    } else if (arg == "--out" && hasValue) {
      out = argv[++i];
    } else if (arg == "--date" && hasValue) {
      CalendarDay& d = settings.today;
      if (std::sscanf(argv[++i], "%d-%d-%d", &d.year, &d.month, &d.day) != 3) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (file.empty() && arg.rfind("--", 0) != 0) {
      file = arg;
    } else {
      std::fprintf(stderr, "printer-sim: unknown or incomplete option %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (file.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "printer-sim: cannot read %s\n", file.c_str());
    return 1;
  }
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Bytes bytes(content.begin(), content.end());
  if (hex) {
    bytes.clear();
    if (!ParseHexText(content, bytes)) {
      std::fprintf(stderr, "printer-sim: %s is not hex text\n", file.c_str());
      return 1;
    }
  }

  const StreamResult result = ReadWholeStream(bytes, settings);

  for (const Command& c : result.commands)
    std::printf("command %s | %s\n", c.name.c_str(), Meaning(c).c_str());
  for (const Card& card : result.cards)
    std::printf("card %s | %s\n", card.title.c_str(), card.text.c_str());
  if (result.printouts.empty()) std::printf("no ticket\n");
  int number = 0;
  int failures = 0;
  for (const Printout& p : result.printouts) {
    ++number;
    std::string path;
    if (!out.empty()) {
      path = NthPath(out, number);
      std::string error;
      if (!WriteTicketPng(p.strip, path, error)) {
        std::fprintf(stderr, "printer-sim: %s\n", error.c_str());
        ++failures;
        path.clear();
      }
    }
    std::printf("%s %d %d dots%s%s\n", p.ticket ? "ticket" : "printout", number, p.strip.height,
                path.empty() ? "" : " -> ", path.c_str());
    for (const PrintedLine& line : p.strip.lines) std::printf("%s\n", LineReport(line).c_str());
    for (const PrintedQr& qr : p.strip.qrCodes) {
      std::printf("qr %d %d module %d level %c | %s\n", qr.top, qr.modules * qr.moduleSize,
                  qr.moduleSize, qr.level, qr.data.c_str());
    }
    for (int cut : p.strip.cuts) std::printf("cut %d\n", cut);
    for (const std::string& note : p.strip.notes) std::printf("note %s\n", note.c_str());
  }
  return failures ? 1 : 0;
}

}  // namespace korvante::sim
