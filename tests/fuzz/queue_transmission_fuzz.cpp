// "Lưu vào máy" fed whatever the queue page holds: the transmission is the
// settings alone, or the settings and the ticket program, and never more
// than 1,024 bytes. Sizes are counted from the rules of the ticket format,
// not from the builder.
//
// Input: records separated by the byte 1E, fields by '|' (a text is the
// last field and may hold anything else, line breaks included):
//   flags (e enable, d date, s editor shown)|copies|counter level
//   QR link
//   four lines of "size level|width level|styles (b, i, u)|text"
#include <algorithm>
#include <array>

#include "commands/number_fields.h"
#include "commands/queue_ticket.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

// The fields before the text, then the text itself.
std::pair<std::vector<std::string_view>, std::string_view> FieldsAndText(std::string_view record,
                                                                         std::size_t fields) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < fields; ++i) {
    const std::size_t bar = record.find('|');
    out.push_back(record.substr(0, bar));
    record = bar == std::string_view::npos ? std::string_view{} : record.substr(bar + 1);
  }
  return {out, record};
}

std::size_t Utf8Length(const std::u16string& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    const bool pair = u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    n += u < 0x80 ? 1 : u < 0x800 ? 2 : pair ? 4 : 3;  // a lone half is U+FFFD, 3 bytes
    if (pair) ++i;
  }
  return n;
}

// A line's share of the program: 13 bytes of style and LF, its VISCII text
// (CR dropped), 6 for underline on and off, 4 for italic; blank lines none.
std::size_t LineSize(const TicketLine& line) {
  if (IsBlankText(line.text)) return 0;
  const auto textBytes = static_cast<std::size_t>(
      line.text.size() - std::count(line.text.begin(), line.text.end(), u'\r'));
  return 13 + textBytes + (line.underline ? 6 : 0) + (line.italic ? 4 : 0);
}

bool StartsWith(const CommandBuffer& bytes, std::size_t at, std::initializer_list<int> expected) {
  if (at + expected.size() > bytes.size()) return false;
  return std::equal(expected.begin(), expected.end(), bytes.begin() + static_cast<long>(at),
                    [](int e, std::uint8_t b) { return e == b; });
}

// Font and multiplier of the queue number for counter levels 1 to 6.
constexpr std::array<std::pair<int, int>, 6> kCounterFits{
    {{1, 4}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 8}}};

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::vector<std::string_view> records = Split(AsText(data, size), "\x1e");
  const auto head = Split(Field(records, 0), "|");
  QueueTicketInput input;
  input.enable = HasFlag(Field(head, 0), 'e');
  input.printDate = HasFlag(Field(head, 0), 'd');
  input.editorShown = HasFlag(Field(head, 0), 's');
  input.copiesText = Text16(Field(head, 1));
  input.counterLevel = static_cast<int>(Number(Field(head, 2), 6));
  input.qrLink = Text16(Field(records, 1));
  input.date = {2026, 12, 7};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto [f, text] = FieldsAndText(Field(records, 2 + i), 3);
    TicketLine& line = input.lines[i];
    line.sizeLevel = static_cast<int>(Number(f[0], 6));
    line.widthLevel = static_cast<int>(Number(f[1], 2));
    line.bold = HasFlag(f[2], 'b');
    line.italic = HasFlag(f[2], 'i');
    line.underline = HasFlag(f[2], 'u');
    line.text = Text16(text);
  }

  const std::optional<CommandBuffer> sent = BuildQueueTransmission(input);
  std::size_t expectedSize = 34;
  if (input.editorShown) expectedSize = 55;
  const bool program = input.editorShown && input.enable;
  if (program) {
    const std::size_t k = Utf8Length(input.qrLink);
    expectedSize = 138 + (input.printDate ? 14 : 0) + (k > 0 ? 34 + k : 0);
    for (const TicketLine& line : input.lines) expectedSize += LineSize(line);
  }
  // Refused exactly when it would not fit; what is sent always fits.
  KV_FUZZ_CHECK(sent.has_value() == (expectedSize <= 1024));
  if (!sent) return 0;
  const CommandBuffer& bytes = *sent;
  KV_FUZZ_CHECK(bytes.size() == expectedSize);

  // ESC @ or the NV clear prefix, the queue preamble, the code-page prefix,
  // then the settings with the copies as the C library reads them.
  const std::size_t settingsAt = input.editorShown ? 42 : 21;
  KV_FUZZ_CHECK(input.editorShown
                    ? StartsWith(bytes, 0, {0x1B, 0x40, 0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30,
                                            0x41, 0x43, 0x4C, 0x52, 0x1D, 0x28, 0x4C, 0x04,
                                            0x00, 0x30, 0x42, 0x20, 0x20, 0x1B, 0x40})
                    : StartsWith(bytes, 0, {0x1B, 0x40}));
  KV_FUZZ_CHECK(StartsWith(bytes, settingsAt - 19,
                           {0x1F, 0x1B, 0x1F, 0x00, 0x0A, 0x00, 0x01, 0x1C, 0x2E, 0x1B, 0x74, 0x1B,
                            0x1F, 0x1B, 0x1F, 0xFF, 0x1B, 0x0A, 0x00}));
  const int copies = CopiesFromText(input.copiesText);
  KV_FUZZ_CHECK(StartsWith(
      bytes, settingsAt,
      {0x1F, 0x1B, 0x1F, 0x84, 0x01, input.enable ? 1 : 0, 0, 0, copies, 0x26, 0x12, 0x07, 0x00}));
  if (!program) return 0;

  // The queue number after lines 1 and 2, in its own size.
  const auto [font, m] =
      kCounterFits[static_cast<std::size_t>(std::clamp(input.counterLevel, 1, 6) - 1)];
  const std::size_t counterAt =
      settingsAt + 13 + 13 + 12 + LineSize(input.lines[0]) + LineSize(input.lines[1]);
  KV_FUZZ_CHECK(StartsWith(bytes, counterAt,
                           {0x1B, 0x4D, font, 0x1B, 0x45, 0x00, 0x1D, 0x21, (m - 1) * 0x11, 0x1B,
                            0x61, 0x01, '@',  'c',  'n',  't',  0x1B, 0x4A, 0x30,           0x0A}));
  // Feed, cut, the ESC j feed of 696 and "@end" close every program.
  KV_FUZZ_CHECK(StartsWith(bytes, bytes.size() - 19,
                           {0x1B, 0x4A, 0xFF, 0x1D, 0x56, 0x00, 0x1B, 0x6A, 0xFF, 0x1B, 0x6A, 0xFF,
                            0x1B, 0x6A, 0xBA, '@', 'e', 'n', 'd'}));
  return 0;
}
