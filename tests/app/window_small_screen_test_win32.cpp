// The real window on small screens, as the display shows it: at 800 x 600,
// at 1024 x 600 and in a work area 582 pixels high, no two visible controls of
// one parent overlap, every control lies within what its parent shows or
// scrolls through, and the footer sentence shows whole on one line. A page
// lower than its controls scrolls by its bar, by the wheel and by the Tab key.
// And the keyboard focus on the owner-drawn buttons.
#include <string>
#include <vector>

#include "tests/app/screenshots_win32.h"

namespace korvante::testing {
namespace {

std::string Describe(HWND h) { return Narrow(ClassOf(h)) + " \"" + Narrow(TextOf(h)) + "\""; }

// A child's rectangle in its parent's client coordinates.
RECT InParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Checks the visible children of `parent`, and those of each page panel among
// them, independently of the layout's own rules: no two overlap, each lies
// within the parent's client width and within the height its scroll bar goes
// through (its client height when it has none), and none is higher than
// the parent shows.
void CheckChildren(HWND parent, const std::string& where, std::vector<std::string>& faults) {
  RECT client{};
  GetClientRect(parent, &client);
  int top = 0, bottom = client.bottom;
  SCROLLINFO bar{};
  bar.cbSize = sizeof(bar);
  bar.fMask = SIF_ALL;
  if (GetScrollInfo(parent, SB_VERT, &bar) && bar.nMax >= bar.nMin) {
    top = -bar.nPos;
    bottom = std::max<int>(client.bottom, top + bar.nMax + 1);
  }
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsWindowVisible(c)) children.push_back(c);
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    const RECT a = InParent(children[i]);
    if (a.left < 0 || a.right > client.right || a.top < top || a.bottom > bottom ||
        a.bottom - a.top > client.bottom) {
      faults.push_back(where + ": " + Describe(children[i]) + " out of reach");
    }
    for (std::size_t j = i + 1; j < children.size(); ++j) {
      RECT both{};
      const RECT b = InParent(children[j]);
      if (IntersectRect(&both, &a, &b)) {
        faults.push_back(where + ": " + Describe(children[i]) + " overlaps " +
                         Describe(children[j]));
      }
    }
    if (ClassOf(children[i]) == kPageClassName) {
      CheckChildren(children[i], where + " > panel", faults);
    }
  }
}

class SmallScreenTest : public ScreenshotWindowTest {
 protected:
  // Every page (the queue page with its content shown and hidden) of the
  // window `main` of `state`: checked, and saved as NAME-pageN.png.
  void CheckEveryPage(HWND main, MainWindow& state, const std::string& name) {
    auto command = [&](int id, HWND sender) {
      SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(sender));
      Pump();
    };
    for (int page = kPageLan; page <= kPageTechnical; ++page) {
      command(kIdFirstPageButton + page, nullptr);
      for (bool content : {false, true}) {
        if (page != kPageQueue && content) continue;
        if (page == kPageQueue && state.contentShown != content) {
          command(kIdContentToggle, state.At(Slot::kContentToggle));
        }
        const std::string view = name + "-page" + std::to_string(page + 1) +
                                 (page == kPageQueue ? (content ? "-content" : "") : "");
        std::vector<std::string> faults;
        CheckChildren(main, view, faults);
        for (const std::string& f : faults) ADD_FAILURE() << f;
        RedrawWindow(main, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        Pump();
        Sleep(200);
        Pump();
        const Screenshot shot = Capture(main);
        Save(shot, view + ".png");
        if (page == kPageLan) ExpectFooterOnOneLine(state, shot, view);
      }
    }
  }

