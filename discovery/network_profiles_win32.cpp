// Reads the adapter list with GetAdaptersAddresses into plain records; the
// rules that turn them into profiles are portable (network_profiles.cpp).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <cstring>
#include <vector>

#include "core/wide_text_win32.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"

namespace korvante {

namespace {

constexpr ULONG kInitialBufferBytes = 16000;

std::optional<std::u16string> OptionalText(const wchar_t* text) {
  if (text == nullptr) return std::nullopt;
  return FromWide(text);
}

AdapterAddress ReadAddress(const SOCKET_ADDRESS& socketAddress, int prefixLength) {
  AdapterAddress address;
  const sockaddr* sa = socketAddress.lpSockaddr;
  if (sa == nullptr || sa->sa_family != AF_INET) return address;
  const auto* in = reinterpret_cast<const sockaddr_in*>(sa);
  address.isIpv4 = true;
  std::memcpy(address.bytes.data(), &in->sin_addr, 4);
  address.prefixLength = prefixLength;
  return address;
}

AdapterRecord ReadAdapter(const IP_ADAPTER_ADDRESSES& adapter) {
  AdapterRecord record;
  record.operUp = adapter.OperStatus == IfOperStatusUp;
  record.ifType = adapter.IfType;
  record.friendlyName = OptionalText(adapter.FriendlyName);
  record.description = OptionalText(adapter.Description);
  for (auto* u = adapter.FirstUnicastAddress; u != nullptr; u = u->Next) {
    record.unicast.push_back(ReadAddress(u->Address, u->OnLinkPrefixLength));
  }
  for (auto* g = adapter.FirstGatewayAddress; g != nullptr; g = g->Next) {
    record.gateways.push_back(ReadAddress(g->Address, 0));
  }
  return record;
}

}  // namespace

std::vector<NetworkProfile> EnumerateProfiles() {
  constexpr ULONG kFlags = GAA_FLAG_INCLUDE_GATEWAYS;
  ULONG size = kInitialBufferBytes;
  std::vector<unsigned char> buffer(size);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  ULONG status = GetAdaptersAddresses(AF_INET, kFlags, nullptr, first, &size);
  if (status == ERROR_BUFFER_OVERFLOW && size > buffer.size()) {
    buffer.resize(size);
    first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    status = GetAdaptersAddresses(AF_INET, kFlags, nullptr, first, &size);
  }
  if (status != NO_ERROR) return {};

  std::vector<AdapterRecord> adapters;
  for (auto* adapter = first; adapter != nullptr; adapter = adapter->Next) {
    adapters.push_back(ReadAdapter(*adapter));
  }
  return ProfilesFromAdapters(adapters);
}

}  // namespace korvante
