// The soak of tools/benchmarks/soak.sh: drives the real tool in the lab through
// hundreds of refreshes (both modes, single and double clicks) and sends of
// every action to printers that take the bytes, refuse them, are gone, or
// never complete the write, and reads the tool's resource figures from
// outside before and after. Growth beyond noise is a leak.
//
//   soak_bench.exe TOOL.exe REFRESHES SENDS
//
// The lab it expects (tools/benchmarks/soak.sh builds it):
//   LAN / Wi-Fi  192.168.77.100  takes every command
//                192.168.77.20   refuses TCP 9100
//                192.168.77.55   gone: a printer at .30 reports this address
//   USB          COM5            takes every command (a pseudo-terminal)
//                COM6            a write never completes (a FIFO kept full)
//                COM33           gone: no such port
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/text_encoding.h"
#include "tests/ui-driver/answer_timer_win32.h"
#include "tests/ui-driver/ui_driver_win32.h"
#include "tools/benchmarks/soak/process_figures_win32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using korvante::soak::ProcessFigures;
using korvante::ui::AnswerTimer;
using korvante::ui::ToolWindow;
using enum korvante::ui::ToolControlId;
using enum korvante::ui::PageIndex;

constexpr auto kRefreshLimit = 30s;
constexpr auto kSendLimit = 15s;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

enum class Mode { kUsb, kLan };

struct Target {
  Mode mode;
  const char16_t* itemPrefix;
  const char* name;
  bool takesBytes;
  bool slow;  // fails only after its time limit: room for a second press
  // "Lưu IP": the new address typed in (its own), or null when the action is
  // left out: the gone printer's broadcast would reach the printer behind it
  // by its MAC and move it, which ends its playing gone.
  const char16_t* newIp;
};

const Target kTargets[] = {
    {Mode::kLan, u"192.168.77.100 ", "LAN .100 (takes)", true, false, u"192.168.77.100"},
    {Mode::kLan, u"192.168.77.20 ", "LAN .20 (refuses)", false, false, u"192.168.77.20"},
    {Mode::kLan, u"192.168.77.55 ", "LAN .55 (gone)", false, true, nullptr},
    {Mode::kUsb, u"COM5 - ", "USB COM5 (takes)", true, false, u"192.168.77.100"},
    {Mode::kUsb, u"COM6 - ", "USB COM6 (never completes)", false, true, u"192.168.77.100"},
    {Mode::kUsb, u"COM33 - ", "USB COM33 (gone)", false, false, u"192.168.77.100"},
};

struct Action {
  int button;
  int page;
  const char* name;
  const char16_t* success;  // LAN / USB differ only for "Lưu IP"
  const char16_t* failure;
  const char16_t* usbSuccess;
  const char16_t* usbFailure;
};

const Action kActions[] = {
    {kSaveIp, kLanPage, "Lưu IP", u"Đã đổi IP LAN thành công.",
     u"Đã gửi lệnh đổi IP, chưa xác nhận được IP mới.",
     u"Đã gửi lệnh đổi IP qua USB. Vui lòng đợi vài giây rồi tìm lại máy in.",
     u"Chưa gửi được lệnh đổi IP qua USB."},
    {kSaveWifi, kWifiPage, "Cài WiFi", u"Đã gửi cấu hình WiFi.", u"Chưa gửi được cấu hình WiFi.",
     nullptr, nullptr},
    {kSaveQueue, kQueuePage, "Lưu vào máy", nullptr, u"Chưa gửi được cấu hình bấm số.", nullptr,
     nullptr},
    {kTestBeep, kTechnicalPage, "Test", u"Đã gửi chuông.", u"Chưa gửi được chuông.", nullptr,
     nullptr},
    {kSaveBeep, kTechnicalPage, "Lưu chuông", u"Đã gửi chuông.", u"Chưa gửi được chuông.", nullptr,
     nullptr},
    {kSaveDensity, kTechnicalPage, "Lưu độ đậm", u"Đã gửi độ đậm.", u"Chưa gửi được độ đậm.",
     nullptr, nullptr},
};

