#include "app/lan_job.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/window_texts.h"
#include "tests/core/bytes.h"

namespace korvante {
namespace {

using namespace std::chrono_literals;

// "XP0001FOUND" from MAC 00-1A-2B-3C-4D-<tail> at an address given as hex.
std::vector<std::uint8_t> Found(const std::string& macTail, const std::string& ipHex) {
  return HexBytes("58 50 30 30 30 31 46 4F 55 4E 44 00 1A 2B 3C 4D " + macTail + " 22 00 " + ipHex +
                  " FF FF FF 00 C0 A8 05 01 8C 23 00");
}

// Records every step of the job in order, as one line each, on a clock that
// only the job's own waits move. The socket hands out `replies` once the job
// has asked for the printer.
struct Recorder {
  std::vector<std::string> steps;
  bool socketOpens = true;
  bool tcpDelivers = true;
  bool newAddressAnswers = true;
  std::deque<std::vector<std::uint8_t>> replies;
  MonotonicClock::time_point clock{};

  LanJobHooks Hooks() {
    struct Socket final : DatagramSocket {
      explicit Socket(Recorder& r) : recorder(r) {}
      void SendTo(const std::string& ip, std::uint16_t port, const CommandBuffer& bytes) override {
        recorder.steps.push_back("udp " + ip + ":" + std::to_string(port) + " " +
                                 std::to_string(bytes.size()));
        if (bytes.size() == 33) recorder.datagram = bytes;
        if (bytes == DiscoveryRequest()) asked = true;
      }
      bool WaitReadable(std::chrono::milliseconds limit) override {
        if (asked && !recorder.replies.empty()) return true;
        recorder.clock += limit;
        return false;
      }
      std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer) override {
        const std::vector<std::uint8_t> reply = recorder.replies.front();
        recorder.replies.pop_front();
        std::copy(reply.begin(), reply.end(), buffer.begin());
        recorder.steps.push_back("reply");
        return reply.size();
      }
      Recorder& recorder;
      bool asked = false;
    };
    LanJobHooks hooks;
    hooks.openBroadcastSocket = [this]() -> std::unique_ptr<DatagramSocket> {
      if (!socketOpens) return nullptr;
      return std::make_unique<Socket>(*this);
    };
    hooks.openBoundBroadcastSocket = [this](const std::string& ip) {
      steps.push_back("bind " + ip);
      return Hooks().openBroadcastSocket();
    };
    hooks.sendTcp9100 = [this](const NetworkPrinter& p, const CommandBuffer& bytes) {
      steps.push_back("tcp " + p.ip + " " + std::to_string(bytes.size()));
      command = bytes;
      return tcpDelivers;
    };
    hooks.connectTcp9100 = [this](const std::string& ip, unsigned ms) {
      steps.push_back("connect " + ip + " " + std::to_string(ms));
      return newAddressAnswers;
    };
    hooks.sleep = [this](unsigned ms) {
      steps.push_back("wait " + std::to_string(ms));
      clock += std::chrono::milliseconds(ms);
    };
    hooks.now = [this] { return clock; };
    return hooks;
  }
  CommandBuffer datagram;
  CommandBuffer command;
};

LanChangeJob BroadcastJob() {
  LanChangeJob job;
  job.printer.ip = "192.168.5.77";
  job.printer.mac = "00-1A-2B-3C-4D-5E";
  job.printer.foundByUdp = true;
  job.addresses = {"192.168.5.50", "255.255.255.0", "192.168.5.1"};
  job.profilesPresent = true;
  job.profile.ip = "192.168.5.20";
  job.profile.mask = "255.255.255.0";
  return job;
}

const std::string kAtNewAddress = "C0 A8 05 32";  // 192.168.5.50
const std::string kAtOldAddress = "C0 A8 05 4D";  // 192.168.5.77

TEST(LanJob, BroadcastPathSendsThreePassesConfirmsThenAsksForThePrinter) {
  Recorder r;
  r.replies = {Found("5E", kAtNewAddress)};
  const LanChangeOutcome outcome = RunLanChange(BroadcastJob(), r.Hooks());
  EXPECT_EQ(outcome.result, LanChangeResult::kConfirmed);
  const std::vector<std::string> pass = {"udp 255.255.255.255:9000 33", "udp 192.168.5.255:9000 33",
                                         "udp 192.168.5.255:9000 33", "wait 180"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), pass.begin(), pass.end());
  expected.insert(expected.end(),
                  {"wait 900", "connect 192.168.5.50 1400", "udp 255.255.255.255:9000 10",
                   "udp 192.168.5.255:9000 10", "udp 192.168.5.255:9000 10", "reply"});
  EXPECT_EQ(r.steps, expected);
  // The datagram names the printer by its MAC and carries the new address.
  ASSERT_EQ(r.datagram.size(), 33u);
  EXPECT_EQ(std::string(r.datagram.begin(), r.datagram.begin() + 10), "XP0001SAVE");
  EXPECT_EQ(CommandBuffer(r.datagram.begin() + 10, r.datagram.begin() + 16),
            (CommandBuffer{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(CommandBuffer(r.datagram.begin() + 18, r.datagram.begin() + 22),
            (CommandBuffer{192, 168, 5, 50}));
}

// Only the printer's own MAC answering from the new address, after a
// connection there, confirms the change.
TEST(LanJob, TheIdentityCheckDecidesTheBroadcastOutcome) {
  struct Case {
    const char* what;
    bool connects;
    std::vector<std::vector<std::uint8_t>> replies;
    LanChangeResult result;
    const char* heardAt;
  };
  const Case cases[] = {
      {"printer at the new address",
       true,
       {Found("5E", kAtNewAddress)},
       LanChangeResult::kConfirmed,
       ""},
      {"another printer first",
       true,
       {Found("09", kAtNewAddress), Found("5E", kAtNewAddress)},
       LanChangeResult::kConfirmed,
       ""},
      {"printer still at its old address",
       true,
       {Found("5E", kAtOldAddress)},
       LanChangeResult::kElsewhere,
       "192.168.5.77"},
      {"not connected, printer elsewhere",
       false,
       {Found("5E", "C0 A8 05 63")},
       LanChangeResult::kElsewhere,
       "192.168.5.99"},
      {"another device accepted, printer silent",
       true,
       {Found("09", kAtNewAddress)},
       LanChangeResult::kNotConfirmed,
       ""},
      {"nothing at all", true, {}, LanChangeResult::kNotConfirmed, ""},
      {"printer moved but refuses TCP",
       false,
       {Found("5E", kAtNewAddress)},
       LanChangeResult::kNotConfirmed,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recorder r;
    r.newAddressAnswers = c.connects;
    r.replies.assign(c.replies.begin(), c.replies.end());
    const MonotonicClock::time_point start = r.clock;
    const LanChangeOutcome outcome = RunLanChange(BroadcastJob(), r.Hooks());
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.heardAt, c.heardAt);
    // Passes, the apply wait, and at most the 900 ms the printer has to answer.
    EXPECT_LE(r.clock - start, 3 * 180ms + 900ms + 900ms);
  }
}

TEST(LanJob, BroadcastWithoutSocketStillWaitsAndConfirmsNothing) {
  Recorder r;
  r.socketOpens = false;
  EXPECT_EQ(RunLanChange(BroadcastJob(), r.Hooks()).result, LanChangeResult::kNotConfirmed);
  EXPECT_EQ(r.steps, (std::vector<std::string>{"wait 900", "connect 192.168.5.50 1400"}));
}

TEST(LanJob, TcpPathWhenTheBroadcastCannotNameThePrinter) {
  // Found by the sweep, or no MAC, or no profile on this computer.
  auto sweep = BroadcastJob();
  sweep.printer.foundByUdp = false;
  auto noMac = BroadcastJob();
  noMac.printer.mac.clear();
  auto noProfile = BroadcastJob();
  noProfile.profilesPresent = false;
  for (const LanChangeJob& job : {sweep, noMac, noProfile}) {
    Recorder r;
    EXPECT_EQ(RunLanChange(job, r.Hooks()).result, LanChangeResult::kConfirmed);
    EXPECT_EQ(r.steps, (std::vector<std::string>{"tcp 192.168.5.77 8", "wait 900",
                                                 "connect 192.168.5.50 1400"}));
    EXPECT_EQ(r.command, (CommandBuffer{0x1F, 0x1B, 0x1F, 0x22, 0xC0, 0xA8, 0x05, 0x32}));
  }
  Recorder undelivered;
  undelivered.tcpDelivers = false;
  EXPECT_EQ(RunLanChange(sweep, undelivered.Hooks()).result, LanChangeResult::kNotConfirmed);
  EXPECT_EQ(undelivered.steps, (std::vector<std::string>{"tcp 192.168.5.77 8", "wait 900"}));
  Recorder silent;
  silent.newAddressAnswers = false;
  EXPECT_EQ(RunLanChange(sweep, silent.Hooks()).result, LanChangeResult::kNotConfirmed);
}

TEST(LanJob, ReportTextsAndTheSearchAfterAConfirmedChange) {
  const LanChangeJob job = BroadcastJob();
  const SendOutcome confirmed = LanChangeReport(job, {LanChangeResult::kConfirmed, {}});
  EXPECT_EQ(confirmed.text, u"Đã đổi IP LAN thành công.");
  ASSERT_TRUE(confirmed.selectAfterSearch);
  EXPECT_EQ(confirmed.selectAfterSearch->mac, "00-1A-2B-3C-4D-5E");
  EXPECT_EQ(confirmed.selectAfterSearch->ip, "192.168.5.50");
  const SendOutcome elsewhere = LanChangeReport(job, {LanChangeResult::kElsewhere, "192.168.5.77"});
  EXPECT_EQ(elsewhere.text,
            u"Đã gửi lệnh đổi IP, nhưng máy in đang dùng IP 192.168.5.77, chưa phải IP mới.");
  EXPECT_FALSE(elsewhere.selectAfterSearch);
  const SendOutcome unconfirmed = LanChangeReport(job, {});
  EXPECT_EQ(unconfirmed.text, u"Đã gửi lệnh đổi IP, chưa xác nhận được IP mới.");
  EXPECT_FALSE(unconfirmed.selectAfterSearch);
}

// A device holding the address turns the job into a question, and nothing is
// sent until the user says Yes; a free address goes straight on.
TEST(LanJob, TheNeighbourCheckAsksBeforeAnythingIsSent) {
  for (const bool held : {true, false}) {
    SCOPED_TRACE(held);
    int changes = 0;
    NeighbourHooks neighbours;
    neighbours.sendProbe = [](const std::string&) {};
    neighbours.read = [held](const std::string&) {
      return std::vector<NeighbourEntry>{
          {NeighbourState::kReachable, held ? "00-1A-2B-00-00-1E" : "00-1A-2B-3C-4D-5E"}};
    };
    neighbours.sleep = [](std::chrono::milliseconds) {};
    ReportingSendJob job = AfterNeighbourCheck(
        "192.168.5.30", "00-1A-2B-3C-4D-5E", neighbours,
        [&changes] {
          ++changes;
          return SendOutcome{u"sent", {}, {}, {}, {}};
        },
        u"failed");
    SendOutcome outcome = job();
    if (!held) {
      EXPECT_EQ(outcome.text, u"sent");
      EXPECT_EQ(changes, 1);
      continue;
    }
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(outcome.text.empty());
    EXPECT_EQ(outcome.question,
              u"IP 192.168.5.30 đang được một thiết bị khác dùng (MAC 00-1A-2B-00-00-1E). Nếu "
              u"đổi, máy in sẽ trùng IP với thiết bị đó và có thể không in được. Vẫn đổi IP?");
    EXPECT_EQ(outcome.onYesFailure, u"failed");
    ASSERT_TRUE(outcome.onYes);
    EXPECT_EQ(outcome.onYes().text, u"sent");
    EXPECT_EQ(changes, 1);
  }
}

// The broadcast goes to the network that heard the printer, from a socket
// bound to that network's address whenever the computer has more than one.
TEST(LanJobNetworks, EachPrinterGetsTheBroadcastOfItsOwnNetwork) {
  NetworkProfile shop;
  shop.ip = "192.168.5.20";
  shop.mask = "255.255.255.0";
  NetworkProfile cable;
  cable.ip = "10.20.0.2";
  cable.mask = "255.255.0.0";
  const LanAddresses addresses{"10.20.0.60", "255.255.0.0", "10.20.0.1"};

  struct Case {
    std::vector<NetworkProfile> profiles;
    const char* heardOn;
    const char* boundTo;  // "" for the unbound socket of a computer with one network
    const char* directed;
  };
  const Case cases[] = {
      {{shop}, "192.168.5.20", "", "192.168.5.255"},  // one network: as ever
      {{shop, shop}, "192.168.5.20", "", "192.168.5.255"},
      {{shop, cable}, "192.168.5.20", "192.168.5.20", "192.168.5.255"},  // the chosen one too
      {{shop, cable}, "", "", "192.168.5.255"},           // not from discovery's sockets
      {{shop, cable}, "10.99.0.2", "", "192.168.5.255"},  // its network is gone from the list
      {{shop, cable}, "10.20.0.2", "10.20.0.2", "10.20.255.255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.profiles.size()) + " " + c.heardOn);
    NetworkPrinter printer = BroadcastJob().printer;
    printer.localIp = c.heardOn;
    const LanChangeJob job = MakeLanChangeJob(printer, addresses, c.profiles);
    EXPECT_TRUE(job.profilesPresent);
    EXPECT_EQ(job.localIp, c.boundTo);
    Recorder r;
    RunLanChange(job, r.Hooks());
    std::size_t first = 0;
    if (*c.boundTo != '\0') {
      ASSERT_FALSE(r.steps.empty());
      EXPECT_EQ(r.steps[first++], std::string("bind ") + c.boundTo);
    }
    ASSERT_GE(r.steps.size(), first + 2);
    EXPECT_EQ(r.steps[first], "udp 255.255.255.255:9000 33");
    EXPECT_EQ(r.steps[first + 1], std::string("udp ") + c.directed + ":9000 33");
  }
}

}  // namespace
}  // namespace korvante
