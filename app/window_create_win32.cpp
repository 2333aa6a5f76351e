// Start-up of the main window: its two classes, fonts and brushes, and every
// control of the inventory with its class, style, ID, caption and default.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "app/main_window_win32.h"
#include "app/refresh_window_win32.h"
#include "app/startup_trace.h"
#include "app/style_toggles.h"
#include "app/version.h"
#include "app/window_texts.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "commands/ticket_sizes.h"

namespace korvante {
namespace {

// The vendor's hotline, the last words of the footer sentence.
constexpr wchar_t kHotlineNumber[] = L"1900 6868";
constexpr wchar_t kFooterSentence[] =
    L"Cung cấp máy in, giấy in, thiết bị bán hàng - Hỗ trợ trọn đời - Hotline: ";
constexpr wchar_t kVersionText[] = L"Phiên bản: " KV_VERSION_TEXT;

constexpr int kMinVisibleListItems = 8;
constexpr int kSizeListItemHeight = 24;
constexpr int kTitleFontHeight = -22;
// Above and below the text of an item in the printer and mode lists.
constexpr int kListItemPadding = 8;
constexpr int kBrandFontHeight = -34;

class ControlFactory {
 public:
  explicit ControlFactory(MainWindow& w) : w_(w) {}

  HWND Make(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle = 0,
            int id = 0) {
    HWND h = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(w_.uiFont.get()), TRUE);
    return h;
  }
  // One line, centred in the label's height, which leaves room for the marks
  // above and below Vietnamese capitals.
  HWND Label(HWND parent, const wchar_t* text, DWORD style = 0) {
    return Make(parent, L"STATIC", text, style | SS_CENTERIMAGE);
  }
  HWND OwnerDrawn(HWND parent, const wchar_t* text, int id) {
    HWND h = Make(parent, L"BUTTON", text, BS_OWNERDRAW | WS_TABSTOP, 0, id);
    RepaintOnUiStateChange(h);
    return h;
  }
  // Alignment is fixed when an edit is created: ES_CENTER has to be there.
  HWND Field(HWND parent, const wchar_t* text, DWORD alignment = 0) {
    HWND h = Make(parent, L"EDIT", text, ES_AUTOHSCROLL | WS_TABSTOP | alignment, WS_EX_CLIENTEDGE);
    SubclassForSelectAll(h);
    CentreFieldText(h, false);  // made 10 x 10: the layout sizes it before it is seen
    return h;
  }
  // Owner-drawn with their strings kept, so that their text is centred. The
  // printer box in LAN / Wi-Fi mode is CBS_DROPDOWN: an address can be typed.
  HWND List(HWND parent, DWORD kind = CBS_DROPDOWNLIST) {
    HWND h = Make(parent, L"COMBOBOX", L"",
                  kind | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                  WS_EX_CLIENTEDGE);
    SendMessageW(h, CB_SETMINVISIBLE, kMinVisibleListItems, 0);
    PassWheelWhenIdle(h);
    return h;
  }
  HWND Check(HWND parent, const wchar_t* text) {
    return Unthemed(Make(parent, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP));
  }
  HWND Radio(const wchar_t* text, DWORD style, int id) {
    return Unthemed(Make(w_.hwnd, L"BUTTON", text, BS_RADIOBUTTON | WS_TABSTOP | style, 0, id));
  }
  // Under visual styles a check box or radio draws its caption in the
  // theme's colour and ignores the text colour of WM_CTLCOLORSTATIC. A class
  // list that names no class leaves it without a theme, so it keeps the
  // window's colours (and draws the classic box). A blank rather than an
  // empty text: Wine ignores an empty one.
  static HWND Unthemed(HWND button) {
    SetWindowTheme(button, L" ", L" ");
    return button;
  }
  HWND Panel(HWND parent) {
    HWND h = CreateWindowExW(0, kPageClassName, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             0, 0, 10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(w_.uiFont.get()), TRUE);
    return h;
  }
  // Items "1".."count" with their number as item data, the default size
  // selected, 24-pixel selection field and items; the ID is set after
  // creation.
  HWND SizeList(HWND parent, int count, int id) {
    HWND h = List(parent);
    // Without a redraw and a scroll-bar update after each item: under Wine
    // each costs server calls, about 5 ms a list when the computer is slow.
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    for (int n = 1; n <= count; ++n) {
      const std::wstring text = std::to_wstring(n);
      const LRESULT index =
          SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageW(h, CB_SETITEMDATA, static_cast<WPARAM>(index), n);
    }
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kSizeListItemHeight);
    SendMessageW(h, CB_SETITEMHEIGHT, 0, kSizeListItemHeight);
    SendMessageW(h, CB_SETCURSEL, kDefaultSizeLevel - 1, 0);
    SetWindowLongPtrW(h, GWLP_ID, id);
    return h;
  }
  void Tooltip(HWND control, const wchar_t* text) {
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = w_.hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(w_.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }

 private:
  MainWindow& w_;
};

static_assert(sizeof(TOOLINFOW) == 72, "the full tool record, with lpReserved");
static_assert(sizeof(NONCLIENTMETRICSW) == 504, "the full metrics, with iPaddedBorderWidth");

void CreateFontsAndBrushes(MainWindow& w) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  w.uiFont.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  LOGFONTW title = metrics.lfMessageFont;
  title.lfHeight = kTitleFontHeight;
  title.lfWeight = FW_BOLD;
  wcsncpy_s(title.lfFaceName, LF_FACESIZE, kDisplayFontFace, LF_FACESIZE - 1);
  w.titleFont.reset(CreateFontIndirectW(&title));
  LOGFONTW brand = title;
  brand.lfHeight = kBrandFontHeight;
  w.brandFont.reset(CreateFontIndirectW(&brand));