constexpr char16_t kBusyText[] = u"Đang gửi lệnh, vui lòng đợi.";

// What the soak is doing, for telling the window's slow answers apart.
enum class Phase : int {
  kBetween,
  kLanRefresh,
  kUsbRefresh,
  kPageSwitch,
  kContentEditor,
  kSend,
  kCount
};
const char* const kPhaseNames[] = {
    "between operations",
    "LAN / Wi-Fi refresh (click to list)",
    "USB refresh (click to list)",
    "page switch",
    "content editor shown or hidden",
    "send (click to its message box answered)",
};

// The window's answers by phase: how many, the longest, how many over 16 ms.
class PhaseAnswers {
 public:
  void Set(Phase phase) { phase_ = static_cast<int>(phase); }
  void Observe(double ms) {
    const int phase = phase_;
    std::lock_guard<std::mutex> lock(mutex_);
    Tally& t = tallies_[phase];
    ++t.count;
    t.longest = std::max(t.longest, ms);
    if (ms > AnswerTimer::kFrameMs) ++t.slow;
  }
  void Print() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::printf("window answers by what the soak was doing:\n");
    for (int i = 0; i < static_cast<int>(Phase::kCount); ++i) {
      const Tally& t = tallies_[i];
      if (t.count == 0) continue;
      std::printf("  %-44s %7ld answers   longest %6.1f ms   %5ld over 16 ms\n", kPhaseNames[i],
                  t.count, t.longest, t.slow);
    }
  }

 private:
  struct Tally {
    long count = 0;
    double longest = 0;
    long slow = 0;
  };
  std::atomic<int> phase_{0};
  std::mutex mutex_;
  Tally tallies_[static_cast<int>(Phase::kCount)];
};

struct Durations {
  std::vector<double> ms;
  void Add(double v) { ms.push_back(v); }
  void Print(const std::string& what) const {
    if (ms.empty()) return;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  %-44s %4zu   median %7.1f ms   max %7.1f ms\n", what.c_str(), sorted.size(),
                sorted[sorted.size() / 2], sorted.back());
  }
};

class Soak {
 public:
  Soak(const ToolWindow& window, HANDLE process, DWORD processId, PhaseAnswers& phases)
      : w_(window), process_(process), processId_(processId), phases_(phases) {}

  // One refresh operation of the given kind in `mode`: the mode's radio,
  // the find button, or either clicked twice in a row (a double click: the
  // first search's result arrives stale and is dropped). Returns the number
  // of refreshes it started.
  int Refresh(Mode mode, int kind) {
    const int button = kind % 2 == 0 ? (mode == Mode::kLan ? kLanRadio : kUsbRadio) : kFind;
    // The find button searches in the current mode: the radio comes first
    // when the mode changes.
    int started = 0;
    phases_.Set(mode == Mode::kLan ? Phase::kLanRefresh : Phase::kUsbRefresh);
    if (button == kFind && mode_ != mode) {
      ClickNow(mode == Mode::kLan ? kLanRadio : kUsbRadio);
      ++started;
    }
    const bool twice = kind / 2 % 2 == 1;
    const auto start = Clock::now();
    ClickNow(button);
    ++started;
    if (twice) {
      ClickNow(button);
      ++started;
    }
    mode_ = mode;
    const bool ended = korvante::ui::WaitUntil(
        [&] {
          if (w_.Caption(kFind) != u"Tìm") return false;
          const auto items = w_.PrinterItems();
          return !items.empty() && items[0].rfind(u"Đang tìm", 0) != 0;
        },
        kRefreshLimit);
    phases_.Set(Phase::kBetween);
    (mode == Mode::kLan ? lanRefresh_ : usbRefresh_).Add(Ms(Clock::now() - start));
    if (!ended) Fault("a refresh did not end within 30 s");
    const auto items = w_.PrinterItems();
    if (items.size() != 3) Fault("a refresh listed " + std::to_string(items.size()) + " printers");
    refreshes_ += started;
    return started;
  }

