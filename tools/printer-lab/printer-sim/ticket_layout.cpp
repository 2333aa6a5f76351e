#include "tools/printer-lab/printer-sim/ticket_layout.h"

#include <iconv.h>
#include <qrencode.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

namespace korvante::sim {
namespace {

struct Cell {
  int width;
  int height;
};
constexpr Cell kFontA{12, 24};
constexpr Cell kFontB{9, 17};
Cell CellOf(int font) { return font == 1 ? kFontB : kFontA; }

constexpr int kVisciiTable = 27;
constexpr int kDefaultTable = 0;
// Dots of paper drawn below the last cut, so that the cut line shows.
constexpr int kBelowLastCut = 12;

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

namespace {

// The iconv name of a character code table; "" for one this printer lacks.
const char* CharsetOf(int table) {
  switch (table) {
    case 0:
      return "IBM437";
    case 2:
      return "IBM850";
    case 16:
      return "CP1252";
    case 17:
      return "IBM866";
    case 18:
      return "IBM852";
    case kVisciiTable:
      return "VISCII";
    default:
      return "";
  }
}

using ByteTable = std::array<char32_t, 256>;

// Each byte of a single-byte charset decoded alone by iconv; 0 where iconv
// has no character for it.
ByteTable Decoder(const char* charset) {
  ByteTable table{};
  iconv_t cd = iconv_open("UTF-32LE", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return table;
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[4] = {};
    char* inAt = &in;
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) &&
        outLeft == 0) {
      table[static_cast<std::size_t>(b)] =
          out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
    }
  }
  iconv_close(cd);
  return table;
}

const ByteTable& DecoderFor(const char* charset) {
  static std::map<std::string, ByteTable> tables;
  auto [at, added] = tables.try_emplace(charset);
  if (added) at->second = Decoder(charset);
  return at->second;
}

// The printer's modes, as ESC @ or power-on leaves them.
struct Modes {
  CharacterStyle style;
  int justify = 0;  // 0 left, 1 centred, 2 right
  int codeTable = kDefaultTable;
  bool doubleByte = true;  // the Chinese mode that FS . cancels
  int qrModule = 3;
  char qrLevel = 'L';
};

class Layout {
 public:
  explicit Layout(const LayoutSettings& settings) : settings_(settings) {}

  // False once the program has ended ("@end").
  bool Apply(const Command& c);
  PrintedStrip Finish();

 private:
  struct Pending {
    char32_t code;
    CharacterStyle style;
  };

  void Note(const std::string& text) {
    if (std::find(strip_.notes.begin(), strip_.notes.end(), text) == strip_.notes.end())
      strip_.notes.push_back(text);
  }
  int LineUnit() const { return CellOf(m_.style.font).height * m_.style.height; }
  void AddCharacter(char32_t c) {
    if (buffer_.empty()) bufferJustify_ = m_.justify;
    buffer_.push_back({c, m_.style});
  }
  void AddAscii(const std::string& text) {
    for (char c : text) AddCharacter(static_cast<unsigned char>(c));
  }
  void AddText(const Bytes& bytes);
  void PrintBuffer();
  void EmitRow(std::size_t from, std::size_t to, int width);
  void PrintQr();
  void ApplyQr(const Command& c);
  // Prints the buffer and moves the paper n dots from the top of what it
  // printed; never less than the printed rows, which the head steps over.
  void FeedDots(int n) {
    const int top = y_;
    PrintBuffer();
    y_ = std::max(y_, top + n);
  }
  int LeftFor(int justify, int width) const {
    if (justify == 1) return (kPaperWidthDots - width) / 2;
    if (justify == 2) return kPaperWidthDots - width;
    return 0;
  }

