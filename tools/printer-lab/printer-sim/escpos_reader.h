// The printer's reading of what it receives on its print port: the byte
// stream cut into commands, each with a short name and a readable meaning.
// Portable: the simulator's ticket pictures, its index page and its tests
// build on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvante::sim {

using Bytes = std::vector<std::uint8_t>;

enum class Op : std::uint8_t {
  kText,              // printable bytes, in `data`
  kPlaceholder,       // "@cnt", "@date" or "@end"; `name` holds it
  kLineFeed,          // LF: print the line and feed one line
  kCarriageReturn,    // CR: ignored
  kInitialize,        // ESC @
  kFeedLines,         // ESC d n
  kFeedDots,          // ESC J n
  kPrinterFeed,       // ESC j n: the printer's own feed
  kJustify,           // ESC a n
  kFont,              // ESC M n
  kBold,              // ESC E n
  kUnderline,         // ESC - n
  kItalic,            // ESC 4 (n = 1) and ESC 5 (n = 0)
  kPrintMode,         // ESC ! n
  kCharacterSize,     // GS ! n
  kCut,               // GS V m [n]; n = m
  kCancelDoubleByte,  // FS .
  kDoubleByte,        // FS &
  kCodeTable,         // ESC t n
  kQr,                // GS ( k, QR code (cn 0x31): n = fn, `data` = the bytes after fn
  kFramed,            // another GS ( x command, skipped whole; n = x, `data` = its parameters
  kStatusRequest,     // DLE EOT n, answered at once, never printed
  kProprietary,       // US ESC US fn ...: n = fn, `data` = the bytes after fn
  kOther,             // a known command that does not change the print; `name` says which
  kUnknown,           // a control byte that begins no known command
  kTruncated,         // the stream ended inside a command
};

struct Command {
  Op op = Op::kUnknown;
  std::size_t length = 0;  // bytes the command takes in the stream
  int n = 0;               // its parameter, when it has one
  Bytes data;
  std::string name;  // the mnemonic, e.g. "ESC J 48"
};

// Reads the command at the start of `bytes` (which must not be empty). False
// when the bytes end inside a command and more may follow; with `final` set
// such a tail is returned as one kTruncated command instead.
bool ReadCommand(std::span<const std::uint8_t> bytes, bool final, Command& out);

// Every whole command of `bytes`; a tail cut short is one kTruncated command.
std::vector<Command> ReadCommands(std::span<const std::uint8_t> bytes);

// What the command asks of the printer, in a few words.
std::string Meaning(const Command& command);

// The proprietary functions that store a ticket program: it runs from the
// first of them to the placeholder "@end".
bool StartsProgram(const Command& command);

}  // namespace korvante::sim