  // The surfaces' brushes, of the palette of the user's high-contrast
  // setting.
  ApplyColourScheme(w, false);
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  SIZE size{};
  {
    SelectedObject selected(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  ReleaseDC(window, dc);
  return size.cx;
}

// The printer box's items and closed box, as high as the find button's face;
// in LAN / Wi-Fi mode the address typed into its edit part sits in the middle
// like a field's. Again for each box that a mode switch makes.
void SizePrinterBox(MainWindow& w) {
  HWND box = w.At(Slot::kPrinterList);
  SendMessageW(box, CB_SETITEMHEIGHT, 0, w.metrics.uiText + kListItemPadding);
  SetClosedListHeight(box, kPrinterListHeight);
  if (HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr)) CentreFieldText(edit);
}

// The heights the layout sizes the labels by and centres the lists with: a
// line of each font, internal leading included, and each list's closed box.
// The printer list is made as high as the find button's face, the WiFi mode
// list as the fields beside it.
void MeasureControls(MainWindow& w) {
  ControlMetrics& m = w.metrics;
  m.uiText = FontLineHeight(w.hwnd, w.uiFont.get());
  m.titleText = FontLineHeight(w.hwnd, w.titleFont.get());
  m.brandText = FontLineHeight(w.hwnd, w.brandFont.get());
  SizePrinterBox(w);
  SendMessageW(w.At(Slot::kWifiModeList), CB_SETITEMHEIGHT, 0, m.uiText + kListItemPadding);
  SetClosedListHeight(w.At(Slot::kWifiModeList), kFieldHeight);
  m.printerList = ClosedHeight(w.At(Slot::kPrinterList));
  m.modeList = ClosedHeight(w.At(Slot::kWifiModeList));
  m.sizeList = ClosedHeight(w.At(Slot::kCounterSizeList));
  m.scrollBar = GetSystemMetrics(SM_CXVSCROLL);
  m.footerText = TextWidth(w.hwnd, w.uiFont.get(), std::wstring(kFooterSentence) + kHotlineNumber);
  m.versionText = TextWidth(w.hwnd, w.uiFont.get(), kVersionText);
}

void CreateHeader(MainWindow& w, ControlFactory& make) {
  w.At(Slot::kTitle) = make.Label(w.hwnd, L"Cấu hình máy in Korvante");
  SendMessageW(w.At(Slot::kTitle), WM_SETFONT, reinterpret_cast<WPARAM>(w.titleFont.get()), TRUE);
  w.At(Slot::kBrand) = make.Label(w.hwnd, L"Korvante", SS_RIGHT);
  SendMessageW(w.At(Slot::kBrand), WM_SETFONT, reinterpret_cast<WPARAM>(w.brandFont.get()), TRUE);
  w.At(Slot::kConnectionHeader) = make.Label(w.hwnd, L"KẾT NỐI MÁY IN");
  // Plain radios: the window sets their checks itself.
  w.At(Slot::kUsbRadio) = make.Radio(L"USB", WS_GROUP, kIdUsbRadio);
  w.At(Slot::kLanRadio) = make.Radio(L"LAN / Wi-Fi", 0, kIdLanRadio);
  w.At(Slot::kPrinterLabel) = make.Label(w.hwnd, WideText(PrinterLabel(kModeUsb)));
  MakePrinterBox(w);
  w.At(Slot::kFindButton) =
      make.OwnerDrawn(w.hwnd, WideText(FindButtonCaption(false, false)), kIdFind);
}

void CreatePageButtons(MainWindow& w, ControlFactory& make) {
  w.At(Slot::kLanPageButton) = make.OwnerDrawn(w.hwnd, L"Máy in Lan", kIdLanPageButton);
  w.At(Slot::kWifiPageButton) = make.OwnerDrawn(w.hwnd, L"Máy in wifi", kIdWifiPageButton);
  w.At(Slot::kQueuePageButton) = make.OwnerDrawn(w.hwnd, L"Số thứ tự", kIdQueuePageButton);
  w.At(Slot::kTechnicalPageButton) = make.OwnerDrawn(w.hwnd, L"Kỹ thuật", kIdTechnicalPageButton);
}

void CreateLanPage(MainWindow& w, ControlFactory& make) {
  // Each label just before its field: a screen reader names a field after
  // the static text that precedes it.
  HWND page = w.At(Slot::kLanPage) = make.Panel(w.hwnd);
  // What the selected printer reported, and whether it takes mask and
  // gateway: a text that wraps, filled as the selection changes.
  w.At(Slot::kLanTargetText) = make.Make(page, L"STATIC", L"", SS_LEFT | SS_NOPREFIX);
  w.At(Slot::kLanIpLabel) = make.Label(page, WideText(AddressFieldLabel(AddressField::LanNewIp)));
  w.At(Slot::kLanIpField) = make.Field(page, L"192.168.1.222");
  w.At(Slot::kLanMaskLabel) = make.Label(page, WideText(AddressFieldLabel(AddressField::Mask)));
  w.At(Slot::kLanMaskField) = make.Field(page, L"255.255.255.0");
  w.At(Slot::kLanGatewayLabel) =
      make.Label(page, WideText(AddressFieldLabel(AddressField::Gateway)));
  w.At(Slot::kLanGatewayField) = make.Field(page, L"192.168.1.1");
  w.At(Slot::kSaveIpButton) = make.OwnerDrawn(page, L"Lưu IP", kIdSaveIp);
  w.At(Slot::kPrintInfoButton) = make.OwnerDrawn(page, L"In thông tin IP", kIdPrintInfo);
}

void CreateWifiPage(MainWindow& w, ControlFactory& make) {
  HWND page = w.At(Slot::kWifiPage) = make.Panel(w.hwnd);
  w.At(Slot::kWifiNameLabel) = make.Label(page, L"Tên WiFi");
  w.At(Slot::kWifiNameField) = make.Field(page, L"Velmora");
  w.At(Slot::kWifiPasswordLabel) = make.Label(page, L"Mật khẩu WiFi");
  w.At(Slot::kWifiPasswordField) = make.Field(page, L"52815281");
  w.At(Slot::kWifiIpLabel) = make.Label(page, WideText(AddressFieldLabel(AddressField::WifiIp)));
  w.At(Slot::kWifiIpField) = make.Field(page, L"192.168.1.222");
  w.At(Slot::kWifiMaskLabel) = make.Label(page, WideText(AddressFieldLabel(AddressField::Mask)));
  w.At(Slot::kWifiMaskField) = make.Field(page, L"255.255.255.0");
  w.At(Slot::kWifiGatewayLabel) =
      make.Label(page, WideText(AddressFieldLabel(AddressField::Gateway)));
  w.At(Slot::kWifiGatewayField) = make.Field(page, L"192.168.1.1");
  w.At(Slot::kWifiModeLabel) = make.Label(page, L"Chế độ");
  HWND mode = w.At(Slot::kWifiModeList) = make.List(page);
  SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Station"));
  SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"AP"));
  SendMessageW(mode, CB_SETCURSEL, 0, 0);
  w.At(Slot::kSaveWifiButton) = make.OwnerDrawn(page, L"Cài WiFi", kIdSaveWifi);
}

