#include "discovery/sweep_scheduler.h"

#include <algorithm>
#include <array>

#include "core/command_vocabulary.h"
#include "discovery/tcp_sweep.h"

namespace korvante {

ConnectBudget::ConnectBudget(std::size_t units) : left_(std::max<std::size_t>(units, 1)) {}

bool ConnectBudget::TryTake() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (left_ == 0) return false;
  --left_;
  return true;
}

void ConnectBudget::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  freed_.wait(lock, [&] { return left_ > 0; });
  --left_;
}

void ConnectBudget::Give() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++left_;
  }
  freed_.notify_one();
}

namespace {

// Printer status, off-line cause, paper sensor: a printer answers each with
// one status byte, even while it is busy or out of paper.
const std::array<const Bytes<3>*, 3> kStatusRequests = {&kStatusPrinter, &kStatusOffline,
                                                        &kStatusPaperSensor};

constexpr SweepTime kConnectLimit = std::chrono::milliseconds(kSweepConnectTimeoutMs);
constexpr SweepTime kAnswerWait = kSweepAnswerWait;

// One host's steps: connect within the limit, then each status request with
// its own wait, until an answer names a printer or the requests run out.
struct HostProbe {
  enum class Stage { kNotStarted, kConnecting, kAsking, kDone };
  Stage stage = Stage::kNotStarted;
  std::size_t request = 0;  // the request whose answer is awaited
  SweepTime deadline{};
  bool printer = false;
};

class Scheduler {
 public:
  Scheduler(const std::vector<std::string>& hosts, SweepSockets& sockets, ConnectBudget& budget)
      : hosts_(hosts), sockets_(sockets), budget_(budget), probes_(hosts.size()) {}

  std::vector<bool> Run() {
    for (;;) {
      StartWhatTheBudgetAllows();
      if (active_ == 0) {
        if (next_ >= hosts_.size()) break;
        continue;  // every started host ended at once
      }
      WaitOnce();
    }
    std::vector<bool> printers(hosts_.size());
    for (std::size_t i = 0; i < probes_.size(); ++i) printers[i] = probes_[i].printer;
    return printers;
  }

 private:
  void StartWhatTheBudgetAllows() {
    while (next_ < hosts_.size()) {
      if (!budget_.TryTake()) {
        // Holding nothing, this sweep cannot wait on sockets: it waits for
        // a unit instead. Holding some, it takes more as its hosts end.
        if (active_ > 0) return;
        budget_.Take();
      }
      Start(next_++);
    }
  }

  void Start(std::size_t i) {
    HostProbe& probe = probes_[i];
    ++active_;
    switch (sockets_.Connect(i, hosts_[i])) {
      case ConnectStart::kFailed:
        probe.stage = HostProbe::Stage::kDone;
        --active_;
        budget_.Give();
        return;
      case ConnectStart::kConnected:
        Ask(i, 0, sockets_.Now());
        return;
      case ConnectStart::kPending:
        probe.stage = HostProbe::Stage::kConnecting;
        probe.deadline = sockets_.Now() + kConnectLimit;
        return;
    }
  }

  // Sends request `request` and waits for its answer, or ends the host when
  // the three requests have been asked.
  void Ask(std::size_t i, std::size_t request, SweepTime now) {
    if (request >= kStatusRequests.size()) return Finish(i, false);
    HostProbe& probe = probes_[i];
    probe.stage = HostProbe::Stage::kAsking;
    probe.request = request;
    sockets_.Send(i, *kStatusRequests[request]);
    probe.deadline = now + kAnswerWait;
  }

  void Finish(std::size_t i, bool printer) {
    HostProbe& probe = probes_[i];
    probe.stage = HostProbe::Stage::kDone;
    probe.printer = printer;
    sockets_.Close(i);
    --active_;
    budget_.Give();
  }

  void WaitOnce() {
    watches_.clear();
    SweepTime until = SweepTime::max();
    for (std::size_t i = 0; i < next_; ++i) {
      const HostProbe& probe = probes_[i];
      if (probe.stage != HostProbe::Stage::kConnecting && probe.stage != HostProbe::Stage::kAsking)
        continue;
      watches_.push_back({i, probe.stage == HostProbe::Stage::kConnecting});
      until = std::min(until, probe.deadline);
    }
    const std::vector<SocketReady> ready = sockets_.Wait(watches_, until);
    const SweepTime now = sockets_.Now();
    for (const SocketReady& r : ready) OnReady(r, now);
    // What the wait did not report has waited long enough once its own
    // limit has passed: the connect has failed, the answer is missing.
    for (const SocketWatch& watch : watches_) {
      HostProbe& probe = probes_[watch.host];
      if (probe.deadline > now) continue;
      if (probe.stage == HostProbe::Stage::kConnecting) {
        Finish(watch.host, false);
      } else if (probe.stage == HostProbe::Stage::kAsking) {
        Ask(watch.host, probe.request + 1, now);
      }
    }
  }

  void OnReady(const SocketReady& r, SweepTime now) {
    if (r.host >= probes_.size()) return;
    HostProbe& probe = probes_[r.host];
    if (probe.stage == HostProbe::Stage::kConnecting) {
      if (r.event == SocketEvent::kConnected) return Ask(r.host, 0, now);
      if (r.event == SocketEvent::kFailed) return Finish(r.host, false);
      return;
    }
    if (probe.stage != HostProbe::Stage::kAsking || r.event != SocketEvent::kReadable) return;
    // An empty read, a closed connection or bytes that are no printer's go
    // on with the next request at once.
    const auto answer = sockets_.Receive(r.host, kSweepAnswerBytes);
    if (answer && ContainsPrinterReply(*answer)) return Finish(r.host, true);
    Ask(r.host, probe.request + 1, now);
  }

  const std::vector<std::string>& hosts_;
  SweepSockets& sockets_;
  ConnectBudget& budget_;
  std::vector<HostProbe> probes_;
  std::vector<SocketWatch> watches_;
  std::size_t next_ = 0;
  std::size_t active_ = 0;
};

}  // namespace

std::vector<bool> ProbeHostsAtOnce(const std::vector<std::string>& hosts, SweepSockets& sockets,
                                   ConnectBudget& budget) {
  return Scheduler(hosts, sockets, budget).Run();
}

std::vector<NetworkPrinter> SweepAtOnce(const NetworkProfile& profile, SweepSockets& sockets,
                                        ConnectBudget& budget) {
  const std::vector<std::string> hosts = SweepHosts(profile);
  const std::vector<bool> printers = ProbeHostsAtOnce(hosts, sockets, budget);
  std::vector<NetworkPrinter> found;
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    if (!printers[i]) continue;
    NetworkPrinter printer;
    printer.ip = hosts[i];
    found.push_back(std::move(printer));
  }
  SortByNumericAddress(found);
  return found;
}

}  // namespace korvante
