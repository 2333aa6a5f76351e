#include "app/layout.h"

#include <algorithm>

#include "commands/ticket_sizes.h"

namespace korvante {
namespace {

// Every length in this file is in pixels at 96 DPI. Each area of the window
// is a small table: its columns (where a control starts across its parent,
// and how wide it is) and its rows (where it starts down, and how high it
// is). Controls of a panel are placed in the panel's own coordinates; an
// inset is measured from the parent's right or bottom edge.
struct Column {
  int x = 0;
  int width = 0;
};
struct Row {
  int top = 0;
  int height = 0;
};

constexpr Column ColumnAtRight(int parentWidth, int rightInset, int width) {
  return {parentWidth - rightInset - width, width};
}
constexpr Column ColumnTo(int x, int parentWidth, int rightInset) {
  return {x, parentWidth - rightInset - x};
}
constexpr Row RowAtBottom(int parentHeight, int bottomInset, int height) {
  return {parentHeight - bottomInset - height, height};
}
constexpr Row RowTo(int top, int parentHeight, int bottomInset) {
  return {top, parentHeight - bottomInset - top};
}
// A drop-down list: its closed box centred on a row's middle line, its
// rectangle as high as the list when dropped down.
constexpr Row DropDownRow(int middle, int closedHeight, int droppedHeight) {
  return {middle - closedHeight / 2, droppedHeight};
}

// Above and below a label's line, two pixels each.
constexpr int kLabelMarkRoom = 4;

class Placer {
 public:
  Placer(WindowLayout& layout, const ControlMetrics& m)
      : metrics(m), labelHeight(m.uiText + kLabelMarkRoom), layout_(layout) {}
  void operator()(Slot slot, Column column, Row row) {
    layout_.rects[static_cast<std::size_t>(slot)] =
        Rect{column.x, row.top, column.width, row.height};
  }
  // A control `height` high, centred on a row: a label on its field's row,
  // or a text in its box.
  void Centred(Slot slot, Column column, Row row, int height) {
    (*this)(slot, column, {row.top + (row.height - height) / 2, height});
  }
  // A label is a line of its font and room for the marks that some fonts
  // draw beyond it (a dot below a capital), centred on its row; it centres
  // its text itself.
  void Label(Slot slot, Column column, Row row) { Centred(slot, column, row, labelHeight); }
  const Rect& At(Slot slot) const { return layout_[slot]; }

  const ControlMetrics& metrics;
  const int labelHeight;