  LayoutSettings settings_;
  Modes m_;
  int y_ = 0;
  std::vector<Pending> buffer_;
  int bufferJustify_ = 0;
  std::string qrData_;
  bool qrStored_ = false;
  int printerFeed_ = 0;
  PrintedStrip strip_;
};

void Layout::AddText(const Bytes& bytes) {
  const char* charset = CharsetOf(m_.codeTable);
  if (*charset == '\0') {
    Note("character code table " + std::to_string(m_.codeTable) +
         " is not one this printer has; its text is drawn as table 0 (PC437)");
    charset = CharsetOf(kDefaultTable);
  }
  const ByteTable& table = DecoderFor(charset);
  for (std::uint8_t b : bytes) {
    if (b >= 0x80 && m_.doubleByte) {
      Note(
          "double-byte (Chinese) mode was never cancelled (FS .): a printer in that mode "
          "prints the bytes from 0x80 as Chinese characters; drawn with code table " +
          std::to_string(m_.codeTable));
    }
    const char32_t c = table[b];
    if (c >= 0x20) AddCharacter(c);
  }
}

void Layout::EmitRow(std::size_t from, std::size_t to, int width) {
  PrintedLine line;
  line.top = y_;
  for (std::size_t i = from; i < to; ++i) {
    const Cell cell = CellOf(buffer_[i].style.font);
    line.height = std::max(line.height, cell.height * buffer_[i].style.height);
  }
  int x = LeftFor(bufferJustify_, width);
  for (std::size_t i = from; i < to; ++i) {
    const Pending& p = buffer_[i];
    const Cell cell = CellOf(p.style.font);
    line.characters.push_back(
        {p.code, p.style, x, cell.width * p.style.width, cell.height * p.style.height});
    x += cell.width * p.style.width;
    AppendUtf8(line.text, p.code);
  }
  y_ += line.height;
  strip_.lines.push_back(std::move(line));
}

// Prints the line buffer; a line wider than the paper goes on in the next row.
void Layout::PrintBuffer() {
  std::size_t from = 0;
  while (from < buffer_.size()) {
    int width = 0;
    std::size_t to = from;
    while (to < buffer_.size()) {
      const int w = CellOf(buffer_[to].style.font).width * buffer_[to].style.width;
      if (to > from && width + w > kPaperWidthDots) break;
      width += w;
      ++to;
    }
    EmitRow(from, to, width);
    from = to;
  }
  buffer_.clear();
}

void Layout::PrintQr() {
  PrintBuffer();
  if (!qrStored_) {
    Note("QR print with no QR data stored: nothing printed");
    return;
  }
  const QRecLevel level = m_.qrLevel == 'M'   ? QR_ECLEVEL_M
                          : m_.qrLevel == 'Q' ? QR_ECLEVEL_Q
                          : m_.qrLevel == 'H' ? QR_ECLEVEL_H
                                              : QR_ECLEVEL_L;
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeData(static_cast<int>(qrData_.size()),
                        reinterpret_cast<const unsigned char*>(qrData_.data()), 0, level),
      &QRcode_free);
  if (!code) {
    Note("the stored QR data (" + std::to_string(qrData_.size()) +
         " bytes) does not fit a QR code: nothing printed");
    return;
  }
  PrintedQr qr;
  qr.modules = code->width;
  qr.moduleSize = m_.qrModule;
  qr.level = m_.qrLevel;
  qr.data = qrData_;
  const int size = qr.modules * qr.moduleSize;
  if (size > kPaperWidthDots) {
    Note("the QR code is wider than the paper (" + std::to_string(size) +
         " dots): nothing printed");
    return;
  }
  qr.top = y_;
  qr.left = LeftFor(m_.justify, size);
  qr.dark.resize(static_cast<std::size_t>(qr.modules) * qr.modules);
  for (std::size_t i = 0; i < qr.dark.size(); ++i) qr.dark[i] = (code->data[i] & 1) != 0;
  y_ += size;
  strip_.qrCodes.push_back(std::move(qr));
}

