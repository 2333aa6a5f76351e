// The whole tool as a user meets it: the real korvante-config.exe in the lab's
// computer namespace, driven through its window by the UI driver, with
// simulated printers that journal every byte (tests/e2e/e2e_lab.sh sets up
// the printers these cases rely on). The cases run in file order: the last
// ones move printers to new addresses.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ui-driver/tool_in_lab_win32.h"
#include "tests/ui-driver/ui_driver_win32.h"

namespace korvante {
namespace {

using namespace std::chrono_literals;
using ui::EnvPath;
using ui::HexOf;
using ui::LabJournal;
using ui::Process;
using ui::SerialCapture;
using enum ui::ToolControlId;

std::wstring ToolPath() { return EnvPath("KV_TOOL_EXE"); }

// Saving the ticket content deletes what graphics the printer has stored.
constexpr char16_t kStoredGraphicsQuestion[] =
    u"Lưu nội dung phiếu sẽ xoá logo và mọi hình ảnh đã lưu trong máy in. Tiếp tục?";

// Every case gets a freshly started tool, as a user who just opened it.
class ToolInLab : public ui::ToolInLabTest {
 protected:
  // Clicks the LAN / Wi-Fi radio and waits for the refreshed list. The
  // search takes the 900 ms of discovery, long enough to see its placeholder.
  std::vector<std::u16string> SearchLan() {
    W().Click(kLanRadio);
    EXPECT_TRUE(ui::WaitUntil(
        [&] {
          return W().PrinterItems() ==
                     std::vector<std::u16string>{u"Đang tìm máy in LAN / Wi-Fi..."} &&
                 W().Caption(kFind) == u"Đang tìm...";
        },
        2s))
        << "no LAN / Wi-Fi placeholder";
    EXPECT_TRUE(ui::WaitUntil([&] { return W().Caption(kFind) == u"Tìm" && !Searching(); }, 10s));
    return W().PrinterItems();
  }
  // Waits for the send's box and returns its text; the payloads of the
  // connections it made follow in `sent` (the printer journals a connection
  // when it closes, which may come a moment after the box).
  std::u16string AnswerAndCollect(const LabJournal& journal, std::size_t expected,
                                  std::vector<std::string>& sent) {
    const std::u16string text = ui::AnswerMessageBox(10s).value_or(u"(no message box)");
    ui::WaitUntil([&] { return journal.TcpPayloads().size() >= expected; }, 2s);
    Sleep(100);
    sent = journal.TcpPayloads();
    return text;
  }
  // Clicks the page's button and waits until the page shows.
  bool ShowPage(int page) {
    W().Click(kLanPageButton + page);
    return ui::WaitUntil([&] { return IsWindowVisible(W().Page(page)); }, 2s);
  }
  // Presses "Lưu vào máy" with .100 selected: the box's text, the bytes of
  // the connections it made, and the computer's date at the press. With the
  // content shown, the question about the stored graphics comes first and is
  // answered Yes.
  std::u16string SaveQueue(std::vector<std::string>& sent, SYSTEMTIME& date,
                           bool contentShown = false) {
    LabJournal journal(100);
    W().Click(kSaveQueue);
    GetLocalTime(&date);
    if (contentShown) {
      EXPECT_EQ(ui::AnswerQuestion(5s, true), kStoredGraphicsQuestion);
    }
    return AnswerAndCollect(journal, 1, sent);
  }
};

// The printers answer discovery; the probe run lists them without a window.
TEST(ProbeInLab, ReportsProfileSuggestionAndDiscoveredPrinters) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"kv-e2e-probe";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring exe = dir + L"\\korvante-config.exe";
  ASSERT_TRUE(CopyFileW(ToolPath().c_str(), exe.c_str(), FALSE));
  const std::wstring report = dir + L"\\korvante-native-probe.txt";
  {
    // An older, longer report must leave nothing behind.
    std::ofstream old(report.c_str(), std::ios::binary);
    old << std::string(20000, 'x');
  }
  Process probe;
  ASSERT_TRUE(probe.Start(L"\"" + exe + L"\" --probe"));
  ASSERT_EQ(probe.Wait(20000), 0);
  // Another process must not hold the tool's report open.
  const std::string bytes = ui::ReadWholeFile(report);
  ASSERT_FALSE(bytes.empty());
  ASSERT_EQ(bytes.back(), '\n');
  EXPECT_EQ(bytes.find("xxxx"), std::string::npos);
  const std::vector<std::string> lines = ui::TextLines(bytes);
  ASSERT_EQ(lines.size(), 16u + 4u + 3u + 2u) << bytes;
  EXPECT_EQ(lines[0], "Build=korvante-native-v1.0-restore-size-four-20261004");
  EXPECT_EQ(lines[3], "QUEUE_DATE_PREFIX=In ng\xC3\xA0y:");
  EXPECT_EQ(lines[16], "Profiles=1");
  // The computer's one address in the shop network; the lab gives it no gateway.
  EXPECT_EQ(lines[17].rfind("NET=", 0), 0u);
  const std::string net = "|Type=LAN|IP=192.168.77.2|Mask=255.255.255.0|Gateway=";
  ASSERT_GE(lines[17].size(), net.size());
  EXPECT_EQ(lines[17].substr(lines[17].size() - net.size()), net);
  EXPECT_EQ(lines[18], "SUGGEST_LAN=192.168.77.222|SUGGEST_WIFI=192.168.77.222");
  EXPECT_EQ(lines[19], "AUTOIP_COUNT=3");
  const std::set<std::string> found(lines.begin() + 20, lines.begin() + 23);
  EXPECT_EQ(found, (std::set<std::string>{
                       "AUTOIP=192.168.77.100|MAC=00-1A-2B-3C-4D-5E|Mask=255.255.255.0|"
                       "Gateway=192.168.77.1|Port=9100",
                       "AUTOIP=192.168.77.20|MAC=00-1A-2B-3C-4D-20|Mask=255.255.255.0|"
                       "Gateway=192.168.77.1|Port=9100",
                       "AUTOIP=192.168.77.9|MAC=00-1A-2B-3C-4D-09|Mask=255.255.255.0|"
                       "Gateway=192.168.77.1|Port=9100",
                   }));
  EXPECT_EQ(lines[23], "USB_COUNT=1");
  EXPECT_EQ(lines[24], "USB=Port:COM5|Name:USB-SERIAL CH340 (COM5)|Queue:|Path:\\\\.\\COM5");
}

constexpr char16_t kSerialPrinterItem[] = u"COM5 - USB-SERIAL CH340 (COM5)";

TEST_F(ToolInLab, StartsInUsbModeOnTheLanPageWithTheUsbResult) {
  // The search may end before the window answers the first question: the
  // placeholder, when seen at all, comes before the result, and nothing else
  // is ever listed.
  std::vector<std::u16string> seen;
  ui::WaitUntil(
      [&] {
        const auto items = W().PrinterItems();
        if (items.size() == 1 && (seen.empty() || seen.back() != items[0]))
          seen.push_back(items[0]);
        return !seen.empty() && seen.back() == kSerialPrinterItem;
      },
      10s);
  const std::vector<std::u16string> both{u"Đang tìm máy in USB...", kSerialPrinterItem};
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(seen == both || seen == std::vector<std::u16string>{both[1]})
      << seen.size() << " texts seen, the first of " << seen[0].size() << " characters";
  EXPECT_EQ(W().PrinterSelection(), 0);
  EXPECT_EQ(SendMessageW(W().Control(kUsbRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(W().Control(kLanRadio), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(IsWindowVisible(W().Page(ui::kLanPage)));
  EXPECT_FALSE(IsWindowVisible(W().Page(ui::kWifiPage)));
  EXPECT_TRUE(ui::WaitUntil([&] { return W().Caption(kFind) == u"Tìm"; }, 2s));
}

// USB mode: the adapter's port is written directly, as \\.\COM5.
TEST_F(ToolInLab, UsbModeSendsToTheSerialPrinter) {
  ASSERT_TRUE(ui::WaitUntil(
      [&] { return W().PrinterItems() == std::vector<std::u16string>{kSerialPrinterItem}; }, 10s));
  ASSERT_TRUE(ShowPage(ui::kTechnicalPage));
  struct Step {
    int button;
    const char16_t* message;
    const char* bytes;
  };
  const Step steps[] = {
      {kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 03"},
      {kTestBeep, u"Đã gửi chuông.", "1F 1B 1F E0 13 14 01 04 02 03 1B 40 1B 64 01"},
  };
  W().SetField(ui::kTechnicalPage, 1, u"3");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.bytes);
    SerialCapture serial;
    W().Click(step.button);
    EXPECT_EQ(ui::AnswerMessageBox(10s), step.message);
    ui::WaitUntil([&] { return serial.NewHex() == step.bytes; }, 2s);
    EXPECT_EQ(serial.NewHex(), step.bytes);
  }
}

TEST_F(ToolInLab, LanSearchListsThePrintersInTextAddressOrder) {
  EXPECT_EQ(SearchLan(), (std::vector<std::u16string>{
                             u"192.168.77.100    Máy in bill/tem (00-1A-2B-3C-4D-5E)",
                             u"192.168.77.20    Máy in bill/tem (00-1A-2B-3C-4D-20)",
                             u"192.168.77.9    Máy in bill/tem (00-1A-2B-3C-4D-09)",
                         }));
  EXPECT_EQ(W().PrinterSelection(), 0);
  EXPECT_EQ(SendMessageW(W().Control(kLanRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
  // The address forms took the computer's network.
  EXPECT_EQ(ui::WindowText(W().Field(ui::kLanPage, 0)), u"192.168.77.222");
}

TEST_F(ToolInLab, SaveIpWithoutSelectionSendsNothing) {
  ASSERT_EQ(SearchLan().size(), 3u);
  LabJournal journals[] = {LabJournal(100), LabJournal(20), LabJournal(9)};
  W().SelectPrinter(-1);
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Chưa chọn máy in LAN.");
  Sleep(300);
  for (const LabJournal& j : journals) EXPECT_EQ(j.Count("XP0001SAVE"), 0u);
}

// A double click on "Tìm" is one search, one set of requests on the network;
// while it runs the box names no printer, and a save pressed then reaches
// none (it would have gone to the first printer of the last list).
TEST_F(ToolInLab, ASearchRunsOnceAndASaveDuringItReachesNoPrinter) {
  ASSERT_EQ(SearchLan().size(), 3u);
  LabJournal journals[] = {LabJournal(100), LabJournal(20), LabJournal(9)};
  W().Click(kFind);
  PostMessageW(W().hwnd(), WM_COMMAND, MAKEWPARAM(kFind, BN_DOUBLECLICKED),
               reinterpret_cast<LPARAM>(W().Control(kFind)));
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Đang tìm máy in, vui lòng đợi.");
  EXPECT_TRUE(ui::WaitUntil([&] { return W().Caption(kFind) == u"Tìm" && !Searching(); }, 10s));
  EXPECT_EQ(W().PrinterItems().size(), 3u);
  Sleep(300);
  // 255.255.255.255 and the shop network's broadcast twice, once each.
  EXPECT_EQ(journals[0].Count("| XP0001FIND"), 3u);
  for (const LabJournal& j : journals) EXPECT_EQ(j.Count("tcp-connect"), 0u);
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The technical page's sends to a discovered printer, each one connection to
// TCP 9100 carrying exactly its command.
TEST_F(ToolInLab, TechnicalPageSendsDensityAndBuzzer) {
  ASSERT_EQ(SearchLan().size(), 3u);
  W().SelectPrinter(0);  // .100
  ASSERT_TRUE(ShowPage(ui::kTechnicalPage));
  HWND beep = W().ControlByCaption(ui::kTechnicalPage, u"Kêu sau khi in");
  ASSERT_TRUE(beep);
  ASSERT_TRUE(Checked(beep));
  struct Step {
    const char16_t* density;  // null: leave the field
    bool clearBeep;
    int button;
    const char16_t* message;
    const char* bytes;
  };
  const Step steps[] = {
      {u"9", false, kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 08"},
      {u"abc", false, kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 05"},
      {u"1", false, kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 01"},
      {u"0", false, kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 05"},
      {u"7x", false, kSaveDensity, u"Đã gửi độ đậm.", "1F 1B 1F 13 14 07"},
      {nullptr, false, kTestBeep, u"Đã gửi chuông.",
       "1F 1B 1F E0 13 14 01 04 02 03 1B 40 1B 64 01"},
      {nullptr, true, kSaveBeep, u"Đã gửi chuông.", "1F 1B 1F E0 13 14 00 04 02 03"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.bytes);
    if (step.density) W().SetField(ui::kTechnicalPage, 1, step.density);
    if (step.clearBeep) {
      PostMessageW(beep, BM_CLICK, 0, 0);
      ASSERT_TRUE(ui::WaitUntil([&] { return !Checked(beep); }, 2s));
    }
    LabJournal journal(100);
    W().Click(step.button);
    std::vector<std::string> sent;
    EXPECT_EQ(AnswerAndCollect(journal, 1, sent), step.message);
    EXPECT_EQ(sent, std::vector<std::string>{step.bytes});
  }
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
  return text;
}

constexpr char kQueuePreamble[] = "1F 1B 1F 00 0A 00 01";
constexpr char kCodePagePrefix[] = "1C 2E 1B 74 1B 1F 1B 1F FF 1B 0A 00";

// The queue settings command: numbers on, the copies, the date in BCD.
std::string QueueSettings(unsigned copies, const SYSTEMTIME& date) {
  auto bcd = [](unsigned value) { return static_cast<char>(value / 10 * 16 + value % 10); };
  const std::string tail{static_cast<char>(copies), bcd(date.wYear % 100), bcd(date.wMonth),
                         bcd(date.wDay), '\0'};
  return "1F 1B 1F 84 01 01 00 00 " + HexOf(tail);
}

// The WiFi page with the fields as the search left them, and the queue page
// with its content hidden (settings only) and shown with a QR link too long
// for the printer's 1,024 bytes.
// "In thông tin IP" tells identical printers apart: one connection to the
// selected printer with a slip naming its address and MAC, which the virtual
// printer prints.
TEST_F(ToolInLab, InformationSlipOfTheSelectedPrinter) {
  ASSERT_EQ(SearchLan().size(), 3u);
  W().SelectPrinter(0);  // .100
  LabJournal journal(100);
  W().Click(kPrintInfo);
  std::vector<std::string> sent;
  EXPECT_EQ(AnswerAndCollect(journal, 1, sent), u"Đã gửi lệnh in thông tin máy in.");
  ASSERT_EQ(sent.size(), 1u);
  const std::string& slip = sent[0];
  EXPECT_EQ(slip.rfind("1B 40 ", 0), 0u);  // ESC @
  EXPECT_NE(slip.find(HexOf("192.168.77.100")), std::string::npos);
  EXPECT_NE(slip.find(HexOf("00-1A-2B-3C-4D-5E")), std::string::npos);
  EXPECT_EQ(slip.substr(slip.size() - 8), "1D 56 00");  // GS V 0
  // The virtual printer's page lists the rows it printed.
  std::wstring page = EnvPath("KV_LAB_JOURNAL_100");
  page.replace(page.size() - 4, 4, L".html");
  EXPECT_TRUE(ui::WaitUntil(
      [&] { return ui::ReadWholeFile(page).find("THÔNG TIN MÁY IN") != std::string::npos; }, 3s));
}

TEST_F(ToolInLab, WifiAndQueueSettingsReachTheSelectedPrinter) {
  ASSERT_EQ(SearchLan().size(), 3u);
  W().SelectPrinter(0);  // .100
  ASSERT_TRUE(ShowPage(ui::kWifiPage));
  // The address fields took the computer's network.
  ASSERT_EQ(ui::WindowText(W().Field(ui::kWifiPage, 2)), u"192.168.77.222");
  ASSERT_EQ(ui::WindowText(W().Field(ui::kWifiPage, 3)), u"255.255.255.0");
  ASSERT_EQ(ui::WindowText(W().Field(ui::kWifiPage, 4)), u"192.168.77.1");
  {
    LabJournal journal(100);
    W().Click(kSaveWifi);
    std::vector<std::string> sent;
    EXPECT_EQ(AnswerAndCollect(journal, 1, sent), u"Đã gửi cấu hình WiFi.");
    EXPECT_EQ(sent, std::vector<std::string>{"1F 1B 1F B4 "                 // WiFi settings
                                             "C0 A8 4D DE "                 // 192.168.77.222
                                             "FF FF FF 00 "                 // 255.255.255.0
                                             "C0 A8 4D 01 "                 // 192.168.77.1
                                             "06 "                          // end of the addresses
                                             "56 65 6C 6D 6F 72 61 00 "     // "Velmora"
                                             "35 32 38 31 35 32 38 31 00"}  // "52815281"
    );
  }

  ASSERT_TRUE(ShowPage(ui::kQueuePage));
  {
    std::vector<std::string> sent;
    SYSTEMTIME date{};
    EXPECT_EQ(SaveQueue(sent, date), u"Đã lưu bấm số. Nội dung phiếu giữ nguyên.");
    EXPECT_EQ(sent, std::vector<std::string>{
                        Join({"1B 40", kQueuePreamble, kCodePagePrefix, QueueSettings(1, date)})});
  }

  W().Click(kContentToggle);
  ASSERT_TRUE(ui::WaitUntil([&] { return W().Caption(kContentToggle) == u"Ẩn nội dung"; }, 2s));
  const std::u16string link = u"https://example.com/" + std::u16string(880, u'q');
  W().SetField(ui::kQueuePage, 5, link);
  ASSERT_EQ(ui::WindowText(W().Field(ui::kQueuePage, 5)).size(), 900u);
  LabJournal journals[] = {LabJournal(100), LabJournal(20), LabJournal(9)};
  W().Click(kSaveQueue);
  EXPECT_EQ(ui::AnswerMessageBox(5s),
            u"Nội dung phiếu quá dài. Vui lòng rút gọn các dòng hoặc Link QR trước khi lưu.");
  Sleep(300);
  for (const LabJournal& j : journals) EXPECT_EQ(j.NewLines(), std::vector<std::string>{});
}

// The queue page with its content editor shown, set up as a shop would: the
// lines' styles, sizes and widths (through the width menu), a blank line, the
// counter size, a QR link and the date line. The whole ticket program reaches
// the printer in one connection.
TEST_F(ToolInLab, QueueTicketWithContentReachesThePrinter) {
  ASSERT_EQ(SearchLan().size(), 3u);
  W().SelectPrinter(0);  // .100
  ASSERT_TRUE(ShowPage(ui::kQueuePage));
  W().Click(kContentToggle);
  ASSERT_TRUE(ui::WaitUntil([&] { return W().Caption(kContentToggle) == u"Ẩn nội dung"; }, 2s));

  HWND printDate = W().ControlByCaption(ui::kQueuePage, u"In ngày");
  ASSERT_TRUE(printDate);
  PostMessageW(printDate, BM_CLICK, 0, 0);
  ASSERT_TRUE(ui::WaitUntil([&] { return Checked(printDate); }, 2s));
  W().SetField(ui::kQueuePage, 0, u"3");  // copies
  // Line 1 keeps its text and size 6, in bold.
  W().Click(800);
  // Line 2: two lines of text, italic and underlined, size 9, wide.
  W().SetField(ui::kQueuePage, 2, u"Xin chào\r\nQuý khách");
  W().Click(811);
  W().Click(812);
  W().SelectListItem(814, 8);
  // The menu's Escape changes nothing; "Rộng" is the third entry.
  ASSERT_TRUE(W().ChooseFromMenu(813, 0));
  EXPECT_EQ(W().Caption(813), u"Thường  ▾");
  ASSERT_TRUE(W().ChooseFromMenu(813, 3));
  EXPECT_TRUE(ui::WaitUntil([&] { return W().Caption(813) == u"Rộng  ▾"; }, 2s));
  // Line 3 keeps its text, size 1, narrow.
  W().SelectListItem(824, 0);
  ASSERT_TRUE(W().ChooseFromMenu(823, 1));
  EXPECT_TRUE(ui::WaitUntil([&] { return W().Caption(823) == u"Hẹp  ▾"; }, 2s));
  // Line 4 holds only spaces and is left out.
  W().SetField(ui::kQueuePage, 4, u"   ");
  W().SelectListItem(850, 2);  // counter size 3
  EXPECT_EQ(W().ListSelection(850), 2);
  W().SetField(ui::kQueuePage, 5, u"https://korvante.vn/q?s=7");  // 25 bytes

  // The question comes first, No its default; No sends nothing to anyone and
  // leaves the window as it was.
  {
    LabJournal journals[] = {LabJournal(100), LabJournal(20), LabJournal(9)};
    W().Click(kSaveQueue);
    EXPECT_EQ(ui::QuestionDefaultButton(5s), IDNO);
    EXPECT_EQ(ui::AnswerQuestion(5s, false), kStoredGraphicsQuestion);
    EXPECT_EQ(ui::ReadMessageBox(500ms), std::nullopt) << "a message after No";
    for (const LabJournal& j : journals) EXPECT_EQ(j.NewLines(), std::vector<std::string>{});
    EXPECT_TRUE(W().IsEnabled(kSaveQueue));
    EXPECT_EQ(W().Caption(kContentToggle), u"Ẩn nội dung");
    EXPECT_EQ(W().Caption(813), u"Rộng  ▾");
    EXPECT_EQ(W().ListSelection(850), 2);
  }

  std::vector<std::string> sent;
  SYSTEMTIME date{};
  EXPECT_EQ(SaveQueue(sent, date, true), u"Đã lưu bấm số vào máy.");
  const std::string expected = Join({
      // NV graphics cleared, then the settings: 3 copies.
      "1B 40 1D 28 4C 05 00 30 41 43 4C 52 1D 28 4C 04 00 30 42 20 20 1B 40",
      kQueuePreamble,
      kCodePagePrefix,
      QueueSettings(3, date),
      "1F 1B 1F 84 05 01 1F 1B 1F 84 02 1B 40",  // program start
      kCodePagePrefix,
      // Line 1: Font A, 2 x 2, bold, centred, "STT Của Bạn Là".
      "1B 4D 00 1D 21 11 1B 45 01 1B 61 01",
      "53 54 54 20 43 FC 61 20 42 D5 6E 20 4C E0 0A",
      // Line 2: Font B, 6 wide x 5 high, underline and italic around it; the
      // line break is a bare LF.
      "1B 4D 01 1D 21 54 1B 45 00 1B 2D 01 1B 34 1B 61 01",
      "58 69 6E 20 63 68 E0 6F 0A 51 75 FD 20 6B 68 E1 63 68 0A 1B 35 1B 2D 00",
      // The number: Font A, 4 x 4, "@cnt", ESC J 48, LF.
      "1B 4D 00 1B 45 00 1D 21 33 1B 61 01 40 63 6E 74 1B 4A 30 0A",
      // Line 3: Font B, 1 x 1, "Vui Lòng Chờ Tới Lượt".
      "1B 4D 01 1D 21 00 1B 45 00 1B 61 01",
      "56 75 69 20 4C F2 6E 67 20 43 68 B6 20 54 BE 69 20 4C DF FE 74 0A",
      "1B 4D 00 1B 45 00",  // style reset
      // QR: module 5, level M, store 25 + 3 bytes, print.
      "0A 1D 28 6B 03 00 31 43 05 1D 28 6B 03 00 31 45 31 1D 28 6B 1C 00 31 50 30",
      "68 74 74 70 73 3A 2F 2F 6B 6F 72 76 61 6E 74 65 2E 76 6E 2F 71 3F 73 3D 37",
      "1D 28 6B 03 00 31 51 30 0A",
      // "In ngày: @date", ESC J 16.
      "1D 21 00 1B 21 20 1B 61 01 49 6E 20 6E 67 E0 79 3A 20 40 64 61 74 65 0A 1B 4A 10",
      // Feed, cut, ESC j 696 in three parts, "@end".
      "1B 4A FF 1D 56 00 1B 6A FF 1B 6A FF 1B 6A BA 40 65 6E 64",
  });
  EXPECT_EQ(sent, std::vector<std::string>{expected});
}

// .20 answers discovery but nothing listens on its TCP 9100: the refused
// connection fails the send at once, well within the 1,400 ms limit.
TEST_F(ToolInLab, DensityToAPrinterRefusingTheConnectionReportsTheFailure) {
  ASSERT_EQ(SearchLan().size(), 3u);
  W().SelectPrinter(1);  // .20
  LabJournal journal(20);
  const auto start = std::chrono::steady_clock::now();
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Chưa gửi được độ đậm.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
  EXPECT_EQ(journal.TcpPayloads(), std::vector<std::string>{});
}

// Every printer on the shop network hears each broadcast; a printer that is
// not moving (.100) journals all of them, while the moving one may miss a
// datagram during its own address change.
std::string SaveDatagramHex(const std::string& macBytes, const std::string& newIpBytes) {
  return "hex=58 50 30 30 30 31 53 41 56 45 "  // [0:10) "XP0001SAVE"
         + macBytes + " "                      // [10:16) MAC
         + "22 00 "                            // [16:18) device bytes from the reply
         + newIpBytes + " "                    // [18:22) new address
         + "FF FF FF 00 "                      // [22:26) 255.255.255.0
         + "C0 A8 4D 01 "                      // [26:30) 192.168.77.1
         + "8C 23 "                            // [30:32) 9100, low byte first
         + "00 |";                             // [32] 0x00
}

// .20 moves on the broadcast but never answers on TCP 9100 afterwards. The
// user clicks twice in quick succession: both clicks are queued before the
// first one greys the button, so the second reaches the window while the
// first job runs and is refused.
TEST_F(ToolInLab, SaveIpToAPrinterThatDoesNotComeBack) {
  ASSERT_EQ(SearchLan().size(), 3u);
  LabJournal journal(20);
  LabJournal bystander(100);
  W().SelectPrinter(1);
  W().SetField(ui::kLanPage, 0, u"192.168.77.120");
  W().SetField(ui::kLanPage, 1, u"255.255.255.0");
  W().SetField(ui::kLanPage, 2, u"192.168.77.1");
  W().Click(kSaveIp);
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Đang gửi lệnh, vui lòng đợi.");
  EXPECT_FALSE(W().IsEnabled(kSaveIp));  // the first job still runs
  EXPECT_EQ(ui::AnswerMessageBox(10s), u"Đã gửi lệnh đổi IP, chưa xác nhận được IP mới.");
  // Three passes to 255.255.255.255, 192.168.77.255 and 192.168.77.255 again,
  // of the first job only.
  EXPECT_EQ(bystander.Count(SaveDatagramHex("00 1A 2B 3C 4D 20", "C0 A8 4D 78")), 9u);
  EXPECT_GE(journal.Count("-> moved"), 1u);
  // The confirmation only connects: nothing reaches the printer over TCP.
  EXPECT_EQ(journal.Count("tcp-data"), 0u);

  // The list still names .20, where nothing answers any more, as after a
  // printer is switched off: the send gives up at the connection's 1,400 ms.
  ASSERT_TRUE(ShowPage(ui::kTechnicalPage));
  const auto start = std::chrono::steady_clock::now();
  W().Click(kSaveDensity);
  EXPECT_EQ(ui::AnswerMessageBox(5s), u"Chưa gửi được độ đậm.");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GT(waited, 1300ms);
  EXPECT_LT(waited, 2500ms);
}

// While the lab's printers do not answer discovery, the list comes from the
// port-9100 sweep, and "Lưu IP" sends the IP-change command over TCP.
TEST_F(ToolInLab, SaveIpToASweepFoundPrinterSendsTheCommandOverTcp) {
  struct Mute {
    Mute() { ui::SetLabDiscoveryMuted(true); }
    ~Mute() { ui::SetLabDiscoveryMuted(false); }
  } mute;
  W().Click(kLanRadio);
  ASSERT_TRUE(ui::WaitUntil(
      [&] { return W().Caption(kFind) == u"Tìm" && W().PrinterItems().size() == 2; }, 30s));
  // No MAC from a sweep; .20 (moved to .120) has no TCP 9100 and is not found.
  ASSERT_EQ(W().PrinterItems(), (std::vector<std::u16string>{u"192.168.77.100    Máy in bill/tem",
                                                             u"192.168.77.9    Máy in bill/tem"}));
  // The sweep has just asked for every address of the network, .101 too: let
  // the computer's unanswered address lookups run out first, or the
  // confirmation's connection waits on a stale one.
  Sleep(4000);
  LabJournal journal(100);
  W().SelectPrinter(0);
  // Its own address again: over TCP only the address goes, so nothing would
  // change; nothing is sent.
  W().SetField(ui::kLanPage, 0, u"192.168.77.100");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(5s),
            u"Máy in đã dùng IP 192.168.77.100. Máy in này không nhận Subnet mask và Gateway, "
            u"nên không có gì thay đổi. Chưa gửi lệnh.");
  W().SetField(ui::kLanPage, 0, u"192.168.77.101");
  W().Click(kSaveIp);
  EXPECT_EQ(ui::AnswerMessageBox(10s), u"Đã đổi IP LAN thành công.");
  // One connection that carried exactly the command: 1F 1B 1F 22, then
  // 192.168.77.101 in network order; then the confirmation's, which only
  // connects to the new address.
  ui::WaitUntil([&] { return journal.TcpStreams().size() >= 2; }, 2s);
  EXPECT_EQ(journal.TcpStreams(), (std::vector<std::string>{"1F 1B 1F 22 C0 A8 4D 65", ""}));
  EXPECT_EQ(journal.Count("XP0001SAVE"), 0u);
}

TEST_F(ToolInLab, SaveIpByBroadcastMovesThePrinter) {
  const auto items = SearchLan();
  ASSERT_EQ(items.size(), 3u);
  // .100 and .20 were moved to .101 and .120 by the cases before.
  ASSERT_EQ(items[2], u"192.168.77.9    Máy in bill/tem (00-1A-2B-3C-4D-09)");
  LabJournal journal(9);
  LabJournal bystander(100);
  W().SelectPrinter(2);
  W().SetField(ui::kLanPage, 0, u"192.168.77.150");
  W().SetField(ui::kLanPage, 1, u"255.255.255.0");
  W().SetField(ui::kLanPage, 2, u"192.168.77.1");
  W().Click(kSaveIp);
  // Busy while the job runs: the save buttons greyed, the find button says so.
  EXPECT_TRUE(ui::WaitUntil([&] { return !W().IsEnabled(kSaveIp); }, 2s));
  EXPECT_EQ(W().Caption(kFind), u"Đang gửi...");
  // The sales software's queue still prints to the old address: named.
  EXPECT_EQ(ui::AnswerMessageBox(10s),
            u"Đã đổi IP LAN thành công.\n\nMáy in trên Windows vẫn in tới IP cũ 192.168.77.9: "
            u"\u201CQuay thu ngan\u201D. Hãy sửa cổng của máy in đó sang IP 192.168.77.150 (xem "
            u"hướng dẫn, mục đổi IP).");
  EXPECT_TRUE(W().IsEnabled(kSaveIp));
  EXPECT_EQ(bystander.Count(SaveDatagramHex("00 1A 2B 3C 4D 09", "C0 A8 4D 96")), 9u);
  EXPECT_GE(journal.Count(SaveDatagramHex("00 1A 2B 3C 4D 09", "C0 A8 4D 96")), 1u);
  EXPECT_GE(journal.Count("-> moved"), 1u);
  // The change searched again by itself and selected the printer at its new
  // address.
  ASSERT_TRUE(ui::WaitUntil([&] { return W().Caption(kFind) == u"Tìm" && !Searching(); }, 10s));
  // Before that, the confirmation asked the printer itself after the
  // connection: the same three targets, from the socket that sent the
  // change; the search's three come from port 9000.
  EXPECT_EQ(bystander.Count("XP0001FIND"), 3u + 3u);
  EXPECT_EQ(bystander.Count("udp 192.168.77.2:9000 hex=58 50 30 30 30 31 46 49 4E 44 |"), 3u);
  const std::u16string moved = u"192.168.77.150    Máy in bill/tem (00-1A-2B-3C-4D-09)";
  const auto after = W().PrinterItems();
  const auto at = std::find(after.begin(), after.end(), moved);
  ASSERT_NE(at, after.end());
  EXPECT_EQ(W().PrinterSelection(), static_cast<int>(at - after.begin()));
}

}  // namespace
}  // namespace korvante

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  korvante::ui::EndDriverProcess(RUN_ALL_TESTS());
}
