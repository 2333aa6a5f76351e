#include "tools/printer-lab/printer-sim/virtual_printer.h"

#include <glob.h>

#include <utility>

#include "tools/printer-lab/printer-sim/ticket_render.h"

namespace korvante::sim {
namespace {

constexpr const char* kPageHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>%s</title>
<style>
body { font: 14px/1.4 sans-serif; margin: 1.5em; color: #222; background: #f4f4f2; }
section { background: #fff; border: 1px solid #ddd; margin: 0 0 6px; padding: 4px 8px; }
.head .t { color: #777; display: inline-block; min-width: 5em; }
.head b { display: inline-block; min-width: 7em; }
code, pre { font: 12px monospace; }
pre { white-space: pre-wrap; word-break: break-all; margin: 2px 0; }
ol.commands { margin: 4px 0; padding-left: 2em; }
ol.commands code { display: inline-block; min-width: 11em; }
.card { display: inline-block; background: #eef5ff; border: 1px solid #b8cfee; border-radius: 4px;
        padding: 4px 10px; margin: 4px 6px 4px 0; }
figure { display: flex; gap: 16px; align-items: flex-start; margin: 8px 0; }
figure img { border: 1px solid #bbb; box-shadow: 2px 2px 6px #aaa; background: #fff; }
figcaption ol { font: 12px monospace; padding-left: 1.5em; }
.notes { color: #8a4b00; }
</style>
</head>
<body>
<h1>%s</h1>
<p>Everything this simulated printer received, in time order: each datagram, connection and
command with its reading, the settings it took as cards, and a picture of each ticket it stored
and each printout as an 80 mm printer prints it (576 dots wide).</p>
)";

std::string Basename(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* FontName(int font) { return font == 1 ? "B" : "A"; }

// Text bytes as ASCII, every other byte as \xNN: their letters depend on the
// code table, which the picture's lines show.
std::string Printable(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F) {
      text += static_cast<char>(b);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      text += escaped;
    }
  }
  return text;
}

// Escapes text for HTML.
std::string Html(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string IndexPathFor(const std::string& journalPath) {
  const std::size_t dot = journalPath.rfind('.');
  const std::size_t slash = journalPath.rfind('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? journalPath.substr(0, dot) : journalPath) + ".html";
}

std::string PicturePathFor(const std::string& indexPath, bool ticket, int number) {
  std::string stem = indexPath;
  if (stem.size() > 5 && stem.compare(stem.size() - 5, 5, ".html") == 0)
    stem.resize(stem.size() - 5);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "-%s-%03d.png", ticket ? "ticket" : "print", number);
  return stem + suffix;
}

std::string LineReport(const PrintedLine& line) {
  std::string report = "line " + std::to_string(line.top) + " " + std::to_string(line.height);
  if (!line.characters.empty()) {
    const CharacterStyle& s = line.characters.front().style;
    report += std::string(" ") + FontName(s.font) + " " + std::to_string(s.width) + "x" +
              std::to_string(s.height) + (s.bold ? " bold" : "") + (s.italic ? " italic" : "") +
              (s.underline ? " underline" : "");
  }
  return report + " | " + line.text;
}

VirtualPrinter::VirtualPrinter(std::string indexPath, const std::string& title)
    : indexPath_(std::move(indexPath)) {
  // The pictures of an earlier run of this page would be shown as this one's.
  for (const bool ticket : {true, false}) {
    std::string pattern = PicturePathFor(indexPath_, ticket, 0);
    pattern.replace(pattern.size() - 7, 3, "[0-9][0-9][0-9]*");
    glob_t found{};
    if (glob(pattern.c_str(), 0, nullptr, &found) == 0) {
      for (std::size_t i = 0; i < found.gl_pathc; ++i) std::remove(found.gl_pathv[i]);
    }
    globfree(&found);
  }
  page_ = std::fopen(indexPath_.c_str(), "w");
  if (page_ == nullptr) return;
  const std::string escaped = Html(title);
  std::fprintf(page_, kPageHead, escaped.c_str(), escaped.c_str());
  std::fflush(page_);
}

VirtualPrinter::~VirtualPrinter() {
  if (page_ == nullptr) return;
  std::fputs("</body>\n</html>\n", page_);
  std::fclose(page_);
}

// Draws the printouts of a result and returns their figures and cards.
std::string VirtualPrinter::Pictures(const StreamResult& result) {
  std::string html;
  for (const Card& card : result.cards) {
    html += "<div class=\"card\"><b>" + Html(card.title) + "</b>: " + Html(card.text) + "</div>\n";
  }
  for (const Printout& printout : result.printouts) {
    const int number = printout.ticket ? ++tickets_ : ++printouts_;
    const std::string path = PicturePathFor(indexPath_, printout.ticket, number);
    std::string error;
    const std::string label =
        std::string(printout.ticket ? "Ticket " : "Printout ") + std::to_string(number);
    html += "<figure>";
    if (WriteTicketPng(printout.strip, path, error)) {
      html += "<img src=\"" + Html(Basename(path)) + "\" alt=\"" + label + "\">";
    } else {
      html += "<div class=\"card\"><b>No picture</b>: " + Html(error) + "</div>";
    }
    html += "<figcaption><b>" + label + "</b>, " + std::to_string(printout.strip.height) +
            " dots long<ol>";
    for (const PrintedLine& line : printout.strip.lines)
      html += "<li>" + Html(LineReport(line)) + "</li>";
    for (const PrintedQr& qr : printout.strip.qrCodes) {
      html += "<li>QR at " + std::to_string(qr.top) + ", " + std::to_string(qr.modules) +
              " modules of " + std::to_string(qr.moduleSize) + " dots, level " + qr.level + ": " +
              Html(qr.data) + "</li>";
    }
    for (int cut : printout.strip.cuts) html += "<li>cut at " + std::to_string(cut) + "</li>";
    html += "</ol>";
    if (!printout.strip.notes.empty()) {
      html += "<ul class=\"notes\">";
      for (const std::string& note : printout.strip.notes) html += "<li>" + Html(note) + "</li>";
      html += "</ul>";
    }
    html += "</figcaption></figure>\n";
  }
  return html;
}

void VirtualPrinter::Record(const JournalEvent& e) {
  if (page_ == nullptr) return;
  const LayoutSettings settings{LocalToday(), "001"};
  StreamResult result;
  if (e.what == "tcp-connect") connections_.erase(e.connection);
  if (e.what == "tcp-data") result = connections_[e.connection].Feed(e.data, settings);
  if (e.what == "tcp-close") {
    const auto at = connections_.find(e.connection);
    if (at != connections_.end()) {
      result = at->second.Close(settings);
      connections_.erase(at);
    }
  }
  const std::size_t save = e.line.find("| XP0001SAVE ");
  if (e.what == "udp" && save != std::string::npos)
    result.cards.push_back({"Network settings by broadcast", e.line.substr(save + 2)});

  // The journal line: "hex=... | reading", "total=N hex=...", or a reading alone.
  std::string reading = e.line;
  std::string hex;
  const std::size_t at = e.line.find("hex=");
  if (at != std::string::npos) {
    const std::size_t bar = e.line.find(" | ", at);
    hex = e.line.substr(at + 4, bar == std::string::npos ? std::string::npos : bar - at - 4);
    reading = e.line.substr(0, at) + (bar == std::string::npos ? "" : e.line.substr(bar + 3));
  }
  char time[32];
  std::snprintf(time, sizeof time, "%.3f", e.time);
  std::string html = "<section class=\"" + Html(e.what) +
                     "\"><div class=\"head\"><span class=\"t\">" + time + "</span> <b>" +
                     Html(e.what) + "</b> " + Html(e.peer) + " " + Html(reading) + "</div>\n";
  if (!hex.empty()) {
    const std::size_t bytes = (hex.size() + 1) / 3;
    html += "<details><summary>" + std::to_string(bytes) + " bytes</summary><pre>" + Html(hex) +
            "</pre></details>\n";
  }
  if (!result.commands.empty()) {
    const bool open = result.commands.size() <= 12;
    html += std::string("<details") + (open ? " open" : "") + "><summary>" +
            std::to_string(result.commands.size()) +
            (result.commands.size() == 1 ? " command" : " commands") +
            "</summary><ol class=\"commands\">";
    for (const Command& c : result.commands) {
      std::string name = c.name;
      if (c.op == Op::kText) name = "text \"" + Printable(c.data) + "\"";
      html += "<li><code>" + Html(name) + "</code> " + Html(Meaning(c)) + "</li>";
    }
    html += "</ol></details>\n";
  }
  html += Pictures(result);
  html += "</section>\n";
  std::fputs(html.c_str(), page_);
  std::fflush(page_);
}

}  // namespace korvante::sim