  // The sentence's red ink is as wide as the text measured in its font: no
  // word went to a second line, and it ends left of the version.
  void ExpectFooterOnOneLine(const MainWindow& state, const Screenshot& shot,
                             const std::string& view) {
    HWND footer = state.At(Slot::kFooter);
    const std::wstring text = TextOf(footer);
    HDC dc = GetDC(footer);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(footer, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(footer, dc);
    RECT client{};
    GetClientRect(footer, &client);
    EXPECT_LE(size.cx, client.right) << view << ": the footer sentence does not fit its label";

    const RECT box = InParent(footer);
    int left = -1, right = -1;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) {
        if (!IsFooterRed(shot.ClientPixel(x, y))) continue;
        left = left < 0 ? x : std::min(left, x);
        right = std::max(right, x);
      }
    }
    ASSERT_GE(left, 0) << view << ": no footer on the screen";
    EXPECT_GE(right - left + 1, size.cx - 4) << view << ": the sentence is cut or wrapped";
    EXPECT_LT(right, InParent(state.At(Slot::kVersion)).left) << view;
  }
};

TEST_F(SmallScreenTest, At800x600And1024x600ControlsStayApartAndWithinReach) {
  ASSERT_TRUE(WaitForFindButton());
  for (const auto& [outerW, outerH] : {std::pair{800, 600}, std::pair{1024, 600}}) {
    SetWindowPos(hwnd_, HWND_TOP, 10, 10, outerW, outerH, SWP_SHOWWINDOW);
    Pump();
    CheckEveryPage(hwnd_, *state_,
                   "small-" + std::to_string(outerW) + "x" + std::to_string(outerH));
  }
}

// A screen whose work area is 582 pixels high (1366 x 768 at 125 %): the
// window opens as high as the work area, entirely inside it.
TEST_F(SmallScreenTest, In582PixelWorkAreaTheWholeWindowShows) {
  ShowWindow(hwnd_, SW_HIDE);
  RECT saved{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0));
  RECT low{0, 0, 1366, 582};
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &low, 0));
  MainWindow state;
  HWND main = CreateMainWindow(GetModuleHandleW(nullptr), state);
  SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
  ASSERT_NE(main, nullptr);
  ShowWindow(main, SW_SHOWNORMAL);
  UpdateWindow(main);
  Pump();
  RECT window{};
  GetWindowRect(main, &window);
  EXPECT_EQ(window.bottom - window.top, 582);
  EXPECT_GE(window.top, low.top);
  EXPECT_LE(window.bottom, low.bottom);
  CheckEveryPage(main, state, "small-900x582");
  DestroyWindow(main);
  Pump();
}

// 1024 x 600: the WiFi page needs 330 pixels and shows 259, so it scrolls.
TEST_F(SmallScreenTest, ALowPageScrollsByItsBarTheWheelAndTheTabKey) {
  Resize(1024, 600);
  Command(kIdWifiPageButton, BN_CLICKED, At(Slot::kWifiPageButton));
  HWND page = At(Slot::kWifiPage);
  SCROLLINFO bar{};
  bar.cbSize = sizeof(bar);
  bar.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(page, SB_VERT, &bar));
  EXPECT_EQ(bar.nMax, 329);
  EXPECT_EQ(bar.nPage, 259u);
  EXPECT_TRUE(GetWindowLongPtrW(page, GWL_STYLE) & WS_VSCROLL) << "the bar shows";
  const Rect save = PlacedRect(At(Slot::kSaveWifiButton));

  const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-120));
  SendMessageW(page, WM_MOUSEWHEEL, down, 0);
  Pump();
  EXPECT_EQ(state_->pageScroll[kPageWifi], 48);
  EXPECT_EQ(PlacedRect(At(Slot::kSaveWifiButton)).y, save.y - 48);
  // The wheel over the closed mode list scrolls the page too (71 is the end).
  SendMessageW(At(Slot::kWifiModeList), WM_MOUSEWHEEL, down, 0);
  Pump();
  EXPECT_EQ(state_->pageScroll[kPageWifi], 71);
  EXPECT_EQ(SendMessageW(At(Slot::kWifiModeList), CB_GETCURSEL, 0, 0), 0);
  SendMessageW(page, WM_VSCROLL, SB_TOP, 0);
  Pump();
  EXPECT_EQ(state_->pageScroll[kPageWifi], 0);
  EXPECT_EQ(PlacedRect(At(Slot::kSaveWifiButton)), save);

  // Tab from the gateway field reaches the save button, which comes into view.
  SetFocus(At(Slot::kWifiGatewayField));
  for (int i = 0; i < 4 && GetFocus() != At(Slot::kSaveWifiButton); ++i) PressTab(false);
  ASSERT_EQ(GetFocus(), At(Slot::kSaveWifiButton));
  RECT client{};
  GetClientRect(page, &client);
  const Rect shown = PlacedRect(At(Slot::kSaveWifiButton));
  EXPECT_GE(shown.y, 0);
  EXPECT_LE(shown.Bottom(), client.bottom);
  // The name field, scrolled out above the page, is the next stop after the
  // find button (the ring goes by where controls are): it comes into view.
  ASSERT_LT(PlacedRect(At(Slot::kWifiNameField)).y, 0);
  SetFocus(At(Slot::kFindButton));
  EXPECT_EQ(PressTab(false), At(Slot::kWifiNameField));
  EXPECT_EQ(PlacedRect(At(Slot::kWifiNameField)).y, 0);
}

