#include "app/colours.h"

namespace korvante {

Palette WindowPalette() {
  Palette p{};
  p.background = kColourBackground;
  p.card = kColourWhite;
  p.cardBorder = kColourCardBorder;
  p.footerRule = kColourFooterRule;
  p.headingText = kColourHeadingText;
  p.bodyText = kColourBodyText;
  p.panelLabelText = kColourPanelLabelText;
  p.footerText = kColourFooterText;
  p.previewBackground = kColourHighlight;
  p.previewText = kColourPrimary;
  p.actionFill = p.actionBorder = kColourPrimary;
  p.actionText = kColourWhite;
  p.pressedFill = p.pressedBorder = kColourPressed;
  p.pressedText = kColourWhite;
  p.selectedFill = p.selectedBorder = kColourPrimary;
  p.selectedText = kColourWhite;
  p.pageButtonBorder = kColourPageButtonBorder;
  p.toggleOffFill = kColourToggleOffFill;
  p.disabledFill = kColourDisabledFill;
  p.disabledBorder = kColourDisabledBorder;
  p.disabledText = kColourDisabledText;
  p.listSelectedFill = kColourPrimary;
  p.listSelectedText = kColourWhite;
  return p;
}

// Text stays on the background the system pairs it with: window text on the
// window colour, button text on button face, highlight text on highlight,
// grey text on button face. Borders take the text colour, so that they show.
Palette HighContrastPalette(const SystemColours& s) {
  Palette p{};
  p.background = p.card = p.previewBackground = p.toggleOffFill = s.window;
  p.cardBorder = p.footerRule = p.pageButtonBorder = s.windowText;
  p.headingText = p.bodyText = p.panelLabelText = p.footerText = p.previewText = s.windowText;
  p.actionFill = s.buttonFace;
  p.actionBorder = p.actionText = s.buttonText;
  p.pressedFill = p.pressedBorder = p.selectedFill = p.selectedBorder = s.highlight;
  p.pressedText = p.selectedText = s.highlightText;
  p.disabledFill = s.buttonFace;
  p.disabledBorder = p.disabledText = s.grayText;
  p.listSelectedFill = s.highlight;
  p.listSelectedText = s.highlightText;
  return p;
}

Colour SurfaceColour(const Palette& p, Surface surface) {
  switch (surface) {
    case Surface::kCard:
      return p.card;
    case Surface::kPreview:
      return p.previewBackground;
    case Surface::kBackground:
      break;
  }
  return p.background;
}

Palette ChoosePalette(bool highContrast, const SystemColours& system) {
  return highContrast ? HighContrastPalette(system) : WindowPalette();
}

}  // namespace korvante
