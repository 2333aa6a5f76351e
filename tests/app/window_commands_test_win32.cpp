// The window's commands end to end: refreshes started by the radios and their
// results, the save actions' checks and messages, the busy state of a real
// send, and sends that reach a printer listening on loopback. Runs on the app
// bench, whose network namespace has only loopback: the LAN / Wi-Fi searches
// started here find nothing and reach nobody.
#include "tests/app/window_fixture_win32.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "core/command_buffer.h"
#include "discovery/refresh.h"

namespace korvante::testing {
namespace {

// Closes every "Korvante" message box of this process as it appears and keeps
// its text.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher() : thread_([this] { Run(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::wstring> Texts() {
    std::lock_guard lock(mutex_);
    return texts_;
  }

 private:
  // A box that a nested one interrupts is hidden at once but destroyed only
  // later, so each box is answered once, when first seen visible.
  void Run() {
    std::vector<HWND> answered;
    while (!stop_) {
      std::erase_if(answered, [](HWND h) { return !IsWindow(h); });
      for (HWND box : VisibleBoxes()) {
        if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
        answered.push_back(box);
        const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
        {
          std::lock_guard lock(mutex_);
          texts_.push_back(text);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(10);
    }
  }
  static std::vector<HWND> VisibleBoxes() {
    std::vector<HWND> boxes;
    EnumWindows(
        [](HWND h, LPARAM out) -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          if (pid == GetCurrentProcessId() && IsWindowVisible(h) && ClassOf(h) == L"#32770" &&
              TextOf(h) == L"Korvante") {
            reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    return boxes;
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

// A printer on port 9100 of every loopback address (127.0.0.1, 127.0.0.2, ...)
// that keeps what each connection sent. The bench's namespace has loopback
// only.
class LoopbackPrinter {
 public:
  LoopbackPrinter() {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
               sizeof(reuse));
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(9100);
    at.sin_addr.s_addr = htonl(INADDR_ANY);
    ok_ = bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof(at)) == 0 &&
          listen(listener_, 4) == 0;
    thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackPrinter() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
  }
  bool ok() const { return ok_; }
  std::vector<CommandBuffer> Connections() {
    std::lock_guard lock(mutex_);
    return connections_;
  }

 private:
  void Run() {
    while (!stop_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(listener_, &readable);
      timeval wait{0, 50 * 1000};
      if (select(0, &readable, nullptr, nullptr, &wait) != 1) continue;
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      CommandBuffer bytes;
      char buffer[512];
      for (int n; (n = recv(client, buffer, sizeof(buffer), 0)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
      }
      closesocket(client);
      std::lock_guard lock(mutex_);
      connections_.push_back(bytes);
    }
  }
  std::atomic<bool> stop_{false};
  SOCKET listener_ = INVALID_SOCKET;
  bool ok_ = false;
  std::mutex mutex_;
  std::vector<CommandBuffer> connections_;
  std::thread thread_;
};

class WindowCommandsTest : public MainWindowTest {
 protected:
  // Pumps until `done` holds, at most `ms` milliseconds.
  template <typename Done>
  bool WaitFor(Done done, int ms = 15000) {
    for (int waited = 0; waited < ms; waited += 10) {
      Pump();
      if (done()) return true;
      Sleep(10);
    }
    Pump();
    return done();
  }
  bool RefreshDone() {
    return WaitFor([&] { return TextOf(At(Slot::kFindButton)) == L"Tìm"; });
  }
  void Post(TargetsResult result) {
    PostMessageW(hwnd_, 0x800A, 0, reinterpret_cast<LPARAM>(new TargetsResult(std::move(result))));
    Pump();
  }
  std::vector<std::wstring> Items() {
    std::vector<std::wstring> items;
    HWND list = At(Slot::kPrinterList);
    for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i)
      items.push_back(ListItem(list, i));
    return items;
  }
  // Switches to LAN / Wi-Fi and lets the bench's empty search finish, then
  // hands the window a result of that refresh with these printers.
  void ShowNetworkPrinters(std::vector<NetworkPrinter> printers,
                           std::vector<NetworkProfile> profiles = {}) {
    Command(702, BN_CLICKED, At(Slot::kLanRadio));
    ASSERT_TRUE(RefreshDone());
    TargetsResult result;
    result.mode = 1;
    result.generation = state_->refreshGeneration;
    result.networkPrinters = std::move(printers);
    result.profiles = std::move(profiles);
    Post(std::move(result));
  }
  void SetText(Slot slot, const wchar_t* text) { SetWindowTextW(At(slot), text); }
  void Click(Slot slot) {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(At(slot)), BN_CLICKED),
                 reinterpret_cast<LPARAM>(At(slot)));
  }
};

NetworkPrinter Printer(const char* ip, const char* mac = "") {
  NetworkPrinter p;
  p.ip = ip;
  p.mac = mac;
  return p;
}

TEST_F(WindowCommandsTest, EachRadioStartsARefreshWithItsPlaceholder) {
  ASSERT_TRUE(RefreshDone());
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in USB"}));
  const std::int32_t before = state_->refreshGeneration;

  Command(702, BN_CLICKED, At(Slot::kLanRadio));
  EXPECT_EQ(state_->refreshGeneration, before + 1);
  EXPECT_EQ(state_->mode, 1);
  EXPECT_EQ(SendMessageW(At(Slot::kLanRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(At(Slot::kUsbRadio), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(TextOf(At(Slot::kPrinterLabel)), L"IP máy in");
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Đang tìm máy in LAN / Wi-Fi..."}));
  EXPECT_EQ(SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Đang tìm...");
  ASSERT_TRUE(RefreshDone());
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in LAN / Wi-Fi"}));
  EXPECT_EQ(SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0), 0);

  // Clicking the selected radio searches again.
  Command(702, BN_CLICKED, At(Slot::kLanRadio));
  EXPECT_EQ(state_->refreshGeneration, before + 2);
  ASSERT_TRUE(RefreshDone());

  // Not pumped: a USB search takes milliseconds, and its result would replace
  // the placeholder before it is read.
  SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(701, BN_CLICKED),
               reinterpret_cast<LPARAM>(At(Slot::kUsbRadio)));
  EXPECT_EQ(state_->mode, 0);
  EXPECT_EQ(TextOf(At(Slot::kPrinterLabel)), L"Tên máy in");
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Đang tìm máy in USB..."}));
  ASSERT_TRUE(RefreshDone());
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in USB"}));
}

TEST_F(WindowCommandsTest, StaleAndOtherModeResultsAreDropped) {
  ASSERT_TRUE(RefreshDone());
  const std::int32_t current = state_->refreshGeneration;
  UsbPrinter k80{u"Korvante K80", u"USB001", u"", u""};

  TargetsResult stale;
  stale.mode = 0;
  stale.generation = current - 1;
  stale.usbPrinters = {k80};
  Post(std::move(stale));
  TargetsResult otherMode;
  otherMode.mode = 1;
  otherMode.generation = current;
  otherMode.networkPrinters = {Printer("10.0.0.7")};
  Post(std::move(otherMode));
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in USB"}));
  EXPECT_TRUE(state_->usbPrinters.empty());
  EXPECT_TRUE(state_->networkPrinters.empty());
  EXPECT_EQ(state_->mode, 0);

  TargetsResult fresh;
  fresh.mode = 0;
  fresh.generation = current;
  fresh.usbPrinters = {k80, UsbPrinter{u"Serial bridge", u"", u"\\\\.\\COM9", u""}};
  Post(std::move(fresh));
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"USB001 - Korvante K80", L"USB - Serial bridge"}));
  EXPECT_EQ(SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Tìm");
}

TEST_F(WindowCommandsTest, NetworkResultListsPrintersWithAndWithoutMac) {
  ASSERT_TRUE(RefreshDone());
  ShowNetworkPrinters({Printer("192.168.1.25", "00-1A-2B-3C-4D-5E"), Printer("192.168.1.30")});
  EXPECT_EQ(Items(),
            (std::vector<std::wstring>{L"192.168.1.25    Máy in bill/tem (00-1A-2B-3C-4D-5E)",
                                       L"192.168.1.30    Máy in bill/tem"}));
  EXPECT_EQ(SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(At(Slot::kPrinterLabel)), L"IP máy in");
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Tìm");
}

TEST_F(WindowCommandsTest, ResultProfilesRefreshOnlyUneditedSuggestions) {
  ASSERT_TRUE(RefreshDone());
  SetText(Slot::kWifiIpField, L"172.16.0.9");  // the user's own address
  NetworkProfile office;
  office.name = u"Ethernet";
  office.ip = "10.1.2.3";
  office.mask = "255.255.255.0";
  office.gateway = "10.1.2.254";
  ShowNetworkPrinters({}, {office});
  EXPECT_EQ(TextOf(At(Slot::kLanGatewayField)), L"10.1.2.254");
  EXPECT_EQ(TextOf(At(Slot::kLanIpField)).rfind(L"10.1.2.", 0), 0u);
  EXPECT_EQ(TextOf(At(Slot::kWifiIpField)), L"172.16.0.9");
}

TEST_F(WindowCommandsTest, ChecksComeBeforeThePrinterSelection) {
  ASSERT_TRUE(RefreshDone());  // USB mode, nothing found
  MessageBoxWatcher boxes;
  SetText(Slot::kLanIpField, L"192.168.1");
  Click(Slot::kSaveIpButton);
  SetText(Slot::kLanIpField, L"192.168.1.50");
  Click(Slot::kSaveIpButton);
  SetText(Slot::kWifiMaskField, L"255.255.0");
  Click(Slot::kSaveWifiButton);
  SetText(Slot::kWifiMaskField, L"255.255.255.0");
  Click(Slot::kSaveWifiButton);
  Click(Slot::kTestButton);
  Click(Slot::kSaveDensityButton);
  // An over-long ticket is refused before the missing printer is noticed.
  Command(207, BN_CLICKED, At(Slot::kContentToggle));
  SetText(Slot::kQrField, std::wstring(900, L'q').c_str());
  Click(Slot::kSaveQueueButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 7; }));
  EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{
                               L"Địa chỉ không hợp lệ: IP mới",
                               L"Chưa chọn máy in USB.",
                               L"Địa chỉ không hợp lệ: Subnet mask",
                               L"Chưa chọn máy in.",
                               L"Chưa chọn máy in.",
                               L"Chưa chọn máy in.",
                               L"Nội dung phiếu quá dài. Vui lòng rút gọn các dòng hoặc Link QR "
                               L"trước khi lưu.",
                           }));
  EXPECT_FALSE(state_->sendBusy);
}

