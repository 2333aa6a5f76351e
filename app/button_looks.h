// The seven looks of the owner-drawn buttons and the disabled look that
// overrides them, chosen from the button's identity and state alone.
#pragma once

#include "app/colours.h"

namespace korvante {

enum class ButtonKind {
  kPage,         // a page button; `page` says which
  kAction,       // find button and 201..207
  kStyleToggle,  // bold, italic, underline of a ticket line
  kWidth,        // any other owner-drawn button: the width buttons
};

struct ButtonLook {
  Colour fill = 0;
  Colour border = 0;
  Colour text = 0;
  int corner = 0;
  bool leftAligned = false;  // page buttons: 20 px in from the left, 12 from the right
};

struct ButtonState {
  ButtonKind kind = ButtonKind::kWidth;
  bool currentPage = false;  // page buttons: this button's page is shown
  bool toggleOn = false;     // style toggles: the line's flag is set
  bool pressed = false;      // ODS_SELECTED
  bool disabled = false;     // ODS_DISABLED
};

ButtonLook ChooseButtonLook(const ButtonState& state);

// Which kind of owner-drawn button a control ID names; style toggles are told
// apart by the window, which knows the line records.
ButtonKind ButtonKindOfId(int controlId);

inline constexpr int kPageButtonTextLeftInset = 20;
inline constexpr int kPageButtonTextRightInset = 12;

}  // namespace korvante
