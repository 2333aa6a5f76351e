// The control identifiers of the main window and what a WM_COMMAND from each
// of them does. The identifiers reach the window in WM_COMMAND and
// WM_DRAWITEM; every other control has ID 0 and is known by its handle.
#pragma once

namespace korvante {

enum ControlId : int {
  kIdFind = 101,

  kIdFirstAction = 201,
  kIdSaveIp = kIdFirstAction,
  kIdSaveWifi = 202,
  kIdSaveQueue = 203,
  kIdTestBeep = 204,
  kIdSaveBeep = 205,
  kIdSaveDensity = 206,
  kIdContentToggle = 207,
  kIdPrintInfo = 208,  // "In thông tin IP", beside "Lưu IP"
  kIdLastAction = kIdPrintInfo,

  kIdFirstPageButton = 301,
  kIdLanPageButton = kIdFirstPageButton,
  kIdWifiPageButton = 302,
  kIdQueuePageButton = 303,
  kIdTechnicalPageButton = 304,
  kIdLastPageButton = kIdTechnicalPageButton,

  kIdUsbRadio = 701,
  kIdLanRadio = 702,

  // Line n (0..3) uses base 800 + 10 n: bold, italic, underline, width
  // button, font size list at base + 0 .. base + 4.
  kIdFirstLineControl = 800,
  kIdLastLineControl = 839,
  kIdCounterSizeList = 850,
};

inline constexpr int kLineIdStride = 10;
inline constexpr int kLineBoldOffset = 0;
inline constexpr int kLineItalicOffset = 1;
inline constexpr int kLineUnderlineOffset = 2;
inline constexpr int kLineWidthOffset = 3;
inline constexpr int kLineSizeListOffset = 4;

constexpr int LineBaseId(int line) { return kIdFirstLineControl + kLineIdStride * line; }

static_assert(kIdLastAction - kIdFirstAction + 1 == 8,
              "six save and test buttons, the toggle and the information slip");
static_assert(kIdLastPageButton - kIdFirstPageButton + 1 == 4, "one button per page");
static_assert(LineBaseId(3) + kLineIdStride - 1 == kIdLastLineControl, "four lines of ten IDs");
static_assert(kIdLastLineControl < kIdCounterSizeList);

// What a WM_COMMAND asks for, from its command and notification codes alone.
// The radio buttons are recognised by handle, so they come out as kOther.
enum class CommandAction {
  kNone,
  kRefresh,
  kSaveLan,
  kSaveWifi,
  kSaveQueue,
  kTestBeep,
  kSaveBeep,
  kSaveDensity,
  kToggleContent,
  kShowPage,   // page in `argument`
  kLineStyle,  // line in `argument`, sub-command in `sub`
  kCounterSize,
  kPrintInfo,
  kOther,  // not one of ours: the window checks the radio handles
};

struct CommandDecision {
  CommandAction action = CommandAction::kNone;
  int argument = 0;
  int sub = 0;
};

// The notification codes the dispatch looks at (BN_CLICKED, CBN_SELCHANGE).
inline constexpr int kNotifyClicked = 0;
inline constexpr int kNotifySelectionChange = 1;

CommandDecision ClassifyCommand(int command, int notification);

}  // namespace korvante