TEST_F(WindowCommandsTest, ASecondSendIsRefusedWhileOneRuns) {
  ASSERT_TRUE(RefreshDone());
  // Nothing listens on loopback port 9100: the send fails at once, and its
  // outcome may come while the refusal's box is still open, above it.
  ShowNetworkPrinters({Printer("127.0.0.1")});
  MessageBoxWatcher boxes;
  Click(Slot::kSaveDensityButton);
  EXPECT_TRUE(state_->sendBusy);
  EXPECT_FALSE(IsWindowEnabled(At(Slot::kSaveBeepButton)));
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Đang gửi...");
  // Straight to the handler, as a click that got through would.
  Click(Slot::kSaveBeepButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 2; }));
  std::vector<std::wstring> texts = boxes.Texts();
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts,
            (std::vector<std::wstring>{L"Chưa gửi được độ đậm.", L"Đang gửi lệnh, vui lòng đợi."}));
  EXPECT_FALSE(state_->sendBusy);
  EXPECT_TRUE(IsWindowEnabled(At(Slot::kSaveBeepButton)));
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Tìm");
}

TEST_F(WindowCommandsTest, SendsReachAPrinterOnLoopback) {
  ASSERT_TRUE(RefreshDone());
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  ShowNetworkPrinters({Printer("127.0.0.1")});
  MessageBoxWatcher boxes;

  SetText(Slot::kDensityField, L"3");
  Click(Slot::kSaveDensityButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 1; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã gửi độ đậm.");

  // Found by the sweep (no MAC): the IP-change command over TCP, then the
  // check at the new address, here the same loopback printer at another of
  // its addresses. The confirmed change searches again to select the printer
  // there; the bench's search finds nothing, so the printer is listed again
  // for the sends below.
  ShowNetworkPrinters({Printer("127.0.0.2")});
  SetText(Slot::kLanIpField, L"127.0.0.1");
  Click(Slot::kSaveIpButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 2; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã đổi IP LAN thành công.");
  ShowNetworkPrinters({Printer("127.0.0.1")});

  SetText(Slot::kWifiNameField, L"Velmora");
  SetText(Slot::kWifiPasswordField, L"52815281");
  SetText(Slot::kWifiIpField, L"192.168.1.222");
  SetText(Slot::kWifiMaskField, L"255.255.255.0");
  SetText(Slot::kWifiGatewayField, L"192.168.1.1");
  Click(Slot::kSaveWifiButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 3; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã gửi cấu hình WiFi.");

  Click(Slot::kTestButton);  // "Kêu sau khi in" is checked at start
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 4; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã gửi chuông.");

  SetText(Slot::kCopiesField, L"2");
  Click(Slot::kSaveQueueButton);  // the editor is hidden: settings only
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 5; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã lưu bấm số. Nội dung phiếu giữ nguyên.");

  const std::vector<CommandBuffer> got = printer.Connections();
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(got[0], (CommandBuffer{0x1F, 0x1B, 0x1F, 0x13, 0x14, 0x03}));
  EXPECT_EQ(got[1], (CommandBuffer{0x1F, 0x1B, 0x1F, 0x22, 0x7F, 0x00, 0x00, 0x01}));
  EXPECT_TRUE(got[2].empty());                              // the confirmation only connects
  EXPECT_EQ(got[3], (CommandBuffer{0x1F, 0x1B, 0x1F, 0xB4,  // WiFi settings
                                   0xC0, 0xA8, 0x01, 0xDE,  // address
                                   0xFF, 0xFF, 0xFF, 0x00,  // mask
                                   0xC0, 0xA8, 0x01, 0x01,  // gateway
                                   0x06,                    //
                                   'V',  'e',  'l',  'm',  'o', 'r', 'a', 0x00,  // name
                                   '5',  '2',  '8',  '1',  '5', '2', '8', '1',  0x00}));
  EXPECT_EQ(got[4], (CommandBuffer{0x1F, 0x1B, 0x1F, 0xE0, 0x13, 0x14, 0x01, 0x04, 0x02, 0x03, 0x1B,
                                   0x40, 0x1B, 0x64, 0x01}));
  ASSERT_EQ(got[5].size(), 34u);
  const CommandBuffer queueHead{0x1B, 0x40,                                      // ESC @
                                0x1F, 0x1B, 0x1F, 0x00, 0x0A, 0x00, 0x01,        // preamble
                                0x1C, 0x2E, 0x1B, 0x74, 0x1B, 0x1F, 0x1B, 0x1F,  // code page
                                0xFF, 0x1B, 0x0A, 0x00,                          //
                                0x1F, 0x1B, 0x1F, 0x84, 0x01, 0x01, 0x00, 0x00,  // settings
                                0x02};                                           // copies
  EXPECT_EQ(CommandBuffer(got[5].begin(), got[5].begin() + 30), queueHead);
}

// While a search runs the box shows only its placeholder: the window's list
// is empty, a save reaches no printer and says why, and a second request
// (a double click, the selected radio) joins the running search.
TEST_F(WindowCommandsTest, OneSearchAtATimeAndNoSaveToAPrinterTheBoxDoesNotShow) {
  ASSERT_TRUE(RefreshDone());
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  ShowNetworkPrinters({Printer("127.0.0.1", "00-1A-2B-3C-4D-5E")});
  MessageBoxWatcher boxes;
  const std::int32_t before = state_->refreshGeneration;

  Command(kIdFind, BN_CLICKED, At(Slot::kFindButton));
  Command(kIdFind, BN_DOUBLECLICKED, At(Slot::kFindButton));
  Command(702, BN_CLICKED, At(Slot::kLanRadio));
  EXPECT_EQ(state_->refreshGeneration, before + 1);
  EXPECT_TRUE(state_->networkPrinters.empty());
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Đang tìm máy in LAN / Wi-Fi..."}));
  Click(Slot::kSaveDensityButton);
  Click(Slot::kSaveIpButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 2; }));
  EXPECT_EQ(boxes.Texts(), (std::vector<std::wstring>{L"Đang tìm máy in, vui lòng đợi.",
                                                      L"Đang tìm máy in, vui lòng đợi."}));
  EXPECT_FALSE(state_->sendBusy);
  ASSERT_TRUE(RefreshDone());
  EXPECT_TRUE(printer.Connections().empty());
}

// The find button's caption follows what runs, whichever ends first: a
// search shows over a send, and a send still running after the search shows.
TEST_F(WindowCommandsTest, TheFindCaptionFollowsTheSearchAndTheSend) {
  ASSERT_TRUE(RefreshDone());
  ShowNetworkPrinters({});  // a LAN / Wi-Fi search lasts its 900 ms of listening
  HWND find = At(Slot::kFindButton);
  auto sendDone = [&] {
    PostMessageW(hwnd_, 0x800B, 0, 0);
    Pump();
  };
  // The send ends during the search.
  Command(kIdFind, BN_CLICKED, find);
  state_->sendBusy = 1;
  SetBusy(*state_, true);
  EXPECT_EQ(TextOf(find), L"Đang tìm...");
  sendDone();
  EXPECT_EQ(TextOf(find), L"Đang tìm...");
  EXPECT_TRUE(RefreshDone());
  // The search ends during the send.
  state_->sendBusy = 1;
  SetBusy(*state_, true);
  EXPECT_EQ(TextOf(find), L"Đang gửi...");
  Command(kIdFind, BN_CLICKED, find);
  EXPECT_EQ(TextOf(find), L"Đang tìm...");
  EXPECT_TRUE(WaitFor([&] { return TextOf(find) == L"Đang gửi..."; }));
  EXPECT_FALSE(IsWindowEnabled(At(Slot::kSaveDensityButton)));
  sendDone();
  EXPECT_EQ(TextOf(find), L"Tìm");
}

// Closing during a send waits for its outcome, and says so meanwhile; the
// process would otherwise end in the middle of a write.
TEST_F(WindowCommandsTest, ClosingDuringASendWaitsForItsOutcome) {
  ASSERT_TRUE(RefreshDone());
  state_->sendBusy = 1;
  SetBusy(*state_, true);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  Pump();
  ASSERT_TRUE(IsWindow(hwnd_));
  EXPECT_EQ(TextOf(hwnd_), L"Korvante Config Tool - Đang gửi lệnh, cửa sổ sẽ đóng khi gửi xong...");
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);  // asked again: still waits
  Pump();
  ASSERT_TRUE(IsWindow(hwnd_));
  PostMessageW(hwnd_, 0x800B, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(hwnd_));

  // Idle, it closes at once.
  SetUp();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
}

