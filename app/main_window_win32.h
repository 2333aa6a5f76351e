// The main window: its state, its control handles and the operations that the
// window procedure, the message loop and the save actions share. Everything
// here belongs to the UI thread; workers see only `hwnd` and post to it.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/colours.h"
#include "app/control_ids.h"
#include "app/gdi_owner_win32.h"
#include "app/layout.h"
#include "app/printer_box.h"
#include "app/search_tracker.h"
#include "app/window_messages_win32.h"
#include "commands/ticket_sizes.h"
#include "core/wide_text_win32.h"
#include "core/printer_records.h"
#include "transport/send_jobs.h"

// COM's base interface; declared here for a pointer alone.
struct IUnknown;

namespace korvante {

inline constexpr wchar_t kMainClassName[] = L"KorvanteNativeToolWindow";
inline constexpr wchar_t kPageClassName[] = L"KorvanteNativePage";
inline constexpr int kMainWindowWidth = 900;
inline constexpr int kMainWindowMaxHeight = 830;
// The face of the title, the brand and the counter preview; the other texts
// are in the system's message font.
inline constexpr wchar_t kDisplayFontFace[] = L"Segoe UI";

enum Page : int { kPageLan = 0, kPageWifi = 1, kPageQueue = 2, kPageTechnical = 3 };
static_assert(PageSlot(kPageTechnical) == Slot::kTechnicalPage, "the panels in page order");

// The page a page number shows: any number past the queue page shows the
// technical page.
constexpr int ShownPage(int page) {
  return page >= kPageLan && page <= kPageQueue ? page : kPageTechnical;
}

struct MainWindow {
  HWND hwnd = nullptr;
  ConnectionMode mode = kModeUsb;
  int page = kPageLan;
  bool contentShown = false;
  int contentScroll = 0;
  // Each page's scroll offset (a page scrolls when the window is lower than
  // its controls need), in the panels' order.
  std::array<int, kPageCount> pageScroll{};
  // The client size of the last layout: a WM_SIZE that changes nothing (the
  // one of the first ShowWindow) need not lay out all controls again.
  SIZE laidOutClient{-1, -1};
  std::atomic<std::int32_t> refreshGeneration{0};
  std::atomic<std::uint8_t> sendBusy{0};  // 1 while a send job runs
  // Which searches run; at most one for each mode.
  SearchTracker searches;
  // The start-up search is shown from creation, but its worker waits until
  // the window has painted: its device and registry calls would otherwise
  // slow the first paint down. While `holdSearchWorker` is set, a search that
  // starts is kept here instead, until kMsgStartHeldSearch comes.
  struct HeldSearch {
    ConnectionMode mode = kModeUsb;
    std::int32_t generation = 0;
  };
  bool holdSearchWorker = false;
  std::optional<HeldSearch> heldSearch;
  // The user closed the window while a send ran: it closes when the send ends.
  bool closeAfterSend = false;

  std::vector<UsbPrinter> usbPrinters;
  std::vector<NetworkPrinter> networkPrinters;
  std::vector<NetworkProfile> profiles;
  // Each ticket line's width and styles, which its buttons set; its text and
  // size stay in its controls until the ticket is saved.
  std::array<TicketLine, kLineCount> lines;
  // The user has typed into the printer box (LAN / Wi-Fi mode) since the tool
  // last filled it or since a pick from its list.
  bool printerTextEdited = false;
  // Set while the tool itself writes the printer box: its own writes are no
  // typing.
  bool fillingPrinterBox = false;
  // The printer a confirmed address change moved, to select when the search
  // that the change started brings its result.
  std::optional<PrinterToSelect> selectAfterSearch;

  // Every positioned control, by layout slot; null until created.
  std::array<HWND, kSlotCount> controls{};
  HWND tooltip = nullptr;

  FontOwner uiFont;
  FontOwner titleFont;
  FontOwner brandFont;
  FontOwner counterFont;
  // One brush per surface, of the palette's colour (see Brush).
  std::array<BrushOwner, kSurfaceCount> brushes;

  // Shows the width menu and returns the chosen ID (0 when cancelled). The
  // window uses TrackPopupMenu; tests put a chooser of their own here.
  std::function<int(HMENU menu, POINT screenPoint)> trackWidthMenu;
  // Asks a Yes / No question (No the default) and returns true for Yes. The
  // window shows a "Korvante" message box; tests put an answer of their own here.
  std::function<bool(std::u16string_view question)> confirm;
  bool asking = false;  // while a question is open
  // Whether high contrast is on; the window asks SPI_GETHIGHCONTRAST, tests
  // put a setting of their own here.
  std::function<bool()> highContrastOn;
  // Tells screen readers the name and state of a style toggle. The window
  // uses dynamic annotation once a screen reader has asked for the toggle;
  // tests put a recorder of their own here.
  std::function<void(HWND toggle, std::u16string_view name, std::uint32_t state)> annotateToggle;

