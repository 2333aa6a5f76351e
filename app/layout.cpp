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

// The row of the connection card: the find button, the radios' captions and
// the printer list share its middle line.
constexpr int kConnectionRowMiddle = 160;
// Above and below a label's line, two pixels each.
constexpr int kLabelMarkRoom = 4;

class Placer {
 public:
  explicit Placer(WindowLayout& layout) : layout_(layout) {}
  void operator()(Slot slot, int x, int y, int width, int height) {
    layout_.rects[static_cast<std::size_t>(slot)] = Rect{x, y, width, height};
  }
  // A control `height` high, centred on the row that starts at `rowTop` and
  // is `rowHeight` high: a label on its field's row, or a text in its box.
  void Centred(Slot slot, int x, int rowTop, int width, int rowHeight, int height) {
    (*this)(slot, x, rowTop + (rowHeight - height) / 2, width, height);
  }

 private:
  WindowLayout& layout_;
};

}  // namespace

int ClampContentScroll(int offset, int visibleHeight) {
  return std::max(std::min(offset, std::max(0, kContentHeight - visibleHeight)), 0);
}

int CentredTextInset(int inner, int lineHeight, int lines) {
  return std::max((inner - lineHeight * std::max(lines, 1)) / 2, 0);
}

WindowLayout ComputeLayout(const LayoutInput& in) {
  const int W = in.clientWidth;
  const int H = in.clientHeight;
  const ControlMetrics& m = in.metrics;
  // A label is a line of its font and room for the marks that some fonts
  // draw beyond it (a dot below a capital); it centres its text itself.
  const int text = m.uiText + kLabelMarkRoom;
  WindowLayout layout;
  Placer place(layout);

  // Every label is as high as a line of its font and centred on its row.
  place.Centred(Slot::kTitle, 42, 42, 300, 34, m.titleText + kLabelMarkRoom);
  place.Centred(Slot::kBrand, W - 270, 34, 230, 48, m.brandText + kLabelMarkRoom);
  place.Centred(Slot::kVersion, W - 220, H - 32, 190, 26, text);
  place.Centred(Slot::kFooter, 160, H - 32, W - 330, 26, text);
  place.Centred(Slot::kConnectionHeader, 50, 116, 160, 22, text);
  place(Slot::kUsbRadio, 52, 149, 70, 26);
  place(Slot::kLanRadio, 126, 149, 128, 26);
  place.Centred(Slot::kPrinterLabel, 270, 116, 120, 22, text);
  // The height includes the drop-down; the closed list is centred on the row.
  place(Slot::kPrinterList, 270, kConnectionRowMiddle - m.printerList / 2, W - 430, 220);
  place(Slot::kFindButton, W - 148, 142, 100, 36);
  const Slot pageButtons[] = {Slot::kLanPageButton, Slot::kWifiPageButton, Slot::kQueuePageButton,
                              Slot::kTechnicalPageButton};
  for (int i = 0; i < 4; ++i) place(pageButtons[i], 44, 238 + 56 * i, 152, 48);
  for (Slot page : {Slot::kLanPage, Slot::kWifiPage, Slot::kQueuePage, Slot::kTechnicalPage}) {
    place(page, 246, 236, W - 292, H - 314);
  }

  place.Centred(Slot::kLanIpLabel, 28, 40, 120, 30, text);
  place(Slot::kLanIpField, 150, 40, 330, 30);
  place.Centred(Slot::kLanMaskLabel, 28, 80, 120, 30, text);
  place(Slot::kLanMaskField, 150, 80, 330, 30);
  place.Centred(Slot::kLanGatewayLabel, 28, 120, 120, 30, text);
  place(Slot::kLanGatewayField, 150, 120, 330, 30);
  place(Slot::kSaveIpButton, W - 460, H - 368, 140, 38);

  const Slot wifiRows[][2] = {{Slot::kWifiNameLabel, Slot::kWifiNameField},
                              {Slot::kWifiPasswordLabel, Slot::kWifiPasswordField},
                              {Slot::kWifiIpLabel, Slot::kWifiIpField},
                              {Slot::kWifiMaskLabel, Slot::kWifiMaskField},
                              {Slot::kWifiGatewayLabel, Slot::kWifiGatewayField}};
  for (int i = 0; i < 5; ++i) {
    place.Centred(wifiRows[i][0], 28, 30 + 40 * i, 120, 30, text);
    place(wifiRows[i][1], 158, 30 + 40 * i, W - 482, 30);
  }
  place.Centred(Slot::kWifiModeLabel, 28, 230, 120, 30, text);
  place(Slot::kWifiModeList, 158, 230 + (30 - m.modeList) / 2, 220, 180);
  place(Slot::kSaveWifiButton, W - 460, H - 368, 140, 38);

  place(Slot::kPrintNumberCheck, 12, 8, 92, 30);
  place(Slot::kPrintDateCheck, 110, 8, 80, 30);
  place.Centred(Slot::kCopiesLabel, 198, 11, 46, 26, text);
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

  place.Centred(Slot::kContentHeader, 0, -S, CW - 234, 24, text);
  place.Centred(Slot::kFormatLabel, CW - 234, -S, 234, 24, text);
  for (int line = 0; line < kLineCount; ++line) {
    const int top = kLineRowTops[line] - S;
    place.Centred(LineSlot(line, LinePart::kLabel), 0, top, 52, 44, text);
    place(LineSlot(line, LinePart::kEditor), 56, top, E, 44);
    place(LineSlot(line, LinePart::kBold), CW - 234, top + 6, 28, 32);
    place(LineSlot(line, LinePart::kItalic), CW - 202, top + 6, 28, 32);
    place(LineSlot(line, LinePart::kUnderline), CW - 170, top + 6, 28, 32);
    // Centred on the style buttons' row (top + 6, 32 high).
    place(LineSlot(line, LinePart::kSizeList), CW - 134, top + 22 - m.sizeList / 2, 48, 270);
    place(LineSlot(line, LinePart::kWidthButton), CW - 80, top + 6, 80, 32);
  }
  // The counter row is centred on its preview (146, 44 high).
  place.Centred(Slot::kCounterLabel, 0, 146 - S, 52, 44, text);
  place(Slot::kCounterPreview, 56, 146 - S, E, 44);
  place.Centred(Slot::kCounterSizeLabel, CW - 234, 146 - S, 80, 44, text);
  place(Slot::kCounterSizeList, CW - 134, 168 - S - m.sizeList / 2, 48, 210);
  place.Centred(Slot::kQrLabel, 0, 320 - S, 52, 26, text);
  place(Slot::kQrField, 56, 320 - S, E, 26);

  place(Slot::kSaveQueueButton, W - 472, H - 354, 168, 36);

  place(Slot::kBeepCheck, 30, 40, 150, 26);
  place.Centred(Slot::kBeepCountLabel, 190, 36, 56, 30, text);
  place(Slot::kBeepCountField, 252, 36, 70, 30);
  place(Slot::kTestButton, 340, 34, 82, 36);
  place(Slot::kSaveBeepButton, 436, 34, 132, 36);
  place.Centred(Slot::kDensityLabel, 30, 96, 100, 30, text);
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