// LAN / Wi-Fi mode makes the printer box editable: a typed address is a
// printer (here the loopback one), a refresh keeps it, a malformed one is
// refused; the box keeps its place, its 8 items, the Tab ring and Ctrl+A.
TEST_F(WindowCommandsTest, TheLanPrinterBoxTakesATypedAddress) {
  ASSERT_TRUE(RefreshDone());
  auto kind = [&] { return GetWindowLongPtrW(At(Slot::kPrinterList), GWL_STYLE) & 0x3; };
  EXPECT_EQ(kind(), CBS_DROPDOWNLIST);
  const Rect placed = PlacedRect(At(Slot::kPrinterList));
  ShowNetworkPrinters({Printer("192.168.1.25", "00-1A-2B-3C-4D-5E")});
  HWND box = At(Slot::kPrinterList);
  EXPECT_EQ(kind(), CBS_DROPDOWN);
  EXPECT_EQ(GetWindow(At(Slot::kPrinterLabel), GW_HWNDNEXT), box);
  EXPECT_EQ(SendMessageW(box, CB_GETMINVISIBLE, 0, 0), 8);
  EXPECT_EQ(PlacedRect(box).x, placed.x);
  EXPECT_EQ(PlacedRect(box).y, placed.y);
  EXPECT_EQ(PlacedRect(box).width, placed.width);
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SetFocus(At(Slot::kLanRadio));
  EXPECT_TRUE(IsChild(box, PressTab(false)));
  EXPECT_EQ(PressTab(false), At(Slot::kFindButton));
  EXPECT_TRUE(IsChild(box, PressTab(true)));

  auto type = [&](const wchar_t* text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
    Pump();
  };
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  type(L"127.0.0.1");
  HoldKeys({VK_CONTROL});
  EXPECT_TRUE(PreTranslateKey(*state_, KeyDown(edit, 'A')));
  HoldKeys({});
  EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 9));

  // The bench's own search finds nothing and keeps what was typed.
  Command(101, BN_CLICKED, At(Slot::kFindButton));
  EXPECT_EQ(TextOf(box), L"127.0.0.1");
  ASSERT_TRUE(RefreshDone());
  EXPECT_EQ(TextOf(box), L"127.0.0.1");
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in LAN / Wi-Fi"}));

  MessageBoxWatcher boxes;
  SetText(Slot::kDensityField, L"3");
  Click(Slot::kSaveDensityButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 1; }));
  type(L"127.0.0");
  Click(Slot::kSaveDensityButton);
  Click(Slot::kSaveIpButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 3; }));
  EXPECT_EQ(boxes.Texts(),
            (std::vector<std::wstring>{L"Đã gửi độ đậm.", L"Địa chỉ không hợp lệ: IP máy in",
                                       L"Địa chỉ không hợp lệ: IP máy in"}));
  EXPECT_EQ(printer.Connections(),
            (std::vector<CommandBuffer>{{0x1F, 0x1B, 0x1F, 0x13, 0x14, 0x03}}));

  // Back in USB mode the box is a pick-list again, in the same place.
  Command(701, BN_CLICKED, At(Slot::kUsbRadio));
  EXPECT_EQ(kind(), CBS_DROPDOWNLIST);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(GetWindow(At(Slot::kPrinterLabel), GW_HWNDNEXT), At(Slot::kPrinterList));
  ASSERT_TRUE(RefreshDone());
  EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Không tìm thấy máy in USB"}));
}

