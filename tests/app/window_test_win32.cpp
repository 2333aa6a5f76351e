// The real main window checked through Win32 calls: its controls, layout,
// pages, busy state, line styles and keyboard handling. Runs on the app bench
// (Xvfb display, network namespace with only loopback).
#include "tests/app/window_fixture_win32.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace korvante::testing {
namespace {

// --- inventory ---------------------------------------------------------------------

struct ControlSpec {
  Slot slot;
  Slot parent;  // kCount: the main window
  const wchar_t* cls;
  DWORD type;      // the style's type bits (SS_TYPEMASK, BS_TYPEMASK, CBS_DROPDOWNLIST)
  DWORD required;  // further style bits that must be set
  DWORD exStyle;
  int id;
  const wchar_t* caption;
};

constexpr Slot kMain = Slot::kCount;
constexpr DWORD kField = ES_AUTOHSCROLL | WS_TABSTOP;
// A combo box hands WS_VSCROLL to its drop-down list and draws its own
// border instead of WS_EX_CLIENTEDGE, so neither stays on the combo itself.
constexpr DWORD kList = WS_TABSTOP;
constexpr DWORD kEditor = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP;

const ControlSpec kInventory[] = {
    {Slot::kTitle, kMain, L"Static", SS_LEFT, 0, 0, 0, L"Cấu hình máy in Korvante"},
    {Slot::kBrand, kMain, L"Static", SS_RIGHT, 0, 0, 0, L"Korvante"},
    {Slot::kConnectionHeader, kMain, L"Static", SS_LEFT, 0, 0, 0, L"KẾT NỐI MÁY IN"},
    {Slot::kUsbRadio, kMain, L"Button", BS_RADIOBUTTON, WS_TABSTOP | WS_GROUP, 0, 701, L"USB"},
    // Unchecked, so BM_SETCHECK has taken its WS_TABSTOP.
    {Slot::kLanRadio, kMain, L"Button", BS_RADIOBUTTON, 0, 0, 702, L"LAN / Wi-Fi"},
    {Slot::kPrinterLabel, kMain, L"Static", SS_LEFT, 0, 0, 0, L"Tên máy in"},
    // The first refresh is running.
    {Slot::kPrinterList, kMain, L"ComboBox", CBS_DROPDOWNLIST, kList, WS_EX_CLIENTEDGE, 0,
     L"Đang tìm máy in USB..."},
    {Slot::kFindButton, kMain, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 101, L"Đang tìm..."},
    {Slot::kLanPageButton, kMain, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 301, L"Máy in Lan"},
    {Slot::kWifiPageButton, kMain, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 302, L"Máy in wifi"},
    {Slot::kQueuePageButton, kMain, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 303, L"Số thứ tự"},
    {Slot::kTechnicalPageButton, kMain, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 304, L"Kỹ thuật"},
    {Slot::kVersion, kMain, L"Static", SS_RIGHT, 0, 0, 0, L"Phiên bản: 1.0.0"},
    {Slot::kLanPage, kMain, L"KorvanteNativePage", 0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, L""},
    {Slot::kLanIpLabel, Slot::kLanPage, L"Static", SS_LEFT, 0, 0, 0, L"IP mới"},
    {Slot::kLanMaskLabel, Slot::kLanPage, L"Static", SS_LEFT, 0, 0, 0, L"Subnet mask"},
    {Slot::kLanGatewayLabel, Slot::kLanPage, L"Static", SS_LEFT, 0, 0, 0, L"Gateway"},
    {Slot::kLanIpField, Slot::kLanPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0, L"192.168.1.222"},
    {Slot::kLanMaskField, Slot::kLanPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"255.255.255.0"},
    {Slot::kLanGatewayField, Slot::kLanPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"192.168.1.1"},
    {Slot::kSaveIpButton, Slot::kLanPage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 201, L"Lưu IP"},
    {Slot::kWifiPage, kMain, L"KorvanteNativePage", 0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
     L""},
    {Slot::kWifiNameLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"Tên WiFi"},
    {Slot::kWifiPasswordLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"Mật khẩu WiFi"},
    {Slot::kWifiIpLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"IP máy in WiFi"},
    {Slot::kWifiMaskLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"Subnet mask"},
    {Slot::kWifiGatewayLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"Gateway"},
    {Slot::kWifiModeLabel, Slot::kWifiPage, L"Static", SS_LEFT, 0, 0, 0, L"Chế độ"},
    {Slot::kWifiNameField, Slot::kWifiPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0, L"Velmora"},
    {Slot::kWifiPasswordField, Slot::kWifiPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"52815281"},
    {Slot::kWifiIpField, Slot::kWifiPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"192.168.1.222"},
    {Slot::kWifiMaskField, Slot::kWifiPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"255.255.255.0"},
    {Slot::kWifiGatewayField, Slot::kWifiPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0,
     L"192.168.1.1"},
    {Slot::kWifiModeList, Slot::kWifiPage, L"ComboBox", CBS_DROPDOWNLIST, kList, WS_EX_CLIENTEDGE,
     0, L"Station"},
    {Slot::kSaveWifiButton, Slot::kWifiPage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 202,
     L"Cài WiFi"},
    {Slot::kQueuePage, kMain, L"KorvanteNativePage", 0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
     L""},
    {Slot::kPrintNumberCheck, Slot::kQueuePage, L"Button", BS_AUTOCHECKBOX, WS_TABSTOP, 0, 0,
     L"Bật in số"},
    {Slot::kPrintDateCheck, Slot::kQueuePage, L"Button", BS_AUTOCHECKBOX, WS_TABSTOP, 0, 0,
     L"In ngày"},
    {Slot::kCopiesLabel, Slot::kQueuePage, L"Static", SS_LEFT, 0, 0, 0, L"Số liên"},
    {Slot::kCopiesField, Slot::kQueuePage, L"Edit", 0, kField | ES_CENTER, WS_EX_CLIENTEDGE, 0,
     L"1"},
    {Slot::kContentToggle, Slot::kQueuePage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 207,
     L"Đổi nội dung"},
    // Its WS_VSCROLL comes and goes with the need to scroll (see the scroll
    // test): at 900 x 830 everything fits.
    {Slot::kContentPanel, Slot::kQueuePage, L"KorvanteNativePage", 0,
     WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, L""},
    {Slot::kSaveQueueButton, Slot::kQueuePage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 203,
     L"Lưu vào máy"},
    {Slot::kContentHeader, Slot::kContentPanel, L"Static", SS_LEFT, 0, 0, 0, L"NỘI DUNG PHIẾU"},
    {Slot::kFormatLabel, Slot::kContentPanel, L"Static", SS_LEFT, 0, 0, 0, L"Định dạng"},
    {Slot::kCounterLabel, Slot::kContentPanel, L"Static", SS_LEFT, 0, 0, 0, L"STT"},
    {Slot::kCounterPreview, Slot::kContentPanel, L"Static", SS_CENTER, SS_CENTERIMAGE, 0, 0,
     L"001"},
    {Slot::kCounterSizeLabel, Slot::kContentPanel, L"Static", SS_LEFT, 0, 0, 0, L"Cỡ STT"},
    {Slot::kCounterSizeList, Slot::kContentPanel, L"ComboBox", CBS_DROPDOWNLIST, kList,
     WS_EX_CLIENTEDGE, 850, L"6"},
    {Slot::kQrLabel, Slot::kContentPanel, L"Static", SS_LEFT, 0, 0, 0, L"Link QR"},
    {Slot::kQrField, Slot::kContentPanel, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0, L""},
    {Slot::kTechnicalPage, kMain, L"KorvanteNativePage", 0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
     L""},
    {Slot::kBeepCheck, Slot::kTechnicalPage, L"Button", BS_AUTOCHECKBOX, WS_TABSTOP, 0, 0,
     L"Kêu sau khi in"},
    {Slot::kBeepCountLabel, Slot::kTechnicalPage, L"Static", SS_LEFT, 0, 0, 0, L"Số lần"},
    {Slot::kBeepCountField, Slot::kTechnicalPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0, L"1"},
    {Slot::kTestButton, Slot::kTechnicalPage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 204, L"Test"},
    {Slot::kSaveBeepButton, Slot::kTechnicalPage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 205,
     L"Lưu chuông"},
    {Slot::kDensityLabel, Slot::kTechnicalPage, L"Static", SS_LEFT, 0, 0, 0, L"Độ đậm"},
    {Slot::kDensityField, Slot::kTechnicalPage, L"Edit", 0, kField, WS_EX_CLIENTEDGE, 0, L"5"},
    {Slot::kSaveDensityButton, Slot::kTechnicalPage, L"Button", BS_OWNERDRAW, WS_TABSTOP, 0, 206,
     L"Lưu độ đậm"},
};

void ExpectControl(HWND h, HWND parent, const wchar_t* cls, DWORD type, DWORD required,
                   DWORD exStyle, int id, const std::wstring& caption, const std::string& what) {
  ASSERT_NE(h, nullptr) << what;
  EXPECT_EQ(GetParent(h), parent) << what;
  EXPECT_EQ(lstrcmpiW(ClassOf(h).c_str(), cls), 0) << what << " is " << Narrow(ClassOf(h));
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  EXPECT_TRUE(style & WS_CHILD) << what;
  const bool isStatic = lstrcmpiW(cls, L"Static") == 0;
  const bool isButton = lstrcmpiW(cls, L"Button") == 0;
  const bool isCombo = lstrcmpiW(cls, L"ComboBox") == 0;
  if (isStatic) {
    EXPECT_EQ(style & SS_TYPEMASK, type) << what;
  } else if (isButton) {
    EXPECT_EQ(style & BS_TYPEMASK, type) << what;
  } else if (isCombo) {
    EXPECT_EQ(style & 3u, type) << what;
  }
  EXPECT_EQ(style & required, required) << what;
  const DWORD ex = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  if (!isCombo) {
    EXPECT_EQ(ex & exStyle, exStyle) << what;
  }
  EXPECT_EQ(GetDlgCtrlID(h), id) << what;
  EXPECT_EQ(TextOf(h), caption) << what << ": " << Narrow(TextOf(h));
  if (lstrcmpiW(cls, L"KorvanteNativePage") != 0) {
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), nullptr) << what;
  }
}

