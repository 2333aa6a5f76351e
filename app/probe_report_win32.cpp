// The probe run's platform half: gathers the facts on the UI thread,
// synchronously, and writes the report next to the executable or, where that
// folder cannot be written, in the user's %TEMP%.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/probe_report.h"
#include "app/probe_report_win32.h"
#include "core/wide_text_win32.h"
#include "discovery/network_profiles.h"
#include "discovery/network_profiles_win32.h"
#include "discovery/udp_discovery.h"
#include "discovery/udp_discovery_win32.h"
#include "usb/usb_enumeration_win32.h"
#include "core/win32_handles_win32.h"

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

// The module's own path; nullopt when it filled the buffer and was cut
// short, since its directory part would then name some other directory.
std::optional<std::u16string> ModulePath() {
  wchar_t module[kModulePathChars] = {};
  const DWORD length = GetModuleFileNameW(nullptr, module, kModulePathChars);
  if (length == 0 || length >= kModulePathChars) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(module), length);
}

// %TEMP% as Windows resolves it (TMP, TEMP, USERPROFILE, then the Windows
// folder); empty when it cannot be read.
std::u16string TempFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(folder), length);
}

// True once the whole report is in the file. A file that took only part of
// it (a full disk) is removed, so that no cut-off report is left behind.
bool WriteReport(const std::u16string& path, const std::string& bytes) {
  bool whole = false;
  {
    const HandleOwner file(CreateFileW(WideText(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    whole =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
  }
  if (!whole) DeleteFileW(WideText(path));
  return whole;
}

}  // namespace

void RunProbeReport() {
  const std::optional<std::u16string> module = ModulePath();
  const std::vector<std::u16string> places = ProbeReportPlaces(
      module ? std::optional<std::u16string_view>(*module) : std::nullopt, TempFolder());
  if (places.empty()) return;

  const std::string bytes = ProbeReportBytes(GatherFindings());
  for (const std::u16string& path : places) {
    if (WriteReport(path, bytes)) return;
  }
}

}  // namespace korvante
