// Answers on TCP 9100: the status probe that decides whether a host is a
// printer, and the sweep's host list and result for a profile's address.
//
// Input, parts separated by "NEXT": the answers to DLE EOT 1, 2 and 4 (an
// empty part is no answer), the profile's address text, and the host numbers
// (as bytes) whose probe says "printer".
#include <algorithm>
#include <array>

#include "discovery/tcp_sweep.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

// The printer reply bytes as the protocol lists them.
bool ExpectedPrinterByte(unsigned char b) {
  return b == 0x00 || b == 0x03 || b == 0x20 || b == 0x22 || (b & 0x10) != 0;
}

class ScriptedHost : public StatusChannel {
 public:
  explicit ScriptedHost(const std::vector<std::string_view>& answers) : answers_(answers) {}
  void Send(std::span<const std::uint8_t> bytes) override {
    sent.emplace_back(bytes.begin(), bytes.end());
  }
  std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds wait,
                                                   std::size_t maxBytes) override {
    KV_FUZZ_CHECK(wait == std::chrono::milliseconds(180) && maxBytes == 16);
    KV_FUZZ_CHECK(sent.size() == received_ + 1);  // one receive after each request
    const std::string_view answer = Field(answers_, received_++);
    if (answer.empty()) return std::nullopt;
    const std::string_view read = answer.substr(0, maxBytes);
    return std::vector<std::uint8_t>(read.begin(), read.end());
  }
  std::vector<std::vector<std::uint8_t>> sent;

 private:
  const std::vector<std::string_view>& answers_;
  std::size_t received_ = 0;
};

void CheckProbe(const std::vector<std::string_view>& parts) {
  ScriptedHost host(parts);
  const bool printer = ProbeStatus(host);

  const std::vector<std::vector<std::uint8_t>> requests = {
      {0x10, 0x04, 0x01}, {0x10, 0x04, 0x02}, {0x10, 0x04, 0x04}};
  std::size_t expectedSent = 3;
  bool expectedPrinter = false;
  for (std::size_t i = 0; i < 3 && !expectedPrinter; ++i) {
    const std::string_view answer = Field(parts, i).substr(0, 16);
    if (std::any_of(answer.begin(), answer.end(),
                    [](char c) { return ExpectedPrinterByte(static_cast<unsigned char>(c)); })) {
      expectedPrinter = true;
      expectedSent = i + 1;
    }
  }
  KV_FUZZ_CHECK(printer == expectedPrinter);
  KV_FUZZ_CHECK(host.sent ==
                std::vector(requests.begin(), requests.begin() + static_cast<long>(expectedSent)));
}

void CheckSweep(const std::vector<std::string_view>& parts) {
  NetworkProfile profile;
  profile.ip = std::string(Field(parts, 3));
  const std::string_view printerNumbers = Field(parts, 4);

  // The text before the third '.', or the whole text when it has fewer.
  std::string prefix = profile.ip;
  std::size_t dots = 0;
  for (std::size_t i = 0; i < profile.ip.size(); ++i) {
    if (profile.ip[i] == '.' && ++dots == 3) {
      prefix = profile.ip.substr(0, i);
      break;
    }
  }
  std::vector<std::string> expectedHosts;
  std::vector<bool> printerAt;  // by position in expectedHosts
  for (int n = 1; n <= 254; ++n) {
    std::string host = prefix + "." + std::to_string(n);
    if (host == profile.ip) continue;
    expectedHosts.push_back(std::move(host));
    printerAt.push_back(printerNumbers.find(static_cast<char>(n)) != std::string_view::npos);
  }
  KV_FUZZ_CHECK(SweepHosts(profile) == expectedHosts);

  // Zero threads: the calling thread covers every host once, in order.
  std::vector<std::string> probed;
  const auto found = SweepNetwork(
      profile,
      [&](const std::string& host) {
        probed.push_back(host);
        return probed.size() <= printerAt.size() && printerAt[probed.size() - 1];
      },
      0);
  KV_FUZZ_CHECK(probed == expectedHosts);
  KV_FUZZ_CHECK(std::is_sorted(found.begin(), found.end(), NumericAddressLess));
  KV_FUZZ_CHECK(found.size() ==
                static_cast<std::size_t>(std::count(printerAt.begin(), printerAt.end(), true)));
  for (const NetworkPrinter& p : found) {
    NetworkPrinter addressOnly;  // a sweep record knows only its address
    addressOnly.ip = p.ip;
    KV_FUZZ_CHECK(p == addressOnly);
    const auto at = std::find(expectedHosts.begin(), expectedHosts.end(), p.ip);
    KV_FUZZ_CHECK(at != expectedHosts.end() && printerAt[at - expectedHosts.begin()]);
  }
}

}  // namespace
}  // namespace korvante::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvante::fuzz;
  const std::vector<std::string_view> parts = Split(AsText(data, size), "NEXT");
  CheckProbe(parts);
  // The sweep costs 254 probes; only inputs that name an address pay for it.
  if (parts.size() > 3) CheckSweep(parts);
  return 0;
}
