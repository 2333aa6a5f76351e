// Discovery, the sweep, the TCP transport and the refresh cycle against the
// lab's simulated printers (tools/printer-lab/lab; the printers are set up by
// the discovery_lab_up test in tests/app/lab/CMakeLists.txt). Runs only inside
// the lab's computer namespace: main refuses to start anywhere else, so no
// broadcast or sweep ever reaches a real network.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "discovery/neighbours_win32.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "discovery/refresh.h"
#include "app/refresh_worker_win32.h"
#include "discovery/tcp_sweep.h"
#include "discovery/tcp_sweep_win32.h"
#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "core/sockets_win32.h"
#include "transport/transports_win32.h"

namespace korvante {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Subnet() { return Env("KV_LAB_SUBNET"); }
std::string Host(int n) { return Subnet() + "." + std::to_string(n); }

// A Linux path of the lab as Wine sees it (drive Z: is the root).
std::string WinePath(std::string unixPath) {
  for (char& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath;
}

std::string ReadJournal(int hostNumber) {
  const std::string path = Env(("KV_LAB_JOURNAL_" + std::to_string(hostNumber)).c_str());
  std::ifstream in(WinePath(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The simulator writes its line just after the tool's call returns.
bool JournalGains(int hostNumber, const std::string& part, std::size_t atLeast = 1) {
  const auto deadline = Clock::now() + milliseconds(2000);
  do {
    if (CountOf(ReadJournal(hostNumber), part) >= atLeast) return true;
    std::this_thread::sleep_for(milliseconds(20));
  } while (Clock::now() < deadline);
  return false;
}

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

NetworkProfile LabProfile() { return ChooseProfile(EnumerateProfiles()); }

std::vector<std::string> Ips(const std::vector<NetworkPrinter>& printers) {
  std::vector<std::string> out;
  for (const auto& p : printers) out.push_back(p.ip);
  return out;
}

// --- the computer's own profile -------------------------------------------------

TEST(LabProfiles, TheComputerNamespaceInterfaceIsTheOnlyProfile) {
  const auto profiles = EnumerateProfiles();
  ASSERT_EQ(profiles.size(), 1u);  // loopback skipped
  EXPECT_EQ(profiles[0].ip, Env("KV_LAB_COMPUTER"));
  EXPECT_EQ(profiles[0].mask, "255.255.255.0");
  EXPECT_EQ(profiles[0].gateway, "");
  EXPECT_FALSE(profiles[0].wireless);
  EXPECT_FALSE(profiles[0].name.empty());
}

// --- UDP discovery ------------------------------------------------------------------

class LabDiscovery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    journalsBefore = new std::vector<std::string>{ReadJournal(100), ReadJournal(50)};
    const auto start = Clock::now();
    found = new std::vector<NetworkPrinter>(DiscoverEveryNetwork({LabProfile()}, 900));
    elapsedMs = MsSince(start);
  }
  static void TearDownTestSuite() {
    delete found;
    delete journalsBefore;
  }
  static const NetworkPrinter* at(const std::string& ip, const std::string& mac) {
    for (const auto& p : *found) {
      if (p.ip == ip && p.mac == mac) return &p;
    }
    return nullptr;
  }
  static std::vector<NetworkPrinter>* found;
  static std::vector<std::string>* journalsBefore;
  static long long elapsedMs;
};
std::vector<NetworkPrinter>* LabDiscovery::found = nullptr;
std::vector<std::string>* LabDiscovery::journalsBefore = nullptr;
long long LabDiscovery::elapsedMs = 0;

TEST_F(LabDiscovery, ListsEveryReplyingPrinterOnceInNumericOrder) {
  // .3 cuts its reply one byte short; .9, .10, .30 and .31 do not answer.
  EXPECT_EQ(Ips(*found), (std::vector<std::string>{Host(20), Host(50), Host(50), Host(60), Host(61),
                                                   Host(100)}));
  EXPECT_GE(elapsedMs, 900);
  EXPECT_LT(elapsedMs, 900 + 180 + 400);
}

TEST_F(LabDiscovery, RecordHoldsEveryFieldOfTheReply) {
  const NetworkPrinter* p = at(Host(100), "00-1A-2B-3C-4D-5E");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->mask, "255.255.255.0");
  EXPECT_EQ(p->gateway, Host(1));
  EXPECT_EQ(p->port, 9100);  // the printer reports 00 00
  EXPECT_EQ(p->deviceBytes[0], 0x22);
  EXPECT_EQ(p->deviceBytes[1], 0x00);
  EXPECT_TRUE(p->foundByUdp);
}

TEST_F(LabDiscovery, ReplyAfterLeadingBytes) {
  const NetworkPrinter* p = at(Host(20), "00-1A-2B-3C-4D-20");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->deviceBytes[0], 0x31);
  EXPECT_EQ(p->deviceBytes[1], 0x07);
  EXPECT_EQ(p->port, 80);
  EXPECT_EQ(p->gateway, Host(254));
  EXPECT_TRUE(JournalGains(20, "-> reply leading"));
}

TEST_F(LabDiscovery, EveryTargetGotOneRequestAndRepeatedRepliesCountOnce) {
  // 255.255.255.255 and twice the /24 broadcast: three requests, three replies
  // from the same MAC, one record.
  const std::string request = "hex=58 50 30 30 30 31 46 49 4E 44 | XP0001FIND -> reply";
  EXPECT_EQ(CountOf(ReadJournal(100), request) - CountOf((*journalsBefore)[0], request), 3u);
  const auto listed = Ips(*found);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), Host(100)), 1);
}

