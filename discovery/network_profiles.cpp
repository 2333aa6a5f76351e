#include "discovery/network_profiles.h"

#include <algorithm>
#include <initializer_list>

#include "core/text_encoding.h"

namespace korvante {

namespace {

constexpr std::u16string_view kWirelessKeywords[] = {u"wi-fi", u"wifi", u"wireless", u"wlan",
                                                     u"802.11"};

constexpr std::string_view kFallbackPrefix = "192.168.1";
constexpr std::string_view kSuggestedMask = "255.255.255.0";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Whether an address field still holds a suggestion: empty, or the part after
// its last '.' is one of the octets the tool proposes for it. A text without
// any '.' is the user's own.
bool HoldsSuggestedAddress(const std::u16string& text,
                           std::initializer_list<std::string_view> octets) {
  const std::string narrow = ToAsciiNarrow(text);
  if (narrow.empty()) return true;
  const std::size_t dot = narrow.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string_view last = std::string_view(narrow).substr(dot + 1);
  return std::find(octets.begin(), octets.end(), last) != octets.end();
}

bool HoldsSuggestedMask(const std::u16string& text) {
  const std::string narrow = ToAsciiNarrow(text);
  return narrow.empty() || narrow == kSuggestedMask;
}

}  // namespace

bool IsWirelessAdapter(std::uint32_t ifType, std::u16string_view friendlyName,
                       std::u16string_view description) {
  if (ifType == kIfTypeIeee80211) return true;
  std::u16string text(friendlyName);
  text += u' ';
  text += description;
  return ContainsAnyKeyword(text, kWirelessKeywords);
}

bool IsTunnelOrPpp(const NetworkProfile& profile) {
  return profile.ifType == kIfTypeTunnel || profile.ifType == kIfTypePpp ||
         profile.ifType == kIfTypePropVirtual;
}

bool ProfileLess(const NetworkProfile& a, const NetworkProfile& b) {
  if (a.wireless != b.wireless) return a.wireless;
  const bool aGateway = !a.gateway.empty();
  const bool bGateway = !b.gateway.empty();
  if (aGateway != bGateway) return aGateway;
  return a.name < b.name;
}

void SortProfiles(std::vector<NetworkProfile>& profiles) {
  std::stable_sort(profiles.begin(), profiles.end(), ProfileLess);
}

std::vector<NetworkProfile> ProfilesFromAdapters(const std::vector<AdapterRecord>& adapters) {
  std::vector<NetworkProfile> profiles;
  for (const AdapterRecord& adapter : adapters) {
    if (!adapter.operUp || adapter.ifType == kIfTypeSoftwareLoopback) continue;

    std::string gateway;
    for (const AdapterAddress& g : adapter.gateways) {
      if (g.isIpv4) {
        gateway = FormatIpv4(g.bytes);
        break;
      }
    }
    const bool wireless = IsWirelessAdapter(adapter.ifType, adapter.friendlyName.value_or(u""),
                                            adapter.description.value_or(u""));

    for (const AdapterAddress& address : adapter.unicast) {
      if (!address.isIpv4) continue;
      std::string ip = FormatIpv4(address.bytes);
      // Loopback and link-local addresses reach no printer.
      if (StartsWith(ip, "127.") || StartsWith(ip, "169.254.")) continue;
      NetworkProfile profile;
      profile.name = adapter.friendlyName.value_or(u"LAN");
      profile.ip = std::move(ip);
      profile.mask = HostToIpv4(PrefixMask(address.prefixLength));
      profile.gateway = gateway;
      profile.wireless = wireless;
      profile.ifType = adapter.ifType;
      profiles.push_back(std::move(profile));
    }
  }
  SortProfiles(profiles);
  return profiles;
}

NetworkProfile DefaultProfile() {
  NetworkProfile profile;
  profile.name = u"WiFi";
  profile.ip = "192.168.1.1";
  profile.mask = "255.255.255.0";
  profile.gateway = "192.168.1.1";
  profile.wireless = true;
  return profile;
}

NetworkProfile ChooseProfile(const std::vector<NetworkProfile>& profiles) {
  if (profiles.empty()) return DefaultProfile();
  for (const NetworkProfile& p : profiles) {
    if (p.wireless && !p.gateway.empty()) return p;
  }
  for (const NetworkProfile& p : profiles) {
    if (p.wireless) return p;
  }
  return profiles.front();
}

std::string SuggestAddress(const NetworkProfile& profile, std::string_view lastOctet) {
  const std::string& base = profile.gateway.empty() ? profile.ip : profile.gateway;
  std::string prefix = NetworkPrefix(base);
  if (prefix.empty() || prefix == base) prefix = kFallbackPrefix;
  prefix += '.';
  prefix += lastOctet;
  return prefix;
}

SuggestionWrites DecideSuggestions(const std::vector<NetworkProfile>& profiles, bool force,
                                   const SuggestionFields& current) {
  NetworkProfile chosen = ChooseProfile(profiles);
  if (chosen.gateway.empty()) chosen.gateway = SuggestAddress(chosen, "1");
  if (chosen.mask.empty()) chosen.mask = kSuggestedMask;
  const std::u16string printerIp = WidenAscii(SuggestAddress(chosen, "222"));
  const std::u16string mask = FromUtf8(chosen.mask);
  const std::u16string gateway = FromUtf8(chosen.gateway);

  SuggestionWrites writes;
  if (force || HoldsSuggestedAddress(current.lanIp, {"222"})) writes.lanIp = printerIp;
  if (force || HoldsSuggestedMask(current.lanMask)) writes.lanMask = mask;
  if (force || HoldsSuggestedAddress(current.lanGateway, {"1"})) writes.lanGateway = gateway;
  if (force || HoldsSuggestedAddress(current.wifiIp, {"222", "223"})) writes.wifiIp = printerIp;
  if (force || HoldsSuggestedMask(current.wifiMask)) writes.wifiMask = mask;
  if (force || HoldsSuggestedAddress(current.wifiGateway, {"1"})) writes.wifiGateway = gateway;
  return writes;
}

}  // namespace korvante
