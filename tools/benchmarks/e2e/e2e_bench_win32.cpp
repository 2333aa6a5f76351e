// The end-to-end figures of tools/benchmarks/e2e.sh, measured on the real tool in
// the lab: start-up to the first painted window, the LAN / Wi-Fi click to the
// filled printer list, and how long the window takes to answer a message,
// idle and while a port-9100 sweep and a send job run at once. With the
// tool's traced build and the start-up floor, each run also starts both: the
// floor's start-up in the same run gives the ratio, and the traced build the
// time each of the tool's own start-up steps takes.
//
//   e2e_bench.exe TOOL.exe RUNS [TRACED-TOOL.exe FLOOR.exe]
//   e2e_bench.exe --compare A.exe B.exe ROUNDS
//
// --compare starts two builds of the tool back to back, round by round, and
// prints each one's start-up and their ratio: how a change to start-up is
// measured against the build without it on a computer whose load moves.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/ui-driver/answer_timer_win32.h"
#include "tests/ui-driver/ui_driver_win32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using korvante::ui::AnswerTimer;
using korvante::ui::ClassOf;
using korvante::ui::Descendants;
using korvante::ui::ToolWindow;
using enum korvante::ui::ToolControlId;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> values) {
  if (values.empty()) {
    std::printf("%-44s no result\n", what);
    return;
  }
  std::sort(values.begin(), values.end());
  std::printf("%-44s median %7.1f ms   min %7.1f   max %7.1f   (%zu runs)\n", what,
              values[values.size() / 2], values.front(), values.back(), values.size());
}

// The printer found by discovery gets a new address by broadcast ("Lưu IP",
// about 1.5 s with its confirmation) while a refresh with the printers muted
// sweeps the whole /24 (about 4.3 s). Returns the longest answer in that time,
// or a negative value when the run did not go as planned.
double LongestAnswerDuringSweepAndSend(const ToolWindow& window, long& probes, double& lasted) {
  const std::vector<std::u16string> items = window.PrinterItems();
  if (items.empty() || items[0].rfind(u"192.168.77.", 0) != 0) return -1;
  // Back and forth between .100 and .101, so that every run starts alike.
  const bool atHundred = items[0].rfind(u"192.168.77.100 ", 0) == 0;
  window.SelectPrinter(0);
  window.SetField(korvante::ui::kLanPage, 0, atHundred ? u"192.168.77.101" : u"192.168.77.100");
  AnswerTimer timer(window.hwnd());
  korvante::ui::SetLabDiscoveryMuted(true);
  const auto start = Clock::now();
  window.Click(kSaveIp);
  window.Click(kLanRadio);  // a new refresh
  const bool answered = korvante::ui::AnswerMessageBox(10s).has_value();
  const bool swept = korvante::ui::WaitUntil(
      [&] {
        const auto now = window.PrinterItems();
        return window.Caption(kFind) == u"Tìm" && !now.empty() &&
               now[0].rfind(u"192.168.77.", 0) == 0;
      },
      15s);
  lasted = Ms(Clock::now() - start);
  const double longest = timer.Stop();
  probes = timer.Count();
  korvante::ui::SetLabDiscoveryMuted(false);
  return answered && swept ? longest : -1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Waits for a shown top-level window of the class, polling every
// millisecond, then until its thread answers: it has painted and runs its
// message loop. Returns the time from `started`, or a negative value.
double PaintedAfter(const wchar_t* windowClass, Clock::time_point started, HWND& found) {
  const auto deadline = started + 20s;
  found = nullptr;
  while (Clock::now() < deadline) {
    HWND hwnd = FindWindowW(windowClass, nullptr);
    if (hwnd && IsWindowVisible(hwnd)) {
      DWORD_PTR ignored = 0;
      if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) return -1;
      found = hwnd;
      return Ms(Clock::now() - started);
    }
    Sleep(1);
  }
  return -1;
}