  // One send of `action` to `target`; with `pressTwice` the button is pressed
  // twice at once and the second press must be refused while the first runs.
  void Send(const Target& target, const Action& action, bool pressTwice) {
    const auto items = w_.PrinterItems();
    int index = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].rfind(target.itemPrefix, 0) == 0) index = static_cast<int>(i);
    }
    if (index < 0) {
      Fault(std::string("no list item for ") + target.name);
      return;
    }
    w_.SelectPrinter(index);
    phases_.Set(Phase::kPageSwitch);
    ClickNow(kLanPageButton + action.page);
    phases_.Set(Phase::kBetween);
    if (action.button == kSaveIp) w_.SetField(kLanPage, 0, target.newIp);
    if (action.button == kSaveQueue) {
      // Every other queue send carries the ticket program too.
      phases_.Set(Phase::kContentEditor);
      ClickNow(kContentToggle);
      phases_.Set(Phase::kBetween);
      contentShown_ = !contentShown_;
    }

    const bool lan = target.mode == Mode::kLan;
    const bool succeeds = target.takesBytes;
    std::u16string expected;
    if (action.button == kSaveQueue && succeeds) {
      expected =
          contentShown_ ? u"Đã lưu bấm số vào máy." : u"Đã lưu bấm số. Nội dung phiếu giữ nguyên.";
    } else if (!lan && action.usbSuccess) {
      expected = succeeds ? action.usbSuccess : action.usbFailure;
    } else {
      expected = succeeds ? action.success : action.failure;
    }

    const auto start = Clock::now();
    phases_.Set(Phase::kSend);
    w_.Click(action.button);
    // Saving the ticket content asks first: it deletes the printer's graphics.
    if (action.button == kSaveQueue && contentShown_ &&
        !korvante::ui::AnswerQuestion(kSendLimit, true)) {
      Fault(std::string("no question before the ticket content to ") + target.name);
    }
    if (pressTwice) w_.Click(action.button);
    // The refusal's box shows while the job runs; the outcome's box may come
    // over it before it is answered, so the two are told apart by text.
    auto text = korvante::ui::AnswerMessageBox(kSendLimit);
    if (pressTwice) {
      auto other = korvante::ui::AnswerMessageBox(kSendLimit);
      if (text == kBusyText) std::swap(text, other);
      if (other == kBusyText) {
        ++refused_;
      } else {
        Fault("a second press while sending was not refused");
      }
    }
    phases_.Set(Phase::kBetween);
    const double took = Ms(Clock::now() - start);
    durations_[target.name].Add(took);
    ++sends_;
    if (!text) {
      Fault(std::string("no outcome within 15 s: ") + action.name + " to " + target.name);
    } else if (*text != expected) {
      Fault(std::string(action.name) + " to " + target.name + ": \"" + korvante::ToUtf8(*text) +
            "\" instead of \"" + korvante::ToUtf8(expected) + "\"");
    } else {
      ++asExpected_;
    }
  }

  ProcessFigures Measure() {
    // Detached workers (a stale refresh of a double click) end on their own:
    // the figures are read once the tool is idle again.
    korvante::ui::WaitUntil(
        [&] {
          return korvante::soak::ReadProcessFigures(process_, processId_).threads.value <=
                 idleThreads_;
        },
        10s);
    std::this_thread::sleep_for(500ms);
    return korvante::soak::ReadProcessFigures(process_, processId_);
  }
  void NoteIdleThreads() {
    std::this_thread::sleep_for(1500ms);
    idleThreads_ = korvante::soak::ReadProcessFigures(process_, processId_).threads.value;
  }

  void PrintSummary() const {
    std::printf("refreshes %d, sends %d (%d as expected), second presses refused %d, faults %d\n",
                refreshes_, sends_, asExpected_, refused_, faults_);
    std::printf("durations, from the click to the list or the message box:\n");
    lanRefresh_.Print("LAN / Wi-Fi refresh");
    usbRefresh_.Print("USB refresh");
    for (const Target& target : kTargets) {
      auto found = durations_.find(target.name);
      if (found != durations_.end()) found->second.Print(std::string("send to ") + target.name);
    }
  }

  int refreshes() const { return refreshes_; }
  int sends() const { return sends_; }
  int faults() const { return faults_; }

 private:
  // Presses a button and returns once the window has handled the click. Only
  // for buttons that never open a message box.
  void ClickNow(int id) const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(w_.Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
  }
  void Fault(const std::string& what) {
    ++faults_;
    if (faults_ <= 20) std::printf("FAULT: %s\n", what.c_str());
    std::fflush(stdout);
  }

  const ToolWindow& w_;
  HANDLE process_;
  DWORD processId_;
  PhaseAnswers& phases_;
  Mode mode_ = Mode::kUsb;
  bool contentShown_ = false;
  long long idleThreads_ = 0;
  int refreshes_ = 0;
  int sends_ = 0;
  int asExpected_ = 0;
  int refused_ = 0;
  int faults_ = 0;
  Durations lanRefresh_, usbRefresh_;
  std::map<std::string, Durations> durations_;
};

