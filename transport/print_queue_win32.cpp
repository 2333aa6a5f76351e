#include "transport/print_queue_win32.h"

#include <windows.h>
#include <winspool.h>

#include <optional>
#include <vector>

#include "core/unique_handle.h"
#include "core/wide_text_win32.h"
#include "transport/print_queue_rules.h"

namespace korvante {

namespace {

static_assert(spooler::kPrinterPaused == PRINTER_STATUS_PAUSED);
static_assert(spooler::kPrinterOffline == PRINTER_STATUS_OFFLINE);
static_assert(spooler::kPrinterServerUnknown == PRINTER_STATUS_SERVER_UNKNOWN);
static_assert(spooler::kAttributeWorkOffline == PRINTER_ATTRIBUTE_WORK_OFFLINE);
static_assert(spooler::kJobPrinting == JOB_STATUS_PRINTING);
static_assert(spooler::kJobBlockedDevq == JOB_STATUS_BLOCKED_DEVQ);
static_assert(spooler::kJobComplete == JOB_STATUS_COMPLETE);

// An open print queue.
struct PrinterTraits {
  using Handle = HANDLE;
  static HANDLE None() { return nullptr; }
  static bool Held(HANDLE h) { return h != nullptr; }
  static void Close(HANDLE h) { ClosePrinter(h); }
};
using PrinterOwner = UniqueHandle<PrinterTraits>;

// Runs a spooler query that fills a caller's buffer, growing `buffer` to the
// size the spooler asks for. The buffer is kept between calls, so a watch
// that asks again and again allocates once.
template <typename Query>
bool QueryInto(std::vector<BYTE>& buffer, Query query) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD needed = 0;
    if (query(buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return false;
    buffer.resize(needed);
  }
  return false;
}

std::optional<QueueState> ReadQueue(HANDLE printer, std::vector<BYTE>& buffer) {
  if (!QueryInto(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterW(printer, 2, data, size, needed);
      })) {
    return std::nullopt;
  }
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  return QueueState{info->Status, info->Attributes, info->cJobs};
}

std::optional<QueueJobState> ReadJob(HANDLE printer, DWORD jobId, std::vector<BYTE>& buffer) {
  if (!QueryInto(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetJobW(printer, jobId, 1, data, size, needed);
      })) {
    return std::nullopt;
  }
  const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
  return QueueJobState{info->Status, info->Position};
}

std::optional<QueueDriver> ReadDriver(HANDLE printer) {
  std::vector<BYTE> buffer(2048);
  if (!QueryInto(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterDriverW(printer, nullptr, 8, data, size, needed);
      })) {
    return std::nullopt;
  }
  const auto* info = reinterpret_cast<const DRIVER_INFO_8W*>(buffer.data());
  return QueueDriver{info->dwPrinterDriverAttributes};
}

bool DeleteJob(HANDLE printer, DWORD jobId) {
  return SetJobW(printer, jobId, 0, nullptr, JOB_CONTROL_DELETE) != FALSE;
}

}  // namespace

QueueSend SendThroughQueue(const std::u16string& queue, const CommandBuffer& bytes) {
  HANDLE opened = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(WideText(queue)), &opened, nullptr) || opened == nullptr) {
    return QueueSend::kNotPrinted;
  }
  PrinterOwner printer(opened);
  std::vector<BYTE> queueBuffer(4096);
  std::vector<BYTE> jobBuffer(1024);

  // A queue that is already paused or offline would only keep the job: give
  // it none, so there is nothing to take back and nothing that prints late.
  const std::optional<QueueState> before = ReadQueue(printer.get(), queueBuffer);
  if (before && QueueHoldsJobs(*before)) return QueueSend::kNotPrinted;

  std::u16string datatype(JobDatatypeFor(ReadDriver(printer.get())));
  DOC_INFO_1W document{};
  document.pDocName = const_cast<wchar_t*>(L"Korvante Config");
  document.pOutputFile = nullptr;
  document.pDatatype = const_cast<wchar_t*>(WideText(datatype));
  const DWORD jobId = StartDocPrinterW(printer.get(), 1, reinterpret_cast<BYTE*>(&document));
  if (jobId == 0) return QueueSend::kNotPrinted;

  bool written = false;
  if (StartPagePrinter(printer.get())) {
    DWORD count = 0;
    written = WritePrinter(printer.get(), const_cast<std::uint8_t*>(bytes.data()),
                           static_cast<DWORD>(bytes.size()), &count) &&
              count == bytes.size();
    EndPagePrinter(printer.get());
  }
  // A port that refuses the data can report it here (Wine hands the job to
  // the port monitor inside EndDocPrinter): a failed job too. Whatever part of
  // it the spooler kept is deleted, so the device path alone prints it.
  const bool ended = EndDocPrinter(printer.get()) != FALSE;
  if (!written || !ended) {
    DeleteJob(printer.get(), jobId);
    return QueueSend::kNotPrinted;
  }

  QueueJobProbe probe;
  probe.readJob = [&] { return ReadJob(printer.get(), jobId, jobBuffer); };
  probe.readQueue = [&] { return ReadQueue(printer.get(), queueBuffer); };
  probe.deleteJob = [&] { return DeleteJob(printer.get(), jobId); };
  probe.sleep = [](unsigned ms) { Sleep(ms); };
  probe.nowMs = [] { return static_cast<std::uint64_t>(GetTickCount64()); };
  switch (WatchQueueJob(probe)) {
    case QueueJobOutcome::kPrinted:
      return QueueSend::kPrinted;
    case QueueJobOutcome::kTakenBack:
      return QueueSend::kNotPrinted;
    case QueueJobOutcome::kUnconfirmed:
      break;
  }
  return QueueSend::kUnconfirmed;
}

}  // namespace korvante
