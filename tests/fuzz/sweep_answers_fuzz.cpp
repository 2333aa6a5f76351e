// Answers on TCP 9100: the status probe that decides whether a host is a
// printer, and the sweep's host list and result for a profile's address.
//
// Input, parts separated by "NEXT": the answers to DLE EOT 1, 2 and 4 (an
// empty part is no answer), the profile's address text, and the host numbers
// (as bytes) whose probe says "printer".
#include <algorithm>
#include <map>

#include "discovery/sweep_scheduler.h"
#include "discovery/tcp_sweep.h"
#include "tests/discovery/fake_sweep_network.h"
#include "tests/fuzz/fuzz_support.h"

namespace korvante::fuzz {
namespace {

// The printer reply bytes as the protocol lists them.
bool ExpectedPrinterByte(unsigned char b) {
  return b == 0x00 || b == 0x03 || b == 0x20 || b == 0x22 || (b & 0x10) != 0;
}

using testing::FakeHost;
using testing::FakeSweepNetwork;

// One host that accepts and answers each request with its part of the input
// (an empty part is no answer), two milliseconds after it.
void CheckProbe(const std::vector<std::string_view>& parts) {
  FakeHost host;
  host.tcp = FakeHost::Tcp::kAccepts;
  for (std::size_t i = 0; i < 3; ++i) {
    // At most one read's worth: a longer answer's rest would be read at the
    // next request, which this expectation does not play.
    const std::string_view answer = Field(parts, i).substr(0, 16);
    if (!answer.empty()) host.answers[static_cast<int>(i) + 1] = {answer.begin(), answer.end()};
  }
  FakeSweepNetwork network({{"10.9.8.7", host}});
  ConnectBudget budget(1);
  const std::vector<bool> printer = ProbeHostsAtOnce({"10.9.8.7"}, network, budget);

  const std::vector<std::uint8_t> requests = {0x10, 0x04, 0x01, 0x10, 0x04, 0x02, 0x10, 0x04, 0x04};
  std::size_t expectedSent = 3;
  bool expectedPrinter = false;
  // Connected after 1 ms; each request then costs its answer's 2 ms, or the
  // whole 180 ms wait when no answer comes.
  long expectedMs = 1;
  for (std::size_t i = 0; i < 3 && !expectedPrinter; ++i) {
    const std::string_view answer = Field(parts, i).substr(0, 16);
    expectedMs += answer.empty() ? 180 : 2;
    if (std::any_of(answer.begin(), answer.end(),
                    [](char c) { return ExpectedPrinterByte(static_cast<unsigned char>(c)); })) {
      expectedPrinter = true;
      expectedSent = i + 1;
    }
  }
  const testing::HostRecord& record = network.records["10.9.8.7"];
  KV_FUZZ_CHECK(network.misuse.empty());
  KV_FUZZ_CHECK(printer.size() == 1 && printer[0] == expectedPrinter);
  KV_FUZZ_CHECK(record.received ==
                std::vector<std::uint8_t>(requests.begin(),
                                          requests.begin() + static_cast<long>(3 * expectedSent)));
  KV_FUZZ_CHECK(record.Held() == std::chrono::milliseconds(expectedMs));
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

  // Every host tried once and all at once; the printers answer 12 to the
  // first request, nobody else is there.
  std::map<std::string, FakeHost> scripts;
  for (std::size_t i = 0; i < expectedHosts.size(); ++i) {
    if (!printerAt[i]) continue;
    FakeHost printer;
    printer.tcp = FakeHost::Tcp::kAccepts;
    printer.answers[1] = {0x12};
    scripts[expectedHosts[i]] = printer;
  }
  FakeSweepNetwork network(scripts);
  ConnectBudget budget(kSweepSocketsInFlight);
  const auto found = SweepAtOnce(profile, network, budget);
  KV_FUZZ_CHECK(network.misuse.empty());
  KV_FUZZ_CHECK(network.records.size() == expectedHosts.size());
  for (const std::string& host : expectedHosts) KV_FUZZ_CHECK(network.records[host].connects == 1);
  KV_FUZZ_CHECK(network.peakOpen == static_cast<int>(expectedHosts.size()));
  KV_FUZZ_CHECK(network.Now() == std::chrono::milliseconds(420));
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
