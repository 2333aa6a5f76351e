// The tool on a computer with two networks, as an installer meets it: the
// shop network (192.168.77.0/24, printer .100), a second interface with a
// network and a printer of its own (10.20.0.50), and a printer behind a
// router that no broadcast reaches (172.30.0.100). The real
// korvante-config.exe is driven through its window; the cases run in file
// order, and the last ones move the second network's printer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ui-driver/tool_in_lab_win32.h"
#include "tests/ui-driver/ui_driver_win32.h"

namespace korvante {
namespace {

using namespace std::chrono_literals;
using ui::EnvPath;
using ui::LabJournal;
using enum ui::ToolControlId;

constexpr char16_t kShopPrinter[] = u"192.168.77.100    Máy in bill/tem (00-1A-2B-3C-4D-5E)";
constexpr char16_t kSecondPrinter[] = u"10.20.0.50    Máy in bill/tem (00-1A-2B-3C-5D-50)";
constexpr char kDensityFive[] = "1F 1B 1F 13 14 05";

LabJournal Shop() { return LabJournal(100); }
LabJournal Second() { return LabJournal("KV_LAB_JOURNAL_SECOND"); }
LabJournal Routed() { return LabJournal("KV_LAB_JOURNAL_ROUTED"); }

class ToolOnTwoNetworks : public ui::ToolInLabTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(EnvPath("KV_LAB_JOURNAL_SECOND").empty()) << "no second network in the lab";
    ToolInLabTest::SetUp();
  }
  bool ShowTechnicalPage() {
    W().Click(kTechnicalPageButton);
    return ui::WaitUntil([&] { return IsWindowVisible(W().Page(ui::kTechnicalPage)); }, 2s);
  }
};

TEST(ProbeOnTwoNetworks, ListsThePrintersOfBothNetworksUnderTheChosenProfile) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"kv-e2e-networks-probe";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring exe = dir + L"\\korvante-config.exe";
  ASSERT_TRUE(CopyFileW(EnvPath("KV_TOOL_EXE").c_str(), exe.c_str(), FALSE));
  LabJournal second = Second();
  LabJournal routed = Routed();
  ui::Process probe;
  ASSERT_TRUE(probe.Start(L"\"" + exe + L"\" --probe"));
  ASSERT_EQ(probe.Wait(20000), 0);
  const std::vector<std::string> lines =
      ui::TextLines(ui::ReadWholeFile(dir + L"\\korvante-native-probe.txt"));
  ASSERT_EQ(lines.size(), 16u + 4u + 2u + 1u);
  EXPECT_EQ(lines[16], "Profiles=2");
  // The one network line is the chosen profile's, the shop network.
  EXPECT_NE(lines[17].find("|IP=192.168.77.2|"), std::string::npos) << lines[17];
  EXPECT_EQ(lines[19], "AUTOIP_COUNT=2");
  EXPECT_EQ(lines[20],
            "AUTOIP=10.20.0.50|MAC=00-1A-2B-3C-5D-50|Mask=255.255.255.0|"
            "Gateway=10.20.0.1|Port=9100");
  EXPECT_EQ(lines[21],
            "AUTOIP=192.168.77.100|MAC=00-1A-2B-3C-4D-5E|Mask=255.255.255.0|"
            "Gateway=192.168.77.1|Port=9100");
  // The limited broadcast and the directed one, twice, from eth1's address.
  EXPECT_EQ(second.Count("udp 10.20.0.2:"), 3u);
  EXPECT_EQ(routed.NewLines(), std::vector<std::string>{});
}

TEST_F(ToolOnTwoNetworks, TheListHoldsThePrintersOfBothNetworks) {
  EXPECT_EQ(Search(), (std::vector<std::u16string>{kSecondPrinter, kShopPrinter}));
  EXPECT_EQ(W().PrinterSelection(), 0);
  EXPECT_EQ(W().PrinterText(), kSecondPrinter);
}

