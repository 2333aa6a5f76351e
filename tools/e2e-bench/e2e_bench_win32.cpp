// The end-to-end figures of tools/bench-e2e.sh, measured on the real tool in
// the lab: start-up to the first painted window, the LAN / Wi-Fi click to the
// filled printer list, and how long the window takes to answer a message,
// idle and while a port-9100 sweep and a send job run at once.
//
//   e2e_bench.exe TOOL.exe RUNS
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tools/e2e-bench/answer_timer_win32.h"
#include "tools/ui-driver/ui_driver_win32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using korvante::ui::AnswerTimer;
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const int runs = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  std::vector<double> startUp, lanList, idleAnswer, busyAnswer, busyTime;
  long busyProbes = 0;
  for (int run = 0; run < runs; ++run) {
    korvante::ui::Process tool;
    const auto started = Clock::now();
    if (!tool.Start(L"\"" + std::wstring(argv[1]) + L"\"")) return 1;
    const auto window = ToolWindow::Find(20s);
    if (window) {
      // Shown, then painted: the window answers once its first WM_PAINT of
      // UpdateWindow is done and its message loop runs.
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window->hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
      startUp.push_back(Ms(Clock::now() - started));
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
  Print("start-up to the first painted window", startUp);
  Print("LAN / Wi-Fi click to the list (1 UDP printer)", lanList);
  Print("longest answer to a message, idle (1 s)", idleAnswer);
  Print("longest answer during a sweep and a send", busyAnswer);
  Print("  the sweep and the send, from click to list", busyTime);
  std::printf("%-44s %ld in all\n", "  messages answered meanwhile", busyProbes);
  korvante::ui::EndDriverProcess(0);
}