void PrintFigures(const char* when, const ProcessFigures& f) {
  std::printf("%-8s handles %lld, gdi %lld, user %lld, private KB %lld, threads %lld\n", when,
              f.handles.value, f.gdi.value, f.user.value, f.privateKb.value, f.threads.value);
}

// The readings follow objects this program makes and frees itself, so that a
// reading that cannot see them (a stub answering a constant) shows as such.
void CheckReadings() {
  const HANDLE self = GetCurrentProcess();
  const DWORD id = GetCurrentProcessId();
  const ProcessFigures before = korvante::soak::ReadProcessFigures(self, id);
  std::vector<HANDLE> events;
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < 10; ++i) {
    events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  }
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const ProcessFigures during = korvante::soak::ReadProcessFigures(self, id);
  for (HANDLE e : events) CloseHandle(e);
  for (HBRUSH b : brushes) DeleteObject(b);
  DestroyWindow(window);
  const ProcessFigures after = korvante::soak::ReadProcessFigures(self, id);
  std::printf(
      "readings checked on this program: 10 events, 10 brushes and 1 window made and freed: "
      "handles %+lld / %+lld, gdi %+lld / %+lld, user %+lld / %+lld\n",
      during.handles.value - before.handles.value, after.handles.value - before.handles.value,
      during.gdi.value - before.gdi.value, after.gdi.value - before.gdi.value,
      during.user.value - before.user.value, after.user.value - before.user.value);
}

