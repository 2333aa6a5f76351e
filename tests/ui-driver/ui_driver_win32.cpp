#include "tests/ui-driver/ui_driver_win32.h"

#include <cstdlib>
#include <thread>

namespace korvante::ui {
namespace {

constexpr wchar_t kMainClass[] = L"KorvanteNativeToolWindow";
constexpr int kMessageTextId = 0xFFFF;
constexpr auto kPollStep = std::chrono::milliseconds(10);

// Selects an item (-1: none) of a drop-down list.
void SelectList(HWND list, int index) {
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // CB_SETCURSEL notifies nobody: tell the parent as the list would.
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

std::vector<HWND> DirectChildren(HWND parent, const wchar_t* cls) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(child).c_str(), cls) == 0) found.push_back(child);
  }
  return found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Every descendant of `parent` in creation order (depth first).
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::u16string WindowText(HWND window) {
  if (!window) return {};
  // WM_GETTEXT crosses the process boundary with the text intact.
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::optional<ToolWindow> ToolWindow::Find(std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  // The window exists from its WM_NCCREATE on, before its controls: it is
  // ready for a user once it is shown.
  WaitUntil(
      [&] {
        found = FindWindowW(kMainClass, nullptr);
        return found && IsWindowVisible(found);
      },
      timeout);
  if (!found || !IsWindowVisible(found)) return std::nullopt;
  return ToolWindow(found);
}

HWND ToolWindow::Control(int id) const {
  for (HWND child : Descendants(hwnd_)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

HWND ToolWindow::Page(int page) const {
  // "Lưu IP", "Cài WiFi", "Lưu vào máy" and "Lưu độ đậm": one on each page.
  constexpr int kPageButtons[] = {201, 202, 203, 206};
  if (page < 0 || page >= 4) return nullptr;
  HWND button = Control(kPageButtons[page]);
  return button ? GetParent(button) : nullptr;
}

HWND ToolWindow::Field(int page, int n) const {
  HWND panel = Page(page);
  if (!panel) return nullptr;
  int index = 0;
  for (HWND child : Descendants(panel)) {
    if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0 && index++ == n) return child;
  }
  return nullptr;
}

HWND ToolWindow::ControlByCaption(int page, const std::u16string& caption) const {
  HWND panel = Page(page);
  if (!panel) return nullptr;
  for (HWND child : Descendants(panel)) {
    if (WindowText(child) == caption) return child;
  }
  return nullptr;
}

HWND ToolWindow::PrinterList() const {
  const std::vector<HWND> lists = DirectChildren(hwnd_, L"ComboBox");
  return lists.empty() ? nullptr : lists.front();
}

void ToolWindow::Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void ToolWindow::SetField(int page, int n, const std::u16string& text) const {
  SendMessageW(Field(page, n), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool ToolWindow::TypePrinter(const std::u16string& text) const {
  HWND edit = FindWindowExW(PrinterList(), nullptr, L"Edit", nullptr);
  if (!edit) return false;
  // Select what the box holds, so the first key replaces it; each character
  // then arrives as a person's key would, and the box tells the tool.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (char16_t c : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
  return true;
}

std::vector<std::u16string> ToolWindow::PrinterItems() const {
  HWND list = PrinterList();
  std::vector<std::u16string> items;
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, i, 0);
    if (length < 0) continue;
    // The tool may replace the item between the two questions (the USB
    // placeholder by the result): room for a longer one, and the length that
    // was really copied.
    std::u16string item(static_cast<std::size_t>(length) + 512, u'\0');
    const LRESULT copied =
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    if (copied < 0 || static_cast<std::size_t>(copied) >= item.size()) continue;
    item.resize(static_cast<std::size_t>(copied));
    items.push_back(std::move(item));
  }
  return items;
}

int ToolWindow::PrinterSelection() const {
  return static_cast<int>(SendMessageW(PrinterList(), CB_GETCURSEL, 0, 0));
}

void ToolWindow::SelectPrinter(int index) const { SelectList(PrinterList(), index); }

void ToolWindow::SelectListItem(int id, int index) const { SelectList(Control(id), index); }

int ToolWindow::ListSelection(int id) const {
  return static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
}

bool ToolWindow::ChooseFromMenu(int buttonId, int item) const {
  DWORD toolProcess = 0;
  GetWindowThreadProcessId(hwnd_, &toolProcess);
  // A shown pop-up menu is a visible "#32768" window of the tool's process.
  auto shownMenu = [&]() -> HWND {
    for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
      DWORD process = 0;
      GetWindowThreadProcessId(menu, &process);
      if (process == toolProcess && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
  };
  Click(buttonId);
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = shownMenu()) != nullptr; }, std::chrono::seconds(3))) {
    return false;
  }
  // The menu's own loop takes the keys of every window of its thread.
  if (item <= 0) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  } else {
    for (int i = 0; i < item; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_CHAR, L'\r', 1);
  }
  return WaitUntil([&] { return shownMenu() == nullptr; }, std::chrono::seconds(3));
}

std::wstring EnvPath(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return {};
  std::wstring path = L"Z:";
  for (const char* c = value; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

void SetLabDiscoveryMuted(bool muted) {
  const std::wstring path = EnvPath("KV_LAB_MUTE_FILE");
  if (path.empty()) return;
  if (!muted) {
    DeleteFileW(path.c_str());
    return;
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

namespace {

HWND WaitForMessageBox(std::chrono::milliseconds timeout) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindWindowW(L"#32770", L"Korvante")) != nullptr; }, timeout);
  return box;
}

}  // namespace

bool Process::Start(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_) != FALSE;
}

bool Process::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long Process::Wait(DWORD ms) {
  if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (Running()) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

void EndDriverProcess(int code) {
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  // TerminateProcess of the own process does not return.
  std::abort();
}

std::optional<std::u16string> ReadMessageBox(std::chrono::milliseconds timeout) {
  HWND box = WaitForMessageBox(timeout);
  if (!box) return std::nullopt;
  return WindowText(GetDlgItem(box, kMessageTextId));
}

namespace {

// Reads the box's text, presses its button `id` and waits until it is gone,
// so that the next box can be told apart from it.
std::u16string PressAndRead(HWND box, int id) {
  std::u16string text = WindowText(GetDlgItem(box, kMessageTextId));
  PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
  WaitUntil([&] { return !IsWindow(box); }, std::chrono::milliseconds(3000));
  return text;
}

}  // namespace

std::optional<std::u16string> AnswerMessageBox(std::chrono::milliseconds timeout) {
  HWND box = WaitForMessageBox(timeout);
  if (!box) return std::nullopt;
  return PressAndRead(box, IDOK);
}

std::optional<std::u16string> AnswerQuestion(std::chrono::milliseconds timeout, bool yes) {
  HWND box = WaitForMessageBox(timeout);
  if (!box || !GetDlgItem(box, IDYES) || !GetDlgItem(box, IDNO)) return std::nullopt;
  return PressAndRead(box, yes ? IDYES : IDNO);
}

int QuestionDefaultButton(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  HWND box = WaitForMessageBox(timeout);
  if (!box) return 0;
  // The button drawn as the default (the dialog's DM_GETDEFID is not kept
  // up to date by every message box). The box can be found before its
  // dialog procedure has made one the default: look until then.
  int found = 0;
  WaitUntil(
      [&] {
        for (int id : {IDYES, IDNO}) {
          HWND button = GetDlgItem(box, id);
          if (button && (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            found = id;
          }
        }
        return found != 0;
      },
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                            std::chrono::steady_clock::now()));
  return found;
}

}  // namespace korvante::ui
