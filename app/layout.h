// Where every control of the main window sits for a given client size: one
// pure function from the client size, the scroll offsets of the pages and of
// the ticket content, and the measured text, to one rectangle per control.
// The window only applies the result with MoveWindow, in slot order.
//
// At every client size from kMinClientWidth x kMinClientHeight up, no two
// visible controls of one parent overlap and every control can be reached:
// a page shorter than its controls need scrolls, as the ticket content does
// (app/layout_checks.h states both rules).
#pragma once

#include <array>
#include <cstddef>

namespace korvante {

// Every positioned control, in the order the window moves them. Children of a
// panel are placed relative to that panel.
enum class Slot : int {
  // main window
  kTitle,
  kBrand,
  kVersion,
  kFooter,
  kConnectionHeader,
  kUsbRadio,
  kLanRadio,
  kPrinterLabel,
  kPrinterList,
  kFindButton,
  kLanPageButton,
  kWifiPageButton,
  kQueuePageButton,
  kTechnicalPageButton,
  kLanPage,
  kWifiPage,
  kQueuePage,
  kTechnicalPage,
  // LAN page
  kLanIpLabel,
  kLanIpField,
  kLanMaskLabel,
  kLanMaskField,
  kLanGatewayLabel,
  kLanGatewayField,
  kSaveIpButton,
  kPrintInfoButton,
  kLanTargetText,  // what the selected printer reported; a target that takes the address alone

