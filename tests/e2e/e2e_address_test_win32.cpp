// Address changes as an installer meets them on a shop PC with cable and
// WiFi: the shop network on the cable (192.168.77.0/24: printer .100, printer
// .9 that answers at .19 after any change, and .30, a device that is no
// printer), and a wireless network (wlan0, the chosen profile, not where an
// unbound 255.255.255.255 goes) with a printer still on its factory address,
// 192.168.123.100, that hears only the limited broadcast. The real
// korvante-config.exe is driven through its window; the cases run in file
// order, and the last ones move printers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
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

constexpr char16_t kFactoryPrinter[] = u"192.168.123.100    Máy in bill/tem (00-1A-2B-3C-7F-01)";
constexpr char16_t kShopPrinter[] = u"192.168.77.100    Máy in bill/tem (00-1A-2B-3C-4D-5E)";
constexpr char16_t kWanderingPrinter[] = u"192.168.77.9    Máy in bill/tem (00-1A-2B-3C-4D-09)";

LabJournal Shop() { return LabJournal(100); }
LabJournal Wandering() { return LabJournal(9); }
LabJournal Device() { return LabJournal(30); }
LabJournal Factory() { return LabJournal("KV_LAB_JOURNAL_WIRELESS"); }

class AddressChange : public ui::ToolInLabTest {
 protected:
  void SetUp() override {
    ASSERT_FALSE(EnvPath("KV_LAB_JOURNAL_WIRELESS").empty()) << "no wireless network in the lab";
    ToolInLabTest::SetUp();
  }
  // Selects a listed printer and fills the LAN page's three fields.
  void PrepareChange(int printer, const char16_t* newIp, const char16_t* gateway) {
    W().SelectPrinter(printer);
    W().SetField(ui::kLanPage, 0, newIp);
    W().SetField(ui::kLanPage, 1, u"255.255.255.0");
    W().SetField(ui::kLanPage, 2, gateway);
  }
};

// Each network is asked through its own adapter: the factory printer hears
// the wireless network's limited broadcast, and the shop printer hears only
// the cable's three requests, none of the wireless network's.
TEST_F(AddressChange, TheSearchAsksEachNetworkThroughItsOwnAdapter) {
  LabJournal shop = Shop();
  LabJournal factory = Factory();
  EXPECT_EQ(Search(),
            (std::vector<std::u16string>{kFactoryPrinter, kShopPrinter, kWanderingPrinter}));
  EXPECT_EQ(factory.Count("udp 10.30.0.2:9000 hex=58 50 30 30 30 31 46 49 4E 44 |"), 1u);
  EXPECT_EQ(shop.Count("XP0001FIND"), 3u);
  EXPECT_EQ(shop.Count("udp 192.168.77.2:9000 hex=58 50 30 30 30 31 46 49 4E 44 |"), 3u);
  // The forms took the chosen (wireless) network.
  EXPECT_EQ(ui::WindowText(W().Field(ui::kLanPage, 0)), u"10.30.0.222");
}

TEST_F(AddressChange, AFailedSendToAPrinterOnAnotherNetworkSaysWhy) {
  ASSERT_EQ(Search().size(), 3u);
  W().SelectPrinter(0);  // the factory printer
  W().Click(kTechnicalPageButton);
  ASSERT_TRUE(ui::WaitUntil([&] { return IsWindowVisible(W().Page(ui::kTechnicalPage)); }, 2s));
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s),
            u"Máy in 192.168.123.100 khác dải IP với máy tính này nên chưa gửi được lệnh. Hãy đổi "
            u"IP máy in ở trang Máy in Lan trước.");
  // The same send to a printer of the shop's network keeps its own texts.
  W().SelectPrinter(1);
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Đã gửi độ đậm.");
}

TEST_F(AddressChange, AnotherListedPrintersAddressIsAskedAbout) {
  ASSERT_EQ(Search().size(), 3u);
  LabJournal shop = Shop();
  LabJournal wandering = Wandering();
  PrepareChange(1, u"192.168.77.9", u"192.168.77.1");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::QuestionDefaultButton(5s), IDNO);
  EXPECT_EQ(ui::AnswerQuestion(5s, false),
            u"IP 192.168.77.9 đang được một thiết bị khác dùng (MAC 00-1A-2B-3C-4D-09). Nếu đổi, "
            u"máy in sẽ trùng IP với thiết bị đó và có thể không in được. Vẫn đổi IP?");
  EXPECT_EQ(ui::ReadMessageBox(1s), std::nullopt) << "a message after No";
  EXPECT_TRUE(W().IsEnabled(kSaveIp));
  EXPECT_EQ(shop.Count("XP0001SAVE"), 0u);
  EXPECT_EQ(wandering.Count("XP0001SAVE"), 0u);
}

