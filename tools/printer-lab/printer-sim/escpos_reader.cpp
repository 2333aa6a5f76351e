#include "tools/printer-lab/printer-sim/escpos_reader.h"

#include <string_view>

#include "tools/printer-lab/printer-sim/journal_text.h"

namespace korvante::sim {
namespace {

constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEot = 0x04;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kUs = 0x1F;

// The six capital letters that VISCII places among the C0 controls: text, not
// commands, for a printer that prints VISCII.
bool IsVisciiC0Letter(std::uint8_t b) {
  return b == 0x02 || b == 0x05 || b == 0x06 || b == 0x14 || b == 0x19 || b == 0x1E;
}
bool IsText(std::uint8_t b) { return b >= 0x20 || IsVisciiC0Letter(b); }

constexpr std::string_view kPlaceholders[] = {"@cnt", "@date", "@end"};

// The placeholder `bytes` begins with; "" when none. `partial` tells whether
// the bytes end inside what may still become one.
std::string_view PlaceholderAt(std::span<const std::uint8_t> bytes, bool& partial) {
  partial = false;
  for (std::string_view name : kPlaceholders) {
    const std::size_t n = std::min(name.size(), bytes.size());
    if (std::string_view(reinterpret_cast<const char*>(bytes.data()), n) != name.substr(0, n))
      continue;
    if (n == name.size()) return name;
    partial = true;
  }
  return {};
}

// Barcode data this long without its closing 00 is not barcode data.
constexpr std::size_t kMaxBarcodeData = 255;

// A WiFi command whose name and password have not ended by then never will.
constexpr std::size_t kMaxWifiCommand = 1024;

// Lengths of the proprietary functions: 1F 1B 1F fn and what follows. 0 when
// the bytes end before the length is known.
std::size_t ProprietaryLength(std::span<const std::uint8_t> b, bool& known) {
  known = true;
  switch (b[3]) {
    case 0x00:  // 1F 1B 1F 00 0A 00 01
    case 0xFF:  // 1F 1B 1F FF 1B 0A 00
      return 7;
    case 0x22:  // 1F 1B 1F 22 a b c d
      return 8;
    case 0x13:  // 1F 1B 1F 13 14 n
      return 6;
    case 0xE0:  // 1F 1B 1F E0 13 14 s 04 02 03
      return 10;
    case 0x84:
      if (b.size() < 5) return 0;
      if (b[4] == 0x01) return 13;  // queue settings
      if (b[4] == 0x05) return 6;   // 84 05 01
      if (b[4] == 0x02) return 5;   // 84 02
      known = false;
      return 5;
    case 0xB4: {  // 1F 1B 1F B4, IP, mask, gateway, 06, name, 00, password, 00
      std::size_t at = 17;
      for (int field = 0; field < 2; ++field) {
        while (at < b.size() && at < kMaxWifiCommand && b[at] != 0x00) ++at;
        if (at == kMaxWifiCommand) break;
        if (at >= b.size()) return 0;
        ++at;
      }
      if (at < kMaxWifiCommand) return at;
      known = false;  // no end: the name and password bytes are read as they come
      return 4;
    }
    default:
      known = false;
      return 4;
  }
}

// Bytes of parameters after ESC x, for the ESC commands a printer knows.
int EscParameters(std::uint8_t x) {
  switch (x) {
    case '@':
    case '2':
    case '4':
    case '5':
    case '<':
      return 0;
    case '!':
    case '-':
    case ' ':
    case '3':
    case 'a':
    case 'd':
    case 'e':
    case 'E':
    case 'G':
    case 'J':
    case 'j':
    case 'K':
    case 'M':
    case 'R':
    case 'r':
    case 't':
    case 'U':
    case 'V':
    case '{':
    case 'c':
      return 1;
    case '$':
    case '\\':
      return 2;
    case 'p':
      return 3;
    default:
      return -1;
  }
}

int GsParameters(std::uint8_t x) {
  switch (x) {
    case '!':
    case 'B':
    case 'b':
    case 'f':
    case 'H':
    case 'h':
    case 'I':
    case 'r':
    case 'w':
    case 'a':
      return 1;
    case 'L':
    case 'W':
    case '$':
      return 2;
    default:
      return -1;
  }
}

// The commands whose length their own bytes give: bit images, raster images,
// barcodes and tab stops. 0 when `b` begins with none of them; `more` when the
// bytes end before its length is known.
std::size_t VariableLength(std::span<const std::uint8_t> b, bool& more, std::string& name) {
  more = false;
  auto byteAt = [&](std::size_t i) -> int {
    if (i < b.size()) return b[i];
    more = true;
    return -1;
  };
  if (b[0] == kEsc && b.size() >= 2 && b[1] == '*') {  // ESC * m nL nH, columns
    name = "ESC * (bit image)";
    const int m = byteAt(2), nL = byteAt(3), nH = byteAt(4);
    if (more) return 0;
    return 5 + static_cast<std::size_t>(nL + 256 * nH) * (m <= 1 ? 1 : 3);
  }
  if (b[0] == kEsc && b.size() >= 2 && b[1] == 'D') {  // ESC D n1 ... NUL
    name = "ESC D (tab stops)";
    for (std::size_t i = 2; i < 2 + 33; ++i) {
      const int n = byteAt(i);
      if (more) return 0;
      if (n == 0) return i + 1;
    }
    return 2 + 33;
  }
  if (b[0] == kGs && b.size() >= 2 && b[1] == 'v') {  // GS v 0 m xL xH yL yH
    name = "GS v 0 (raster image)";
    if (byteAt(2) != '0') return 0;
    const int xL = byteAt(4), xH = byteAt(5), yL = byteAt(6), yH = byteAt(7);
    if (more) return 0;
    return 8 + static_cast<std::size_t>(xL + 256 * xH) * static_cast<std::size_t>(yL + 256 * yH);
  }
  if (b[0] == kGs && b.size() >= 2 && b[1] == 'k') {  // GS k m data NUL, or GS k m n data
    name = "GS k (barcode)";
    const int m = byteAt(2);
    if (more) return 0;
    if (m >= 65) {
      const int n = byteAt(3);
      return more ? 0 : 4 + static_cast<std::size_t>(n);
    }
    for (std::size_t i = 3; i < 3 + kMaxBarcodeData; ++i) {
      const int d = byteAt(i);
      if (more) return 0;
      if (d == 0) return i + 1;
    }
    return 3 + kMaxBarcodeData;
  }
  return 0;
}

}  // namespace

bool ReadCommand(std::span<const std::uint8_t> b, bool final, Command& out) {
  out = Command{};
  auto need = [&](std::size_t n) {
    if (b.size() >= n) return true;
    if (final) {
      out.op = Op::kTruncated;
      out.length = b.size();
      out.data.assign(b.begin(), b.end());
      out.name = "truncated";
    }
    return false;
  };
  auto take = [&](Op op, std::size_t length, std::string name, int n = 0) {
    out.op = op;
    out.length = length;
    out.n = n;
    out.name = std::move(name);
    return true;
  };
  const std::uint8_t first = b[0];

  if (first == '@') {
    bool partial = false;
    const std::string_view name = PlaceholderAt(b, partial);
    if (!name.empty()) return take(Op::kPlaceholder, name.size(), std::string(name));
    if (partial && !final) return false;
  }
  if (IsText(first)) {
    std::size_t n = 1;
    while (n < b.size() && IsText(b[n])) {
      bool partial = false;
      if (b[n] == '@' && (!PlaceholderAt(b.subspan(n), partial).empty() || (partial && !final)))
        break;
      ++n;
    }
    out.data.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    return take(Op::kText, n, "text");
  }
  if (first == kLf) return take(Op::kLineFeed, 1, "LF");
  if (first == kCr) return take(Op::kCarriageReturn, 1, "CR");

  if (first == kDle) {
    if (!need(2)) return false;
    if (b[1] == kEot) {
      if (!need(3)) return false;
      return take(Op::kStatusRequest, 3, "DLE EOT " + std::to_string(b[2]), b[2]);
    }
    return take(Op::kUnknown, 1, "DLE");
  }

  if (first == kUs) {
    if (!need(3)) return false;
    if (b[1] != kEsc || b[2] != kUs) return take(Op::kUnknown, 1, "US");
    if (!need(4)) return false;
    bool known = true;
    const std::size_t length = ProprietaryLength(b, known);
    if (length == 0) return need(b.size() + 1);  // its length is not known yet
    if (!need(length)) return false;
    out.data.assign(b.begin() + 4, b.begin() + static_cast<std::ptrdiff_t>(length));
    std::string name = "US ESC US " + HexText(b[3]);
    if (b[3] == 0x84 && length >= 5) name += " " + HexText(b[4]);
    if (!known) name += " (unknown)";
    return take(Op::kProprietary, length, name, b[3]);
  }

  if (first == kEsc || first == kGs) {
    bool more = false;
    std::string name;
    const std::size_t length = VariableLength(b, more, name);
    if (more) return need(b.size() + 1);
    if (length > 0) {
      if (!need(length)) return false;
      return take(Op::kOther, length, name + ", " + std::to_string(length) + " bytes");
    }
  }

  if (first == kEsc) {
    if (!need(2)) return false;
    const std::uint8_t x = b[1];
    const int parameters = EscParameters(x);
    if (parameters < 0) return take(Op::kUnknown, 2, "ESC " + HexText(x));
    if (!need(2 + static_cast<std::size_t>(parameters))) return false;
    const std::size_t length = 2 + static_cast<std::size_t>(parameters);
    const int n = parameters > 0 ? b[2] : 0;
    out.data.assign(b.begin() + 2, b.begin() + static_cast<std::ptrdiff_t>(length));
    const std::string name = std::string("ESC ") + static_cast<char>(x);
    const std::string withN = name + " " + std::to_string(n);
    switch (x) {
      case '@':
        return take(Op::kInitialize, length, name);
      case 'd':
        return take(Op::kFeedLines, length, withN, n);
      case 'J':
        return take(Op::kFeedDots, length, withN, n);
      case 'j':
        return take(Op::kPrinterFeed, length, withN, n);
      case 'a':
        return take(Op::kJustify, length, withN, n);
      case 'M':
        return take(Op::kFont, length, withN, n);
      case 'E':
        return take(Op::kBold, length, withN, n);
      case '-':
        return take(Op::kUnderline, length, withN, n);
      case '4':
        return take(Op::kItalic, length, name, 1);
      case '5':
        return take(Op::kItalic, length, name, 0);
      case '!':
        return take(Op::kPrintMode, length, "ESC ! 0x" + HexText(b[2]), n);
      case 't':
        return take(Op::kCodeTable, length, withN, n);
      default:
        return take(Op::kOther, length, parameters ? withN : name, n);
    }
  }

  if (first == kFs) {
    if (!need(2)) return false;
    if (b[1] == '.') return take(Op::kCancelDoubleByte, 2, "FS .");
    if (b[1] == '&') return take(Op::kDoubleByte, 2, "FS &");
    return take(Op::kUnknown, 2, "FS " + HexText(b[1]));
  }

  if (first == kGs) {
    if (!need(2)) return false;
    const std::uint8_t x = b[1];
    if (x == '(') {
      // GS ( x pL pH, then pL + 256 pH bytes of parameters.
      if (!need(5)) return false;
      const std::size_t size = b[3] + 256u * b[4];
      if (!need(5 + size)) return false;
      out.data.assign(b.begin() + 5, b.begin() + static_cast<std::ptrdiff_t>(5 + size));
      const std::string name = std::string("GS ( ") + static_cast<char>(b[2]);
      if (b[2] == 'k' && size >= 2 && b[5] == 0x31) {
        out.data.erase(out.data.begin(), out.data.begin() + 2);
        return take(Op::kQr, 5 + size, name + " 31 " + HexText(b[6]), b[6]);
      }
      return take(Op::kFramed, 5 + size, name, b[2]);
    }
    if (x == 'V') {
      if (!need(3)) return false;
      const std::uint8_t m = b[2];
      if (m == 65 || m == 66) {
        if (!need(4)) return false;
        out.data = {b[3]};
        return take(Op::kCut, 4, "GS V " + std::to_string(m) + " " + std::to_string(b[3]), m);
      }
      return take(Op::kCut, 3, "GS V " + std::to_string(m), m);
    }
    const int parameters = GsParameters(x);
    if (parameters < 0) return take(Op::kUnknown, 2, "GS " + HexText(x));
    if (!need(2 + static_cast<std::size_t>(parameters))) return false;
    const std::size_t length = 2 + static_cast<std::size_t>(parameters);
    out.data.assign(b.begin() + 2, b.begin() + static_cast<std::ptrdiff_t>(length));
    if (x == '!') return take(Op::kCharacterSize, length, "GS ! 0x" + HexText(b[2]), b[2]);
    return take(Op::kOther, length, std::string("GS ") + static_cast<char>(x), b[2]);
  }

  return take(Op::kUnknown, 1, "0x" + HexText(first), first);
}

std::vector<Command> ReadCommands(std::span<const std::uint8_t> bytes) {
  std::vector<Command> commands;
  while (!bytes.empty()) {
    Command command;
    ReadCommand(bytes, true, command);
    bytes = bytes.subspan(command.length);
    commands.push_back(std::move(command));
  }
  return commands;
}

bool StartsProgram(const Command& c) {
  return c.op == Op::kProprietary && c.n == 0x84 && !c.data.empty() &&
         (c.data[0] == 0x05 || c.data[0] == 0x02);
}

namespace {

std::string ProprietaryMeaning(const Command& c) {
  const Bytes& d = c.data;
  switch (c.n) {
    case 0x00:
      return "function 00 (" + HexText(d) + "), sent ahead of the queue settings; not interpreted";
    case 0xFF:
      return "function FF (" + HexText(d) + "), the end of the code-page prefix; not interpreted";
    case 0x22:
      return "set the LAN address to " + DottedText(d.data());
    case 0x13:
      return "print density " + std::to_string(d[1]) +
             (d[0] == 0x14 ? "" : " (odd byte " + HexText(d[0]) + ")");
    case 0xE0:
      return std::string("buzzer after printing ") + (d[2] ? "on" : "off") + " (bytes " +
             HexText(d) + ")";
    case 0x84:
      if (d[0] == 0x01) {
        return std::string("queue numbers ") + (d[1] ? "on" : "off") + ", " + std::to_string(d[4]) +
               (d[4] == 1 ? " copy" : " copies") + ", date 20" + HexText(d[5]) + "-" +
               HexText(d[6]) + "-" + HexText(d[7]);
      }
      if (d[0] == 0x05) return "start of the stored ticket program (84 05 01)";
      if (d[0] == 0x02) return "ticket program function 84 02; not interpreted";
      return "unknown queue function 84 " + HexText(d[0]) + "; not interpreted";
    case 0xB4: {
      if (d.size() < 15) return "WiFi settings without their two 00 bytes; not interpreted";
      std::string name, password;
      std::size_t at = 13;
      while (d[at] != 0) name += static_cast<char>(d[at++]);
      ++at;
      while (d[at] != 0) password += static_cast<char>(d[at++]);
      return "WiFi: address " + DottedText(d.data()) + ", mask " + DottedText(d.data() + 4) +
             ", gateway " + DottedText(d.data() + 8) + ", byte " + HexText(d[12]) + ", network \"" +
             name + "\", password \"" + password + "\"";
    }
    default:
      return "unknown proprietary function " + HexText(static_cast<std::uint8_t>(c.n)) +
             "; not interpreted, the bytes after it are read as they come";
  }
}

std::string QrMeaning(const Command& c) {
  const Bytes& d = c.data;
  switch (c.n) {
    case 0x41:
      return "QR model " + std::string(d.empty() ? "?" : std::to_string(d[0] - 48));
    case 0x43:
      return "QR module size " + std::string(d.empty() ? "?" : std::to_string(d[0])) + " dots";
    case 0x45: {
      static constexpr char kLevels[] = "LMQH";
      if (d.empty() || d[0] < 48 || d[0] > 51) return "QR error correction: no such level, ignored";
      return std::string("QR error correction level ") + kLevels[d[0] - 48];
    }
    case 0x50: {
      const std::size_t k = d.empty() ? 0 : d.size() - 1;
      return "QR store " + std::to_string(k) + " bytes: \"" +
             std::string(d.begin() + (d.empty() ? 0 : 1), d.end()) + "\"";
    }
    case 0x51:
      return "QR print";
    case 0x52:
      return "QR size information; not interpreted";
    default:
      return "QR function " + HexText(static_cast<std::uint8_t>(c.n)) + "; not interpreted";
  }
}

}  // namespace

std::string Meaning(const Command& c) {
  switch (c.op) {
    case Op::kText:
      return "text, " + std::to_string(c.data.size()) + " bytes";
    case Op::kPlaceholder:
      if (c.name == "@cnt") return "the queue number";
      if (c.name == "@date") return "today's date";
      return "end of the ticket program";
    case Op::kLineFeed:
      return "print and feed one line";
    case Op::kCarriageReturn:
      return "carriage return, ignored";
    case Op::kInitialize:
      return "initialise the printer";
    case Op::kFeedLines:
      return "print and feed " + std::to_string(c.n) + (c.n == 1 ? " line" : " lines");
    case Op::kFeedDots:
      return "print and feed " + std::to_string(c.n) + " dots";
    case Op::kPrinterFeed:
      return "the printer's own feed of " + std::to_string(c.n) + ", read as dots forward";
    case Op::kJustify:
      return c.n % 48 == 0 ? "left" : c.n % 48 == 1 ? "centred" : c.n % 48 == 2 ? "right" : "?";
    case Op::kFont:
      return c.n % 48 == 1 ? "Font B (9 x 17)" : "Font A (12 x 24)";
    case Op::kBold:
      return (c.n & 1) ? "bold on" : "bold off";
    case Op::kUnderline:
      return c.n % 48 == 0 ? "underline off" : "underline " + std::to_string(c.n % 48) + " dot";
    case Op::kItalic:
      return c.n ? "italic on" : "italic off";
    case Op::kPrintMode:
      return std::string("print mode: ") + ((c.n & 1) ? "Font B" : "Font A") +
             ((c.n & 0x08) ? ", bold" : "") + ((c.n & 0x10) ? ", double height" : "") +
             ((c.n & 0x20) ? ", double width" : "") + ((c.n & 0x80) ? ", underline" : "");
    case Op::kCharacterSize:
      if ((c.n & 0x88) != 0) return "bad character size, ignored";
      return "character size: width x" + std::to_string((c.n >> 4) + 1) + ", height x" +
             std::to_string((c.n & 0x0F) + 1);
    case Op::kCut:
      return (c.n == 1 || c.n == 49 || c.n == 66) ? "partial cut" : "full cut";
    case Op::kCancelDoubleByte:
      return "cancel double-byte (Chinese) character mode";
    case Op::kDoubleByte:
      return "double-byte (Chinese) character mode on";
    case Op::kCodeTable:
      return "character code table " + std::to_string(c.n) + (c.n == 27 ? " (VISCII)" : "");
    case Op::kQr:
      return QrMeaning(c);
    case Op::kFramed:
      if (c.n == 'L' && c.data.size() >= 5 && c.data[1] == 0x41 &&
          std::string(c.data.begin() + 2, c.data.end()) == "CLR")
        return "delete all NV graphics";
      if (c.n == 'L' && c.data.size() == 4 && c.data[1] == 0x42)
        return "delete the NV graphics with key " + HexText({c.data.data() + 2, 2});
      return std::to_string(c.data.size()) + " bytes of parameters; not interpreted";
    case Op::kStatusRequest:
      return "real-time status request " + std::to_string(c.n);
    case Op::kProprietary:
      return ProprietaryMeaning(c);
    case Op::kOther:
      return "not interpreted";
    case Op::kUnknown:
      return "no command begins with this byte; skipped";
    case Op::kTruncated:
      return "the stream ended inside a command (" + std::to_string(c.length) + " bytes)";
  }
  return {};
}

}  // namespace korvante::sim
