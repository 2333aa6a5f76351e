#include "app/button_looks.h"

#include "app/control_ids.h"
#include "app/style_toggles.h"

namespace korvante {
namespace {
constexpr int kRoundCorner = 12;
constexpr int kToggleCorner = 6;
}  // namespace

ButtonKind ButtonKindOfId(int id) {
  if (id >= kIdFirstPageButton && id <= kIdLastPageButton) return ButtonKind::kPage;
  if (id == kIdFind || (id >= kIdFirstAction && id <= kIdLastAction)) return ButtonKind::kAction;
  if (FindStyleToggle(id)) return ButtonKind::kStyleToggle;
  return ButtonKind::kWidth;
}

ButtonLook ChooseButtonLook(const ButtonState& s, const Palette& p) {
  ButtonLook look;
  switch (s.kind) {
    case ButtonKind::kPage:
      look = s.currentPage
                 ? ButtonLook{p.selectedFill, p.selectedBorder, p.selectedText, kRoundCorner, true}
                 : ButtonLook{p.card, p.pageButtonBorder, p.headingText, kRoundCorner, true};
      break;
    case ButtonKind::kAction:
      look = s.pressed
                 ? ButtonLook{p.pressedFill, p.pressedBorder, p.pressedText, kRoundCorner, false}
                 : ButtonLook{p.actionFill, p.actionBorder, p.actionText, kRoundCorner, false};
      break;
    case ButtonKind::kStyleToggle:
      look =
          s.toggleOn
              ? ButtonLook{p.selectedFill, p.selectedBorder, p.selectedText, kToggleCorner, false}
              : ButtonLook{p.toggleOffFill, p.cardBorder, p.headingText, kToggleCorner, false};
      break;
    case ButtonKind::kWidth:
      look = {p.card, p.cardBorder, p.headingText, kRoundCorner, false};
      break;
  }
  if (s.disabled) {
    look.fill = p.disabledFill;
    look.border = p.disabledBorder;
    look.text = p.disabledText;
  }
  return look;
}

std::uint32_t ToggleAccessibleState(bool pressed, bool focused, bool enabled) {
  std::uint32_t state = enabled ? kAccessibleFocusable : kAccessibleUnavailable;
  if (pressed) state |= kAccessiblePressed;
  if (focused && enabled) state |= kAccessibleFocused;
  return state;
}

}  // namespace korvante
