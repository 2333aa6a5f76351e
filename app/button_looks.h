// The seven looks of the owner-drawn buttons and the disabled look that
// overrides them, chosen from the button's identity and state alone.
#pragma once

#include <cstdint>

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

ButtonLook ChooseButtonLook(const ButtonState& state, const Palette& palette);

// Which kind of owner-drawn button a control ID names.
ButtonKind ButtonKindOfId(int controlId);

// What a screen reader reads of a style toggle, as the accessibility state
// bits of the platform (Active Accessibility's STATE_SYSTEM_ values): pressed
// while the line's style is on, and the focus and availability the button
// itself would report.
inline constexpr std::uint32_t kAccessibleUnavailable = 0x1;
inline constexpr std::uint32_t kAccessibleFocused = 0x4;
inline constexpr std::uint32_t kAccessiblePressed = 0x8;
inline constexpr std::uint32_t kAccessibleFocusable = 0x100000;
std::uint32_t ToggleAccessibleState(bool pressed, bool focused, bool enabled);

inline constexpr int kPageButtonTextLeftInset = 20;
inline constexpr int kPageButtonTextRightInset = 12;

}  // namespace korvante
