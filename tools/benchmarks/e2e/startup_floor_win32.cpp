// The floor of the tool's start-up for tools/benchmarks/e2e.sh: what any window of
// its kind costs on this computer. Loads common controls 6 by the tool's own
// manifest, registers a main and a page class, creates the tool's fonts and
// brushes and the tooltip window, then as many controls of each class and
// style as the tool's window holds, as many shown and hidden, with the message
// font; shows the window and paints its background. Nothing of the tool's own
// work: no Winsock, network profiles, USB search, list items, subclassing,
// layout or owner drawing.
//
//   startup_floor.exe CLASS[/STYLE/EXSTYLE]:SHOWN:HIDDEN ...
//       (class "page" for the panels; STYLE and EXSTYLE in hexadecimal, the
//       control's own bits: a drop-down list is a dearer control than a
//       combo box of the default style, about 3 ms more each under Wine)
//
// A GUI-subsystem program like the tool, so that the loader does the same.
// When KV_STARTUP_TRACE_FILE names a file, it writes there, after its first
// paint, when each of its steps ended (its entry, its window, the controls of
// each class, the show and the first paint), as the tool's traced build does,
// so that the two starts can be set side by side step by step.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kFloorClass[] = L"KorvanteStartupFloor";
constexpr wchar_t kFloorPageClass[] = L"KorvanteStartupFloorPage";

HBRUSH background = nullptr;

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, background);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

struct ClassCount {
  std::wstring name;
  DWORD style = WS_TABSTOP;
  DWORD exStyle = 0;
  int shown = 0;
  int hidden = 0;
};

std::vector<ClassCount> ReadCounts(int argc, wchar_t** argv) {
  std::vector<ClassCount> counts;
  for (int i = 1; i < argc; ++i) {
    wchar_t* first = std::wcschr(argv[i], L':');
    wchar_t* second = first ? std::wcschr(first + 1, L':') : nullptr;
    if (!second) continue;
    ClassCount count{std::wstring(argv[i], first)};
    count.shown = static_cast<int>(std::wcstol(first + 1, nullptr, 10));
    count.hidden = static_cast<int>(std::wcstol(second + 1, nullptr, 10));
    // "CLASS/STYLE/EXSTYLE": the class name ends at the first slash.
    if (const std::size_t slash = count.name.find(L'/'); slash != std::wstring::npos) {
      wchar_t* end = nullptr;
      count.style = std::wcstoul(count.name.c_str() + slash + 1, &end, 16);
      if (end && *end == L'/') count.exStyle = std::wcstoul(end + 1, nullptr, 16);
      count.name.resize(slash);
    }
    counts.push_back(count);
  }
  return counts;
}

HFONT FontLike(const LOGFONTW& base, int height) {
  LOGFONTW font = base;
  font.lfHeight = height;
  font.lfWeight = FW_BOLD;
  wcsncpy_s(font.lfFaceName, LF_FACESIZE, L"Segoe UI", LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

}  // namespace

LONGLONG Now() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// The counter values of the floor's steps, in the traced build's form.
struct Step {
  std::string name;
  LONGLONG ticks;
};
void WriteTrace(const std::vector<Step>& steps) {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KV_STARTUP_TRACE_FILE", path, MAX_PATH) == 0) return;
  FILE* file = _wfopen(path, L"w");
  if (!file) return;
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::fprintf(file, "frequency %lld\n", frequency.QuadPart);
  for (const Step& step : steps) std::fprintf(file, "%lld %s\n", step.ticks, step.name.c_str());
  std::fclose(file);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  std::vector<Step> steps{{"process entry", Now()}};
  const std::vector<ClassCount> counts = ReadCounts(__argc, __wargv);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSW page{};
  page.lpfnWndProc = DefWindowProcW;
  page.hInstance = instance;
  page.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  page.lpszClassName = kFloorPageClass;
  RegisterClassW(&page);
  WNDCLASSW main{};
  main.lpfnWndProc = FloorProc;
  main.hInstance = instance;
  main.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  main.lpszClassName = kFloorClass;
  RegisterClassW(&main);

  // The tool's four fonts and four brushes.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  HFONT uiFont = CreateFontIndirectW(&metrics.lfMessageFont);
  const HFONT fonts[] = {uiFont, FontLike(metrics.lfMessageFont, -22),
                         FontLike(metrics.lfMessageFont, -34),
                         FontLike(metrics.lfMessageFont, -34)};
  background = CreateSolidBrush(RGB(246, 249, 252));
  const HBRUSH brushes[] = {background, CreateSolidBrush(RGB(255, 255, 255)),
                            CreateSolidBrush(RGB(255, 255, 255)),
                            CreateSolidBrush(RGB(232, 244, 255))};

  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int height = std::min<int>(workArea.bottom - workArea.top, 830);
  HWND hwnd = CreateWindowExW(0, kFloorClass, L"Korvante start-up floor",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              900, height > 0 ? height : 830, nullptr, nullptr, instance, nullptr);
  steps.push_back({"window created", Now()});
  CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance, nullptr);

  // One shown panel holds the shown controls, one hidden panel the hidden
  // ones; the other panels stand empty, like the tool's hidden pages.
  int panelsShown = 0;
  int panelsHidden = 0;
  for (const ClassCount& c : counts) {
    if (c.name == L"page") panelsShown = c.shown, panelsHidden = c.hidden;
  }
  std::vector<HWND> shownPanels;
  std::vector<HWND> hiddenPanels;
  for (int i = 0; i < panelsShown + panelsHidden; ++i) {
    const bool shown = i < panelsShown;
    HWND panel =
        CreateWindowExW(0, kFloorPageClass, L"",
                        WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (shown ? WS_VISIBLE : 0),
                        240, 230, 620, 520, hwnd, nullptr, instance, nullptr);
    (shown ? shownPanels : hiddenPanels).push_back(panel);
  }
  HWND shownParent = shownPanels.empty() ? hwnd : shownPanels.front();
  HWND hiddenParent = hiddenPanels.empty() ? hwnd : hiddenPanels.front();
  int made = 0;
  int ofClass = 0;
  for (std::size_t k = 0; k < counts.size(); ++k) {
    const ClassCount& c = counts[k];
    if (c.name == L"page") continue;
    for (int i = 0; i < c.shown + c.hidden; ++i, ++made) {
      const bool shown = i < c.shown;
      HWND control = CreateWindowExW(
          c.exStyle, c.name.c_str(), L"Korvante", WS_CHILD | c.style | (shown ? WS_VISIBLE : 0),
          10 + made % 5 * 120, 10 + made / 5 % 16 * 30, 110, 26, shown ? shownParent : hiddenParent,
          nullptr, instance, nullptr);
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), TRUE);
    }
    // One step per class, however many styles it comes in. The step's name
    // is ASCII: the class names are.
    ofClass += c.shown + c.hidden;
    if (k + 1 < counts.size() && counts[k + 1].name == c.name) continue;
    const std::string name(c.name.begin(), c.name.end());
    steps.push_back({"controls: " + name + " x" + std::to_string(ofClass), Now()});
    ofClass = 0;
  }

  ShowWindow(hwnd, SW_SHOWNORMAL);
  steps.push_back({"shown", Now()});
  UpdateWindow(hwnd);
  steps.push_back({"first paint", Now()});
  WriteTrace(steps);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  for (HFONT font : fonts) DeleteObject(font);
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return 0;
}