TEST_F(LabDiscovery, TwoMacsOnOneAddressAndTheEchoedRequest) {
  // .51 reports .50 as its address; .50 also sends the request back.
  EXPECT_NE(at(Host(50), "00-1A-2B-3C-4D-50"), nullptr);
  EXPECT_NE(at(Host(50), "00-1A-2B-3C-4D-51"), nullptr);
  const std::string echo = "+ echo";
  EXPECT_EQ(CountOf(ReadJournal(50), echo) - CountOf((*journalsBefore)[1], echo), 3u);
  EXPECT_TRUE(JournalGains(3, "-> reply short"));
}

TEST(LabDiscoveryQuiet, NothingAnsweringReturnsEmptyAfterTheListeningTime) {
  const std::string mute = WinePath(Env("KV_LAB_MUTE_FILE"));
  { std::ofstream(mute).put('\n'); }
  const auto start = Clock::now();
  const auto found = DiscoverEveryNetwork({LabProfile()}, 900);
  const long long elapsed = MsSince(start);
  DeleteFileA(mute.c_str());
  EXPECT_TRUE(found.empty());
  EXPECT_GE(elapsed, 900);
  EXPECT_LT(elapsed, 900 + 180 + 400);
  EXPECT_TRUE(JournalGains(100, "XP0001FIND -> muted", 3));
}

// --- the port-9100 sweep ----------------------------------------------------------

// A printer on the computer's own address: the sweep must not probe it.
class OwnPort9100 {
 public:
  OwnPort9100() {
    listener_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(9100);
    bound_ = bind(listener_.get(), reinterpret_cast<sockaddr*>(&any), sizeof any) == 0 &&
             listen(listener_.get(), 8) == 0;
    thread_ = std::thread([this] {
      while (!stop_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_.get(), &readable);
        timeval wait{0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SocketOwner client(accept(listener_.get(), nullptr, nullptr));
        if (!client) continue;
        ++accepted;
        const char status = 0x12;
        send(client.get(), &status, 1, 0);
      }
    });
  }
  ~OwnPort9100() {
    stop_ = true;
    thread_.join();
  }
  bool bound() const { return bound_; }
  std::atomic<int> accepted{0};