// The floor's arguments: the tool's controls by class and style, shown and
// hidden ("page" for its panels), those a control makes for itself left out.
std::wstring FloorArguments(HWND tool) {
  std::map<std::wstring, std::pair<int, int>> counts;
  for (HWND child : Descendants(tool)) {
    if (_wcsicmp(ClassOf(GetParent(child)).c_str(), L"ComboBox") == 0) continue;
    std::wstring name = ClassOf(child);
    if (name == L"KorvanteNativePage") {
      name = L"page";
    } else {
      // The control's own bits; being a child and being shown the floor sets.
      const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)) &
                         ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
      const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_EXSTYLE));
      wchar_t bits[32];
      std::swprintf(bits, 32, L"/%lx/%lx", static_cast<unsigned long>(style),
                    static_cast<unsigned long>(exStyle));
      name += bits;
    }
    auto& [shown, hidden] = counts[name];
    ++(IsWindowVisible(child) ? shown : hidden);
  }
  std::wstring arguments;
  for (const auto& [name, count] : counts) {
    arguments +=
        L" " + name + L":" + std::to_wstring(count.first) + L":" + std::to_wstring(count.second);
  }
  return arguments;
}

LONGLONG Ticks() {
  LARGE_INTEGER ticks{};
  QueryPerformanceCounter(&ticks);
  return ticks.QuadPart;
}

// One start of a program whose window has the class given, closed once
// painted (and, when given, once `painted` has run). Returns the start-up
// time, or a negative value.
double StartAndClose(const std::wstring& commandLine, const wchar_t* windowClass,
                     LONGLONG* startTicks = nullptr,
                     const std::function<void(HWND)>& painted = nullptr) {
  korvante::ui::Process process;
  if (startTicks) *startTicks = Ticks();
  const auto started = Clock::now();
  if (!process.Start(commandLine)) return -1;
  HWND hwnd = nullptr;
  const double ms = PaintedAfter(windowClass, started, hwnd);
  if (hwnd && painted) painted(hwnd);
  if (hwnd) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  process.Wait(5000);
  return ms;
}

// The traced build's steps that ended after `start`, in the order they
// ended, each with the time since the step before (the first since `start`).
std::vector<std::pair<std::string, double>> ReadTrace(const std::wstring& path, LONGLONG start) {
  FILE* file = _wfopen(path.c_str(), L"r");
  if (!file) return {};
  std::vector<std::pair<std::string, double>> steps;
  long long frequency = 0;
  if (std::fscanf(file, "frequency %lld\n", &frequency) == 1 && frequency > 0) {
    LONGLONG before = start;
    long long ticks = 0;
    char step[64] = {};
    while (std::fscanf(file, "%lld %63[^\n]\n", &ticks, step) == 2) {
      if (ticks < start) continue;
      steps.emplace_back(
          step, static_cast<double>(ticks - before) * 1000.0 / static_cast<double>(frequency));
      before = ticks;
    }
  }
  std::fclose(file);
  return steps;
}

// Steps by name, in the order they first came.
struct StepFigures {
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> ms;

  void Add(const std::vector<std::pair<std::string, double>>& steps) {
    for (const auto& [step, value] : steps) {
      if (!ms.count(step)) order.push_back(step);
      ms[step].push_back(value);
    }
  }
  // The median and the least time of each step: under load the median moves
  // with the computer, the least time shows the step's own cost.
  void Print() const {
    for (const std::string& step : order) {
      const std::vector<double>& values = ms.at(step);
      std::printf("    %-40s %7.1f %7.1f  (%zu)\n", step.c_str(), Median(values),
                  *std::min_element(values.begin(), values.end()), values.size());
    }
  }
};

struct StartupFigures {
  std::vector<double> tool, floor, ratio, traced, tracedClick;
  StepFigures steps, clickSteps, floorSteps;
};

