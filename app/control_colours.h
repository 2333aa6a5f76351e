// The colours a standard control (label, field, check box, radio, and the
// background an owner-drawn button stands on) asks its parent for: one
// decision for the main window and the panels alike.
#pragma once

#include <optional>

#include "app/colours.h"
#include "app/layout.h"

namespace korvante {

// WM_CTLCOLOREDIT, WM_CTLCOLORBTN and WM_CTLCOLORSTATIC.
enum class ColourRequest { kEdit, kButton, kStatic };

struct ControlColours {
  Colour text = 0;
  Surface surface = Surface::kBackground;  // the brush returned
  // Text drawn without a background of its own; otherwise (fields) on the
  // surface's colour.
  bool transparent = true;
  friend bool operator==(const ControlColours&, const ControlColours&) = default;
};

// `control` is the asking control's slot, or nullopt for one without (the
// edit part of a drop-down list); `onPanel` says that a page panel or the
// content panel was asked rather than the main window.
ControlColours ChooseControlColours(ColourRequest request, std::optional<Slot> control,
                                    bool onPanel, const Palette& p);

}  // namespace korvante
