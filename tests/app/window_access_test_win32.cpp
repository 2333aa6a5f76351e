// What the window gives besides its looks: the names screen readers find for
// its fields, the state of the style toggles, the focus kept across a switch
// to another program, the mouse wheel over a closed list, and the colours of
// high contrast. Runs on the app bench.
#include "tests/app/window_fixture_win32.h"

#include <oleacc.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/button_looks.h"
#include "discovery/refresh.h"

namespace korvante::testing {
namespace {

// The name Active Accessibility gives a control (Wine's proxy, like
// Narrator, names an edit after the static text created just before it).
std::wstring AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return L"<no object>";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = SUCCEEDED(object->get_accName(self, &name)) && name ? name : L"<no name>";
  SysFreeString(name);
  object->Release();
  return text;
}

TEST_F(MainWindowTest, EveryFieldIsNamedAfterItsLabel) {
  CoInitialize(nullptr);
  std::vector<std::pair<Slot, Slot>> fields = {
      {Slot::kLanIpLabel, Slot::kLanIpField},
      {Slot::kLanMaskLabel, Slot::kLanMaskField},
      {Slot::kLanGatewayLabel, Slot::kLanGatewayField},
      {Slot::kWifiNameLabel, Slot::kWifiNameField},
      {Slot::kWifiPasswordLabel, Slot::kWifiPasswordField},
      {Slot::kWifiIpLabel, Slot::kWifiIpField},
      {Slot::kWifiMaskLabel, Slot::kWifiMaskField},
      {Slot::kWifiGatewayLabel, Slot::kWifiGatewayField},
      {Slot::kCopiesLabel, Slot::kCopiesField},
      {Slot::kQrLabel, Slot::kQrField},
      {Slot::kBeepCountLabel, Slot::kBeepCountField},
      {Slot::kDensityLabel, Slot::kDensityField},
  };
  for (int line = 0; line < kLineCount; ++line) {
    fields.emplace_back(LineSlot(line, LinePart::kLabel), LineSlot(line, LinePart::kEditor));
  }
  // The lists, whose names the proxies of Windows take the same way.
  const std::pair<Slot, Slot> lists[] = {{Slot::kPrinterLabel, Slot::kPrinterList},
                                         {Slot::kWifiModeLabel, Slot::kWifiModeList},
                                         {Slot::kCounterSizeLabel, Slot::kCounterSizeList}};
  for (const auto& [label, control] : lists) fields.emplace_back(label, control);
  for (const auto& [label, field] : fields) {
    const std::wstring caption = TextOf(At(label));
    EXPECT_EQ(GetWindow(At(field), GW_HWNDPREV), At(label)) << Narrow(caption);
    if (ClassOf(At(field)) == L"Edit") {
      EXPECT_EQ(AccessibleName(At(field)), caption) << Narrow(caption);
    }
  }
  CoUninitialize();
}

TEST_F(MainWindowTest, StyleTogglesTellScreenReadersTheirNameAndWhetherTheyArePressed) {
  struct Told {
    HWND toggle;
    std::u16string name;
    std::uint32_t state;
  };
  std::vector<Told> told;
  state_->annotateToggle = [&](HWND toggle, std::u16string_view name, std::uint32_t state) {
    told.push_back({toggle, std::u16string(name), state});
  };
  HWND italic = state_->Line(2, LinePart::kItalic);
  Command(821, BN_CLICKED, italic);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back().toggle, italic);
  EXPECT_EQ(told.back().name, u"In nghiêng");
  EXPECT_TRUE(told.back().state & kAccessiblePressed);
  Command(821, BN_CLICKED, italic);
  EXPECT_FALSE(told.back().state & kAccessiblePressed);

  // The annotated state replaces the button's own: it follows the focus.
  HWND underline = state_->Line(0, LinePart::kUnderline);
  SetFocus(underline);
  EXPECT_EQ(told.back().toggle, underline);
  EXPECT_EQ(told.back().name, u"Gạch chân");
  EXPECT_EQ(told.back().state, kAccessibleFocusable | kAccessibleFocused);
  SetFocus(At(Slot::kLanIpField));
  EXPECT_EQ(told.back().state, kAccessibleFocusable);