constexpr char16_t kStoredGraphicsQuestion[] =
    u"Lưu nội dung phiếu sẽ xoá logo và mọi hình ảnh đã lưu trong máy in. Tiếp tục?";

// The ticket program starts by deleting the printer's stored graphics: with
// the content shown the save asks first, and No sends nothing.
TEST_F(WindowCommandsTest, SavingTheTicketContentAsksFirst) {
  ASSERT_TRUE(RefreshDone());
  LoopbackPrinter printer;
  ASSERT_TRUE(printer.ok());
  ShowNetworkPrinters({Printer("127.0.0.1")});
  MessageBoxWatcher boxes;
  std::vector<std::u16string> asked;
  bool answer = false;
  state_->confirm = [&](std::u16string_view question) {
    asked.emplace_back(question);
    return answer;
  };

  Click(Slot::kSaveQueueButton);  // settings only: nothing to ask
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 1; }));
  EXPECT_TRUE(asked.empty());

  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  SetText(Slot::kQrField, L"https://korvante.vn/q?s=7");
  Click(Slot::kSaveQueueButton);
  EXPECT_EQ(asked, std::vector<std::u16string>{kStoredGraphicsQuestion});
  EXPECT_FALSE(state_->sendBusy);
  Sleep(300);
  Pump();
  EXPECT_EQ(printer.Connections().size(), 1u) << "No sent something";
  EXPECT_EQ(boxes.Texts().size(), 1u) << "No showed a message";
  EXPECT_TRUE(state_->contentShown);
  EXPECT_EQ(TextOf(At(Slot::kQrField)), L"https://korvante.vn/q?s=7");

  answer = true;
  Click(Slot::kSaveQueueButton);
  ASSERT_TRUE(WaitFor([&] { return boxes.Texts().size() >= 2; }));
  EXPECT_EQ(boxes.Texts().back(), L"Đã lưu bấm số vào máy.");
  EXPECT_EQ(asked.size(), 2u);
  const std::vector<CommandBuffer> got = printer.Connections();
  ASSERT_EQ(got.size(), 2u);
  const CommandBuffer clear{0x1B, 0x40,                                                  // ESC @
                            0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41, 0x43, 0x4C, 0x52,  // CLR
                            0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, 0x20, 0x20,        //
                            0x1B, 0x40};
  ASSERT_GE(got[1].size(), clear.size());
  EXPECT_EQ(CommandBuffer(got[1].begin(), got[1].begin() + clear.size()), clear);
}

