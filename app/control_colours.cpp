#include "app/control_colours.h"

namespace korvante {
namespace {

// The labels and radios of the main window that sit on the white
// connection card; everything else of the main window stands on its
// background, even the buttons drawn on a card.
bool OnConnectionCard(Slot slot) {
  return slot == Slot::kConnectionHeader || slot == Slot::kPrinterLabel ||
         slot == Slot::kUsbRadio || slot == Slot::kLanRadio;
}

Colour MainLabelText(Slot slot, const Palette& p) {
  switch (slot) {
    case Slot::kTitle:
    case Slot::kBrand:
    case Slot::kVersion:
    case Slot::kConnectionHeader:
    case Slot::kPrinterLabel:
      return p.headingText;
    case Slot::kFooter:
      return p.footerText;
    default:
      return p.bodyText;
  }
}

}  // namespace

ControlColours ChooseControlColours(ColourRequest request, std::optional<Slot> control,
                                    bool onPanel, const Palette& p) {
  // Fields are white wherever they are, their text on that white.
  if (request == ColourRequest::kEdit) return {p.bodyText, Surface::kCard, false};
  if (onPanel) {
    if (request == ColourRequest::kButton) return {p.bodyText, Surface::kCard};
    if (control == Slot::kCounterPreview) return {p.previewText, Surface::kPreview};
    return {p.panelLabelText, Surface::kCard};
  }
  const Surface surface =
      control && OnConnectionCard(*control) ? Surface::kCard : Surface::kBackground;
  if (request == ColourRequest::kButton || !control) return {p.bodyText, surface};
  return {MainLabelText(*control, p), surface};
}

}  // namespace korvante
