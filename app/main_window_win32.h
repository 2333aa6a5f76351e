// The main window: its state, its control handles and the operations that the
// window procedure, the message loop and the save actions share. Everything
// here belongs to the UI thread; workers see only `hwnd` and post to it.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_ids.h"
#include "app/gdi_owner_win32.h"
#include "app/layout.h"
#include "commands/wide_text_win32.h"
#include "discovery/printer_records.h"

namespace korvante {

inline constexpr wchar_t kMainClassName[] = L"KorvanteNativeToolWindow";
inline constexpr wchar_t kPageClassName[] = L"KorvanteNativePage";
inline constexpr int kMainWindowWidth = 900;
inline constexpr int kMainWindowMaxHeight = 830;
inline constexpr int kMinTrackWidth = 800;
inline constexpr int kMinTrackHeight = 600;

enum Page : int { kPageLan = 0, kPageWifi = 1, kPageQueue = 2, kPageTechnical = 3 };

// One ticket line's style state; its controls are the line's slots.
struct QueueLine {
  int widthLevel = 2;  // 1 narrow, 2 normal, 3 wide
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

struct MainWindow {
  HWND hwnd = nullptr;
  ConnectionMode mode = kModeUsb;
  int page = kPageLan;
  bool contentShown = false;
  int contentScroll = 0;
  // The client size of the last layout: a WM_SIZE that changes nothing (the
  // one of the first ShowWindow) need not lay out all controls again.
  SIZE laidOutClient{-1, -1};
  std::atomic<std::int32_t> refreshGeneration{0};
  std::atomic<std::uint8_t> sendBusy{0};  // 1 while a send job runs

  std::vector<UsbPrinter> usbPrinters;
  std::vector<NetworkPrinter> networkPrinters;
  std::vector<NetworkProfile> profiles;
  std::array<QueueLine, kLineCount> lines;

  // Every positioned control, by layout slot; null until created.
  std::array<HWND, kSlotCount> controls{};
  HWND tooltip = nullptr;

  FontOwner uiFont;
  FontOwner titleFont;
  FontOwner brandFont;
  FontOwner counterFont;
  BrushOwner backgroundBrush;
  BrushOwner whiteBrush;
  BrushOwner editBrush;
  BrushOwner highlightBrush;

  // Shows the width menu and returns the chosen ID (0 when cancelled). The
  // window uses TrackPopupMenu; tests put a chooser of their own here.
  std::function<int(HMENU menu, POINT screenPoint)> trackWidthMenu;

  HWND at(Slot slot) const { return controls[static_cast<std::size_t>(slot)]; }
  HWND& at(Slot slot) { return controls[static_cast<std::size_t>(slot)]; }
  HWND line(int index, LinePart part) const { return at(LineSlot(index, part)); }
};

// --- start-up (window_create_win32.cpp) ---------------------------------------
// Registers the common-control classes the window uses, tooltips included.
void InitControlClasses();
void RegisterWindowClasses(HINSTANCE instance);
// Height of the main window for a work area: its height capped at 830, or 830
// when the work area is empty.
int MainWindowHeight(const RECT& workArea);
// Creates the main window for `state` (which must outlive it).
HWND CreateMainWindow(HINSTANCE instance, MainWindow& state);
void OnCreate(MainWindow& w);

// --- window state (window_state_win32.cpp) --------------------------------------
MainWindow* StateOf(HWND anyWindowOfTheTool);
void ShowMessage(const MainWindow& w, std::u16string_view text);
void SetConnectionMode(MainWindow& w, ConnectionMode mode, bool clearList);
void ShowPage(MainWindow& w, int page);
void ApplyContentShown(MainWindow& w);
void SetBusy(MainWindow& w, bool busy);
void UpdateCounterPreviewFont(MainWindow& w);
void OnLineStyleCommand(MainWindow& w, int line, int sub, HWND button);
void OnDestroy(MainWindow& w);

// Read operations for the save actions.
std::u16string ControlText(HWND control);
std::string ControlTextAscii(HWND control);
std::int32_t PositiveNumber(HWND control, std::int32_t fallback);
int ListLevel(HWND list);
bool IsChecked(HWND checkBox);
// Appends one item to a drop-down list (the printer list's placeholder and results).
void AddListItem(HWND list, std::u16string_view text);

// --- layout, paint and colours (window_paint_win32.cpp) ---------------------------
void LayOutWindow(MainWindow& w);
void PaintMainWindow(const MainWindow& w, HDC dc);
LRESULT MainColourMessage(MainWindow& w, UINT message, HDC dc, HWND control);
void DrawOwnerButton(const MainWindow& w, const DRAWITEMSTRUCT& item);
LRESULT CALLBACK PageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// --- commands (window_commands_win32.cpp) --------------------------------------
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void StartRefresh(MainWindow& w);

// --- message loop (message_loop_win32.cpp) -------------------------------------
// The window's own keyboard handling: Tab ring and Ctrl+A. True when the
// message was consumed and must not be dispatched.
bool PreTranslateKey(MainWindow& w, const MSG& message);
void RunMessageLoop(MainWindow& w);
void SubclassForSelectAll(HWND edit);

}  // namespace korvante