 private:
  SocketOwner listener_;
  bool bound_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(LabSweep, FindsPrintersByStatusInNumericOrder) {
  OwnPort9100 own;
  ASSERT_TRUE(own.bound());
  const auto start = Clock::now();
  const auto swept = ScanTcp9100(LabProfile());
  const long long elapsed = MsSince(start);

  // .3 answers only the third request (0x16), .9 answers 00; .20 does not
  // listen, .30 stays silent, .31 answers 41 42; the computer itself (.2)
  // is skipped.
  EXPECT_EQ(Ips(swept), (std::vector<std::string>{Host(3), Host(9), Host(10), Host(50), Host(51),
                                                  Host(60), Host(61), Host(100)}));
  for (const auto& p : swept) {
    EXPECT_TRUE(p.mac.empty() && p.mask.empty() && p.gateway.empty()) << p.ip;
    EXPECT_EQ(p.port, 9100);
    EXPECT_FALSE(p.foundByUdp);
  }
  EXPECT_EQ(own.accepted.load(), 0);
  EXPECT_TRUE(JournalGains(3, "DLE EOT 4 -> 16"));
  EXPECT_TRUE(JournalGains(31, "DLE EOT 4 -> 41 42"));
  EXPECT_TRUE(JournalGains(30, "tcp-connect"));
  EXPECT_TRUE(JournalGains(30, "hex=10 04 01 10 04 02 10 04 04"));
  EXPECT_LT(elapsed, 8000);
}

// Seconds from the last connection a host's journal records to the first
// status request on it, or a negative value when there is none.
double SecondsToFirstRequest(int hostNumber) {
  const std::string journal = ReadJournal(hostNumber);
  const std::size_t connect = journal.rfind(" tcp-connect ");
  const std::size_t request = journal.find("| DLE EOT 1 ", connect);
  if (connect == std::string::npos || request == std::string::npos) return -1;
  const std::size_t requestLine = journal.rfind('\n', request) + 1;
  const std::size_t connectLine = journal.rfind('\n', connect) + 1;  // 0 when none
  return std::atof(journal.c_str() + requestLine) - std::atof(journal.c_str() + connectLine);
}

// Hosts .100 to .199 accept on TCP 9100 (.100 answers, the rest stay silent):
// a hundred sockets in flight, more than Winsock's default select set of 64.
// Every one is asked for its status as soon as it accepts, the silent ones
// three times. A set that held only 64 sockets would have left the others
// waiting until the first connects ran out their limit, 420 ms later.
TEST(LabSweep, TriesEveryOneOfAHundredHostsThatAccept) {
  const auto start = Clock::now();
  const auto swept = ScanTcp9100(LabProfile());
  const long long elapsed = MsSince(start);
  std::printf("  [figure] sweep of a /24 where 110 hosts accept, 101 of them silent: %lld ms\n",
              elapsed);

  const auto ips = Ips(swept);
  EXPECT_EQ(std::count(ips.begin(), ips.end(), Host(100)), 1);
  EXPECT_TRUE(JournalGains(100, "DLE EOT 1 -> 12"));
  double slowest = 0;
  for (int n = 101; n <= 199; ++n) {
    EXPECT_EQ(std::count(ips.begin(), ips.end(), Host(n)), 0) << n;
    EXPECT_TRUE(JournalGains(n, "total=9 hex=10 04 01 10 04 02 10 04 04\n")) << n;
    const double asked = SecondsToFirstRequest(n);
    EXPECT_GE(asked, 0) << n;
    EXPECT_LT(asked, kSweepConnectTimeoutMs / 2000.0) << n;
    slowest = std::max(slowest, asked);
  }
  std::printf("  [figure] slowest first request after a connect: %.0f ms\n", slowest * 1000);
}

// --- the TCP transport ---------------------------------------------------------------

TEST(LabSend, DeliversExactlyTheBytesGivenToPort9100) {
  NetworkPrinter printer;
  printer.ip = Host(100);
  printer.port = 5000;  // not used for sending: printers print on 9100
  CommandBuffer bytes{0x1B, 0x40};
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<std::uint8_t>(b));
  std::string expected = "1B 40";
  char two[4];
  for (int b = 0; b < 256; ++b) {
    std::snprintf(two, sizeof two, " %02X", b);
    expected += two;
  }
  ASSERT_TRUE(SendTcp9100(printer, bytes));
  EXPECT_TRUE(JournalGains(100, "tcp-close " + Env("KV_LAB_COMPUTER") + ":"));
  EXPECT_TRUE(JournalGains(100, "total=258 hex=" + expected + "\n"));
}

TEST(LabSend, NobodyListeningFailsWithinTheLimit) {
  struct Case {
    int hostNumber;
    const char* what;
  };
  for (const Case& c : {Case{20, "connection refused"}, Case{200, "no such host"}}) {
    NetworkPrinter printer;
    printer.ip = Host(c.hostNumber);
    const auto start = Clock::now();
    EXPECT_FALSE(SendTcp9100(printer, CommandBuffer{0x1B, 0x40})) << c.what;
    EXPECT_LT(MsSince(start), 1400 + 350) << c.what;
  }
  SocketOwner s;
  EXPECT_FALSE(ConnectTcp9100("not an address", 1400, &s));
  EXPECT_FALSE(s);
}