constexpr char16_t kDeviceQuestion[] =
    u"IP 192.168.77.30 đang được một thiết bị khác dùng (MAC 00-1A-2B-00-00-1E). Nếu đổi, máy in "
    u"sẽ trùng IP với thiết bị đó và có thể không in được. Vẫn đổi IP?";

// .30 answers ARP and accepts TCP 9100 but is no printer: the neighbour
// table names it before anything is sent, and its accepting the connection
// confirms nothing.
TEST_F(AddressChange, ATakenAddressIsAskedAboutAndNoSendsNothing) {
  ASSERT_EQ(Search().size(), 3u);
  LabJournal wandering = Wandering();
  LabJournal device = Device();
  PrepareChange(2, u"192.168.77.30", u"192.168.77.1");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerQuestion(5s, false), kDeviceQuestion);
  EXPECT_EQ(ui::ReadMessageBox(1s), std::nullopt) << "a message after No";
  EXPECT_TRUE(W().IsEnabled(kSaveIp));
  EXPECT_EQ(W().Caption(kFind), u"Tìm");
  EXPECT_EQ(wandering.Count("XP0001SAVE"), 0u);
  EXPECT_EQ(device.Count("tcp-connect"), 0u);
}

TEST_F(AddressChange, YesSendsAndAnotherDeviceAtTheNewAddressIsNoConfirmation) {
  ASSERT_EQ(Search().size(), 3u);
  LabJournal wandering = Wandering();
  LabJournal device = Device();
  PrepareChange(2, u"192.168.77.30", u"192.168.77.1");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerQuestion(5s, true), kDeviceQuestion);
  EXPECT_EQ(ui::AnswerMessageBox(10s),
            u"Đã gửi lệnh đổi IP, nhưng máy in đang dùng IP 192.168.77.19, chưa phải IP mới.");
  EXPECT_GE(wandering.Count("XP0001SAVE mac 00-1A-2B-3C-4D-09"), 1u);
  EXPECT_GE(wandering.Count("-> moved to 192.168.77.19"), 1u);
  EXPECT_EQ(device.Count("tcp-connect"), 1u);  // the confirmation's connection
}

// The factory printer is moved onto the wireless network: "XP0001SAVE" goes
// there alone, the printer answers at its new address, and the list is
// searched again with the printer selected there.
TEST_F(AddressChange, TheFactoryPrinterIsMovedInAndSelectedAtItsNewAddress) {
  ASSERT_EQ(Search().size(), 3u);
  LabJournal factory = Factory();
  LabJournal shop = Shop();
  LabJournal wandering = Wandering();
  PrepareChange(0, u"10.30.0.222", u"10.30.0.1");
  const auto start = std::chrono::steady_clock::now();
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(10s), u"Đã đổi IP LAN thành công.");
  std::printf("[figure] confirmed broadcast change, click to message: %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()));
  const std::string datagram =
      "hex=58 50 30 30 30 31 53 41 56 45 "  // [0:10) "XP0001SAVE"
      "00 1A 2B 3C 7F 01 "                  // [10:16) MAC
      "22 00 "                              // [16:18) device bytes from the reply
      "0A 1E 00 DE "                        // [18:22) 10.30.0.222
      "FF FF FF 00 "                        // [22:26) 255.255.255.0
      "0A 1E 00 01 "                        // [26:30) 10.30.0.1
      "8C 23 "                              // [30:32) 9100, low byte first
      "00 |";                               // [32] 0x00
  EXPECT_GE(factory.Count(datagram), 1u);
  // Every one of them from the wireless network's own address.
  EXPECT_EQ(factory.Count("XP0001SAVE"), factory.Count(" udp 10.30.0.2:", datagram));
  EXPECT_GE(factory.Count("-> moved"), 1u);
  EXPECT_EQ(shop.Count("XP0001SAVE"), 0u);
  EXPECT_EQ(wandering.Count("XP0001SAVE"), 0u);

  ASSERT_TRUE(ui::WaitUntil([&] { return SearchDone(); }, 20s));
  const std::u16string moved = u"10.30.0.222    Máy in bill/tem (00-1A-2B-3C-7F-01)";
  const auto items = W().PrinterItems();
  const auto at = std::find(items.begin(), items.end(), moved);
  ASSERT_NE(at, items.end());
  EXPECT_EQ(W().PrinterSelection(), static_cast<int>(at - items.begin()));
  EXPECT_EQ(W().PrinterText(), moved);
}

}  // namespace
}  // namespace korvante

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  korvante::ui::EndDriverProcess(RUN_ALL_TESTS());
}