// The button as a screen reader's or Windows' UI state would have it: Wine 8
// keeps no UI state (WM_QUERYUISTATE always answers 0), so the test answers
// for the button what Windows answers after a start by mouse.
LRESULT CALLBACK HidesFocus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
  if (message == WM_QUERYUISTATE) return UISF_HIDEFOCUS;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The focus rectangle of an owner-drawn button: its dots in the button's text
// colour just inside its outline, while it has the focus and the window shows
// focus cues (after the keyboard was used), and none while they are hidden.
TEST_F(SmallScreenTest, OwnerDrawnButtonsShowTheKeyboardFocus) {
  SetWindowPos(hwnd_, HWND_TOP, 10, 10, 900, 830, SWP_SHOWWINDOW);
  ASSERT_TRUE(WaitForFindButton());
  HWND find = At(Slot::kFindButton);
  const Rect box = PlacedRect(find);
  // The white pixels of the row of the focus rectangle's top edge, 4 pixels
  // inside the blue button.
  auto dots = [&] {
    const Screenshot shot = RedrawAndCapture();
    int white = 0;
    for (int x = box.x + 4; x < box.Right() - 4; ++x) {
      white += shot.ClientPixel(x, box.y + 4) == Rgb{255, 255, 255} ? 1 : 0;
    }
    return white;
  };
  const int everyOther = (box.width - 8) / 2;
  SetFocus(At(Slot::kPrinterList));
  EXPECT_EQ(dots(), 0) << "not focused";
  // Tab shows where the focus is, as in a dialog.
  ASSERT_EQ(PressTab(false), find);
  EXPECT_EQ(dots(), everyOther);

  // The cues hidden: the button redraws itself at the news, without them.
  ASSERT_TRUE(SetWindowSubclass(find, HidesFocus, 99, 0));
  ValidateRect(find, nullptr);
  SendMessageW(find, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_TRUE(GetUpdateRect(find, nullptr, FALSE)) << "the button must repaint";
  EXPECT_EQ(dots(), 0);
  RemoveWindowSubclass(find, HidesFocus, 99);

  // ODS_NOFOCUSRECT, as the button control may report hidden cues, drawn
  // into a bitmap of the button's size.
  for (const UINT state : {UINT{ODS_FOCUS}, UINT{ODS_FOCUS | ODS_NOFOCUSRECT}}) {
    MemoryBitmap drawn(box.width, box.height);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = kIdFind;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = find;
    item.hDC = drawn.Dc();
    item.rcItem = {0, 0, box.width, box.height};
    DrawOwnerItem(*state_, item);
    const Screenshot shot = drawn.Read();
    int white = 0;
    for (int x = 4; x < box.width - 4; ++x) white += shot.ClientPixel(x, 4) == Rgb{255, 255, 255};
    EXPECT_EQ(white, state & ODS_NOFOCUSRECT ? 0 : everyOther) << state;
  }
}

}  // namespace
}  // namespace korvante::testing
