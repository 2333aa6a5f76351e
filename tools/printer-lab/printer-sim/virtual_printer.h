// A simulated printer's visible record: an HTML index page that lists, in time
// order, every datagram, connection and command the printer received with its
// reading, the settings it took as cards, and a PNG picture of every ticket
// program it stored and every printout. The page and the pictures are written
// as the events come, so a page read at any time is whole up to that point.
#pragma once

#include <cstdio>
#include <map>
#include <span>
#include <string>

#include "tools/printer-lab/printer-sim/print_stream.h"

namespace korvante::sim {

// One journal line: what happened, who sent it and the journal's reading of
// it ("hex=... | reading"). TCP events carry their connection's socket;
// tcp-data its bytes.
struct JournalEvent {
  double time = 0;
  std::string what;  // "udp", "tcp-connect", "tcp-data", "tcp-close", "start", ...
  std::string peer;
  std::string line;
  int connection = -1;
  std::span<const std::uint8_t> data;
};

// The index page that belongs to a journal: "DIR/journal-100.log" gives
// "DIR/journal-100.html".
std::string IndexPathFor(const std::string& journalPath);

// The pictures beside a page, numbered from 1: "DIR/journal-100.html" gives
// "DIR/journal-100-ticket-001.png" for a stored ticket, "-print-001.png" for a
// printout.
std::string PicturePathFor(const std::string& indexPath, bool ticket, int number);

class VirtualPrinter {
 public:
  VirtualPrinter(std::string indexPath, const std::string& title);
  ~VirtualPrinter();
  VirtualPrinter(const VirtualPrinter&) = delete;
  VirtualPrinter& operator=(const VirtualPrinter&) = delete;

  bool ok() const { return page_ != nullptr; }
  void Record(const JournalEvent& event);

 private:
  std::string Pictures(const StreamResult& result);

  std::string indexPath_;
  std::FILE* page_ = nullptr;
  std::map<int, PrintStream> connections_;
  int tickets_ = 0;
  int printouts_ = 0;
};

// One line of a printed row for reports: "line 312 85 B 6x5 italic underline | Xin chào".
std::string LineReport(const PrintedLine& line);

}  // namespace korvante::sim