// The combinations of the load, in the order they are sent: every action to
// every target, the mode changing as rarely as the order allows.
struct Step {
  const Target* target;
  const Action* action;
};
std::vector<Step> Combinations() {
  std::vector<Step> steps;
  for (const Action& action : kActions) {
    for (const Target& target : kTargets) {
      if (action.button != kSaveIp || target.newIp) steps.push_back({&target, &action});
    }
  }
  return steps;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: soak_bench.exe TOOL.exe REFRESHES SENDS\n");
    return 2;
  }
  const int refreshQuota = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  const int sendQuota = static_cast<int>(std::wcstol(argv[3], nullptr, 10));

  korvante::ui::Process tool;  // ended, if still running, on return
  if (!tool.Start(L"\"" + std::wstring(argv[1]) + L"\"")) {
    std::printf("the tool did not start\n");
    return 1;
  }
  const auto window = ToolWindow::Find(20s);
  if (!window) {
    std::printf("the tool's window did not appear\n");
    return 1;
  }
  korvante::ui::WaitUntil([&] { return window->Caption(kFind) == u"Tìm"; }, 10s);

  CheckReadings();
  PhaseAnswers phases;
  Soak soak(*window, tool.handle(), tool.id(), phases);
  soak.NoteIdleThreads();
  // Warm-up: every kind of refresh and every action once to a target that
  // takes it and once to each failing one, so that what the tool sets up on
  // first use is in place before the first reading.
  for (int kind = 0; kind < 4; ++kind) soak.Refresh(kind % 2 ? Mode::kUsb : Mode::kLan, kind);
  for (const Target& target : kTargets) {
    soak.Refresh(target.mode, 0);
    for (const Action& action : kActions) {
      if (action.button != kSaveIp || target.newIp) soak.Send(target, action, false);
    }
  }
  const int warmRefreshes = soak.refreshes();
  const int warmSends = soak.sends();
  std::printf("warm-up: %d refreshes, %d sends\n", warmRefreshes, warmSends);
  std::fflush(stdout);

  const ProcessFigures before = soak.Measure();
  PrintFigures("before", before);
  std::fflush(stdout);

  AnswerTimer timer(window->hwnd(), [&phases](double ms) { phases.Observe(ms); });
  const std::vector<Step> steps = Combinations();
  const auto loadStart = Clock::now();
  std::size_t next = 0;
  int kind = 0;
  // Readings at each quarter of the load: a leak grows with it, noise does not.
  std::vector<std::pair<int, ProcessFigures>> quarters;
  for (;;) {
    const int refreshes = soak.refreshes() - warmRefreshes;
    const int sends = soak.sends() - warmSends;
    if (refreshes >= refreshQuota && sends >= sendQuota) break;
    const int quarter = static_cast<int>(quarters.size()) + 1;
    if (quarter < 4 && sends * 4 >= sendQuota * quarter &&
        refreshes * 4 >= refreshQuota * quarter) {
      quarters.emplace_back(quarter, soak.Measure());
    }
    const Step& step = steps[next % steps.size()];
    // The refreshes keep pace with the sends, in the mode of the send to
    // come; at least one before every send.
    const int due = sendQuota > 0 && sends < sendQuota
                        ? std::min(refreshQuota, refreshQuota * (sends + 1) / sendQuota)
                        : refreshQuota;
    do {
      soak.Refresh(step.target->mode, kind++);
    } while (soak.refreshes() - warmRefreshes < due);
    if (sends < sendQuota) {
      // Now and then a quick second press while a slow send runs.
      const bool twice = step.target->slow && next % 5 == 2;
      soak.Send(*step.target, *step.action, twice);
      ++next;
    }
  }
  const double loadSeconds = Ms(Clock::now() - loadStart) / 1000.0;
  timer.Stop();
  const ProcessFigures after = soak.Measure();

  std::printf("load: %d refreshes and %d sends in %.0f s\n", soak.refreshes() - warmRefreshes,
              soak.sends() - warmSends, loadSeconds);
  soak.PrintSummary();
  std::printf("window answers during the load: %ld messages, longest %.1f ms, %ld over 16 ms\n",
              timer.Count(), timer.Longest(), timer.Slow());
  phases.Print();
  std::printf("figures (read from outside the tool):\n");
  PrintFigures("before", before);
  for (const auto& [quarter, figures] : quarters) {
    PrintFigures((std::to_string(quarter) + "/4").c_str(), figures);
  }
  PrintFigures("after", after);
  std::printf(
      "how each was read:\n  handles: %s\n  gdi: %s\n  user: %s\n  private KB: %s\n"
      "  threads: %s\n",
      after.handles.source.c_str(), after.gdi.source.c_str(), after.user.source.c_str(),
      after.privateKb.source.c_str(), after.threads.source.c_str());
  std::printf(
      "soak: handles %lld -> %lld, gdi %lld -> %lld, user %lld -> %lld, private KB %lld -> %lld\n",
      before.handles.value, after.handles.value, before.gdi.value, after.gdi.value,
      before.user.value, after.user.value, before.privateKb.value, after.privateKb.value);
  std::fflush(stdout);

  PostMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  tool.Wait(5000);
  return soak.faults() == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) { korvante::ui::EndDriverProcess(Run(argc, argv)); }
