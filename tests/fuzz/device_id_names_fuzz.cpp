// Registry and device strings read for names and ports: the model name of a
// USB Monitor device id and the COM port found in a device's name and id.
//
// Input: one text (UTF-8, read leniently).
#include <algorithm>

#include "tests/fuzz/fuzz_support.h"
#include "usb/usb_rules.h"

namespace korvante::fuzz {
namespace {

bool IsDigit(char16_t u) { return u >= u'0' && u <= u'9'; }
bool IsBlank(char16_t u) { return u == u' ' || (u >= u'\t' && u <= u'\r'); }

// The first "com" (any case) with digits after it, and those digits.
std::u16string ExpectedComPort(const std::u16string& text) {
  const std::u16string lower = LowerAscii(text);
  for (std::size_t i = 0; i + 3 < text.size(); ++i) {
    if (lower.compare(i, 3, u"com") != 0 || !IsDigit(text[i + 3])) continue;
    std::size_t end = i + 3;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return text.substr(i, end - i);
  }
  return {};
}

// The text after "usbprint\" ('#' read as '\') up to the next '\', with '&'
// and '_' as blanks, trimmed; the default name when nothing is left.
std::u16string ExpectedMonitorName(std::u16string id) {
  std::replace(id.begin(), id.end(), u'#', u'\\');
  const std::size_t at = LowerAscii(id).find(u"usbprint\\");
  if (at == std::u16string::npos) return u"USB Monitor Printer";
  std::u16string model = id.substr(at + 9);
  model = model.substr(0, model.find(u'\\'));
  std::replace(model.begin(), model.end(), u'&', u' ');
  std::replace(model.begin(), model.end(), u'_', u' ');
  while (!model.empty() && IsBlank(model.back())) model.pop_back();
  while (!model.empty() && IsBlank(model.front())) model.erase(0, 1);
  return model.empty() ? u"USB Monitor Printer" : model;
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::u16string text = Text16(AsText(data, size));

  const std::u16string port = FindComPort(text);
  KV_FUZZ_CHECK(port == ExpectedComPort(text));
  // A found port always passes the serial pass's own "starts with com" test.
  KV_FUZZ_CHECK(port.empty() || LowerAscii(port.substr(0, 3)) == u"com");

  const std::u16string name = MonitorNameFromDeviceId(text);
  KV_FUZZ_CHECK(name == ExpectedMonitorName(text));
  KV_FUZZ_CHECK(!name.empty() && name.find_first_of(u"&_\\#") == std::u16string::npos);
  return 0;
}