// A refusal ends the connect: .20 does not listen on TCP 9100, and nothing
// listens on the computer's own loopback. Wine, like Windows, reports a
// refused connect in select's except set only: a wait on the write set alone
// took the whole limit each time. Twenty refused connects at the sweep's
// limit take far less than twenty limits, and one at a send's limit ends
// before it.
TEST(LabSend, RefusedConnectionsDoNotWaitOutTheLimit) {
  for (const std::string& ip : {Host(20), std::string("127.0.0.1")}) {
    const auto start = Clock::now();
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(ConnectTcp9100(ip, kSweepConnectTimeoutMs)) << ip;
    const long long twenty = MsSince(start);
    SocketOwner s;
    const auto sendStart = Clock::now();
    EXPECT_FALSE(ConnectTcp9100(ip, kSendConnectTimeoutMs, &s)) << ip;
    const long long one = MsSince(sendStart);
    EXPECT_FALSE(s);
    std::printf(
        "  [figure] refused by %s: 20 connects at %u ms in %lld ms; one at %u ms in %lld ms\n",
        ip.c_str(), kSweepConnectTimeoutMs, twenty, kSendConnectTimeoutMs, one);
    EXPECT_LT(twenty, 20 * kSweepConnectTimeoutMs / 2) << ip;
    EXPECT_LT(one, kSendConnectTimeoutMs) << ip;
  }
}

TEST(LabSend, ConnectHandsOverABlockingSocket) {
  SocketOwner s;
  ASSERT_TRUE(ConnectTcp9100(Host(10), 1400, &s));
  ASSERT_TRUE(s);
  const char request[] = {0x10, 0x04, 0x01};
  ASSERT_EQ(send(s.get(), request, 3, 0), 3);
  char answer = 0;
  EXPECT_EQ(recv(s.get(), &answer, 1, 0), 1);  // blocking receive
  EXPECT_EQ(answer, 0x12);
  EXPECT_TRUE(ConnectTcp9100(Host(10), 1400));  // without hand-over
}

// --- the refresh cycle -------------------------------------------------------------------

// A message-only window standing in for the main window.
class ResultWindow {
 public:
  ResultWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvanteLabResults";
    RegisterClassW(&wc);
    hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
  }
  ~ResultWindow() { DestroyWindow(hwnd); }

  // Waits for posted results; returns every one that arrived.
  std::vector<std::unique_ptr<TargetsResult>> collect(std::thread& worker) {
    std::vector<std::unique_ptr<TargetsResult>> results;
    const auto deadline = Clock::now() + milliseconds(15000);
    while (results.empty() && Clock::now() < deadline) {
      MSG msg;
      while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
        if (msg.message == kMsgTargetsReady) {
          results.emplace_back(reinterpret_cast<TargetsResult*>(msg.lParam));
        }
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    }
    worker.join();
    MSG msg;
    while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
      if (msg.message == kMsgTargetsReady) {
        results.emplace_back(reinterpret_cast<TargetsResult*>(msg.lParam));
      }
    }
    return results;
  }
  HWND hwnd = nullptr;
};

TEST(LabRefresh, NetworkModePostsOneResultInTextAddressOrder) {
  ResultWindow window;
  ASSERT_NE(window.hwnd, nullptr);
  std::thread worker(RefreshTargets, window.hwnd, kModeNetwork, 42);
  const auto results = window.collect(worker);
  ASSERT_EQ(results.size(), 1u);
  const TargetsResult& r = *results[0];
  EXPECT_EQ(r.mode, 1);
  EXPECT_EQ(r.generation, 42);
  // Discovery answered, so the sweep did not run: .9 and .10 are not listed.
  // One entry for the two printers on .50; text order puts .100 first.
  EXPECT_EQ(Ips(r.networkPrinters),
            (std::vector<std::string>{Host(100), Host(20), Host(50), Host(60), Host(61)}));
  for (const auto& p : r.networkPrinters) EXPECT_TRUE(p.foundByUdp) << p.ip;
  ASSERT_EQ(r.profiles.size(), 1u);
  EXPECT_EQ(r.profiles[0].ip, Env("KV_LAB_COMPUTER"));
  EXPECT_TRUE(r.usbPrinters.empty());
}

TEST(LabRefresh, UsbModePostsItsOwnResult) {
  ResultWindow window;
  std::thread worker(RefreshTargets, window.hwnd, kModeUsb, 43);
  const auto results = window.collect(worker);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0]->mode, 0);
  EXPECT_EQ(results[0]->generation, 43);
  EXPECT_TRUE(results[0]->networkPrinters.empty());
  EXPECT_TRUE(results[0]->profiles.empty());
}

