#include "app/window_texts.h"

#include <algorithm>
#include <cstdint>

#include "commands/text_encoding.h"

namespace korvante {
namespace {
// What the window reads of a number field, as its fixed 32-unit buffer does.
constexpr std::size_t kNumberFieldReadLimit = 31;
// Windows' long is 32 bits: wcstol saturates there.
constexpr long kLongMax = INT32_MAX;
constexpr int kDefaultListLevel = 6;

bool IsWideSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
}  // namespace

std::u16string NetworkPrinterItem(const NetworkPrinter& printer) {
  std::u16string item = fromUtf8(printer.ip);
  item += u"    Máy in bill/tem";
  if (!printer.mac.empty()) {
    item += u" (";
    item += fromUtf8(printer.mac);
    item += u")";
  }
  return item;
}

std::u16string UsbPrinterItem(const UsbPrinter& printer) {
  std::u16string item = printer.port.empty() ? std::u16string(u"USB") : printer.port;
  item += u" - ";
  item += printer.name;
  return item;
}

std::u16string_view SearchingItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Đang tìm máy in LAN / Wi-Fi..." : u"Đang tìm máy in USB...";
}

std::u16string_view NothingFoundItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Không tìm thấy máy in LAN / Wi-Fi" : u"Không tìm thấy máy in USB";
}

long PositiveNumberOr(std::u16string_view text, long fallback) {
  text = text.substr(0, std::min(text.size(), kNumberFieldReadLimit));
  std::size_t i = 0;
  while (i < text.size() && IsWideSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    digits = true;
    value = std::min<std::int64_t>(kLongMax, value * 10 + (text[i] - u'0'));
  }
  if (!digits || negative || value <= 0) return fallback;
  return static_cast<long>(value);
}

int ListLevelFrom(std::optional<long> itemData) {
  const long level = itemData.value_or(kDefaultListLevel);
  return static_cast<int>(std::clamp(level, 1L, 9L));
}

std::u16string WidthButtonCaption(int widthLevel) {
  std::u16string caption = widthLevel <= 1 ? u"Hẹp" : widthLevel == 2 ? u"Thường" : u"Rộng";
  return caption + u"  ▾";
}

}  // namespace korvante
