// What a printer makes of one connection's byte stream, as the bytes come:
// its commands once each is whole, a card for each setting it is sent, the
// stored ticket programs (from their start to "@end") and whatever it is
// asked to print at once. Portable; the index page and `--render` use it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "tools/printer-lab/printer-sim/escpos_reader.h"
#include "tools/printer-lab/printer-sim/ticket_layout.h"

namespace korvante::sim {

// A setting the printer took, in a few words: "Density" / "print density 3".
struct Card {
  std::string title;
  std::string text;
};

struct Printout {
  bool ticket = false;  // a stored ticket program; else printed at once
  PrintedStrip strip;
};

struct StreamResult {
  std::vector<Command> commands;
  std::vector<Card> cards;
  std::vector<Printout> printouts;
};

class PrintStream {
 public:
  // The whole commands of `bytes` and what they completed; a command cut at
  // the end waits for the next bytes.
  StreamResult Feed(std::span<const std::uint8_t> bytes, const LayoutSettings& settings);
  // The end of the stream: the rest is read as it is.
  StreamResult Close(const LayoutSettings& settings);

 private:
  void Take(Command command, const LayoutSettings& settings, StreamResult& out);
  void FinishDirect(const LayoutSettings& settings, StreamResult& out);

  Bytes pending_;
  bool inProgram_ = false;
  std::vector<Command> program_;
  std::vector<Command> direct_;
};

// What a whole stream, all its bytes at once, gives: Feed, then Close.
StreamResult ReadWholeStream(std::span<const std::uint8_t> bytes, const LayoutSettings& settings);

}  // namespace korvante::sim
