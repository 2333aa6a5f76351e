// ui-driver.exe: the driver's commands for a person watching the tool on a
// display, and for scripts (tools/demo.sh); the end-to-end tests use the
// driver library directly.
//
//   ui-driver.exe click CONTROL       post a click to CONTROL
//   ui-driver.exe set-field PAGE N TEXT   type TEXT into field N of PAGE
//   ui-driver.exe select N            select printer list item N (-1: none)
//   ui-driver.exe type-printer TEXT   type TEXT into the printer box (LAN / Wi-Fi mode)
//   ui-driver.exe select-list CONTROL N   select item N of the drop-down list CONTROL
//   ui-driver.exe menu CONTROL N      click button CONTROL, pick entry N of its menu
//                                     (0: close the menu with Escape)
//   ui-driver.exe list-items          print the printer list, one item a line
//   ui-driver.exe caption CONTROL     print a control's caption
//   ui-driver.exe wait-box MS         wait for the "Korvante" box, print it, press OK
//   ui-driver.exe show-box MS         wait for the "Korvante" box, print it, leave it open
//   ui-driver.exe answer-box MS yes|no   wait for the "Korvante" question, print it,
//                                     press Yes or No
//   ui-driver.exe wait-item TEXT MS   wait until a printer list item starts with TEXT,
//                                     then print the list
//   ui-driver.exe click-caption PAGE TEXT   click the control of PAGE captioned TEXT
//   ui-driver.exe drop-down 1|0       open (1) or close (0) the printer list's drop-down
//
// CONTROL and PAGE are named as in the drivers' table (ui_driver_win32.h)
// without its "k": `click LanRadio`, `set-field QueuePage 2 TEXT`; a number
// is taken as a control ID or a page index. Output is UTF-8; the exit code is
// 1 when the window or the box is not found, 2 for a command or a name it does
// not know.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/text_encoding.h"
#include "tests/ui-driver/ui_driver_win32.h"

namespace {

using namespace korvante::ui;

struct Name {
  std::wstring_view name;
  int value;
};

constexpr Name kControlNames[] = {
    {L"Find", kFind},
    {L"SaveIp", kSaveIp},
    {L"SaveWifi", kSaveWifi},
    {L"SaveQueue", kSaveQueue},
    {L"TestBeep", kTestBeep},
    {L"SaveBeep", kSaveBeep},
    {L"SaveDensity", kSaveDensity},
    {L"ContentToggle", kContentToggle},
    {L"PrintInfo", kPrintInfo},
    {L"LanPageButton", kLanPageButton},
    {L"WifiPageButton", kWifiPageButton},
    {L"QueuePageButton", kQueuePageButton},
    {L"TechnicalPageButton", kTechnicalPageButton},
    {L"UsbRadio", kUsbRadio},
    {L"LanRadio", kLanRadio},
};

constexpr Name kPageNames[] = {
    {L"LanPage", kLanPage},
    {L"WifiPage", kWifiPage},
    {L"QueuePage", kQueuePage},
    {L"TechnicalPage", kTechnicalPage},
};

// A whole number as it is, else the value of one of `names`; empty for neither.
std::optional<int> Named(std::wstring_view text, std::span<const Name> names) {
  const std::wstring digits(text);
  wchar_t* end = nullptr;
  const long number = std::wcstol(digits.c_str(), &end, 10);
  if (!digits.empty() && *end == L'\0') return static_cast<int>(number);
  for (const auto& entry : names) {
    if (entry.name == text) return entry.value;
  }
  return std::nullopt;
}

void PrintLine(const std::u16string& text) { std::printf("%s\n", korvante::ToUtf8(text).c_str()); }

int Usage() {
  std::fprintf(
      stderr,
      "usage: ui-driver click CONTROL | set-field PAGE N TEXT | select N |"
      " select-list CONTROL N | type-printer TEXT | menu CONTROL N | list-items |"
      " caption CONTROL | wait-box MS | show-box MS | answer-box MS yes|no |"
      " wait-item TEXT MS | click-caption PAGE TEXT | drop-down 1|0\n"
      "  (CONTROL, PAGE: a name of the drivers' table without its k, e.g. LanRadio, QueuePage,"
      " or a number)\n");
  return 2;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  auto number = [&](int i) {
    return i < argc ? static_cast<int>(std::wcstol(argv[i], nullptr, 10)) : 0;
  };
  if (command == L"wait-box" || command == L"show-box") {
    const std::chrono::milliseconds timeout(number(2));
    const auto text = command == L"wait-box" ? AnswerMessageBox(timeout) : ReadMessageBox(timeout);
    if (!text) return 1;
    PrintLine(*text);
    return 0;
  }
  if (command == L"answer-box" && argc == 4) {
    const std::wstring answer = argv[3];
    if (answer != L"yes" && answer != L"no") return Usage();
    const auto text = AnswerQuestion(std::chrono::milliseconds(number(2)), answer == L"yes");
    if (!text) return 1;
    PrintLine(*text);
    return 0;
  }
  // The control or the page that the command names first, read before the
  // window is looked for: a name the table lacks stops the command at once.
  const bool namesPage = command == L"set-field" || command == L"click-caption";
  const bool namesControl = command == L"click" || command == L"select-list" ||
                            command == L"menu" || command == L"caption";
  int named = 0;
  if ((namesPage || namesControl) && argc >= 3) {
    const auto value = Named(argv[2], namesPage ? std::span<const Name>(kPageNames)
                                                : std::span<const Name>(kControlNames));
    if (!value) {
      std::fprintf(stderr, "ui-driver: no %s named %ls\n", namesPage ? "page" : "control", argv[2]);
      return Usage();
    }
    named = *value;
  }
  const auto window = ToolWindow::Find(std::chrono::milliseconds(5000));
  if (!window) return 1;
  if (command == L"click" && argc == 3) {
    window->Click(named);
  } else if (command == L"set-field" && argc == 5) {
    window->SetField(named, number(3), reinterpret_cast<const char16_t*>(argv[4]));
  } else if (command == L"select" && argc == 3) {
    window->SelectPrinter(number(2));
  } else if (command == L"type-printer" && argc == 3) {
    if (!window->TypePrinter(reinterpret_cast<const char16_t*>(argv[2]))) return 1;
  } else if (command == L"select-list" && argc == 4) {
    window->SelectListItem(named, number(3));
  } else if (command == L"menu" && argc == 4) {
    if (!window->ChooseFromMenu(named, number(3))) return 1;
  } else if (command == L"wait-item" && argc == 4) {
    const std::u16string prefix = reinterpret_cast<const char16_t*>(argv[2]);
    const bool found = WaitUntil(
        [&] {
          for (const auto& item : window->PrinterItems()) {
            if (item.starts_with(prefix)) return true;
          }
          return false;
        },
        std::chrono::milliseconds(number(3)));
    for (const auto& item : window->PrinterItems()) PrintLine(item);
    if (!found) return 1;
  } else if (command == L"click-caption" && argc == 4) {
    HWND control = window->ControlByCaption(named, reinterpret_cast<const char16_t*>(argv[3]));
    if (!control) return 1;
    PostMessageW(control, BM_CLICK, 0, 0);
  } else if (command == L"drop-down" && argc == 3) {
    SendMessageW(window->PrinterList(), CB_SHOWDROPDOWN, number(2) != 0, 0);
  } else if (command == L"list-items") {
    for (const auto& item : window->PrinterItems()) PrintLine(item);
  } else if (command == L"caption" && argc == 3) {
    PrintLine(window->Caption(named));
  } else {
    return Usage();
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) { EndDriverProcess(Run(argc, argv)); }
