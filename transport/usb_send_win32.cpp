// The USB half of the transports: a confirmed job on the printer's queue,
// else a direct overlapped write to its device path (or COM port).
#include <windows.h>

#include <memory>

#include "core/wide_text_win32.h"
#include "transport/device_sharing.h"
#include "transport/print_queue_win32.h"
#include "transport/usb_send_win32.h"
#include "core/win32_handles_win32.h"

namespace korvante {

namespace {

constexpr DWORD kDeviceWriteTimeoutMs = 4000;
constexpr DWORD kCancelGraceMs = 300;

// What the system may still write to while an overlapped write is pending: the
// OVERLAPPED and the data, kept together on the heap.
struct PendingWrite {
  OVERLAPPED overlapped{};
  CommandBuffer data;
};

// One overlapped write of the whole buffer within kDeviceWriteTimeoutMs. A COM
// port is opened for this program alone and written with the settings it
// already has: none are applied here.
bool WriteDevice(const std::u16string& path, const CommandBuffer& bytes) {
  const DWORD share =
      SharingFor(path) == DeviceSharing::kExclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HandleOwner file(CreateFileW(WideText(path), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // Declared after the file so that it is closed first.
  HandleOwner event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return false;

  auto pending = std::make_unique<PendingWrite>();
  pending->overlapped.hEvent = event.get();
  pending->data = bytes;
  const std::uint8_t none = 0;
  const void* data = bytes.empty() ? &none : pending->data.data();
  DWORD written = 0;

  if (WriteFile(file.get(), data, static_cast<DWORD>(bytes.size()), nullptr,
                &pending->overlapped)) {
    if (!GetOverlappedResult(file.get(), &pending->overlapped, &written, FALSE)) return false;
    return written == bytes.size();
  }
  if (GetLastError() != ERROR_IO_PENDING) return false;

  if (WaitForSingleObject(event.get(), kDeviceWriteTimeoutMs) == WAIT_OBJECT_0) {
    if (!GetOverlappedResult(file.get(), &pending->overlapped, &written, FALSE)) return false;
    return written == bytes.size();
  }
  // Timed out: the send has failed, the printer did not take the bytes in
  // time. The system owns the OVERLAPPED, the event and the data until the
  // write ends, so nothing may be freed before it reports that end.
  CancelIo(file.get());
  if (WaitForSingleObject(event.get(), kCancelGraceMs) == WAIT_OBJECT_0) {
    GetOverlappedResult(file.get(), &pending->overlapped, &written, FALSE);
    return false;
  }
  // A driver that ignores the cancellation: leave the write's memory and
  // handles to the process rather than free what the system may still write,
  // and end the job anyway, so the window's busy state cannot last for good.
  static_cast<void>(pending.release());
  static_cast<void>(event.release());
  static_cast<void>(file.release());
  return false;
}

}  // namespace

bool SendUsb(const UsbPrinter& printer, const CommandBuffer& bytes) {
  if (!printer.queue.empty() && !bytes.empty()) {
    switch (SendThroughQueue(printer.queue, bytes)) {
      case QueueSend::kPrinted:
        return true;
      case QueueSend::kUnconfirmed:
        // The job may still print, or printed in part: the same bytes through
        // the device could print twice.
        return false;
      case QueueSend::kNotPrinted:
        break;
    }
  }
  if (!printer.path.empty()) return WriteDevice(printer.path, bytes);
  if (printer.port.empty()) return false;
  return WriteDevice(u"\\\\.\\" + printer.port, bytes);
}

}  // namespace korvante