// --- the neighbour table -------------------------------------------------------------------

// Each lab host's link answers ARP with the MAC its printer reports: the
// table names the device at an address, the printer's own MAC is no
// conflict, and an address nobody holds costs the wait and names nobody.
TEST(LabNeighbours, TheTableNamesWhatHoldsAnAddress) {
  const NeighbourHooks hooks = WindowsNeighbourHooks();
  EXPECT_EQ(FindAddressHolder(Host(30), "", hooks), "00-1A-2B-00-00-1E");
  EXPECT_EQ(FindAddressHolder(Host(50), "00-1A-2B-3C-4D-5E", hooks), "00-1A-2B-3C-4D-50");
  EXPECT_EQ(FindAddressHolder(Host(100), "00-1A-2B-3C-4D-5E", hooks), std::nullopt);
  const auto start = Clock::now();
  EXPECT_EQ(FindAddressHolder(Host(233), "", hooks), std::nullopt);  // nobody holds .233
  EXPECT_GE(Clock::now() - start, kNeighbourCheckLimit);
}

// --- the simulator's address changes (last: they move .60 and .61) ----------------------

bool AcceptsWithin(const std::string& ip, milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  do {
    if (ConnectTcp9100(ip, 300)) return true;
  } while (Clock::now() < deadline);
  return false;
}

TEST(LabSimulator, IpChangeCommandOverTcpMovesThePrinter) {
  NetworkPrinter printer;
  printer.ip = Host(60);
  const auto newIp = Ipv4Bytes(Host(160));
  ASSERT_TRUE(newIp);
  CommandBuffer command{0x1F, 0x1B, 0x1F, 0x22};
  command.insert(command.end(), newIp->begin(), newIp->end());
  ASSERT_TRUE(SendTcp9100(printer, command));
  EXPECT_TRUE(JournalGains(60, "set LAN address " + Host(160) + " -> moved"));
  EXPECT_TRUE(AcceptsWithin(Host(160), milliseconds(2000)));
  EXPECT_FALSE(ConnectTcp9100(Host(60), 300));
}

TEST(LabSimulator, SaveBroadcastMovesOnlyThePrinterWithThatMac) {
  // "XP0001SAVE", MAC, device bytes, address, mask, gateway, port 9100, 00.
  std::vector<std::uint8_t> save{'X', 'P', '0', '0', '0', '1', 'S', 'A', 'V', 'E'};
  save.insert(save.end(), {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x61, 0x22, 0x00});
  const auto newIp = Ipv4Bytes(Host(161));
  const auto gateway = Ipv4Bytes(Host(1));
  ASSERT_TRUE(newIp && gateway);
  save.insert(save.end(), newIp->begin(), newIp->end());
  save.insert(save.end(), {0xFF, 0xFF, 0xFF, 0x00});
  save.insert(save.end(), gateway->begin(), gateway->end());
  save.insert(save.end(), {0x8C, 0x23, 0x00});
  ASSERT_EQ(save.size(), 33u);

  SocketOwner s(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  const BOOL on = TRUE;
  setsockopt(s.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9000);
  inet_pton(AF_INET, "255.255.255.255", &to.sin_addr);
  ASSERT_EQ(sendto(s.get(), reinterpret_cast<const char*>(save.data()), 33, 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to),
            33);
  EXPECT_TRUE(JournalGains(61, "XP0001SAVE mac 00-1A-2B-3C-4D-61"));
  EXPECT_TRUE(JournalGains(61, "-> moved"));
  EXPECT_TRUE(JournalGains(100, "not my MAC, ignored"));
  EXPECT_TRUE(AcceptsWithin(Host(161), milliseconds(2000)));
}

}  // namespace
}  // namespace korvante

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
  // Broadcasts and a /24 sweep must never leave the lab: refuse to run unless
  // this is the lab's computer namespace (its address is the only profile).
  const std::string computer = korvante::Env("KV_LAB_COMPUTER");
  const auto profiles = korvante::EnumerateProfiles();
  if (computer.empty() || profiles.size() != 1 || profiles[0].ip != computer) {
    std::fprintf(
        stderr,
        "discovery_lab_tests: not inside the lab; run it with tools/printer-lab/lab exec\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  WSACleanup();
  return result;
}
