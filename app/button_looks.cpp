#include "app/button_looks.h"

#include "app/control_ids.h"

namespace korvante {
namespace {
constexpr int kRoundCorner = 12;
constexpr int kToggleCorner = 6;
}  // namespace

ButtonKind ButtonKindOfId(int id) {
  if (id >= kIdFirstPageButton && id <= kIdLastPageButton) return ButtonKind::kPage;
  if (id == kIdFind || (id >= kIdFirstAction && id <= kIdLastAction)) return ButtonKind::kAction;
  if (id >= kIdFirstLineControl && id <= kIdLastLineControl) {
    const int sub = (id - kIdFirstLineControl) % kLineIdStride;
    if (sub == kLineBoldOffset || sub == kLineItalicOffset || sub == kLineUnderlineOffset) {
      return ButtonKind::kStyleToggle;
    }
  }
  return ButtonKind::kWidth;
}

ButtonLook ChooseButtonLook(const ButtonState& s) {
  ButtonLook look;
  switch (s.kind) {
    case ButtonKind::kPage:
      look = s.currentPage
                 ? ButtonLook{kColourPrimary, kColourPrimary, kColourWhite, kRoundCorner, true}
                 : ButtonLook{kColourWhite, kColourPageButtonBorder, kColourHeadingText,
                              kRoundCorner, true};
      break;
    case ButtonKind::kAction:
      look = s.pressed
                 ? ButtonLook{kColourPressed, kColourPressed, kColourWhite, kRoundCorner, false}
                 : ButtonLook{kColourPrimary, kColourPrimary, kColourWhite, kRoundCorner, false};
      break;
    case ButtonKind::kStyleToggle:
      look = s.toggleOn
                 ? ButtonLook{kColourPrimary, kColourPrimary, kColourWhite, kToggleCorner, false}
                 : ButtonLook{kColourToggleOffFill, kColourCardBorder, kColourHeadingText,
                              kToggleCorner, false};
      break;
    case ButtonKind::kWidth:
      look = {kColourWhite, kColourCardBorder, kColourHeadingText, kRoundCorner, false};
      break;
  }
  if (s.disabled) {
    look.fill = kColourDisabledFill;
    look.border = kColourDisabledBorder;
    look.text = kColourDisabledText;
  }
  return look;
}

}  // namespace korvante