TEST_F(MainWindowTest, EveryControlOfTheInventory) {
  for (const ControlSpec& c : kInventory) {
    HWND parent = c.parent == kMain ? hwnd_ : At(c.parent);
    ExpectControl(At(c.slot), parent, c.cls, c.type, c.required, c.exStyle, c.id, c.caption,
                  "slot " + std::to_string(static_cast<int>(c.slot)));
  }
  // The footer ends with the hotline.
  const std::wstring footer = TextOf(At(Slot::kFooter));
  const std::wstring sentence =
      L"Cung cấp máy in, giấy in, thiết bị bán hàng - Hỗ trợ trọn đời - Hotline: ";
  EXPECT_EQ(footer.rfind(sentence, 0), 0u);
  EXPECT_GT(footer.size(), sentence.size());
  EXPECT_EQ(GetWindowLongPtrW(At(Slot::kFooter), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);

  const wchar_t* const lineTexts[] = {L"STT Của Bạn Là", L"", L"Vui Lòng Chờ Tới Lượt", L""};
  const wchar_t* const lineLabels[] = {L"Dòng 1", L"Dòng 2", L"Dòng 3", L"Dòng 4"};
  HWND content = At(Slot::kContentPanel);
  for (int line = 0; line < 4; ++line) {
    const std::string what = "line " + std::to_string(line + 1);
    const int base = 800 + 10 * line;
    ExpectControl(state_->Line(line, LinePart::kLabel), content, L"Static", SS_LEFT, 0, 0, 0,
                  lineLabels[line], what + " label");
    ExpectControl(state_->Line(line, LinePart::kEditor), content, L"Edit", 0, kEditor,
                  WS_EX_CLIENTEDGE, 0, lineTexts[line], what + " editor");
    ExpectControl(state_->Line(line, LinePart::kBold), content, L"Button", BS_OWNERDRAW, WS_TABSTOP,
                  0, base, L"B", what + " bold");
    ExpectControl(state_->Line(line, LinePart::kItalic), content, L"Button", BS_OWNERDRAW,
                  WS_TABSTOP, 0, base + 1, L"I", what + " italic");
    ExpectControl(state_->Line(line, LinePart::kUnderline), content, L"Button", BS_OWNERDRAW,
                  WS_TABSTOP, 0, base + 2, L"U", what + " underline");
    ExpectControl(state_->Line(line, LinePart::kWidthButton), content, L"Button", BS_OWNERDRAW,
                  WS_TABSTOP, 0, base + 3, L"Thường  ▾", what + " width");
    ExpectControl(state_->Line(line, LinePart::kSizeList), content, L"ComboBox", CBS_DROPDOWNLIST,
                  kList, WS_EX_CLIENTEDGE, base + 4, L"6", what + " size list");
  }
}

TEST_F(MainWindowTest, ListsHoldTheirItems) {
  HWND mode = At(Slot::kWifiModeList);
  EXPECT_EQ(SendMessageW(mode, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ListItem(mode, 0), L"Station");
  EXPECT_EQ(ListItem(mode, 1), L"AP");
  EXPECT_EQ(SendMessageW(mode, CB_GETCURSEL, 0, 0), 0);

  auto expectSizeList = [](HWND list, int count) {
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), count);
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(ListItem(list, i), std::to_wstring(i + 1));
      EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, i, 0), i + 1);
    }
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 5);
    // Wine reports the selection field with its 2-pixel padding and keeps
    // its own item height for lists that are not owner-drawn.
    const LRESULT field = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    EXPECT_TRUE(field == 24 || field == 26) << field;
  };
  for (int line = 0; line < 4; ++line) expectSizeList(state_->Line(line, LinePart::kSizeList), 9);
  expectSizeList(At(Slot::kCounterSizeList), 6);

  EXPECT_EQ(SendMessageW(At(Slot::kPrintNumberCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(At(Slot::kPrintDateCheck), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(At(Slot::kBeepCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainWindowTest, TooltipsOfTheTicketLines) {
  ASSERT_NE(state_->tooltip, nullptr);
  EXPECT_EQ(SendMessageW(state_->tooltip, TTM_GETTOOLCOUNT, 0, 0), 4 * 5 + 1);
  auto tipOf = [&](HWND control) {
    wchar_t text[80] = {};
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    SendMessageW(state_->tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return std::wstring(text);
  };
  EXPECT_EQ(tipOf(state_->Line(2, LinePart::kBold)), L"In đậm");
  EXPECT_EQ(tipOf(state_->Line(2, LinePart::kItalic)), L"In nghiêng");
  EXPECT_EQ(tipOf(state_->Line(2, LinePart::kUnderline)), L"Gạch chân");
  EXPECT_EQ(tipOf(state_->Line(0, LinePart::kSizeList)), L"Cỡ chữ");
  EXPECT_EQ(tipOf(state_->Line(3, LinePart::kWidthButton)), L"Độ rộng chữ");
  EXPECT_EQ(tipOf(At(Slot::kCounterSizeList)), L"Cỡ STT (1–6)");
}

TEST_F(MainWindowTest, StartsOnTheLanPageInUsbModeSearching) {
  EXPECT_EQ(SendMessageW(At(Slot::kUsbRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(At(Slot::kLanRadio), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(TextOf(At(Slot::kPrinterLabel)), L"Tên máy in");
  EXPECT_TRUE(IsWindowVisible(At(Slot::kLanPage)));
  EXPECT_FALSE(IsWindowVisible(At(Slot::kWifiPage)));
  EXPECT_FALSE(IsWindowVisible(At(Slot::kQueuePage)));
  EXPECT_FALSE(IsWindowVisible(At(Slot::kTechnicalPage)));
  EXPECT_FALSE(GetWindowLongPtrW(At(Slot::kContentPanel), GWL_STYLE) & WS_VISIBLE);
  HWND list = At(Slot::kPrinterList);
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(ListItem(list, 0), L"Đang tìm máy in USB...");
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Đang tìm...");
}

TEST_F(MainWindowTest, WindowSizeAndFrame) {
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(window.right - window.left, 900);
  EXPECT_EQ(window.bottom - window.top, 830);  // the bench's screen is 1024 high
  // The frame the host layout tests assume for the client sizes.
  EXPECT_EQ(client.right, 892);
  EXPECT_EQ(client.bottom, 803);
  std::printf("frame: 900 x 830 outer gives %ld x %ld client\n", client.right, client.bottom);

  struct Case {
    RECT work;
    int height;
  };
  const Case cases[] = {{{0, 0, 1280, 700}, 700},
                        {{0, 0, 1920, 1080}, 830},
                        {{0, 40, 1280, 870}, 830},
                        {{0, 100, 1280, 100}, 830},
                        {{0, 100, 1280, 50}, 830}};
  for (const Case& c : cases) EXPECT_EQ(MainWindowHeight(c.work), c.height) << c.work.bottom;

  MINMAXINFO info{};
  info.ptMaxSize = POINT{1234, 567};
  info.ptMinTrackSize = POINT{1, 1};
  SendMessageW(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 800);
  EXPECT_EQ(info.ptMinTrackSize.y, 600);
  EXPECT_EQ(info.ptMaxSize.x, 1234);
  EXPECT_EQ(info.ptMaxSize.y, 567);
}

TEST_F(MainWindowTest, LayoutIsAppliedToTheControls) {
  struct Case {
    int outerW, outerH;
    Slot slot;
    Rect rect;
  };
  // Labels are one line of the UI font high and 4 pixels of room for marks,
  // centred in their row.
  const int text = state_->metrics.uiText + 4;
  const Case cases[] = {
      {900, 830, Slot::kFindButton, {744, 142, 100, 36}},
      {900, 830, Slot::kQueuePage, {246, 236, 600, 489}},
      // The footer beside the version, which is as wide as its text and 8.
      {900,
       830,
       Slot::kFooter,
       {28, 771 + (26 - text) / 2, 892 - 30 - state_->metrics.versionText - 8 - 12 - 28, text}},
      {900, 830, Slot::kContentPanel, {12, 56, 576, 379}},
      {900, 830, Slot::kQrField, {56, 320, 274, 26}},
      {800, 600, Slot::kFindButton, {644, 142, 100, 36}},
      {800, 600, Slot::kSaveQueueButton, {320, 219, 168, 36}},
      {800, 600, Slot::kContentPanel, {12, 56, 476, 149}},
      // the scroll bar takes 17 pixels of the panel: E = 459 - 302
      {800, 600, Slot::kQrField, {56, 320, 157, 26}},
  };
  // The queue page with its content, so that every control of the cases is
  // on the page shown.
  Command(303, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(207, BN_CLICKED, At(Slot::kContentToggle));
  for (const Case& c : cases) {
    Resize(c.outerW, c.outerH);
    EXPECT_EQ(PlacedRect(At(c.slot)), c.rect) << c.outerW << " slot " << static_cast<int>(c.slot);
  }
  // Minimised, nothing moves.
  Resize(900, 830);
  ShowWindow(hwnd_, SW_MINIMIZE);
  Pump();
  EXPECT_EQ(PlacedRect(At(Slot::kFindButton)), (Rect{744, 142, 100, 36}));
  ShowWindow(hwnd_, SW_RESTORE);
  Pump();
}

// Controls of the pages not shown are laid out when their page is shown: at
// the size of that moment, even if the window was resized meanwhile.
TEST_F(MainWindowTest, EachPageIsLaidOutAtTheSizeItIsShownAt) {
  const Slot fields[] = {Slot::kWifiNameField,     Slot::kWifiGatewayField, Slot::kBeepCountField,
                         Slot::kSaveDensityButton, Slot::kCopiesField,      Slot::kLanGatewayField};
  const int pageButtons[] = {302, 302, 304, 304, 303, 301};
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{900, 830}}) {
    Resize(width, height);
    RECT client{};
    GetClientRect(hwnd_, &client);
    LayoutInput in;
    in.clientWidth = client.right;
    in.clientHeight = client.bottom;
    in.metrics = state_->metrics;
    const WindowLayout expected = ComputeLayout(in);
    for (std::size_t i = 0; i < std::size(fields); ++i) {
      Command(pageButtons[i], BN_CLICKED, nullptr);
      EXPECT_EQ(PlacedRect(At(fields[i])), expected.rects[static_cast<std::size_t>(fields[i])])
          << width << " slot " << static_cast<int>(fields[i]);
    }
    Command(301, BN_CLICKED, nullptr);  // back to the LAN page for the next size
  }
}

TEST_F(MainWindowTest, ContentPanelScrollsAndClamps) {
  Resize(800, 600);
  Command(303, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(207, BN_CLICKED, At(Slot::kContentToggle));
  HWND panel = At(Slot::kContentPanel);
  ASSERT_TRUE(IsWindowVisible(panel));
  EXPECT_TRUE(GetWindowLongPtrW(panel, GWL_STYLE) & WS_VSCROLL);
  RECT client{};
  GetClientRect(panel, &client);
  EXPECT_EQ(client.right, 476 - 17);

  SendMessageW(panel, WM_VSCROLL, SB_BOTTOM, 0);
  Pump();
  EXPECT_EQ(state_->contentScroll, 211);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(panel, SB_VERT, &info);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 359);
  EXPECT_EQ(info.nPage, 149u);
  EXPECT_EQ(info.nPos, 211);
  const Rect qr = PlacedRect(At(Slot::kQrField));
  EXPECT_EQ(qr.y, 109);
  EXPECT_LE(qr.Bottom(), 149);

  struct Step {
    UINT message;
    WPARAM wParam;
    int offset;
  };
  const Step steps[] = {
      {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 163},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 163},  // half a notch: nothing
      {WM_VSCROLL, SB_LINEUP, 139},
      {WM_VSCROLL, SB_PAGEUP, 0},
      {WM_VSCROLL, SB_LINEUP, 0},  // clamped
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 96},
      {WM_VSCROLL, SB_PAGEDOWN, 211},  // 96 + 149, clamped
      {WM_VSCROLL, SB_TOP, 0},
  };
  for (const Step& s : steps) {
    SendMessageW(panel, s.message, s.wParam, 0);
    Pump();
    EXPECT_EQ(state_->contentScroll, s.offset) << s.message << " " << s.wParam;
    EXPECT_EQ(PlacedRect(state_->Line(0, LinePart::kEditor)).y, 34 - s.offset);
  }
  // Other panels ignore the wheel.
  SendMessageW(At(Slot::kLanPage), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
  EXPECT_EQ(state_->contentScroll, 0);
}

TEST_F(MainWindowTest, PageSwitchAndContentToggle) {
  const Slot panels[] = {Slot::kLanPage, Slot::kWifiPage, Slot::kQueuePage, Slot::kTechnicalPage};
  const Slot buttons[] = {Slot::kLanPageButton, Slot::kWifiPageButton, Slot::kQueuePageButton,
                          Slot::kTechnicalPageButton};
  for (int page : {1, 2, 3, 0}) {
    Command(301 + page, BN_CLICKED, At(buttons[page]));
    EXPECT_EQ(state_->page, page);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(IsWindowVisible(At(panels[i])) != 0, i == page) << page;
  }

  Command(303, BN_CLICKED, At(Slot::kQueuePageButton));
  HWND toggle = At(Slot::kContentToggle);
  HWND panel = At(Slot::kContentPanel);
  EXPECT_FALSE(IsWindowVisible(panel));
  Command(207, BN_CLICKED, toggle);
  EXPECT_EQ(TextOf(toggle), L"Ẩn nội dung");
  EXPECT_TRUE(IsWindowVisible(panel));
  // Another page and back keeps the panel shown.
  Command(304, BN_CLICKED, At(Slot::kTechnicalPageButton));
  Command(303, BN_CLICKED, At(Slot::kQueuePageButton));
  EXPECT_TRUE(IsWindowVisible(panel));
  EXPECT_EQ(TextOf(toggle), L"Ẩn nội dung");
  // A double click reports twice: shown, then hidden again.
  Command(207, BN_CLICKED, toggle);
  EXPECT_EQ(TextOf(toggle), L"Đổi nội dung");
  EXPECT_FALSE(IsWindowVisible(panel));
  Command(207, BN_CLICKED, toggle);
  Command(207, BN_DOUBLECLICKED, toggle);
  EXPECT_FALSE(IsWindowVisible(panel));
}

TEST_F(MainWindowTest, BusyStateDisablesTheSixButtons) {
  const Slot six[] = {Slot::kSaveIpButton, Slot::kSaveWifiButton, Slot::kSaveQueueButton,
                      Slot::kTestButton,   Slot::kSaveBeepButton, Slot::kSaveDensityButton};
  const Slot stayEnabled[] = {Slot::kFindButton,      Slot::kContentToggle,
                              Slot::kLanPageButton,   Slot::kWifiPageButton,
                              Slot::kQueuePageButton, Slot::kTechnicalPageButton};
  // The search that creation starts ends first: it would show over the send.
  for (int i = 0; i < 500 && TextOf(At(Slot::kFindButton)) != L"Tìm"; ++i) {
    Sleep(10);
    Pump();
  }
  state_->sendBusy = 1;
  SetBusy(*state_, true);
  for (Slot s : six) EXPECT_FALSE(IsWindowEnabled(At(s))) << static_cast<int>(s);
  for (Slot s : stayEnabled) EXPECT_TRUE(IsWindowEnabled(At(s))) << static_cast<int>(s);
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Đang gửi...");

  // The outcome message ends it; a null text shows nothing.
  PostMessageW(hwnd_, 0x800B, 0, 0);
  Pump();
  EXPECT_FALSE(state_->sendBusy);
  for (Slot s : six) EXPECT_TRUE(IsWindowEnabled(At(s))) << static_cast<int>(s);
  EXPECT_EQ(TextOf(At(Slot::kFindButton)), L"Tìm");
}

TEST_F(MainWindowTest, StyleTogglesAndTheWidthMenu) {
  HWND bold = state_->Line(1, LinePart::kBold);
  Command(810, BN_CLICKED, bold);
  EXPECT_TRUE(state_->lines[1].bold);
  Command(810, BN_DOUBLECLICKED, bold);  // the second report of a double click
  EXPECT_TRUE(state_->lines[1].bold);
  Command(812, BN_CLICKED, state_->Line(1, LinePart::kUnderline));
  EXPECT_TRUE(state_->lines[1].underline);
  EXPECT_FALSE(state_->lines[1].italic);
  EXPECT_FALSE(state_->lines[0].bold);
  Command(810, BN_CLICKED, bold);
  EXPECT_FALSE(state_->lines[1].bold);

  struct Seen {
    std::vector<std::wstring> items;
    std::vector<bool> checked;
    std::vector<UINT> ids;
    POINT at{};
  } seen;
  int choice = 3;
  state_->trackWidthMenu = [&](HMENU menu, POINT point) {
    seen = {};
    seen.at = point;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[32] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
      seen.items.push_back(text);
      seen.checked.push_back(
          (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0);
      seen.ids.push_back(GetMenuItemID(menu, i));
    }
    return choice;
  };
  HWND width = state_->Line(2, LinePart::kWidthButton);
  Command(823, BN_CLICKED, width);
  ASSERT_EQ(seen.items.size(), 3u);
  EXPECT_EQ(seen.items[0], L"Hẹp");
  EXPECT_EQ(seen.items[1], L"Thường");
  EXPECT_EQ(seen.items[2], L"Rộng");
  EXPECT_EQ(seen.checked, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(seen.ids, (std::vector<UINT>{1, 2, 3}));
  RECT r{};
  GetWindowRect(width, &r);
  EXPECT_EQ(seen.at.x, r.left);
  EXPECT_EQ(seen.at.y, r.bottom + 2);
  EXPECT_EQ(TextOf(width), L"Rộng  ▾");
  EXPECT_EQ(state_->lines[2].widthLevel, 3);

  choice = 0;  // cancelled
  Command(823, BN_CLICKED, width);
  EXPECT_EQ(seen.checked, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(TextOf(width), L"Rộng  ▾");
  choice = 1;
  Command(823, BN_CLICKED, width);
  EXPECT_EQ(TextOf(width), L"Hẹp  ▾");
  EXPECT_EQ(TextOf(state_->Line(1, LinePart::kWidthButton)), L"Thường  ▾");
}

TEST_F(MainWindowTest, CounterPreviewFollowsTheCounterSize) {
  HWND list = At(Slot::kCounterSizeList);
  HWND preview = At(Slot::kCounterPreview);
  const int heights[] = {14, 14, 17, 21, 26, 34};
  for (int level = 1; level <= 6; ++level) {
    SendMessageW(list, CB_SETCURSEL, level - 1, 0);
    Command(850, CBN_SELCHANGE, list);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(preview, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_EQ(font.lfHeight, -heights[level - 1]) << level;
    EXPECT_EQ(font.lfWeight, FW_BOLD);
  }
  // Another notification code does not change it.
  SendMessageW(list, CB_SETCURSEL, 5, 0);
  Command(850, CBN_DROPDOWN, list);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(preview, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -34);
}

TEST_F(MainWindowTest, TabRingWrapsOnTheFirstRow) {
  Pump();
  // A radio button that is unchecked is no tab stop (BM_SETCHECK takes
  // WS_TABSTOP away, as in every radio group), so the first row is the
  // checked radio, the printer list and the find button.
  SetFocus(At(Slot::kUsbRadio));
  EXPECT_EQ(PressTab(false), At(Slot::kPrinterList));
  EXPECT_EQ(PressTab(false), At(Slot::kFindButton));
  EXPECT_EQ(PressTab(false), At(Slot::kLanPageButton));
  SetFocus(At(Slot::kUsbRadio));
  // Shift+Tab from the first entry wraps to the last: the LAN page's save
  // button, the lowest control on screen; Tab from there wraps back.
  EXPECT_EQ(PressTab(true), At(Slot::kSaveIpButton));
  EXPECT_EQ(PressTab(false), At(Slot::kUsbRadio));
  EXPECT_EQ(PressTab(true), At(Slot::kSaveIpButton));
  EXPECT_EQ(PressTab(true), At(Slot::kPrintInfoButton));
  EXPECT_EQ(PressTab(true), At(Slot::kTechnicalPageButton));

  // Disabled buttons drop out: during a send the last entry is the lowest
  // page button.
  SetBusy(*state_, true);
  SetFocus(At(Slot::kUsbRadio));
  EXPECT_EQ(PressTab(true), At(Slot::kTechnicalPageButton));
  SetBusy(*state_, false);

  // Controls of hidden pages drop out: on the WiFi page the LAN fields are
  // never reached.
  Command(302, BN_CLICKED, At(Slot::kWifiPageButton));
  SetFocus(At(Slot::kUsbRadio));
  EXPECT_EQ(PressTab(true), At(Slot::kSaveWifiButton));
  for (int i = 0; i < 40; ++i) {
    HWND focus = PressTab(false);
    EXPECT_FALSE(IsChild(At(Slot::kLanPage), focus));
    if (focus == At(Slot::kUsbRadio)) break;
  }
  EXPECT_EQ(GetFocus(), At(Slot::kUsbRadio));

  // Ctrl+Tab is not navigation.
  HoldKeys({VK_CONTROL});
  MSG msg = KeyDown(GetFocus(), VK_TAB);
  EXPECT_FALSE(PreTranslateKey(*state_, msg));
}

TEST_F(MainWindowTest, TabBringsAContentControlIntoView) {
  Resize(800, 600);
  Command(303, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(207, BN_CLICKED, At(Slot::kContentToggle));
  Pump();
  // From line 4's width button, the last of its row, reading order goes on
  // to the QR field, far below the visible part of the 149-pixel panel.
  SetFocus(state_->Line(3, LinePart::kWidthButton));
  HWND next = PressTab(false);
  EXPECT_EQ(next, At(Slot::kQrField));
  // Scrolled just far enough: the field's bottom on the panel's bottom.
  EXPECT_EQ(state_->contentScroll, 346 - 149);
  EXPECT_EQ(PlacedRect(At(Slot::kQrField)), (Rect{56, 123, 157, 26}));
}

TEST_F(MainWindowTest, CtrlASelectsAllInFieldsAndLineEditors) {
  HWND field = At(Slot::kLanIpField);
  HWND editor = state_->Line(0, LinePart::kEditor);
  for (HWND edit : {field, editor}) {
    SendMessageW(edit, EM_SETSEL, 0, 0);
    HoldKeys({VK_CONTROL});
    // Through the message loop, as a posted key reaches it.
    MSG msg = KeyDown(edit, 'A');
    EXPECT_TRUE(PreTranslateKey(*state_, msg));
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(edit)));
    // Straight to the control, through its select-all subclass.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_KEYDOWN, 'A', 0);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(edit)));
    EXPECT_GT(end, 0u);
    HoldKeys({});
  }
  // Without Ctrl the key is the edit's own.
  MSG plain = KeyDown(field, 'A');
  EXPECT_FALSE(PreTranslateKey(*state_, plain));
}

TEST_F(MainWindowTest, ClosingEndsTheLoopAndFreesFontsAndBrushes) {
  Pump();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd_));
  MSG msg{};
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(msg.wParam, 0u);
    }
  }
  EXPECT_TRUE(quit);
  EXPECT_FALSE(state_->uiFont);
  EXPECT_FALSE(state_->titleFont);
  EXPECT_FALSE(state_->brandFont);
  EXPECT_FALSE(state_->counterFont);
  for (const BrushOwner& brush : state_->brushes) EXPECT_FALSE(brush);
}

}  // namespace
}  // namespace korvante::testing
