#include "app/control_ids.h"

namespace korvante {

CommandDecision ClassifyCommand(int command, int notification) {
  switch (command) {
    case kIdFind:
      return {CommandAction::kRefresh};
    case kIdSaveIp:
      return {CommandAction::kSaveLan};
    case kIdSaveWifi:
      return {CommandAction::kSaveWifi};
    case kIdSaveQueue:
      return {CommandAction::kSaveQueue};
    case kIdTestBeep:
      return {CommandAction::kTestBeep};
    case kIdSaveBeep:
      return {CommandAction::kSaveBeep};
    case kIdSaveDensity:
      return {CommandAction::kSaveDensity};
    case kIdContentToggle:
      return {CommandAction::kToggleContent};
    case kIdPrintInfo:
      return {CommandAction::kPrintInfo};
    default:
      break;
  }
  if (command >= kIdFirstPageButton && command <= kIdLastPageButton) {
    return {CommandAction::kShowPage, command - kIdFirstPageButton};
  }
  // The queue line controls and the counter size list answer one notification
  // only, so a double click on a style toggle flips it once.
  if (command >= kIdFirstLineControl && command <= kIdLastLineControl) {
    if (notification != kNotifyClicked) return {CommandAction::kNone};
    const int offset = command - kIdFirstLineControl;
    return {CommandAction::kLineStyle, offset / kLineIdStride, offset % kLineIdStride};
  }
  if (command == kIdCounterSizeList) {
    if (notification != kNotifySelectionChange) return {CommandAction::kNone};
    return {CommandAction::kCounterSize};
  }
  return {CommandAction::kOther};
}

}  // namespace korvante
