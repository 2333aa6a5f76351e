// The three style toggles of each ticket line, bold, italic and underline, in
// one table: each one's place among its line's control IDs and slots, the
// line's flag it flips, its caption, and its name (its tooltip, and what a
// screen reader reads). A control is known as a toggle by its ID alone, as
// ClassifyCommand knows every command.
#pragma once

#include <optional>
#include <string_view>

#include "app/control_ids.h"
#include "app/layout.h"
#include "commands/ticket_sizes.h"

namespace korvante {

struct StyleToggle {
  int idOffset;            // from the line's base ID
  LinePart part;           // the line's slot
  bool TicketLine::*flag;  // the style it sets
  std::u16string_view caption;
  std::u16string_view name;
};

inline constexpr StyleToggle kStyleToggles[] = {
    {kLineBoldOffset, LinePart::kBold, &TicketLine::bold, u"B", u"In đậm"},
    {kLineItalicOffset, LinePart::kItalic, &TicketLine::italic, u"I", u"In nghiêng"},
    {kLineUnderlineOffset, LinePart::kUnderline, &TicketLine::underline, u"U", u"Gạch chân"},
};

// A toggle of one ticket line.
struct LineToggle {
  int line = 0;
  const StyleToggle* toggle = nullptr;
};

// The toggle among a line's control IDs at `idOffset`; null for the other
// line controls (width button, size list).
constexpr const StyleToggle* StyleToggleAt(int idOffset) {
  for (const StyleToggle& toggle : kStyleToggles) {
    if (toggle.idOffset == idOffset) return &toggle;
  }
  return nullptr;
}

// The line and toggle a control ID names; nullopt for any other control.
constexpr std::optional<LineToggle> FindStyleToggle(int controlId) {
  if (controlId < kIdFirstLineControl || controlId > kIdLastLineControl) return std::nullopt;
  const int offset = controlId - kIdFirstLineControl;
  const StyleToggle* toggle = StyleToggleAt(offset % kLineIdStride);
  if (toggle == nullptr) return std::nullopt;
  return LineToggle{offset / kLineIdStride, toggle};
}

}  // namespace korvante
