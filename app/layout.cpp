#include "app/layout.h"

#include <algorithm>

namespace korvante {
namespace {

// The content panel never shrinks below this height, however small the window.
constexpr int kMinContentVisibleHeight = 48;
// Line editors, the counter preview and the QR field keep at least this width.
constexpr int kMinEditorWidth = 80;
// Everything right of the editors (style toggles, size list, width button).
constexpr int kEditorRightReserve = 302;
// Tops of the four ticket lines inside the content panel; the counter row
// sits between lines 2 and 3.
constexpr int kLineRowTops[kLineCount] = {34, 90, 202, 258};

class Placer {
 public:
  explicit Placer(WindowLayout& layout) : layout_(layout) {}
  void operator()(Slot slot, int x, int y, int width, int height) {
    layout_.rects[static_cast<std::size_t>(slot)] = Rect{x, y, width, height};
  }

 private:
  WindowLayout& layout_;
};

}  // namespace

int ClampContentScroll(int offset, int visibleHeight) {
  return std::max(std::min(offset, std::max(0, kContentHeight - visibleHeight)), 0);
}

WindowLayout ComputeLayout(const LayoutInput& in) {
  const int W = in.clientWidth;
  const int H = in.clientHeight;
  WindowLayout layout;
  Placer place(layout);

  place(Slot::kTitle, 42, 42, 300, 34);
  place(Slot::kBrand, W - 270, 34, 230, 48);
  place(Slot::kVersion, W - 220, H - 32, 190, 26);
  place(Slot::kFooter, 160, H - 32, W - 330, 26);
  place(Slot::kConnectionHeader, 50, 116, 160, 22);
  place(Slot::kUsbRadio, 52, 149, 70, 26);
  place(Slot::kLanRadio, 126, 149, 128, 26);
  place(Slot::kPrinterLabel, 270, 116, 120, 22);
  place(Slot::kPrinterList, 270, 144, W - 430, 220);
  place(Slot::kFindButton, W - 148, 142, 100, 36);
  const Slot pageButtons[] = {Slot::kLanPageButton, Slot::kWifiPageButton, Slot::kQueuePageButton,
                              Slot::kTechnicalPageButton};
  for (int i = 0; i < 4; ++i) place(pageButtons[i], 44, 238 + 56 * i, 152, 48);
  for (Slot page : {Slot::kLanPage, Slot::kWifiPage, Slot::kQueuePage, Slot::kTechnicalPage}) {
    place(page, 246, 236, W - 292, H - 314);
  }

  place(Slot::kLanIpLabel, 28, 45, 120, 22);
  place(Slot::kLanIpField, 150, 40, 330, 30);
  place(Slot::kLanMaskLabel, 28, 85, 120, 22);
  place(Slot::kLanMaskField, 150, 80, 330, 30);
  place(Slot::kLanGatewayLabel, 28, 125, 120, 22);
  place(Slot::kLanGatewayField, 150, 120, 330, 30);
  place(Slot::kSaveIpButton, W - 460, H - 368, 140, 38);

  const Slot wifiRows[][2] = {{Slot::kWifiNameLabel, Slot::kWifiNameField},
                              {Slot::kWifiPasswordLabel, Slot::kWifiPasswordField},
                              {Slot::kWifiIpLabel, Slot::kWifiIpField},
                              {Slot::kWifiMaskLabel, Slot::kWifiMaskField},
                              {Slot::kWifiGatewayLabel, Slot::kWifiGatewayField}};
  for (int i = 0; i < 5; ++i) {
    place(wifiRows[i][0], 28, 36 + 40 * i, 120, 22);
    place(wifiRows[i][1], 158, 30 + 40 * i, W - 482, 30);
  }
  place(Slot::kWifiModeLabel, 28, 236, 120, 22);
  place(Slot::kWifiModeList, 158, 230, 220, 180);
  place(Slot::kSaveWifiButton, W - 460, H - 368, 140, 38);

  place(Slot::kPrintNumberCheck, 12, 8, 92, 30);
  place(Slot::kPrintDateCheck, 110, 8, 80, 30);
  place(Slot::kCopiesLabel, 198, 14, 46, 22);
  place(Slot::kCopiesField, 248, 11, 44, 26);
  place(Slot::kContentToggle, W - 440, 6, 136, 34);
  const int V = std::max(H - 424, kMinContentVisibleHeight);
  place(Slot::kContentPanel, 12, 56, W - 316, V);

  const int S = ClampContentScroll(in.scrollOffset, V);
  const int CW = in.panelClientWidth;
  const int E = std::max(CW - kEditorRightReserve, kMinEditorWidth);
  layout.contentVisibleHeight = V;
  layout.scrollOffset = S;
  layout.editorWidth = E;

  place(Slot::kContentHeader, 0, -S, CW - 234, 24);
  place(Slot::kFormatLabel, CW - 234, -S, 234, 24);
  for (int line = 0; line < kLineCount; ++line) {
    const int top = kLineRowTops[line] - S;
    place(LineSlot(line, LinePart::kLabel), 0, top + 6, 52, 24);
    place(LineSlot(line, LinePart::kEditor), 56, top, E, 44);
    place(LineSlot(line, LinePart::kBold), CW - 234, top + 6, 28, 32);
    place(LineSlot(line, LinePart::kItalic), CW - 202, top + 6, 28, 32);
    place(LineSlot(line, LinePart::kUnderline), CW - 170, top + 6, 28, 32);
    place(LineSlot(line, LinePart::kSizeList), CW - 134, top + 11, 48, 270);
    place(LineSlot(line, LinePart::kWidthButton), CW - 80, top + 6, 80, 32);
  }
  place(Slot::kCounterLabel, 0, 158 - S, 52, 24);
  place(Slot::kCounterPreview, 56, 146 - S, E, 44);
  place(Slot::kCounterSizeLabel, CW - 234, 158 - S, 80, 24);
  place(Slot::kCounterSizeList, CW - 134, 157 - S, 48, 210);
  place(Slot::kQrLabel, 0, 326 - S, 52, 24);
  place(Slot::kQrField, 56, 320 - S, E, 26);

  place(Slot::kSaveQueueButton, W - 472, H - 354, 168, 36);

  place(Slot::kBeepCheck, 30, 40, 150, 26);
  place(Slot::kBeepCountLabel, 190, 43, 56, 22);
  place(Slot::kBeepCountField, 252, 36, 70, 30);
  place(Slot::kTestButton, 340, 34, 82, 36);
  place(Slot::kSaveBeepButton, 436, 34, 132, 36);
  place(Slot::kDensityLabel, 30, 102, 100, 22);
  place(Slot::kDensityField, 150, 96, 80, 30);
  place(Slot::kSaveDensityButton, 252, 94, 132, 36);
  return layout;
}

Backdrop ComputeBackdrop(int W, int H) {
  Backdrop b;
  b.connectionCard = {28, 96, W - 28, 204};
  b.navigationCard = {28, 216, 212, H - 58};
  b.contentCard = {226, 216, W - 28, H - 58};
  b.footerRuleY = H - 38;
  return b;
}

}  // namespace korvante
