// The probe run's platform half: gathers the facts on the UI thread,
// synchronously, and writes the report next to the executable.
#include <windows.h>

#include <string>

#include "app/probe_report.h"
#include "commands/wide_text_win32.h"
#include "discovery/network_profiles.h"
#include "discovery/udp_discovery.h"
#include "usb_transport/usb_enumeration.h"
#include "usb_transport/win32_handles_win32.h"

namespace korvante {
namespace {

// Longer than the refresh's 900 ms: a report is read once, and slow printers
// should make it in.
constexpr std::uint32_t kProbeListenMs = 1600;
constexpr DWORD kModulePathChars = 260;

ProbeFindings GatherFindings() {
  ProbeFindings findings;
  const std::vector<NetworkProfile> profiles = EnumerateProfiles();
  findings.profileCount = profiles.size();
  if (!profiles.empty()) {
    ProbeNetwork net;
    net.preferred = ChooseProfile(profiles);
    net.suggestion = SuggestAddress(net.preferred, "222");
    net.discovered = DiscoverEveryNetwork(profiles, kProbeListenMs);
    findings.network = std::move(net);
  }
  findings.usbPrinters = EnumerateUsbPrinters();
  return findings;
}

}  // namespace

void RunProbeReport() {
  wchar_t module[kModulePathChars] = {};
  const DWORD length = GetModuleFileNameW(nullptr, module, kModulePathChars);
  // A path that filled the buffer was cut short: its directory part would
  // name some other directory, so the report is not written anywhere.
  if (length >= kModulePathChars) return;
  const std::u16string path =
      ProbeReportPath(std::u16string_view(reinterpret_cast<const char16_t*>(module), length));

  const std::string bytes = ProbeReportBytes(GatherFindings());

  const HandleOwner file(CreateFileW(WideText(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  // One write of the whole report; a failure is not reported to anyone.
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace korvante