// In the traced build once its start-up search has ended: the LAN / Wi-Fi
// click to the filled list, with the time of each of its steps.
void TraceLanClick(const std::wstring& tracePath, StartupFigures& figures) {
  const auto found = ToolWindow::Find(1s);
  if (!found) return;
  const ToolWindow& window = *found;
  if (!korvante::ui::WaitUntil([&] { return window.Caption(kFind) == u"Tìm"; }, 10s)) return;
  const LONGLONG clicked = Ticks();
  const auto start = Clock::now();
  window.Click(kLanRadio);
  const bool filled = korvante::ui::WaitUntil(
      [&] {
        const auto items = window.PrinterItems();
        return !items.empty() && items[0].rfind(u"192.168.", 0) == 0;
      },
      10s);
  if (!filled) return;
  figures.tracedClick.push_back(Ms(Clock::now() - start));
  // The tool writes its trace after it has listed the result.
  korvante::ui::WaitUntil(
      [&] {
        const auto steps = ReadTrace(tracePath, clicked);
        return !steps.empty() && steps.back().first == "result listed";
      },
      2s);
  figures.clickSteps.Add(ReadTrace(tracePath, clicked));
}

// One round: the tool, the floor and the traced build, each started and
// closed once painted, back to back, so that the load of the computer is
// much the same for all three; each round gives its own tool / floor ratio.
void MeasureStartupRound(const std::wstring& tool, const std::wstring& traced,
                         const std::wstring& floor, const std::wstring& floorArguments, bool click,
                         StartupFigures& figures) {
  const double toolMs = StartAndClose(L"\"" + tool + L"\"", L"KorvanteNativeToolWindow");
  const double floorMs =
      StartAndClose(L"\"" + floor + L"\"" + floorArguments, L"KorvanteStartupFloor");
  if (toolMs > 0 && floorMs > 0) {
    figures.tool.push_back(toolMs);
    figures.floor.push_back(floorMs);
    figures.ratio.push_back(toolMs / floorMs);
  }

  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring tracePath = std::wstring(folder) + L"korvante-startup-trace.txt";
  DeleteFileW(tracePath.c_str());
  SetEnvironmentVariableW(L"KV_STARTUP_TRACE_FILE", tracePath.c_str());
  LONGLONG start = 0;
  std::vector<std::pair<std::string, double>> startup;
  const double tracedMs =
      StartAndClose(L"\"" + traced + L"\"", L"KorvanteNativeToolWindow", &start, [&](HWND) {
        // The start-up's steps end with the first paint, which writes them.
        for (const auto& step : ReadTrace(tracePath, start)) {
          startup.push_back(step);
          if (step.first == "first paint") break;
        }
        if (click) TraceLanClick(tracePath, figures);
      });
  if (tracedMs >= 0) {
    figures.traced.push_back(tracedMs);
    figures.steps.Add(startup);
  }
  // The floor's entry and first paint, for the same two steps of the tool.
  DeleteFileW(tracePath.c_str());
  if (StartAndClose(L"\"" + floor + L"\"" + floorArguments, L"KorvanteStartupFloor", &start) > 0) {
    figures.floorSteps.Add(ReadTrace(tracePath, start));
  }
  SetEnvironmentVariableW(L"KV_STARTUP_TRACE_FILE", nullptr);
}

void PrintStartup(const StartupFigures& figures) {
  std::printf(
      "start-up in rounds of the tool, the floor (same manifest and controls) and the "
      "traced build:\n");
  Print("  the tool", figures.tool);
  Print("  the floor", figures.floor);
  if (!figures.ratio.empty()) {
    const double minima = *std::min_element(figures.tool.begin(), figures.tool.end()) /
                          *std::min_element(figures.floor.begin(), figures.floor.end());
    std::printf("%-44s %.2f (median of the rounds; of the minima %.2f)\n", "  tool / floor",
                Median(figures.ratio), minima);
  }
  Print("  the traced build", figures.traced);
  std::printf("  its steps, median and least ms each (the first from CreateProcess):\n");
  figures.steps.Print();
  std::printf("  the floor's, started with a trace file too:\n");
  figures.floorSteps.Print();
}

void PrintLanClickSteps(const StartupFigures& figures) {
  Print("  the traced build's click to the list", figures.tracedClick);
  std::printf("  its steps, median and least ms each (the first from the click):\n");
  figures.clickSteps.Print();
}

}  // namespace

