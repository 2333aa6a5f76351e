// Where every control of the main window sits for a given client size: one
// pure function from the client size, the content panel's scroll offset and
// the panel's client width to one rectangle per control. The window only
// applies the result with MoveWindow, in slot order.
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

// What the window measures for the layout to size and centre text by: the
// height of one line in each font (the text metric's height: the internal
// leading, where the marks over Vietnamese capitals sit, included) and the
// closed height of each kind of drop-down list. The defaults are those of
// Segoe UI 9 pt at 96 DPI.
struct ControlMetrics {
  int uiText = 16;
  int titleText = 30;
  int brandText = 45;
  int printerList = 34;  // made as tall as the find button
  int modeList = 30;     // made as tall as the fields beside it
  int sizeList = 30;
};

struct LayoutInput {
  int clientWidth = 0;   // W, also used for the children of the panels
  int clientHeight = 0;  // H
  int scrollOffset = 0;  // S before the clamp
  // CW: the content panel's client width once its scroll bar took its share.
  // Only the content panel's children depend on it.
  int panelClientWidth = 0;
  ControlMetrics metrics;
};

struct WindowLayout {
  std::array<Rect, kSlotCount> rects{};
  int contentVisibleHeight = 0;  // V
  int scrollOffset = 0;          // S after the clamp, 0..max(0, 360 - V)
  int editorWidth = 0;           // E

  const Rect& operator[](Slot slot) const { return rects[static_cast<std::size_t>(slot)]; }
};

WindowLayout ComputeLayout(const LayoutInput& input);

// S clamped into 0..max(0, 360 - visibleHeight).
int ClampContentScroll(int offset, int visibleHeight);

// Where `lines` lines of `lineHeight` start inside a box `inner` pixels high
// so that they sit in its middle; 0 once they fill it.
int CentredTextInset(int inner, int lineHeight, int lines);

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
