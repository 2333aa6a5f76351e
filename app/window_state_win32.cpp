// The window-wide state operations: connection mode, page switch, content
// panel, busy state, ticket line styles, counter preview font, the control
// read operations and the orderly end.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/main_window_win32.h"
#include "app/startup_trace.h"
#include "app/style_toggles.h"
#include "app/window_texts.h"
#include "commands/ticket_sizes.h"

namespace korvante {
namespace {

// The controls that the page switch shows, per page, in showing order.
constexpr Slot kLanPageControls[] = {
    Slot::kLanIpLabel,    Slot::kLanIpField,      Slot::kLanMaskLabel,
    Slot::kLanMaskField,  Slot::kLanGatewayLabel, Slot::kLanGatewayField,
    Slot::kLanTargetText, Slot::kSaveIpButton,    Slot::kPrintInfoButton};
constexpr Slot kWifiPageControls[] = {
    Slot::kWifiNameLabel,     Slot::kWifiNameField, Slot::kWifiPasswordLabel,
    Slot::kWifiPasswordField, Slot::kWifiIpLabel,   Slot::kWifiIpField,
    Slot::kWifiMaskLabel,     Slot::kWifiMaskField, Slot::kWifiGatewayLabel,
    Slot::kWifiGatewayField,  Slot::kWifiModeLabel, Slot::kWifiModeList,
    Slot::kSaveWifiButton};
constexpr Slot kQueuePageControls[] = {Slot::kPrintNumberCheck, Slot::kPrintDateCheck,
                                       Slot::kCopiesLabel,      Slot::kCopiesField,
                                       Slot::kContentToggle,    Slot::kSaveQueueButton};
constexpr Slot kTechnicalPageControls[] = {
    Slot::kBeepCheck,      Slot::kBeepCountLabel, Slot::kBeepCountField, Slot::kTestButton,
    Slot::kSaveBeepButton, Slot::kDensityLabel,   Slot::kDensityField,   Slot::kSaveDensityButton};

// The buttons that send (201..206 and the information slip, 208): a running
// send disables them.
constexpr Slot kSendButtons[] = {
    Slot::kSaveIpButton,   Slot::kSaveWifiButton,    Slot::kSaveQueueButton, Slot::kTestButton,
    Slot::kSaveBeepButton, Slot::kSaveDensityButton, Slot::kPrintInfoButton};

// Creation is complete once the version label exists; until then the page
// switch and the content toggle must not lay out half-built pages.
bool CreationComplete(const MainWindow& w) { return w.At(Slot::kVersion) != nullptr; }

// A style toggle flips its line's flag and shows it at once.
void FlipStyle(MainWindow& w, HWND toggle, bool& flag) {
  flag = !flag;
  InvalidateRect(toggle, nullptr, TRUE);
  UpdateWindow(toggle);
  AnnounceToggle(w, toggle);
}

// The width menu under the button; a choice becomes the line's width.
void ChooseWidth(MainWindow& w, HWND widthButton, TicketLine& record) {
  HMENU menu = CreatePopupMenu();
  for (int level = kWidthNarrow; level <= kWidthWide; ++level) {
    const std::u16string word(WidthLevelWord(level));
    AppendMenuW(menu, MF_STRING | (level == record.widthLevel ? MF_CHECKED : 0),
                static_cast<UINT_PTR>(level), WideText(word));
  }
  RECT rect{};
  GetWindowRect(widthButton, &rect);
  const POINT at{rect.left, rect.bottom + 2};
  const int choice =
      w.trackWidthMenu
          ? w.trackWidthMenu(menu, at)
          : static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, w.hwnd, nullptr));
  DestroyMenu(menu);
  if (choice >= kWidthNarrow && choice <= kWidthWide) {
    record.widthLevel = choice;
    SetWindowTextW(widthButton, WideText(WidthButtonCaption(choice)));
    InvalidateRect(widthButton, nullptr, TRUE);
  }
}

}  // namespace

MainWindow* StateOf(HWND anyWindow) {
  HWND root = GetAncestor(anyWindow, GA_ROOT);
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(root ? root : anyWindow, GWLP_USERDATA));
}

void ShowMessage(const MainWindow& w, std::u16string_view text) {
  MessageBoxW(w.hwnd, WideText(std::u16string(text)), WideText(kMessageBoxTitle),
              MB_ICONINFORMATION);
}