// Two builds of the tool started in turn, ROUNDS times each.
int CompareStartups(const std::wstring& a, const std::wstring& b, int rounds) {
  std::vector<double> first, second, ratio;
  for (int round = 0; round < rounds; ++round) {
    const double aMs = StartAndClose(L"\"" + a + L"\"", L"KorvanteNativeToolWindow");
    const double bMs = StartAndClose(L"\"" + b + L"\"", L"KorvanteNativeToolWindow");
    if (aMs < 0 || bMs < 0) continue;
    first.push_back(aMs);
    second.push_back(bMs);
    ratio.push_back(bMs / aMs);
    std::printf("  round %2d: A %7.1f ms, B %7.1f ms\n", round + 1, aMs, bMs);
  }
  Print("start-up of A", first);
  Print("start-up of B", second);
  if (!ratio.empty()) {
    std::printf("%-44s %.3f (median of the rounds)\n", "B / A", Median(ratio));
  }
  korvante::ui::EndDriverProcess(0);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wstring(argv[1]) == L"--compare") {
    return CompareStartups(argv[2], argv[3], static_cast<int>(std::wcstol(argv[4], nullptr, 10)));
  }
  if (argc < 3) return 2;
  const int runs = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  const bool withFloor = argc >= 5;
  std::vector<double> startUp, lanList, idleAnswer, busyAnswer, busyTime;
  StartupFigures startupFigures;
  std::wstring floorArguments;
  long busyProbes = 0;
  for (int run = 0; run < runs; ++run) {
    korvante::ui::Process tool;
    const auto started = Clock::now();
    if (!tool.Start(L"\"" + std::wstring(argv[1]) + L"\"")) return 1;
    // Shown, then painted: the window answers once its first WM_PAINT of
    // UpdateWindow is done and its message loop runs.
    HWND painted = nullptr;
    const double startUpMs = PaintedAfter(L"KorvanteNativeToolWindow", started, painted);
    const auto window = painted ? ToolWindow::Find(1s) : std::nullopt;
    if (window) {
      startUp.push_back(startUpMs);
      if (floorArguments.empty()) floorArguments = FloorArguments(window->hwnd());
      korvante::ui::WaitUntil([&] { return window->Caption(kFind) == u"Tìm"; },
                              10s);  // the start-up USB search
      const auto clicked = Clock::now();
      window->Click(kLanRadio);
      const bool filled = korvante::ui::WaitUntil(
          [&] {
            const auto items = window->PrinterItems();
            return !items.empty() && items[0].rfind(u"192.168.", 0) == 0;
          },
          10s);
      if (filled) lanList.push_back(Ms(Clock::now() - clicked));
      if (filled) {
        AnswerTimer idle(window->hwnd());
        std::this_thread::sleep_for(1s);
        idleAnswer.push_back(idle.Stop());
        long probes = 0;
        double lasted = 0;
        const double longest = LongestAnswerDuringSweepAndSend(*window, probes, lasted);
        if (longest >= 0) {
          busyAnswer.push_back(longest);
          busyTime.push_back(lasted);
        }
        busyProbes += probes;
      }
      PostMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    }
    tool.Wait(5000);  // still running then: ended as `tool` goes
  }
  // Three rounds a run: start-ups vary much more than the rest under load.
  for (int round = 0; withFloor && !floorArguments.empty() && round < 3 * runs; ++round) {
    // The traced build's LAN / Wi-Fi click in one round of three.
    MeasureStartupRound(argv[1], argv[3], argv[4], floorArguments, round % 3 == 0, startupFigures);
  }
  Print("start-up to the first painted window", startUp);
  if (withFloor) PrintStartup(startupFigures);
  Print("LAN / Wi-Fi click to the list (1 UDP printer)", lanList);
  if (!lanList.empty()) {
    std::printf("%-44s %.3f x 900 ms (median; goal <= 1.03)\n", "  as a ratio",
                Median(lanList) / 900);
  }
  if (withFloor) PrintLanClickSteps(startupFigures);
  Print("longest answer to a message, idle (1 s)", idleAnswer);
  Print("longest answer during a sweep and a send", busyAnswer);
  Print("  the sweep and the send, from click to list", busyTime);
  std::printf("%-44s %ld in all\n", "  messages answered meanwhile", busyProbes);
  korvante::ui::EndDriverProcess(0);
}