 private:
  WindowLayout& layout_;
};

// --- the main window: header, cards, footer --------------------------------------
constexpr Column kTitleColumn{42, 300};
constexpr Row kTitleRow{42, 34};
constexpr int kBrandRightInset = 40, kBrandWidth = 230;
constexpr Row kBrandRow{34, 48};
// The footer's row: the version at the right, as wide as its text, and the
// sentence on one line, centred in what is left of the row.
constexpr int kFooterRowBottomInset = 6, kFooterRowHeight = 26;
constexpr int kVersionRightInset = 30, kFooterToVersionGap = 12;
// A label's box is this much wider than its text: the text never wraps.
constexpr int kTextSlack = 8;
constexpr int kFooterRuleBottomInset = 38;

// The cards: the connection card across the top, the navigation card and the
// content card side by side below it, all 28 in from the sides.
constexpr int kCardSideInset = 28;
constexpr int kConnectionCardTop = 96, kConnectionCardBottom = 204;
constexpr int kLowerCardsTop = 216, kLowerCardsBottomInset = 58;
constexpr int kNavigationCardRight = 212, kContentCardLeft = 226;

// The connection card: its headings on one row, the radios below them; the
// printer list and the find button share the middle line of its lower part.
constexpr Row kCardHeadingRow{116, 22};
constexpr Row kRadioRow{149, 26};
constexpr int kConnectionRowMiddle = 160;
constexpr Column kConnectionHeaderColumn{50, 160};
constexpr Column kUsbRadioColumn{52, 70};
constexpr Column kLanRadioColumn{126, 128};
// The printer's label over its list, which reaches to the find button.
constexpr int kPrinterColumnLeft = 270;
constexpr int kPrinterLabelWidth = 120;
constexpr int kPrinterListRightInset = 160, kPrinterListDroppedHeight = 220;
constexpr int kFindButtonRightInset = 48, kFindButtonWidth = 100;

// The page buttons, on the navigation card; the pages, on the content card.
// On a low window the buttons get lower and closer, down to a minimum, so
// that they stay on their card.
constexpr Column kPageButtonColumn{44, 152};
constexpr int kFirstPageButtonTop = 238, kPageButtonHeight = 48, kPageButtonGap = 8;
constexpr int kMinPageButtonHeight = 28;
constexpr int kNavigationCardPadding = 8;  // below the last page button, at least
constexpr int kPageLeft = 246, kPageTop = 236;
constexpr int kPageRightInset = 46, kPageBottomInset = 78;

int PageButtonHeight(int H) {
  const int room = H - kLowerCardsBottomInset - kNavigationCardPadding - kFirstPageButtonTop;
  const int height = (room - (kPageCount - 1) * kPageButtonGap) / kPageCount;
  return std::clamp(height, kMinPageButtonHeight, kPageButtonHeight);
}

// Places the main window's own controls; returns the pages' rectangle.
Rect PlaceMainWindow(Placer& place, int W, int H) {
  const ControlMetrics& m = place.metrics;
  place.Centred(Slot::kTitle, kTitleColumn, kTitleRow, m.titleText + kLabelMarkRoom);
  place.Centred(Slot::kBrand, ColumnAtRight(W, kBrandRightInset, kBrandWidth), kBrandRow,
                m.brandText + kLabelMarkRoom);
  const Row footer = RowAtBottom(H, kFooterRowBottomInset, kFooterRowHeight);
  const Column version = ColumnAtRight(W, kVersionRightInset, m.versionText + kTextSlack);
  place.Label(Slot::kVersion, version, footer);
  place.Label(Slot::kFooter, {kCardSideInset, version.x - kFooterToVersionGap - kCardSideInset},
              footer);

  place.Label(Slot::kConnectionHeader, kConnectionHeaderColumn, kCardHeadingRow);
  place(Slot::kUsbRadio, kUsbRadioColumn, kRadioRow);
  place(Slot::kLanRadio, kLanRadioColumn, kRadioRow);
  place.Label(Slot::kPrinterLabel, {kPrinterColumnLeft, kPrinterLabelWidth}, kCardHeadingRow);
  place(Slot::kPrinterList, ColumnTo(kPrinterColumnLeft, W, kPrinterListRightInset),
        DropDownRow(kConnectionRowMiddle, m.printerList, kPrinterListDroppedHeight));
  place(Slot::kFindButton, ColumnAtRight(W, kFindButtonRightInset, kFindButtonWidth),
        {kConnectionRowMiddle - kFindButtonHeight / 2, kFindButtonHeight});

  const Slot pageButtons[] = {Slot::kLanPageButton, Slot::kWifiPageButton, Slot::kQueuePageButton,
                              Slot::kTechnicalPageButton};
  const int buttonHeight = PageButtonHeight(H);
  for (int i = 0; i < kPageCount; ++i) {
    place(pageButtons[i], kPageButtonColumn,
          {kFirstPageButtonTop + (buttonHeight + kPageButtonGap) * i, buttonHeight});
  }
  const Column pageColumn = ColumnTo(kPageLeft, W, kPageRightInset);
  const Row pageRow = RowTo(kPageTop, H, kPageBottomInset);
  for (Slot page : {Slot::kLanPage, Slot::kWifiPage, Slot::kQueuePage, Slot::kTechnicalPage}) {
    place(page, pageColumn, pageRow);
  }
  return {pageColumn.x, pageRow.top, pageColumn.width, pageRow.height};
}

// --- the pages: each scrolls when it is lower than its controls need -----------------
// A page whose controls need `needed` pixels and which shows `visible` of them.
PageScroll ScrollFor(int needed, int visible, int requestedOffset) {
  PageScroll page;
  page.visibleHeight = visible;
  page.contentHeight = std::max(needed, visible);
  page.offset = std::clamp(requestedOffset, 0, page.contentHeight - visible);
  return page;
}

// The page's controls move up by its offset.
constexpr Row Scrolled(Row r, int offset) { return {r.top - offset, r.height}; }

// --- the LAN and WiFi pages: a label and a field on each row ------------------------
constexpr Column kFormLabelColumn{28, 120};
constexpr int kFormRowPitch = 40;
constexpr int kLanFirstRowTop = 40, kLanRowCount = 3;
// Above the fields, two lines at most: what the selected printer reported of
// itself, and whether it takes a mask and a gateway.
constexpr int kLanTargetTextTop = 2;
// "In thông tin IP" stands left of "Lưu IP", on its row.
constexpr int kPrintInfoGap = 12;
constexpr int kLanFieldLeft = 150, kLanFieldWidth = 330;
constexpr int kWifiFirstRowTop = 30, kWifiRowCount = 6;  // five fields and the mode
constexpr int kFormFieldRightInset = 32;                 // a field never reaches further right
constexpr int kWifiFieldLeft = 158;
constexpr int kWifiModeRow = 5;  // below the five fields
constexpr int kWifiModeListWidth = 220, kWifiModeListDroppedHeight = 180;
// Either page's save button, at its bottom right, and at least this far
// below the last row.
constexpr int kSaveButtonRightInset = 28, kSaveButtonBottomInset = 16, kSaveButtonTopGap = 16;
constexpr int kSaveButtonWidth = 140, kSaveButtonHeight = 38;

constexpr Row FormRow(int firstTop, int index) {
  return {firstTop + kFormRowPitch * index, kFieldHeight};
}

// What a form page's rows and its save button need.
constexpr int FormNeeds(int firstTop, int rows) {
  return FormRow(firstTop, rows - 1).top + kFieldHeight + kSaveButtonTopGap + kSaveButtonHeight +
         kSaveButtonBottomInset;
}

// Places a form's save button for a page of `PW` x its content height.
void PlaceSaveButton(Placer& place, Slot slot, int PW, const PageScroll& page) {
  place(slot, ColumnAtRight(PW, kSaveButtonRightInset, kSaveButtonWidth),
        Scrolled(RowAtBottom(page.contentHeight, kSaveButtonBottomInset, kSaveButtonHeight),
                 page.offset));
}

void PlaceLanPage(Placer& place, int PW, const PageScroll& page) {
  const Slot rows[][2] = {{Slot::kLanIpLabel, Slot::kLanIpField},
                          {Slot::kLanMaskLabel, Slot::kLanMaskField},
                          {Slot::kLanGatewayLabel, Slot::kLanGatewayField}};
  const Column field{kLanFieldLeft,
                     std::min(kLanFieldWidth, PW - kFormFieldRightInset - kLanFieldLeft)};
  for (int i = 0; i < kLanRowCount; ++i) {
    const Row row = Scrolled(FormRow(kLanFirstRowTop, i), page.offset);
    place.Label(rows[i][0], kFormLabelColumn, row);
    place(rows[i][1], field, row);
  }
  place(Slot::kLanTargetText, ColumnTo(kFormLabelColumn.x, PW, kFormFieldRightInset),
        Scrolled({kLanTargetTextTop, 2 * place.metrics.uiText + kLabelMarkRoom}, page.offset));
  PlaceSaveButton(place, Slot::kSaveIpButton, PW, page);
  const Rect save = place.At(Slot::kSaveIpButton);
  place(Slot::kPrintInfoButton, {save.x - kPrintInfoGap - save.width, save.width},
        {save.y, save.height});
}

void PlaceWifiPage(Placer& place, int PW, const PageScroll& page) {
  const Slot rows[][2] = {{Slot::kWifiNameLabel, Slot::kWifiNameField},
                          {Slot::kWifiPasswordLabel, Slot::kWifiPasswordField},
                          {Slot::kWifiIpLabel, Slot::kWifiIpField},
                          {Slot::kWifiMaskLabel, Slot::kWifiMaskField},
                          {Slot::kWifiGatewayLabel, Slot::kWifiGatewayField}};
  const Column field = ColumnTo(kWifiFieldLeft, PW, kFormFieldRightInset);
  for (int i = 0; i < kWifiModeRow; ++i) {
    const Row row = Scrolled(FormRow(kWifiFirstRowTop, i), page.offset);
    place.Label(rows[i][0], kFormLabelColumn, row);
    place(rows[i][1], field, row);
  }
  const Row modeRow = Scrolled(FormRow(kWifiFirstRowTop, kWifiModeRow), page.offset);
  place.Label(Slot::kWifiModeLabel, kFormLabelColumn, modeRow);
  place(Slot::kWifiModeList, {kWifiFieldLeft, kWifiModeListWidth},
        {modeRow.top + (modeRow.height - place.metrics.modeList) / 2, kWifiModeListDroppedHeight});
  PlaceSaveButton(place, Slot::kSaveWifiButton, PW, page);
}

// --- the queue page: a row of settings, the ticket content, the save button ---------
constexpr Row kQueueCheckRow{8, 30};
constexpr Column kPrintNumberColumn{12, 92};
constexpr Column kPrintDateColumn{110, 80};
constexpr Row kCopiesRow{11, 26};
constexpr Column kCopiesLabelColumn{198, 46};
constexpr Column kCopiesFieldColumn{248, 44};
// The content toggle, the content panel and the save button end this far in.
constexpr int kQueueRightInset = 12;
constexpr int kContentToggleWidth = 136;
constexpr Row kContentToggleRow{6, 34};
constexpr int kContentPanelLeft = 12, kContentPanelTop = 56, kContentPanelBottomInset = 54;
// The content panel never shrinks below this height, however small the
// window: its heading and two ticket lines show. A queue page lower than
// that scrolls.
constexpr int kMinContentVisibleHeight = 140;
constexpr int kSaveQueueBottomInset = 4, kSaveQueueWidth = 168, kSaveQueueHeight = 36;

constexpr int QueueNeeds(bool contentShown) {
  return kContentPanelTop + (contentShown ? kMinContentVisibleHeight : 0) +
         kContentPanelBottomInset;
}

// Returns the content panel's visible height.
int PlaceQueuePage(Placer& place, int PW, const PageScroll& page) {
  const int off = page.offset;
  place(Slot::kPrintNumberCheck, kPrintNumberColumn, Scrolled(kQueueCheckRow, off));
  place(Slot::kPrintDateCheck, kPrintDateColumn, Scrolled(kQueueCheckRow, off));
  place.Label(Slot::kCopiesLabel, kCopiesLabelColumn, Scrolled(kCopiesRow, off));
  place(Slot::kCopiesField, kCopiesFieldColumn, Scrolled(kCopiesRow, off));
  place(Slot::kContentToggle, ColumnAtRight(PW, kQueueRightInset, kContentToggleWidth),
        Scrolled(kContentToggleRow, off));
  const int V = std::max(page.contentHeight - kContentPanelTop - kContentPanelBottomInset,
                         kMinContentVisibleHeight);
  place(Slot::kContentPanel, ColumnTo(kContentPanelLeft, PW, kQueueRightInset),
        {kContentPanelTop - off, V});
  place(Slot::kSaveQueueButton, ColumnAtRight(PW, kQueueRightInset, kSaveQueueWidth),
        Scrolled(RowAtBottom(page.contentHeight, kSaveQueueBottomInset, kSaveQueueHeight), off));
  return V;
}

// --- the ticket content, inside its panel ------------------------------------------
// Across: the labels, the editors (the counter preview and the QR field
// too), and the format column at the panel's right edge.
constexpr Column kLineLabelColumn{0, 52};
constexpr int kEditorLeft = 56, kEditorToFormatGap = 12;
constexpr int kFormatColumnWidth = 234;
// Line editors, the counter preview and the QR field keep at least this width.
constexpr int kMinEditorWidth = 80;
// Inside the format column: three style toggles, the size list, the width
// button; on the counter's row its size label and list.
constexpr int kToggleWidth = 28, kTogglePitch = 32;
constexpr Column kSizeListInFormat{100, 48};
constexpr Column kWidthButtonInFormat{154, 80};
constexpr Column kCounterSizeLabelInFormat{0, 80};
// Down: the heading row, four ticket lines with the counter's row between
// lines 2 and 3, then the QR link. A line's buttons are centred on its row.
constexpr Row kContentHeadingRow{0, 24};
constexpr int kLineRowTops[kLineCount] = {34, 90, 202, 258};
constexpr int kLineRowHeight = 44;
constexpr int kCounterRowTop = 146;  // as high as a line
constexpr Row kQrRow{320, 26};
constexpr int kLineButtonHeight = 32;
constexpr int kLineSizeListDroppedHeight = 270, kCounterSizeListDroppedHeight = 210;

int EditorWidth(int CW) {
  return std::max(CW - kEditorLeft - kEditorToFormatGap - kFormatColumnWidth, kMinEditorWidth);
}

// The content scrolls: every row is S higher up.
void PlaceContent(Placer& place, int CW, int S) {
  const int sizeList = place.metrics.sizeList;
  const int format = CW - kFormatColumnWidth;
  auto inFormat = [format](Column c) { return Column{format + c.x, c.width}; };
  auto scrolled = [S](Row r) { return Row{r.top - S, r.height}; };
  const Column editorColumn{kEditorLeft, EditorWidth(CW)};

  const Row heading = scrolled(kContentHeadingRow);
  place.Label(Slot::kContentHeader, {0, format}, heading);
  place.Label(Slot::kFormatLabel, {format, kFormatColumnWidth}, heading);
  const LinePart toggles[] = {LinePart::kBold, LinePart::kItalic, LinePart::kUnderline};
  for (int line = 0; line < kLineCount; ++line) {
    const Row row = scrolled({kLineRowTops[line], kLineRowHeight});
    place.Label(LineSlot(line, LinePart::kLabel), kLineLabelColumn, row);
    place(LineSlot(line, LinePart::kEditor), editorColumn, row);
    for (int t = 0; t < 3; ++t) {
      place.Centred(LineSlot(line, toggles[t]), inFormat({kTogglePitch * t, kToggleWidth}), row,
                    kLineButtonHeight);
    }
    place(LineSlot(line, LinePart::kSizeList), inFormat(kSizeListInFormat),
          DropDownRow(row.top + kLineRowHeight / 2, sizeList, kLineSizeListDroppedHeight));
    place.Centred(LineSlot(line, LinePart::kWidthButton), inFormat(kWidthButtonInFormat), row,
                  kLineButtonHeight);
  }
  const Row counter = scrolled({kCounterRowTop, kLineRowHeight});
  place.Label(Slot::kCounterLabel, kLineLabelColumn, counter);
  place(Slot::kCounterPreview, editorColumn, counter);
  place.Label(Slot::kCounterSizeLabel, inFormat(kCounterSizeLabelInFormat), counter);
  place(Slot::kCounterSizeList, inFormat(kSizeListInFormat),
        DropDownRow(counter.top + kLineRowHeight / 2, sizeList, kCounterSizeListDroppedHeight));
  const Row qr = scrolled(kQrRow);
  place.Label(Slot::kQrLabel, kLineLabelColumn, qr);
  place(Slot::kQrField, editorColumn, qr);
}

// --- the technical page: the beeper's row and the density's --------------------------
constexpr Row kBeepCheckRow{40, 26};
constexpr Row kBeepFieldRow{36, 30};
constexpr Row kBeepButtonRow{34, 36};
constexpr Column kBeepCheckColumn{30, 150};
constexpr Column kBeepCountLabelColumn{190, 56};
constexpr Column kBeepCountFieldColumn{252, 70};
constexpr Column kTestButtonColumn{340, 82};
constexpr Column kSaveBeepColumn{436, 132};
constexpr Row kDensityFieldRow{96, 30};
constexpr Row kDensityButtonRow{94, 36};
constexpr Column kDensityLabelColumn{30, 100};
constexpr Column kDensityFieldColumn{150, 80};
constexpr Column kSaveDensityColumn{252, 132};
constexpr int kTechnicalRightInset = 28, kTechnicalBottomInset = 16;
// On a narrow page the beeper's two buttons take a row of their own under
// the count, and the density's row moves down by as much.
constexpr int kBeepButtonsRowShift = 44;
constexpr Column kWrappedTestColumn{kBeepCountLabelColumn.x, kTestButtonColumn.width};
constexpr Column kWrappedSaveBeepColumn{
    kWrappedTestColumn.x + kSaveBeepColumn.x - kTestButtonColumn.x, kSaveBeepColumn.width};

constexpr bool BeepButtonsWrap(int PW) {
  return kSaveBeepColumn.x + kSaveBeepColumn.width + kTechnicalRightInset > PW;
}
constexpr int TechnicalNeeds(bool wrapped) {
  return kDensityButtonRow.top + kDensityButtonRow.height + (wrapped ? kBeepButtonsRowShift : 0) +
         kTechnicalBottomInset;
}

void PlaceTechnicalPage(Placer& place, int PW, const PageScroll& page) {
  const bool wrapped = BeepButtonsWrap(PW);
  const int off = page.offset;
  const int down = wrapped ? kBeepButtonsRowShift : 0;
  place(Slot::kBeepCheck, kBeepCheckColumn, Scrolled(kBeepCheckRow, off));
  place.Label(Slot::kBeepCountLabel, kBeepCountLabelColumn, Scrolled(kBeepFieldRow, off));
  place(Slot::kBeepCountField, kBeepCountFieldColumn, Scrolled(kBeepFieldRow, off));
  const Row buttons = Scrolled(kBeepButtonRow, off - down);
  place(Slot::kTestButton, wrapped ? kWrappedTestColumn : kTestButtonColumn, buttons);
  place(Slot::kSaveBeepButton, wrapped ? kWrappedSaveBeepColumn : kSaveBeepColumn, buttons);
  place.Label(Slot::kDensityLabel, kDensityLabelColumn, Scrolled(kDensityFieldRow, off - down));
  place(Slot::kDensityField, kDensityFieldColumn, Scrolled(kDensityFieldRow, off - down));
  place(Slot::kSaveDensityButton, kSaveDensityColumn, Scrolled(kDensityButtonRow, off - down));
}

}  // namespace

int MinimumWindowHeight(int workAreaHeight) {
  return workAreaHeight > 0 ? std::min(workAreaHeight, kMinWindowHeight) : kMinWindowHeight;
}

int TopOnWorkArea(int top, int height, int workTop, int workBottom) {
  if (workBottom <= workTop) return top;  // no work area to keep to
  return std::max(std::min(top, workBottom - height), workTop);
}

int ClampContentScroll(int offset, int visibleHeight) {
  return std::max(std::min(offset, std::max(0, kContentHeight - visibleHeight)), 0);
}

int CentredTextInset(int inner, int lineHeight, int lines) {
  return std::max((inner - lineHeight * std::max(lines, 1)) / 2, 0);
}

WindowLayout ComputeLayout(const LayoutInput& in) {
  WindowLayout layout;
  Placer place(layout, in.metrics);
  const int sb = in.metrics.scrollBar;
  const Rect pages = PlaceMainWindow(place, std::max(in.clientWidth, kMinClientWidth),
                                     std::max(in.clientHeight, kMinClientHeight));
  const int PW = pages.width, PH = pages.height;
  // A page's scroll bar takes its share of the page's width.
  auto scroll = [&](int page, int needed) {
    layout.pages[page] = ScrollFor(needed, PH, in.pageScroll[page]);
    layout.pageClientWidth[page] = layout.pages[page].Scrolls() ? PW - sb : PW;
  };

  scroll(0, FormNeeds(kLanFirstRowTop, kLanRowCount));
  PlaceLanPage(place, layout.pageClientWidth[0], layout.pages[0]);
  scroll(1, FormNeeds(kWifiFirstRowTop, kWifiRowCount));
  PlaceWifiPage(place, layout.pageClientWidth[1], layout.pages[1]);
  scroll(2, QueueNeeds(in.contentShown));
  const int V = PlaceQueuePage(place, layout.pageClientWidth[2], layout.pages[2]);
  layout.contentVisibleHeight = V;
  layout.scrollOffset = ClampContentScroll(in.scrollOffset, V);
  // The content panel's own scroll bar shows while its content is higher.
  const int panelWidth = layout[Slot::kContentPanel].width;
  layout.panelClientWidth = V < kContentHeight ? panelWidth - sb : panelWidth;
  layout.editorWidth = EditorWidth(layout.panelClientWidth);
  PlaceContent(place, layout.panelClientWidth, layout.scrollOffset);

  // The beeper's buttons wrap on a narrow page, which then may need to
  // scroll, which leaves it narrower still: decide with the scroll bar too.
  bool wrapped = BeepButtonsWrap(PW);
  if (TechnicalNeeds(wrapped) > PH) wrapped = BeepButtonsWrap(PW - sb);
  scroll(3, TechnicalNeeds(wrapped));
  PlaceTechnicalPage(place, layout.pageClientWidth[3], layout.pages[3]);
  return layout;
}

Backdrop ComputeBackdrop(int W, int H) {
  const int lowerBottom = H - kLowerCardsBottomInset;
  Backdrop b;
  b.connectionCard = {kCardSideInset, kConnectionCardTop, W - kCardSideInset,
                      kConnectionCardBottom};
  b.navigationCard = {kCardSideInset, kLowerCardsTop, kNavigationCardRight, lowerBottom};
  b.contentCard = {kContentCardLeft, kLowerCardsTop, W - kCardSideInset, lowerBottom};
  b.footerRuleY = H - kFooterRuleBottomInset;
  return b;
}

int CounterPreviewHeight(int counterLevel) {
  const NativeFontFit fit = FitNativeFont(counterLevel, true);
  const int scaled = fit.multiplier * fit.cellHeight * 34;
  constexpr int kMinimumHeight = 14;
  if (scaled <= 2783) return kMinimumHeight;  // (2783 + 96) / 192 is still 14
  return (scaled + 96) / 192;
}

}  // namespace korvante