  // A screen reader's first question starts the real annotation (Wine's
  // implements none of it, and the window carries on without).
  state_->annotateToggle = nullptr;
  EXPECT_EQ(state_->accessibility, nullptr);
  SendMessageW(italic, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  EXPECT_NE(state_->accessibility, nullptr);
  Command(821, BN_CLICKED, italic);
  EXPECT_TRUE(state_->lines[2].italic);
}

// What a screen reader hears of a toggle: a state-change WinEvent after the
// annotation that it then reads has changed.
std::vector<std::pair<HWND, bool>>* heard = nullptr;  // (toggle, pressed) or (toggle, event)

void CALLBACK OnStateChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                            DWORD) {
  if (heard && object == OBJID_CLIENT && child == CHILDID_SELF) heard->emplace_back(hwnd, false);
}

TEST_F(MainWindowTest, StyleTogglesAnnounceTheirStateChangesAfterTheAnnotation) {
  std::vector<std::pair<HWND, bool>> events;  // true: annotated pressed, false: a WinEvent
  HWND bold = state_->Line(1, LinePart::kBold);
  state_->annotateToggle = [&](HWND toggle, std::u16string_view, std::uint32_t state) {
    if (state & kAccessiblePressed) events.emplace_back(toggle, true);
  };
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr, OnStateChange,
                      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  heard = &events;
  Command(810, BN_CLICKED, bold);
  Pump();
  UnhookWinEvent(hook);
  heard = nullptr;
  std::erase_if(events, [&](const auto& e) { return e.first != bold; });
  EXPECT_EQ(events, (std::vector<std::pair<HWND, bool>>{{bold, true}, {bold, false}}));
}

LRESULT CALLBACK CountSysColorChange(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR counts) {
  if (message == WM_SYSCOLORCHANGE) ++(*reinterpret_cast<std::map<HWND, int>*>(counts))[hwnd];
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Common controls learn of new system colours only from their top-level
// window, which must pass WM_SYSCOLORCHANGE on to them.
TEST_F(MainWindowTest, SystemColourChangeReachesEveryControl) {
  std::map<HWND, int> counts;
  std::vector<HWND> controls{state_->tooltip};
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  for (HWND c : controls)
    SetWindowSubclass(c, CountSysColorChange, 98, reinterpret_cast<DWORD_PTR>(&counts));
  SendMessageW(hwnd_, WM_SYSCOLORCHANGE, 0, 0);
  ASSERT_GT(controls.size(), 80u);  // every control and panel, and the tooltip
  for (HWND c : controls) {
    EXPECT_EQ(counts[c], 1) << Narrow(ClassOf(c)) << " " << Narrow(TextOf(c));
    RemoveWindowSubclass(c, CountSysColorChange, 98);
  }
}

TEST_F(MainWindowTest, FocusComesBackWhenTheWindowIsActivatedAgain) {
  Command(kIdWifiPageButton, BN_CLICKED, At(Slot::kWifiPageButton));
  HWND field = At(Slot::kWifiMaskField);
  SetActiveWindow(hwnd_);
  SetFocus(field);
  HWND other = CreateWindowExW(0, L"Static", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetActiveWindow(other);
  Pump();
  EXPECT_NE(GetFocus(), field);
  SetActiveWindow(hwnd_);
  Pump();
  EXPECT_EQ(GetFocus(), field);
  // A control that went away meanwhile: the window takes the focus itself.
  SetActiveWindow(other);
  Command(kIdLanPageButton, BN_CLICKED, At(Slot::kLanPageButton));
  SetActiveWindow(hwnd_);
  Pump();
  EXPECT_EQ(GetFocus(), hwnd_);
  DestroyWindow(other);
}

TEST_F(MainWindowTest, TheWheelOverAClosedListScrollsThePanelInstead) {
  Resize(800, 600);
  Command(kIdQueuePageButton, BN_CLICKED, At(Slot::kQueuePageButton));
  Command(kIdContentToggle, BN_CLICKED, At(Slot::kContentToggle));
  HWND list = state_->Line(0, LinePart::kSizeList);
  SetFocus(At(Slot::kQrField));
  const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-120));
  // Windows sends the wheel to the window under the pointer, Wine to the
  // focus: sent to the list straight away, it is the same message.
  SendMessageW(list, WM_MOUSEWHEEL, down, 0);
  Pump();
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 5) << "the size changed";
  EXPECT_EQ(state_->contentScroll, 48);
  SendMessageW(At(Slot::kCounterSizeList), WM_MOUSEWHEEL, down, 0);
  Pump();
  EXPECT_EQ(SendMessageW(At(Slot::kCounterSizeList), CB_GETCURSEL, 0, 0), 5);
  EXPECT_EQ(state_->contentScroll, 96);
  // The printer list passes it on too: to a window that does nothing with it.
  const LRESULT printer = SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0);
  SendMessageW(At(Slot::kPrinterList), WM_MOUSEWHEEL, down, 0);
  EXPECT_EQ(SendMessageW(At(Slot::kPrinterList), CB_GETCURSEL, 0, 0), printer);

  // A list the user has chosen keeps the wheel for itself.
  SetFocus(list);
  SendMessageW(list, WM_MOUSEWHEEL, down, 0);
  Pump();
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 6);
  EXPECT_EQ(state_->contentScroll, 96);
}

