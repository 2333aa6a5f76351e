#include "tools/printer-lab/printer-sim/print_stream.h"

namespace korvante::sim {
namespace {

// A connection that never prints keeps its modes in a list this long at most.
constexpr std::size_t kMaxDirectCommands = 4096;

// The cards of the settings commands; "" for every other command.
std::string CardTitle(const Command& c) {
  if (c.op != Op::kProprietary) return {};
  switch (c.n) {
    case 0x22:
      return "LAN address";
    case 0xB4:
      return "WiFi settings";
    case 0x13:
      return "Density";
    case 0xE0:
      return "Buzzer";
    case 0x84:
      return c.data.at(0) == 0x01 ? "Queue settings" : "";
    default:
      return {};
  }
}

// Commands that put something on paper or move it, outside a stored program.
bool Prints(const Command& c) {
  switch (c.op) {
    case Op::kText:
    case Op::kPlaceholder:
    case Op::kLineFeed:
    case Op::kFeedLines:
    case Op::kFeedDots:
    case Op::kPrinterFeed:
    case Op::kCut:
      return true;
    case Op::kQr:
      return c.n == 0x51;
    default:
      return false;
  }
}

}  // namespace

StreamResult PrintStream::Feed(std::span<const std::uint8_t> bytes,
                               const LayoutSettings& settings) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  StreamResult out;
  std::size_t at = 0;
  while (at < pending_.size()) {
    Command command;
    if (!ReadCommand(std::span(pending_).subspan(at), false, command)) break;
    at += command.length;
    Take(std::move(command), settings, out);
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
  return out;
}

StreamResult PrintStream::Close(const LayoutSettings& settings) {
  StreamResult out;
  for (Command& command : ReadCommands(pending_)) Take(std::move(command), settings, out);
  pending_.clear();
  if (inProgram_) {
    std::size_t bytes = 0;
    for (const Command& c : program_) bytes += c.length;
    out.cards.push_back(
        {"Ticket program not stored", "the connection ended " + std::to_string(bytes) +
                                          " bytes after the program's start, before \"@end\""});
    inProgram_ = false;
    program_.clear();
  }
  FinishDirect(settings, out);
  return out;
}

StreamResult ReadWholeStream(std::span<const std::uint8_t> bytes, const LayoutSettings& settings) {
  PrintStream stream;
  StreamResult result = stream.Feed(bytes, settings);
  StreamResult rest = stream.Close(settings);
  for (auto& c : rest.commands) result.commands.push_back(std::move(c));
  for (auto& c : rest.cards) result.cards.push_back(std::move(c));
  for (auto& p : rest.printouts) result.printouts.push_back(std::move(p));
  return result;
}

void PrintStream::Take(Command command, const LayoutSettings& settings, StreamResult& out) {
  // Outside a stored program a placeholder is only its letters.
  if (!inProgram_ && command.op == Op::kPlaceholder) {
    command.op = Op::kText;
    command.data.assign(command.name.begin(), command.name.end());
    command.name = "text";
  }
  out.commands.push_back(command);
  if (inProgram_) {
    const bool ends = command.op == Op::kPlaceholder && command.name == "@end";
    program_.push_back(std::move(command));
    if (ends) {
      out.printouts.push_back({true, LayOut(program_, settings)});
      program_.clear();
      inProgram_ = false;
    }
    return;
  }
  if (StartsProgram(command)) {
    FinishDirect(settings, out);
    inProgram_ = true;
    program_.push_back(std::move(command));
    return;
  }
  const std::string title = CardTitle(command);
  if (!title.empty()) out.cards.push_back({title, Meaning(command)});
  // Settings and status requests are the cards' and the command list's, not
  // the paper's.
  if (command.op == Op::kProprietary || command.op == Op::kStatusRequest ||
      command.op == Op::kFramed)
    return;
  const bool cut = command.op == Op::kCut;
  direct_.push_back(std::move(command));
  if (cut || direct_.size() >= kMaxDirectCommands) FinishDirect(settings, out);
}

// What was printed at once since the last printout: a picture when it put
// ink on the paper, a card when it only fed paper, nothing otherwise.
void PrintStream::FinishDirect(const LayoutSettings& settings, StreamResult& out) {
  bool prints = false;
  for (const Command& c : direct_) prints = prints || Prints(c);
  if (prints) {
    PrintedStrip strip = LayOut(direct_, settings);
    if (strip.HasInk()) {
      out.printouts.push_back({false, std::move(strip)});
    } else if (strip.height > 0 || !strip.cuts.empty()) {
      out.cards.push_back({"Blank printout", "nothing printed, paper fed " +
                                                 std::to_string(strip.height) + " dots" +
                                                 (strip.cuts.empty() ? "" : ", then cut")});
    }
  }
  direct_.clear();
}

}  // namespace korvante::sim