bool Confirm(MainWindow& w, std::u16string_view question) {
  // A click that was queued behind the one that asked reaches the window
  // while the box is open: it asks nothing and is a No.
  if (w.asking) return false;
  w.asking = true;
  const bool yes = w.confirm ? w.confirm(question)
                             : MessageBoxW(w.hwnd, WideText(std::u16string(question)),
                                           WideText(kMessageBoxTitle),
                                           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  w.asking = false;
  return yes;
}

void SetConnectionMode(MainWindow& w, ConnectionMode mode, bool clearList) {
  w.mode = mode;
  MakePrinterBox(w);
  SendMessageW(w.At(Slot::kUsbRadio), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(w.At(Slot::kLanRadio), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(w.At(mode == kModeNetwork ? Slot::kLanRadio : Slot::kUsbRadio), BM_SETCHECK,
               BST_CHECKED, 0);
  SetWindowTextW(w.At(Slot::kPrinterLabel), WideText(PrinterLabel(mode)));
  if (clearList) ResetPrinterBox(w);
  InvalidateRect(w.At(Slot::kUsbRadio), nullptr, TRUE);
  InvalidateRect(w.At(Slot::kLanRadio), nullptr, TRUE);
  InvalidateRect(w.hwnd, nullptr, TRUE);
  MarkStartupStep("connection mode set");
}

void ShowPage(MainWindow& w, int page) {
  w.page = page;
  const int shown = ShownPage(page);
  for (int i = 0; i < kPageCount; ++i) {
    if (i != shown) ShowWindow(w.At(PageSlot(i)), SW_HIDE);
  }
  auto showAll = [&](const auto& slots) {
    for (Slot s : slots) ShowWindow(w.At(s), SW_SHOW);
  };
  switch (shown) {
    case kPageLan:
      showAll(kLanPageControls);
      break;
    case kPageWifi:
      showAll(kWifiPageControls);
      break;
    case kPageQueue:
      showAll(kQueuePageControls);
      ApplyContentShown(w);
      break;
    default:
      showAll(kTechnicalPageControls);
      break;
  }
  if (CreationComplete(w)) LayOutWindow(w);
  SetWindowPos(w.At(PageSlot(shown)), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RedrawWindow(w.hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void ApplyContentShown(MainWindow& w) {
  SetWindowTextW(w.At(Slot::kContentToggle), WideText(ContentToggleCaption(w.contentShown)));
  ShowWindow(w.At(Slot::kContentPanel), w.contentShown ? SW_SHOW : SW_HIDE);
  if (CreationComplete(w)) LayOutWindow(w);
  RedrawWindow(w.At(Slot::kQueuePage), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void SetBusy(MainWindow& w, bool busy) {
  for (Slot s : kSendButtons) EnableWindow(w.At(s), busy ? FALSE : TRUE);
  UpdateFindButton(w);
}

void UpdateFindButton(MainWindow& w) {
  const std::u16string caption(FindButtonCaption(w.searches.Running(w.mode), w.sendBusy != 0));
  HWND find = w.At(Slot::kFindButton);
  if (ControlText(find) != caption) SetWindowTextW(find, WideText(caption));
}

void UpdateCounterPreviewFont(MainWindow& w) {
  const int level = ListLevel(w.At(Slot::kCounterSizeList));
  LOGFONTW font{};
  font.lfHeight = -CounterPreviewHeight(level);
  font.lfWeight = FW_BOLD;
  wcsncpy_s(font.lfFaceName, LF_FACESIZE, kDisplayFontFace, LF_FACESIZE - 1);
  HFONT created = CreateFontIndirectW(&font);
  if (!created) return;
  SendMessageW(w.At(Slot::kCounterPreview), WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  w.counterFont.reset(created);
}

void OnLineStyleCommand(MainWindow& w, int line, int sub) {
  if (line < 0 || line >= kLineCount) return;
  TicketLine& record = w.lines[line];
  if (const StyleToggle* toggle = StyleToggleAt(sub)) {
    return FlipStyle(w, w.Line(line, toggle->part), record.*(toggle->flag));
  }
  if (sub == kLineWidthOffset) ChooseWidth(w, w.Line(line, LinePart::kWidthButton), record);
  // The size lists are read when the ticket is saved.
}

void OnDestroy(MainWindow& w) {
  EndAccessibility(w);
  w.uiFont.reset();
  w.titleFont.reset();
  w.brandFont.reset();
  w.counterFont.reset();
  for (BrushOwner& brush : w.brushes) brush.reset();
  PostQuitMessage(0);
}

std::u16string ControlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void AddListItem(HWND list, std::u16string_view text) {
  const std::u16string item(text);
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item)));
}

int ListLevel(HWND list) {
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return SizeListLevel(std::nullopt);
  const LRESULT data = SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (data == CB_ERR) return SizeListLevel(std::nullopt);
  return SizeListLevel(static_cast<int>(data));
}

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace korvante
