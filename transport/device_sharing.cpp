#include "transport/device_sharing.h"

namespace korvante {

DeviceSharing SharingFor(std::u16string_view path) {
  // "\\.\" or "\\?\": the device namespace, as the enumeration writes it, or
  // the same without the name's parsing.
  constexpr std::size_t kPrefixLength = 4;
  if (path.size() < kPrefixLength || path[0] != u'\\' || path[1] != u'\\' ||
      (path[2] != u'.' && path[2] != u'?') || path[3] != u'\\') {
    return DeviceSharing::kShared;
  }
  const std::u16string_view name = path.substr(kPrefixLength);
  if (name.size() < 4) return DeviceSharing::kShared;
  auto folds = [](char16_t c, char16_t upper) { return c == upper || c == upper + (u'a' - u'A'); };
  if (!folds(name[0], u'C') || !folds(name[1], u'O') || !folds(name[2], u'M')) {
    return DeviceSharing::kShared;
  }
  for (char16_t c : name.substr(3)) {
    if (c < u'0' || c > u'9') return DeviceSharing::kShared;
  }
  return DeviceSharing::kExclusive;
}

}  // namespace korvante
