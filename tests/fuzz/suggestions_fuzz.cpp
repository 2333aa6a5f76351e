// The keep-user-edits decision after a refresh: which of the six address
// fields take the new suggestion and which keep what the user typed.
//
// Input, one item a line: "f" on the first line forces; the next six lines
// are the current texts of the LAN address, mask and gateway and of the WiFi
// address, mask and gateway; every further line is a profile,
// "name|ip|mask|gateway|w" (w marks it wireless; its texts are ASCII, as the
// adapter walk formats them).
#include <algorithm>
#include <initializer_list>

#include "discovery/network_profiles.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

std::string Ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(c & 0x7F);
  return out;
}

// The first three octets of the gateway (or address), or 192.168.1.
std::string Suggest(const NetworkProfile& p, const std::string& octet) {
  const std::string& base = p.gateway.empty() ? p.ip : p.gateway;
  std::size_t dots = 0, third = std::string::npos;
  for (std::size_t i = 0; i < base.size() && third == std::string::npos; ++i) {
    if (base[i] == '.' && ++dots == 3) third = i;
  }
  const std::string prefix =
      third == std::string::npos || third == 0 ? "192.168.1" : base.substr(0, third);
  return prefix + "." + octet;
}

NetworkProfile Choose(const std::vector<NetworkProfile>& profiles) {
  for (const auto& p : profiles) {
    if (p.wireless && !p.gateway.empty()) return p;
  }
  for (const auto& p : profiles) {
    if (p.wireless) return p;
  }
  if (!profiles.empty()) return profiles.front();
  return {u"WiFi", "192.168.1.1", "255.255.255.0", "192.168.1.1", true};
}

// Whether a field still holds a suggestion: its narrowed text is empty or
// ends, after its last '.', in one of the octets the tool proposes for it.
bool HoldsAddress(const std::u16string& text, std::initializer_list<std::string> octets) {
  std::string narrow;
  for (char16_t u : text) narrow += u >= 1 && u <= 127 ? static_cast<char>(u) : '?';
  if (narrow.empty()) return true;
  const std::size_t dot = narrow.rfind('.');
  if (dot == std::string::npos) return false;
  return std::find(octets.begin(), octets.end(), narrow.substr(dot + 1)) != octets.end();
}

bool HoldsMask(const std::u16string& text) { return text.empty() || text == u"255.255.255.0"; }

std::u16string Widen(const std::string& text) { return {text.begin(), text.end()}; }

void CheckField(const std::optional<std::u16string>& written, bool expectWrite,
                const std::string& value) {
  KV_FUZZ_CHECK(written.has_value() == expectWrite);
  if (written) KV_FUZZ_CHECK(*written == Widen(value));
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante;
  using namespace korvante::fuzz;
  const std::vector<std::string_view> lines = Split(AsText(data, size), "\n");
  const bool force = HasFlag(Field(lines, 0), 'f');
  const SuggestionFields current{Text16(Field(lines, 1)), Text16(Field(lines, 2)),
                                 Text16(Field(lines, 3)), Text16(Field(lines, 4)),
                                 Text16(Field(lines, 5)), Text16(Field(lines, 6))};
  std::vector<NetworkProfile> profiles;
  for (std::size_t i = 7; i < lines.size(); ++i) {
    const auto f = Split(lines[i], "|");
    profiles.push_back({Text16(Field(f, 0)), Ascii(Field(f, 1)), Ascii(Field(f, 2)),
                        Ascii(Field(f, 3)), HasFlag(Field(f, 4), 'w')});
  }

  NetworkProfile chosen = Choose(profiles);
  if (chosen.gateway.empty()) chosen.gateway = Suggest(chosen, "1");
  if (chosen.mask.empty()) chosen.mask = "255.255.255.0";
  const std::string printerIp = Suggest(chosen, "222");

  const SuggestionWrites w = DecideSuggestions(profiles, force, current);
  CheckField(w.lanIp, force || HoldsAddress(current.lanIp, {"222"}), printerIp);
  CheckField(w.lanMask, force || HoldsMask(current.lanMask), chosen.mask);
  CheckField(w.lanGateway, force || HoldsAddress(current.lanGateway, {"1"}), chosen.gateway);
  CheckField(w.wifiIp, force || HoldsAddress(current.wifiIp, {"222", "223"}), printerIp);
  CheckField(w.wifiMask, force || HoldsMask(current.wifiMask), chosen.mask);
  CheckField(w.wifiGateway, force || HoldsAddress(current.wifiGateway, {"1"}), chosen.gateway);

  // A written printer address is still a suggestion at the next refresh.
  const SuggestionFields after{w.lanIp.value_or(current.lanIp),   {}, {},
                               w.wifiIp.value_or(current.wifiIp), {}, {}};
  const SuggestionWrites again = DecideSuggestions(profiles, false, after);
  KV_FUZZ_CHECK(!w.lanIp || again.lanIp == w.lanIp);
  KV_FUZZ_CHECK(!w.wifiIp || again.wifiIp == w.wifiIp);
  return 0;
}