  // WiFi page
  kWifiNameLabel,
  kWifiNameField,
  kWifiPasswordLabel,
  kWifiPasswordField,
  kWifiIpLabel,
  kWifiIpField,
  kWifiMaskLabel,
  kWifiMaskField,
  kWifiGatewayLabel,
  kWifiGatewayField,
  kWifiModeLabel,
  kWifiModeList,
  kSaveWifiButton,
  // queue page
  kPrintNumberCheck,
  kPrintDateCheck,
  kCopiesLabel,
  kCopiesField,
  kContentToggle,
  kContentPanel,
  // content panel (after the scroll offset is clamped)
  kContentHeader,
  kFormatLabel,
  kLine1Label,  // seven slots per line, see LineSlot()
  kLine4Last = kLine1Label + 4 * 7 - 1,
  kCounterLabel,
  kCounterPreview,
  kCounterSizeLabel,
  kCounterSizeList,
  kQrLabel,
  kQrField,
  // queue page again
  kSaveQueueButton,
  // technical page
  kBeepCheck,
  kBeepCountLabel,
  kBeepCountField,
  kTestButton,
  kSaveBeepButton,
  kDensityLabel,
  kDensityField,
  kSaveDensityButton,
  kCount
};

inline constexpr std::size_t kSlotCount = static_cast<std::size_t>(Slot::kCount);

// The seven controls of one ticket line, in placing order.
enum class LinePart : int { kLabel, kEditor, kBold, kItalic, kUnderline, kSizeList, kWidthButton };
inline constexpr int kLineCount = 4;
inline constexpr int kLinePartCount = 7;

constexpr Slot LineSlot(int line, LinePart part) {
  return static_cast<Slot>(static_cast<int>(Slot::kLine1Label) + line * kLinePartCount +
                           static_cast<int>(part));
}
static_assert(LineSlot(3, LinePart::kWidthButton) == Slot::kLine4Last);

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The content panel's scrollable content: 360 pixels, scroll range 0..359.
inline constexpr int kContentHeight = 360;
inline constexpr int kContentScrollMax = kContentHeight - 1;

// The smallest client area the layout is made for. A smaller one (a screen
// whose work area is lower than any that Windows 10 and 11 offer) is laid
// out at this size and cut off.
inline constexpr int kMinClientWidth = 760;
inline constexpr int kMinClientHeight = 460;

// The smallest window the user can make, unless the screen's work area is
// lower: the window never needs more height than the screen leaves it.
inline constexpr int kMinWindowWidth = 800;
inline constexpr int kMinWindowHeight = 600;
int MinimumWindowHeight(int workAreaHeight);
// Where a window `height` high that the system put at `top` starts so that
// its bottom stays on the work area, without going above the work area's top.
int TopOnWorkArea(int top, int height, int workTop, int workBottom);

inline constexpr int kPageCount = 4;  // LAN, WiFi, queue, technical: the panels' order

// The panel of page `page` (0 to 3, in the panels' order).
constexpr Slot PageSlot(int page) {
  return static_cast<Slot>(static_cast<int>(Slot::kLanPage) + page);
}
static_assert(PageSlot(kPageCount - 1) == Slot::kTechnicalPage);

// The fields' height, which the WiFi mode list's closed box beside them takes.
inline constexpr int kFieldHeight = 30;
// An owner-drawn button's face is drawn this far inside its rectangle.
inline constexpr int kButtonFaceInset = 1;
// The find button's height; the printer list's closed box is as high as its
// face.
inline constexpr int kFindButtonHeight = 36;
inline constexpr int kPrinterListHeight = kFindButtonHeight - 2 * kButtonFaceInset;

// What the window measures for the layout to size and centre text by: the
// height of one line in each font (the text metric's height: the internal
// leading, where the marks over Vietnamese capitals sit, included) and the
// closed height of each kind of drop-down list. The defaults are those of
// Segoe UI 9 pt at 96 DPI.
struct ControlMetrics {
  int uiText = 16;
  int titleText = 30;
  int brandText = 45;
  int printerList = kPrinterListHeight;
  int modeList = kFieldHeight;
  int sizeList = 30;
  int scrollBar = 17;  // the width of a vertical scroll bar
  // The width of the footer sentence and of the version label's text in the
  // UI font: the footer takes one line beside the version.
  int footerText = 470;
  int versionText = 92;
};

struct LayoutInput {
  int clientWidth = 0;   // W, also used for the children of the panels
  int clientHeight = 0;  // H
  int scrollOffset = 0;  // S, the ticket content's, before the clamp
  // Each page's own scroll offset before the clamp, in the panels' order.
  std::array<int, kPageCount> pageScroll{};
  // The ticket content is shown: the queue page then needs room for it.
  bool contentShown = false;
  ControlMetrics metrics;
};

// A page as a scrolling area: its controls need `contentHeight` pixels, of
// which `visibleHeight` show from `offset` down. It scrolls (and has a scroll
// bar) exactly when the content is higher than what shows.
struct PageScroll {
  int contentHeight = 0;
  int visibleHeight = 0;
  int offset = 0;  // after the clamp, 0..contentHeight - visibleHeight
  bool Scrolls() const { return contentHeight > visibleHeight; }
};

struct WindowLayout {
  std::array<Rect, kSlotCount> rects{};
  int contentVisibleHeight = 0;  // V
  int scrollOffset = 0;          // S after the clamp, 0..max(0, 360 - V)
  int panelClientWidth = 0;      // CW: the content panel less its scroll bar
  int editorWidth = 0;           // E
  std::array<PageScroll, kPageCount> pages{};
  // Each page's client width: the panel's, less the scroll bar it may have.
  std::array<int, kPageCount> pageClientWidth{};

  const Rect& operator[](Slot slot) const { return rects[static_cast<std::size_t>(slot)]; }
};

WindowLayout ComputeLayout(const LayoutInput& input);

// S clamped into 0..max(0, 360 - visibleHeight).
int ClampContentScroll(int offset, int visibleHeight);

// Where `lines` lines of `lineHeight` start inside a box `inner` pixels high
// so that they sit in its middle; 0 once they fill it.
int CentredTextInset(int inner, int lineHeight, int lines);

// Pixel height of the counter preview's bold font: 34/192 of the queue
// number's printed dot height at that level (FitNativeFont), rounded half up,
// never below 14 (14, 14, 17, 21, 26, 34 for levels 1 to 6).
int CounterPreviewHeight(int counterLevel);

// The three painted cards and the footer rule of the main window, as corner
// rectangles (left, top, right, bottom).
struct Corners {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Corners&, const Corners&) = default;
};

struct Backdrop {
  Corners connectionCard;
  Corners navigationCard;
  Corners contentCard;
  int footerRuleY = 0;  // a 1-pixel line across the whole width
};

Backdrop ComputeBackdrop(int clientWidth, int clientHeight);

}  // namespace korvante