  // The colours of the current setting (high contrast or not); the brushes
  // are made of them.
  Palette palette = WindowPalette();
  // Font and list heights the layout sizes and centres text by.
  ControlMetrics metrics;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus = nullptr;
  // Dynamic annotation (IAccPropServices), started on a screen reader's first
  // question; null until then.
  ::IUnknown* accessibility = nullptr;

  HWND At(Slot slot) const { return controls[static_cast<std::size_t>(slot)]; }
  HWND& At(Slot slot) { return controls[static_cast<std::size_t>(slot)]; }
  HWND Line(int index, LinePart part) const { return At(LineSlot(index, part)); }
  // The slot of a positioned control; nullopt for any other window.
  std::optional<Slot> SlotOf(HWND control) const {
    for (std::size_t i = 0; i < kSlotCount; ++i) {
      if (controls[i] && controls[i] == control) return static_cast<Slot>(i);
    }
    return std::nullopt;
  }
  HBRUSH Brush(Surface surface) const { return brushes[static_cast<std::size_t>(surface)].get(); }
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
// Makes the printer box for the current mode, unless it already is of that
// kind: a pick-list in USB mode, an editable drop-down that also takes a typed
// address in LAN / Wi-Fi mode. A combo box's kind is fixed when it is made, so
// a mode switch replaces the box, in the same place and keyboard order.
void MakePrinterBox(MainWindow& w);

// --- window state (window_state_win32.cpp) --------------------------------------
MainWindow* StateOf(HWND anyWindowOfTheTool);
void ShowMessage(const MainWindow& w, std::u16string_view text);
// A Yes / No question in a "Korvante" box, No the default; true for Yes.
bool Confirm(MainWindow& w, std::u16string_view question);
void SetConnectionMode(MainWindow& w, ConnectionMode mode, bool clearList);
void ShowPage(MainWindow& w, int page);
void ApplyContentShown(MainWindow& w);
void SetBusy(MainWindow& w, bool busy);
// The find button's caption, from whether a search of the shown mode runs and
// whether a send runs; its only writer.
void UpdateFindButton(MainWindow& w);
void UpdateCounterPreviewFont(MainWindow& w);
// A click on a ticket line's style toggle or width button, by the line and
// the control's place among the line's IDs.
void OnLineStyleCommand(MainWindow& w, int line, int sub);
void OnDestroy(MainWindow& w);

// Read operations for the save actions.
std::u16string ControlText(HWND control);
int ListLevel(HWND list);
bool IsChecked(HWND checkBox);
// Appends one item to a drop-down list (the printer list's placeholder and results).
void AddListItem(HWND list, std::u16string_view text);

// --- the printer box (printer_box_win32.cpp) ------------------------------------
// What the printer box names in the current mode: its selection, or in LAN /
// Wi-Fi mode the address typed into it.
PrinterBoxChoice ResolvePrinterBoxOf(const MainWindow& w);
// The printer box's notifications: typing marks it edited, a pick from its
// list does not.
void OnPrinterBoxNotification(MainWindow& w, int notification);
// What a refresh must leave in the printer box (the user's typed address), or
// nullopt; read before the refresh empties the box.
std::optional<std::u16string> PrinterTextToKeep(const MainWindow& w);
// The tool's own writes to the printer box (never counted as typing): empty
// it, select an item, put the typed text back into it after a refresh.
void ResetPrinterBox(MainWindow& w);
void SelectPrinterItem(MainWindow& w, int index);
void RestorePrinterText(MainWindow& w, const std::u16string& text);

// --- colours (colour_scheme_win32.cpp) ------------------------------------------
// Reads the high-contrast setting and the system colours, makes the palette
// and the surfaces' brushes of it; with `repaint`, redraws the whole window.
void ApplyColourScheme(MainWindow& w, bool repaint);
// WM_SYSCOLORCHANGE: the common controls get it too, as their documentation
// asks of the top-level window; then the window's own colours follow.
void OnSystemColoursChanged(MainWindow& w);
// WM_CTLCOLOREDIT, WM_CTLCOLORBTN and WM_CTLCOLORSTATIC that `parent` (the
// main window or a panel) got from `control`: sets the text colour and
// background and returns the brush.
LRESULT ControlColourMessage(const MainWindow& w, HWND parent, UINT message, HDC dc, HWND control);

// --- text in its box (text_centring_win32.cpp) ------------------------------------
// The height of a line of `font` on `window`'s screen, its internal leading
// (where the marks over Vietnamese capitals sit) included.
int FontLineHeight(HWND window, HGDIOBJ font);
// Keeps a single-line field's text in the middle of its box, however high the
// layout makes it. `now`: places it at once; otherwise from the field's next
// change of size, as for a field just made, which the layout sizes before it
// is seen (each placing costs a frame change and a device context, many
// server calls under Wine).
void CentreFieldText(HWND field, bool now = true);
// Keeps a line editor's lines in the middle of its box while they fit, from
// its next change of size (the layout's, before it is seen) or text.
void CentreEditorText(HWND editor);
// Places the editor's lines again after its text changed (EN_CHANGE).
void RecentreEditorText(HWND editor);

// --- drop-down lists (list_controls_win32.cpp) ------------------------------------
// The height of a list's closed box (selection field and frame), and that box
// made `height` pixels high.
int ClosedHeight(HWND list);
void SetClosedListHeight(HWND list, int height);
// A list hands the mouse wheel to its parent unless it has the focus or is
// dropped down.
void PassWheelWhenIdle(HWND list);
// The owner-drawn list items: text in the middle of the item, highlighted
// when selected.
void DrawListItem(const MainWindow& w, const DRAWITEMSTRUCT& item);

// --- screen readers (accessibility_win32.cpp) -------------------------------------
// Names the style toggles after their tooltips and reports them pressed.
void MakeTogglesAccessible(MainWindow& w);
void AnnotateToggle(MainWindow& w, HWND toggle);
// After a toggle's style changed: annotates it again and tells screen readers
// that its state changed (annotation alone sends no WinEvent).
void AnnounceToggle(MainWindow& w, HWND toggle);
void EndAccessibility(MainWindow& w);

// --- keyboard focus cues (focus_cues_win32.cpp) ------------------------------------
// An owner-drawn button redraws itself when the window's UI state shows or
// hides focus cues.
void RepaintOnUiStateChange(HWND button);
// Hides or shows the focus cues as the last input asks (mouse: hidden), once
// the window is shown.
void InitialiseFocusCues(const MainWindow& w);
// Shows them from now on: the keyboard moved the focus.
void ShowFocusCues(const MainWindow& w);
// The focus rectangle of an owner-drawn button, dotted in its text colour,
// while it has the focus and the UI state shows focus cues.
void DrawFocusCue(const DRAWITEMSTRUCT& item, COLORREF text);

// --- layout (window_layout_win32.cpp) ----------------------------------------------
// Moves every control of the shown page and outside the pages to its place
// for the client size and scroll offsets, and sets the panels' scroll bars.
void LayOutWindow(MainWindow& w);
// WM_GETMINMAXINFO: the smallest window is 800 wide and 600 high, or as high
// as the work area of the window's screen where that is lower.
void SetMinimumSize(HWND hwnd, MINMAXINFO& info);

// --- painting (window_paint_win32.cpp) ----------------------------------------------
// The cards and the footer rule (WM_PAINT and WM_PRINTCLIENT).
void PaintMainWindow(const MainWindow& w, HDC dc);
void DrawOwnerButton(const MainWindow& w, const DRAWITEMSTRUCT& item);
// WM_DRAWITEM of the main window and the panels: buttons and list items.
void DrawOwnerItem(const MainWindow& w, const DRAWITEMSTRUCT& item);
// What the main window and the panels answer alike for their children:
// WM_DRAWITEM and the controls' colour messages. True, with the message's
// result, for one of those.
bool AnswerChildPaint(const MainWindow& w, HWND parent, UINT message, WPARAM wParam, LPARAM lParam,
                      LRESULT& result);

// --- the page panels (page_panel_win32.cpp) -----------------------------------------
LRESULT CALLBACK PageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// --- commands (window_commands_win32.cpp) --------------------------------------
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A search of the shown mode: the mode's list is emptied and the box shows
// the search's placeholder; a search of that mode that already runs is
// joined rather than doubled. With `fresh`, a running search's result is too
// old to show (it began before a printer moved): another search follows it.
// A click on a radio switches the window to its mode first (`switchTo`).
void StartRefresh(MainWindow& w, std::optional<ConnectionMode> switchTo = std::nullopt,
                  bool fresh = false);

// --- address changes (lan_change_win32.cpp) -------------------------------------
// "Lưu IP": the checks, the questions, then the job.
void SaveLan(MainWindow& w);
// A send job's outcome once the busy state has ended: a confirmed address
// change starts a search that will select the printer, the text is shown, a
// question is asked and its job started on Yes.
void FollowUpSend(MainWindow& w, SendOutcome& outcome);
// After an accepted network result: selects the printer that a confirmed
// change moved (by MAC, else by its new address); a typed address that named
// it becomes the new one.
void SelectMovedPrinter(MainWindow& w);

// --- message loop (message_loop_win32.cpp) -------------------------------------
// The window's own keyboard handling: Tab ring and Ctrl+A. True when the
// message was consumed and must not be dispatched.
bool PreTranslateKey(MainWindow& w, const MSG& message);
void RunMessageLoop(MainWindow& w);
void SubclassForSelectAll(HWND edit);

}  // namespace korvante