void CreateQueuePage(MainWindow& w, ControlFactory& make) {
  HWND page = w.At(Slot::kQueuePage) = make.Panel(w.hwnd);
  HWND printNumber = w.At(Slot::kPrintNumberCheck) = make.Check(page, L"Bật in số");
  SendMessageW(printNumber, BM_SETCHECK, BST_CHECKED, 0);
  InvalidateRect(printNumber, nullptr, TRUE);
  w.At(Slot::kPrintDateCheck) = make.Check(page, L"In ngày");
  w.At(Slot::kCopiesLabel) = make.Label(page, L"Số liên");
  w.At(Slot::kCopiesField) = make.Field(page, L"1", ES_CENTER);
  w.At(Slot::kContentToggle) =
      make.OwnerDrawn(page, WideText(ContentToggleCaption(false)), kIdContentToggle);
  HWND content = w.At(Slot::kContentPanel) = make.Panel(page);
  SetWindowLongPtrW(content, GWL_STYLE, GetWindowLongPtrW(content, GWL_STYLE) | WS_VSCROLL);

  w.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.hwnd,
                              nullptr, GetModuleHandleW(nullptr), nullptr);

  w.At(Slot::kContentHeader) = make.Label(content, L"NỘI DUNG PHIẾU");
  w.At(Slot::kFormatLabel) = make.Label(content, L"Định dạng");
  const wchar_t* const lineLabels[kLineCount] = {L"Dòng 1", L"Dòng 2", L"Dòng 3", L"Dòng 4"};
  const wchar_t* const lineTexts[kLineCount] = {L"STT Của Bạn Là", L"", L"Vui Lòng Chờ Tới Lượt",
                                                L""};
  for (int line = 0; line < kLineCount; ++line) {
    const int base = LineBaseId(line);
    auto slot = [&](LinePart part) -> HWND& { return w.At(LineSlot(line, part)); };
    slot(LinePart::kLabel) = make.Label(content, lineLabels[line]);
    HWND editor = slot(LinePart::kEditor) =
        make.Make(content, L"EDIT", lineTexts[line],
                  ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP, WS_EX_CLIENTEDGE);
    SubclassForSelectAll(editor);
    CentreEditorText(editor);
    for (const StyleToggle& toggle : kStyleToggles) {
      slot(toggle.part) =
          make.OwnerDrawn(content, WideText(toggle.caption), base + toggle.idOffset);
    }
    slot(LinePart::kSizeList) = make.SizeList(content, kTextLevelMax, base + kLineSizeListOffset);
    const std::u16string caption = WidthButtonCaption(w.lines[line].widthLevel);
    slot(LinePart::kWidthButton) =
        make.OwnerDrawn(content, WideText(caption), base + kLineWidthOffset);
    for (const StyleToggle& toggle : kStyleToggles) {
      make.Tooltip(slot(toggle.part), WideText(toggle.name));
    }
    make.Tooltip(slot(LinePart::kSizeList), L"Cỡ chữ");
    make.Tooltip(slot(LinePart::kWidthButton), L"Độ rộng chữ");
  }
  w.At(Slot::kCounterLabel) = make.Label(content, L"STT");
  w.At(Slot::kCounterPreview) = make.Label(content, L"001", SS_CENTER | SS_CENTERIMAGE);
  w.At(Slot::kCounterSizeLabel) = make.Label(content, L"Cỡ STT");
  w.At(Slot::kCounterSizeList) = make.SizeList(content, kCounterLevelMax, kIdCounterSizeList);
  make.Tooltip(w.At(Slot::kCounterSizeList), L"Cỡ STT (1–6)");
  UpdateCounterPreviewFont(w);
  w.At(Slot::kQrLabel) = make.Label(content, L"Link QR");
  w.At(Slot::kQrField) = make.Field(content, L"");
  w.At(Slot::kSaveQueueButton) = make.OwnerDrawn(page, L"Lưu vào máy", kIdSaveQueue);
  MakeTogglesAccessible(w);
  ApplyContentShown(w);
}

