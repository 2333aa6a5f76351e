#include "discovery/neighbours.h"

#include <algorithm>

#include "core/text_encoding.h"

namespace korvante {
namespace {

bool SameMac(const std::string& a, const std::string& b) {
  return !a.empty() && AsciiLower(WidenAscii(a)) == AsciiLower(WidenAscii(b));
}

bool NamesADevice(const std::string& mac) {
  return std::any_of(mac.begin(), mac.end(), [](char c) { return c != '0' && c != '-'; });
}

}  // namespace

NeighbourVerdict JudgeNeighbour(const NeighbourEntry& entry, const std::string& printerMac) {
  if (entry.state == NeighbourState::kUnreachable || entry.state == NeighbourState::kIncomplete ||
      !NamesADevice(entry.mac)) {
    return NeighbourVerdict::kUnresolved;
  }
  if (SameMac(entry.mac, printerMac)) return NeighbourVerdict::kOwnPrinter;
  return NeighbourVerdict::kHeld;
}

std::optional<std::string> FindAddressHolder(const std::string& ip, const std::string& printerMac,
                                             const NeighbourHooks& hooks) {
  const MonotonicClock::time_point deadline = hooks.now() + kNeighbourCheckLimit;
  bool asked = false;
  for (;;) {
    bool own = false;
    for (const NeighbourEntry& entry : hooks.read(ip)) {
      switch (JudgeNeighbour(entry, printerMac)) {
        case NeighbourVerdict::kHeld:
          return entry.mac;
        case NeighbourVerdict::kOwnPrinter:
          own = true;
          break;
        case NeighbourVerdict::kUnresolved:
          break;
      }
    }
    if (own) return std::nullopt;
    if (!asked) {
      hooks.sendProbe(ip);
      asked = true;
    }
    const MonotonicClock::time_point at = hooks.now();
    if (at >= deadline) return std::nullopt;
    hooks.sleep(
        std::min(kNeighbourPoll, std::chrono::ceil<std::chrono::milliseconds>(deadline - at)));
  }
}

}  // namespace korvante
