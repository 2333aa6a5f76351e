#include "app/lan_job.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvante {
namespace {

// Records every step of the job in order, as one line each.
struct Recorder {
  std::vector<std::string> steps;
  bool socketOpens = true;
  bool tcpDelivers = true;
  bool newAddressAnswers = true;

  LanJobHooks Hooks() {
    struct Socket final : DatagramSocket {
      explicit Socket(Recorder& r) : recorder(r) {}
      void SendTo(const std::string& ip, std::uint16_t port, const CommandBuffer& bytes) override {
        recorder.steps.push_back("udp " + ip + ":" + std::to_string(port) + " " +
                                 std::to_string(bytes.size()));
        recorder.datagram = bytes;
      }
      Recorder& recorder;
    };
    LanJobHooks hooks;
    hooks.openBroadcastSocket = [this]() -> std::unique_ptr<DatagramSocket> {
      if (!socketOpens) return nullptr;
      return std::make_unique<Socket>(*this);
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
    hooks.sleep = [this](unsigned ms) { steps.push_back("wait " + std::to_string(ms)); };
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

TEST(LanJob, BroadcastPathSendsThreePassesThenConfirms) {
  Recorder r;
  EXPECT_TRUE(RunLanChange(BroadcastJob(), r.Hooks()));
  const std::vector<std::string> pass = {"udp 255.255.255.255:9000 33", "udp 192.168.5.255:9000 33",
                                         "udp 192.168.5.255:9000 33", "wait 180"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), pass.begin(), pass.end());
  expected.push_back("wait 900");
  expected.push_back("connect 192.168.5.50 1400");
  EXPECT_EQ(r.steps, expected);
  // The datagram names the printer by its MAC and carries the new address.
  ASSERT_EQ(r.datagram.size(), 33u);
  EXPECT_EQ(std::string(r.datagram.begin(), r.datagram.begin() + 10), "XP0001SAVE");
  EXPECT_EQ(CommandBuffer(r.datagram.begin() + 10, r.datagram.begin() + 16),
            (CommandBuffer{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(CommandBuffer(r.datagram.begin() + 18, r.datagram.begin() + 22),
            (CommandBuffer{192, 168, 5, 50}));
}

TEST(LanJob, BroadcastWithoutSocketStillWaitsAndConfirms) {
  Recorder r;
  r.socketOpens = false;
  r.newAddressAnswers = false;
  EXPECT_FALSE(RunLanChange(BroadcastJob(), r.Hooks()));
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
    EXPECT_TRUE(RunLanChange(job, r.Hooks()));
    EXPECT_EQ(r.steps, (std::vector<std::string>{"tcp 192.168.5.77 8", "wait 900",
                                                 "connect 192.168.5.50 1400"}));
    EXPECT_EQ(r.command, (CommandBuffer{0x1F, 0x1B, 0x1F, 0x22, 0xC0, 0xA8, 0x05, 0x32}));
  }
}

TEST(LanJob, FailedTcpDeliveryEndsWithoutConfirmation) {
  auto job = BroadcastJob();
  job.printer.foundByUdp = false;
  Recorder r;
  r.tcpDelivers = false;
  EXPECT_FALSE(RunLanChange(job, r.Hooks()));
  EXPECT_EQ(r.steps, (std::vector<std::string>{"tcp 192.168.5.77 8", "wait 900"}));
}

TEST(LanJob, NoAnswerAtTheNewAddressIsAFailure) {
  auto job = BroadcastJob();
  job.printer.foundByUdp = false;
  Recorder r;
  r.newAddressAnswers = false;
  EXPECT_FALSE(RunLanChange(job, r.Hooks()));
}

}  // namespace
}  // namespace korvante

namespace korvante {
namespace {

// The broadcast goes to the network that heard the printer.
TEST(LanJobNetworks, EachPrinterGetsTheBroadcastOfItsOwnNetwork) {
  NetworkProfile shop;
  shop.ip = "192.168.5.20";
  shop.mask = "255.255.255.0";
  NetworkProfile cable;
  cable.ip = "10.20.0.2";
  cable.mask = "255.255.0.0";
  const std::vector<NetworkProfile> profiles{shop, cable};
  const LanAddresses addresses{"10.20.0.60", "255.255.0.0", "10.20.0.1"};

  struct Case {
    const char* heardOn;
    const char* boundTo;  // "" for the unbound socket of before
    const char* directed;
  };
  const Case cases[] = {
      {"192.168.5.20", "", "192.168.5.255"},  // the chosen profile: as before
      {"", "", "192.168.5.255"},              // not from discovery's sockets
      {"10.99.0.2", "", "192.168.5.255"},     // its network is gone from the list
      {"10.20.0.2", "10.20.0.2", "10.20.255.255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heardOn);
    NetworkPrinter printer = BroadcastJob().printer;
    printer.localIp = c.heardOn;
    const LanChangeJob job = MakeLanChangeJob(printer, addresses, profiles);
    EXPECT_TRUE(job.profilesPresent);
    Recorder r;
    LanJobHooks hooks = r.Hooks();
    std::string bound = "(none)";
    hooks.openBoundBroadcastSocket = [&](const std::string& ip) {
      bound = ip;
      return r.Hooks().openBroadcastSocket();
    };
    if (*c.boundTo == '\0') bound = "";
    EXPECT_TRUE(RunLanChange(job, hooks));
    EXPECT_EQ(bound, c.boundTo);
    ASSERT_GE(r.steps.size(), 3u);
    EXPECT_EQ(r.steps[0], "udp 255.255.255.255:9000 33");
    EXPECT_EQ(r.steps[1], std::string("udp ") + c.directed + ":9000 33");
    EXPECT_EQ(r.steps.size(), 3u * 4u + 2u);  // three passes of three, waits, the check
  }
}

}  // namespace
}  // namespace korvante