void CreateTechnicalPage(MainWindow& w, ControlFactory& make) {
  HWND page = w.At(Slot::kTechnicalPage) = make.Panel(w.hwnd);
  HWND beep = w.At(Slot::kBeepCheck) = make.Check(page, L"Kêu sau khi in");
  SendMessageW(beep, BM_SETCHECK, BST_CHECKED, 0);
  InvalidateRect(beep, nullptr, TRUE);
  w.At(Slot::kBeepCountLabel) = make.Label(page, L"Số lần");
  w.At(Slot::kBeepCountField) = make.Field(page, L"1");
  w.At(Slot::kTestButton) = make.OwnerDrawn(page, L"Test", kIdTestBeep);
  w.At(Slot::kSaveBeepButton) = make.OwnerDrawn(page, L"Lưu chuông", kIdSaveBeep);
  w.At(Slot::kDensityLabel) = make.Label(page, L"Độ đậm");
  w.At(Slot::kDensityField) = make.Field(page, L"5");
  w.At(Slot::kSaveDensityButton) = make.OwnerDrawn(page, L"Lưu độ đậm", kIdSaveDensity);
}

}  // namespace

void MakePrinterBox(MainWindow& w) {
  constexpr DWORD kKindBits = 0x3;  // CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST
  const DWORD kind = w.mode == kModeNetwork ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
  HWND old = w.At(Slot::kPrinterList);
  if (old && (GetWindowLongPtrW(old, GWL_STYLE) & kKindBits) == (kind & kKindBits)) return;
  ControlFactory make(w);
  HWND box = make.List(w.hwnd, kind);
  // The edit part of the drop-down takes Ctrl+A like every field.
  if (HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr)) SubclassForSelectAll(edit);
  w.At(Slot::kPrinterList) = box;
  w.printerTextEdited = false;
  if (!old) return;  // the first box is sized with the others once fonts are measured
  SizePrinterBox(w);
  HWND focus = GetFocus();
  const bool focused = focus && (focus == old || IsChild(old, focus));
  // Right after the old box in the z-order, which is the creation order that
  // screen readers name a control by: after its label.
  SetWindowPos(box, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(old);
  LayOutWindow(w);
  if (focused) SetFocus(box);
  MarkStartupStep("printer box made again");
}

