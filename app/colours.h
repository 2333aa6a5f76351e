// The main window's palette, one home for every colour it paints with.
#pragma once

#include <cstdint>

namespace korvante {

// A colour in the platform's COLORREF layout (0x00BBGGRR), so the Win32 side
// uses it unchanged.
using Colour = std::uint32_t;

constexpr Colour MakeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr std::uint8_t RedOf(Colour c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(Colour c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(Colour c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

inline constexpr Colour kColourBackground = MakeColour(246, 249, 252);
inline constexpr Colour kColourWhite = MakeColour(255, 255, 255);
inline constexpr Colour kColourHighlight = MakeColour(232, 244, 255);
inline constexpr Colour kColourCardBorder = MakeColour(216, 225, 236);
inline constexpr Colour kColourFooterRule = MakeColour(228, 235, 243);
inline constexpr Colour kColourHeadingText = MakeColour(7, 58, 117);
inline constexpr Colour kColourBodyText = MakeColour(12, 32, 56);
inline constexpr Colour kColourPanelLabelText = MakeColour(74, 94, 120);
inline constexpr Colour kColourFooterText = MakeColour(230, 0, 0);
inline constexpr Colour kColourPrimary = MakeColour(0, 91, 170);
inline constexpr Colour kColourPressed = MakeColour(0, 74, 148);
inline constexpr Colour kColourPageButtonBorder = MakeColour(220, 230, 240);
inline constexpr Colour kColourToggleOffFill = MakeColour(248, 251, 255);
inline constexpr Colour kColourDisabledText = MakeColour(150, 160, 170);
inline constexpr Colour kColourDisabledBorder = MakeColour(218, 225, 233);
inline constexpr Colour kColourDisabledFill = MakeColour(235, 239, 244);

// Every colour the window paints with, by what it is for. The window's own
// palette is made of the colours above; in high contrast it is made of the
// user's system colours, so that every text keeps the contrast they chose.
struct Palette {
  Colour background;  // behind the cards
  Colour card;        // cards, page panels, fields, lists
  Colour cardBorder;  // cards, width buttons, style toggles off
  Colour footerRule;
  Colour headingText;
  Colour bodyText;
  Colour panelLabelText;
  Colour footerText;
  Colour previewBackground;  // behind the counter preview
  Colour previewText;
  Colour actionFill, actionBorder, actionText;        // find and save buttons
  Colour pressedFill, pressedBorder, pressedText;     // an action button held down
  Colour selectedFill, selectedBorder, selectedText;  // current page, style toggle on
  Colour pageButtonBorder;  // the other page buttons (card fill, heading text)
  Colour toggleOffFill;     // a style toggle off (card border, heading text)
  Colour disabledFill, disabledBorder, disabledText;
  Colour listSelectedFill, listSelectedText;  // the highlighted item of a list
  friend bool operator==(const Palette&, const Palette&) = default;
};

// The system colours a high-contrast palette is made of (GetSysColor).
struct SystemColours {
  Colour window;         // COLOR_WINDOW
  Colour windowText;     // COLOR_WINDOWTEXT
  Colour buttonFace;     // COLOR_BTNFACE
  Colour buttonText;     // COLOR_BTNTEXT
  Colour highlight;      // COLOR_HIGHLIGHT
  Colour highlightText;  // COLOR_HIGHLIGHTTEXT
  Colour grayText;       // COLOR_GRAYTEXT
};

// What the standard controls stand on: each surface is painted with one
// brush, of its palette colour.
enum class Surface : int { kBackground, kCard, kPreview };
inline constexpr int kSurfaceCount = 3;
Colour SurfaceColour(const Palette& p, Surface surface);

Palette WindowPalette();
Palette HighContrastPalette(const SystemColours& system);
// The palette for the user's setting: high contrast on or off.
Palette ChoosePalette(bool highContrast, const SystemColours& system);

}  // namespace korvante