// In LAN / Wi-Fi mode the printer box takes a typed address: while the focus
// is in its edit part, the wheel turns its list, as it does a focused list.
TEST_F(MainWindowTest, TheWheelTurnsTheEditableBoxWhileTypingIsInIt) {
  Command(kIdLanRadio, BN_CLICKED, At(Slot::kLanRadio));
  for (int waited = 0; waited < 15000 && TextOf(At(Slot::kFindButton)) != L"Tìm"; waited += 20) {
    Pump();
    Sleep(20);
  }
  auto* result = new TargetsResult;
  result->mode = kModeNetwork;
  result->generation = state_->refreshGeneration;
  result->networkPrinters.resize(2);
  result->networkPrinters[0].ip = "192.168.1.100";
  result->networkPrinters[1].ip = "192.168.1.101";
  PostMessageW(hwnd_, kMsgTargetsReady, 0, reinterpret_cast<LPARAM>(result));
  Pump();
  HWND box = At(Slot::kPrinterList);
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 0);
  for (HWND focus : {At(Slot::kLanIpField), edit}) {
    SetFocus(focus);
    SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    Pump();
  }
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 1) << "once, while typing is in the box";
}

TEST_F(MainWindowTest, HighContrastPaintsWithTheSystemColours) {
  const SystemColours system{GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
                             GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNTEXT),
                             GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                             GetSysColor(COLOR_GRAYTEXT)};
  EXPECT_EQ(state_->palette, WindowPalette()) << "high contrast is off on the bench";
  bool on = true;
  state_->highContrastOn = [&] { return on; };
  SendMessageW(hwnd_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(state_->palette, HighContrastPalette(system));
  LOGBRUSH brush{};
  GetObjectW(state_->Brush(Surface::kBackground), sizeof(brush), &brush);
  EXPECT_EQ(brush.lbColor, system.window);
  // The field asks its parent for its colours.
  HDC dc = GetDC(At(Slot::kLanIpField));
  SendMessageW(At(Slot::kLanPage), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(At(Slot::kLanIpField)));
  EXPECT_EQ(GetTextColor(dc), system.windowText);
  ReleaseDC(At(Slot::kLanIpField), dc);
  on = false;
  SendMessageW(hwnd_, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(state_->palette, WindowPalette());
}

}  // namespace
}  // namespace korvante::testing