void InitControlClasses() {
  // The tooltip class is registered by ICC_BAR_CLASSES: common controls 6
  // does not register it for ICC_STANDARD_CLASSES alone.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
}

void RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSW page{};
  page.lpfnWndProc = PageWindowProc;
  page.hInstance = instance;
  page.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  page.lpszClassName = kPageClassName;
  RegisterClassW(&page);

  WNDCLASSW main{};
  main.lpfnWndProc = MainWindowProc;
  main.hInstance = instance;
  main.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  main.lpszClassName = kMainClassName;
  RegisterClassW(&main);
}

int MainWindowHeight(const RECT& workArea) {
  if (workArea.bottom <= workArea.top) return kMainWindowMaxHeight;
  return std::min<int>(workArea.bottom - workArea.top, kMainWindowMaxHeight);
}

HWND CreateMainWindow(HINSTANCE instance, MainWindow& state) {
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  HWND hwnd = CreateWindowExW(0, kMainClassName, L"Korvante Config Tool",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              kMainWindowWidth, MainWindowHeight(workArea), nullptr, nullptr,
                              instance, &state);
  // As high as a low work area, the window must start at its top: Windows
  // places a new window a little down (cascading), which would leave its
  // bottom off the screen.
  RECT placed{};
  if (hwnd && GetWindowRect(hwnd, &placed)) {
    const int top =
        TopOnWorkArea(placed.top, placed.bottom - placed.top, workArea.top, workArea.bottom);
    if (top != placed.top) {
      SetWindowPos(hwnd, nullptr, placed.left, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return hwnd;
}

void OnCreate(MainWindow& w) {
  MarkStartupStep("WM_CREATE");
  CreateFontsAndBrushes(w);
  MarkStartupStep("fonts and brushes");
  ControlFactory make(w);
  CreateHeader(w, make);
  SetConnectionMode(w, kModeUsb, false);
  CreatePageButtons(w, make);
  MarkStartupStep("header and page buttons");
  CreateLanPage(w, make);
  CreateWifiPage(w, make);
  MarkStartupStep("LAN and WiFi pages");
  CreateQueuePage(w, make);
  MarkStartupStep("queue page");
  CreateTechnicalPage(w, make);
  MarkStartupStep("technical page");
  w.profiles = EnumerateProfiles();
  MarkStartupStep("network profiles");
  ApplySuggestions(w, true);
  MeasureControls(w);
  ShowPage(w, w.page);
  MarkStartupStep("suggestions and page shown");
  w.At(Slot::kVersion) = make.Label(w.hwnd, kVersionText, SS_RIGHT);
  w.At(Slot::kFooter) =
      make.Label(w.hwnd, (std::wstring(kFooterSentence) + kHotlineNumber).c_str(), SS_CENTER);
  LayOutWindow(w);
  MarkStartupStep("footer and layout");
  // The search shows at once; its worker starts from the message loop, after
  // the first paint (under Wine its calls would slow that paint by some 20 ms).
  w.holdSearchWorker = true;
  StartRefresh(w);
  w.holdSearchWorker = false;
  PostMessageW(w.hwnd, kMsgStartHeldSearch, 0, 0);
  MarkStartupStep("refresh started");
}

}  // namespace korvante