// The routed printer never answers the search: its address is typed into the
// box, and a send reaches it over TCP 9100, byte for byte.
TEST_F(ToolOnTwoNetworks, ATypedAddressReachesThePrinterBehindTheRouter) {
  ASSERT_EQ(Search().size(), 2u);
  LabJournal routed = Routed();
  ASSERT_TRUE(W().TypePrinter(u"172.30.0.100"));
  ASSERT_TRUE(ShowTechnicalPage());
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(10s), u"Đã gửi độ đậm.");
  ui::WaitUntil([&] { return !routed.TcpData().empty(); }, 2s);
  EXPECT_EQ(routed.TcpData(), std::vector<std::string>{kDensityFive});
  EXPECT_EQ(routed.Count(" udp "), 0u);
}

TEST_F(ToolOnTwoNetworks, AMalformedTypedAddressIsRefusedAndNothingIsSent) {
  ASSERT_EQ(Search().size(), 2u);
  LabJournal journals[] = {Shop(), Second(), Routed()};
  ASSERT_TRUE(W().TypePrinter(u"172.30.0"));
  ASSERT_TRUE(ShowTechnicalPage());
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Địa chỉ không hợp lệ: IP máy in");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Địa chỉ không hợp lệ: IP máy in");
  Sleep(300);
  for (const LabJournal& j : journals) EXPECT_EQ(j.Count(" tcp-"), 0u);
  EXPECT_EQ(journals[1].Count("XP0001SAVE"), 0u);
}

TEST_F(ToolOnTwoNetworks, ARefreshKeepsATypedAddressAndReplacesAPick) {
  ASSERT_EQ(Search().size(), 2u);
  ASSERT_TRUE(W().TypePrinter(u"172.30.0.100"));
  EXPECT_EQ(Search(kFind), (std::vector<std::u16string>{kSecondPrinter, kShopPrinter}));
  EXPECT_EQ(W().PrinterText(), u"172.30.0.100");
  // A pick from the list is the tool's own text again: the next refresh
  // selects the first printer as usual.
  W().SelectPrinter(1);
  EXPECT_EQ(W().PrinterText(), kShopPrinter);
  ASSERT_EQ(Search(kFind).size(), 2u);
  EXPECT_EQ(W().PrinterSelection(), 0);
  EXPECT_EQ(W().PrinterText(), kSecondPrinter);
}

// "Lưu IP" to the second network's printer: the settings broadcast leaves
// through eth1 only, and the printer answers at its new address.
TEST_F(ToolOnTwoNetworks, SaveIpBroadcastsOnTheSecondNetworkOnly) {
  ASSERT_EQ(Search().size(), 2u);
  W().SelectPrinter(0);  // 10.20.0.50
  LabJournal shop = Shop();
  LabJournal second = Second();
  W().SetField(ui::kLanPage, 0, u"10.20.0.60");
  W().SetField(ui::kLanPage, 1, u"255.255.255.0");
  W().SetField(ui::kLanPage, 2, u"10.20.0.1");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(10s), u"Đã đổi IP LAN thành công.");
  const std::string datagram =
      "hex=58 50 30 30 30 31 53 41 56 45 "  // [0:10) "XP0001SAVE"
      "00 1A 2B 3C 5D 50 "                  // [10:16) MAC
      "22 00 "                              // [16:18) device bytes from the reply
      "0A 14 00 3C "                        // [18:22) 10.20.0.60
      "FF FF FF 00 "                        // [22:26) 255.255.255.0
      "0A 14 00 01 "                        // [26:30) 10.20.0.1
      "8C 23 "                              // [30:32) 9100, low byte first
      "00 |";                               // [32] 0x00
  EXPECT_GE(second.Count(datagram), 1u);
  EXPECT_GE(second.Count("-> moved"), 1u);
  EXPECT_EQ(shop.Count("XP0001SAVE"), 0u);
}

// With discovery muted everywhere, the sweep covers both networks at once.
TEST_F(ToolOnTwoNetworks, TheSweepFindsATcpPrinterOnEachNetwork) {
  struct Mute {
    Mute() { ui::SetLabDiscoveryMuted(true); }
    ~Mute() { ui::SetLabDiscoveryMuted(false); }
  } mute;
  // The second network's printer was moved to .60 by the case before.
  EXPECT_EQ(Search(), (std::vector<std::u16string>{u"10.20.0.60    Máy in bill/tem",
                                                   u"192.168.77.100    Máy in bill/tem"}));
}

}  // namespace
}  // namespace korvante

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  korvante::ui::EndDriverProcess(RUN_ALL_TESTS());
}
