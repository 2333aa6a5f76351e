// Drives the running tool from another process in the same Wine prefix and
// display, as a person would: finds the main window by its class, acts on
// controls by their IDs (fields, which have none, by their order on their
// page), reads the printer list and captions, and answers the tool's
// "Korvante" message boxes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvante::ui {

// The tool's control IDs, as a driver from outside knows them: written out here
// rather than taken from the window's own header, so that a changed ID breaks
// the drivers' cases instead of following along.
enum ToolControlId : int {
  kFind = 101,
  kSaveIp = 201,
  kSaveWifi = 202,
  kSaveQueue = 203,
  kTestBeep = 204,
  kSaveBeep = 205,
  kSaveDensity = 206,
  kContentToggle = 207,
  kPrintInfo = 208,
  kLanPageButton = 301,  // the WiFi, queue and technical pages' buttons follow
  kWifiPageButton = 302,
  kQueuePageButton = 303,
  kTechnicalPageButton = 304,
  kUsbRadio = 701,
  kLanRadio = 702,
};

// The main window's pages in the order the window creates them.
enum PageIndex : int { kLanPage = 0, kWifiPage = 1, kQueuePage = 2, kTechnicalPage = 3 };

// A program a driver started, usually the tool: ended, if still running, when
// the record goes.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  bool Start(std::wstring commandLine);
  bool Running() const;
  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }
  // The exit code, or -1 when it did not end within `ms`.
  long Wait(DWORD ms);

 private:
  PROCESS_INFORMATION info_{};
};

// Polls `done` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

std::u16string WindowText(HWND window);
std::wstring ClassOf(HWND window);
// Every descendant of `parent` in creation order (depth first).
std::vector<HWND> Descendants(HWND parent);

class ToolWindow {
 public:
  // The tool's main window ("KorvanteNativeToolWindow"), once it exists.
  static std::optional<ToolWindow> Find(std::chrono::milliseconds timeout);

  HWND hwnd() const { return hwnd_; }
  // A control anywhere in the window by its control ID; null when absent.
  HWND Control(int id) const;
  // The page panel `page`: the parent of that page's save button (the window
  // raises the shown page to the top, so the panels' z-order changes).
  HWND Page(int page) const;
  // The n-th edit field (0-based) of a page, its content panel included, in
  // creation order.
  HWND Field(int page, int n) const;
  // A check box or other captioned control of a page (its content panel
  // included) by its caption; null when absent.
  HWND ControlByCaption(int page, const std::u16string& caption) const;
  // The printer list: the only combo box that is a direct child of the window.
  HWND PrinterList() const;

  // Clicks a button or radio by posting BM_CLICK: a sent one would block
  // while the tool shows a message box.
  void Click(int id) const;
  void SetField(int page, int n, const std::u16string& text) const;
  std::u16string Caption(int id) const { return WindowText(Control(id)); }
  bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

  // Types `text` into the printer box's edit part (LAN / Wi-Fi mode), key by
  // key, over whatever it holds; false when the box takes no typing.
  bool TypePrinter(const std::u16string& text) const;
  // The text the printer box shows.
  std::u16string PrinterText() const { return WindowText(PrinterList()); }

  std::vector<std::u16string> PrinterItems() const;
  int PrinterSelection() const;
  // Selects an item (-1: none) and notifies the window as a user's choice would.
  void SelectPrinter(int index) const;
  // The same for any drop-down list of the window, found by its control ID.
  void SelectListItem(int id, int index) const;
  int ListSelection(int id) const;

  // Clicks a button that opens a pop-up menu and, once the menu shows, picks
  // its `item`-th entry (1-based) with the arrow keys and Enter, as a person at
  // the keyboard would; 0 closes the menu with Escape. False when no menu came.
  bool ChooseFromMenu(int buttonId, int item) const;

 private:
  explicit ToolWindow(HWND hwnd) : hwnd_(hwnd) {}
  HWND hwnd_;
};

// The lab around the tool (tools/printer-lab/lab exec sets these variables).
// The Linux path in environment variable `name` as programs in the prefix see
// it (the Z: drive maps "/"); empty when the variable is not set.
std::wstring EnvPath(const char* name);
// While muted, the lab's printers do not answer discovery (KV_LAB_MUTE_FILE
// exists), so a LAN / Wi-Fi refresh falls back to the port-9100 sweep.
void SetLabDiscoveryMuted(bool muted);

// Ends this driving process with `code`, output flushed, skipping its DLL
// clean-up: under Wine 8 a process that has talked to another process's message
// box faults there, which starts winedbg and hangs whoever waits for it.
[[noreturn]] void EndDriverProcess(int code);

// Waits for the tool's message box and reads its text, leaving it open.
std::optional<std::u16string> ReadMessageBox(std::chrono::milliseconds timeout);

// Waits for the tool's message box (a "#32770" window captioned "Korvante"),
// reads its text and presses OK. Empty when no box came in time.
std::optional<std::u16string> AnswerMessageBox(std::chrono::milliseconds timeout);

// Waits for the tool's Yes / No question (a "Korvante" box with Yes and No
// buttons), reads its text and presses Yes or No. Empty when no question came
// in time, or the box that came has no such buttons (it is left open).
std::optional<std::u16string> AnswerQuestion(std::chrono::milliseconds timeout, bool yes);
// The question's default button (IDYES, IDNO), or 0 when none.
int QuestionDefaultButton(std::chrono::milliseconds timeout);

}  // namespace korvante::ui