// The window's own question: a "Korvante" box with Yes and No, No the
// default button, whose No leaves everything as it was.
TEST_F(WindowCommandsTest, TheQuestionIsAYesNoBoxWithNoAsItsDefault) {
  ASSERT_TRUE(RefreshDone());
  ShowNetworkPrinters({Printer("127.0.0.1")});
  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  struct Seen {
    std::wstring text;
    bool yes = false, no = false, ok = false;
    int focus = -1;
    LONG_PTR noStyle = -1;
  } seen;
  std::atomic<bool> done{false};
  std::thread answerer([&] {
    for (int waited = 0; waited < 10000 && !done; waited += 10) {
      HWND box = FindWindowW(L"#32770", L"Korvante");
      if (box && IsWindowVisible(box)) {
        seen.text = TextOf(GetDlgItem(box, 0xFFFF));
        seen.yes = GetDlgItem(box, IDYES) != nullptr;
        seen.no = GetDlgItem(box, IDNO) != nullptr;
        seen.ok = GetDlgItem(box, IDOK) != nullptr;
        // The default button is the one Enter presses: drawn as the
        // default, with the focus when the box opens.
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
        seen.focus = GetDlgCtrlID(info.hwndFocus);
        seen.noStyle = GetWindowLongPtrW(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK;
        PostMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
        done = true;
      }
      Sleep(10);
    }
  });
  Click(Slot::kSaveQueueButton);  // returns once the question is answered
  done = true;
  answerer.join();
  EXPECT_EQ(seen.text, reinterpret_cast<const wchar_t*>(kStoredGraphicsQuestion));
  EXPECT_TRUE(seen.yes);
  EXPECT_TRUE(seen.no);
  EXPECT_FALSE(seen.ok);
  EXPECT_EQ(seen.noStyle, BS_DEFPUSHBUTTON);
  EXPECT_EQ(seen.focus, IDNO);
  EXPECT_FALSE(state_->sendBusy);
  EXPECT_TRUE(IsWindowEnabled(At(Slot::kSaveQueueButton)));
}

}  // namespace
}  // namespace korvante::testing