bool Layout::Apply(const Command& c) {
  const int n = c.n;
  switch (c.op) {
    case Op::kText:
      AddText(c.data);
      break;
    case Op::kPlaceholder:
      if (c.name == "@end") return false;
      AddAscii(c.name == "@cnt" ? settings_.counter : DateText(settings_.today));
      break;
    case Op::kLineFeed:
      if (buffer_.empty()) y_ += LineUnit();
      PrintBuffer();
      break;
    case Op::kCarriageReturn:
      break;
    case Op::kInitialize:
      if (!buffer_.empty()) Note("ESC @ discarded characters that no line feed had printed");
      buffer_.clear();
      m_ = Modes{};
      break;
    case Op::kFeedLines:
      // The buffer's own row is the first of the n lines.
      if (buffer_.empty()) {
        y_ += n * LineUnit();
      } else {
        PrintBuffer();
        y_ += std::max(n - 1, 0) * LineUnit();
      }
      break;
    case Op::kFeedDots:
      FeedDots(n);
      break;
    case Op::kPrinterFeed:
      FeedDots(n);
      printerFeed_ += n;
      break;
    case Op::kJustify:
      m_.justify = n % 48 <= 2 ? n % 48 : 0;
      break;
    case Op::kFont:
      m_.style.font = n % 48 == 1 ? 1 : 0;
      break;
    case Op::kBold:
      m_.style.bold = (n & 1) != 0;
      break;
    case Op::kUnderline:
      m_.style.underline = n % 48 <= 2 ? n % 48 : 0;
      break;
    case Op::kItalic:
      m_.style.italic = n != 0;
      break;
    case Op::kPrintMode:
      m_.style.font = n & 0x01;
      m_.style.bold = (n & 0x08) != 0;
      m_.style.height = (n & 0x10) ? 2 : 1;
      m_.style.width = (n & 0x20) ? 2 : 1;
      m_.style.underline = (n & 0x80) ? 1 : 0;
      break;
    case Op::kCharacterSize:
      if ((n & 0x88) != 0) {
        Note(c.name + " asks for a multiplier above 8: ignored");
        break;
      }
      m_.style.width = (n >> 4) + 1;
      m_.style.height = (n & 0x0F) + 1;
      break;
    case Op::kCut:
      PrintBuffer();
      if (c.n == 65 || c.n == 66) y_ += c.data.at(0);
      strip_.cuts.push_back(y_);
      break;
    case Op::kCancelDoubleByte:
      m_.doubleByte = false;
      break;
    case Op::kDoubleByte:
      m_.doubleByte = true;
      break;
    case Op::kCodeTable:
      m_.codeTable = n;
      break;
    case Op::kQr:
      ApplyQr(c);
      break;
    case Op::kProprietary:
      if (!StartsProgram(c) || c.data[0] != 0x05) Note(c.name + ": " + Meaning(c));
      break;
    case Op::kStatusRequest:
    case Op::kFramed:
    case Op::kOther:
    case Op::kUnknown:
    case Op::kTruncated:
      Note(c.name + ": " + Meaning(c));
      break;
  }
  return true;
}

// GS ( k for QR codes: n is the function, `data` its parameters.
void Layout::ApplyQr(const Command& c) {
  const Bytes& d = c.data;
  switch (d.empty() ? -1 : c.n) {
    case 0x41:  // model: 49 = 1, 50 = 2
      if (d[0] != 50) Note(c.name + ": " + Meaning(c) + " asked for; drawn as model 2");
      return;
    case 0x43:  // module size in dots
      m_.qrModule = std::clamp<int>(d[0], 1, 16);
      return;
    case 0x45:  // error correction: 48 to 51 = L, M, Q, H
      if (d[0] >= 48 && d[0] <= 51) {
        m_.qrLevel = "LMQH"[d[0] - 48];
        return;
      }
      break;
    case 0x50:  // store: 0x30, then the data
      qrData_.assign(d.begin() + 1, d.end());
      qrStored_ = true;
      return;
    case 0x51:  // print
      PrintQr();
      return;
    default:
      break;
  }
  Note(c.name + ": " + Meaning(c));
}

PrintedStrip Layout::Finish() {
  if (!buffer_.empty()) {
    std::string text;
    for (const Pending& p : buffer_) AppendUtf8(text, p.code);
    Note("\"" + text + "\" stayed in the line buffer: no line feed printed it");
  }
  if (printerFeed_ > 0) {
    Note("ESC j, the printer's own feed (" + std::to_string(printerFeed_) +
         " in all), is read as dots of forward feed");
  }
  strip_.height = y_;
  int inkBottom = 0;
  for (const PrintedLine& line : strip_.lines)
    inkBottom = std::max(inkBottom, line.top + line.height);
  for (const PrintedQr& qr : strip_.qrCodes)
    inkBottom = std::max(inkBottom, qr.top + qr.modules * qr.moduleSize);
  if (!strip_.cuts.empty() && strip_.cuts.back() >= inkBottom) {
    // Blank paper fed after the last cut belongs to the next ticket.
    const int cut = strip_.cuts.back();
    if (y_ > cut) {
      Note(std::to_string(y_ - cut) +
           " dots fed after the last cut belong to the next ticket: not drawn");
    }
    strip_.height = cut + kBelowLastCut;
  }
  return std::move(strip_);
}

}  // namespace

PrintedStrip LayOut(std::span<const Command> commands, const LayoutSettings& settings) {
  Layout layout(settings);
  std::size_t i = 0;
  while (i < commands.size() && layout.Apply(commands[i])) ++i;
  return layout.Finish();
}

CalendarDay LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string DateText(const CalendarDay& day) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", day.day, day.month, day.year);
  return text;
}

}  // namespace korvante::sim
