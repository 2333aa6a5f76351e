// A print monitor for the Wine bench that stands in for the USB print monitor.
// Wine's spooler hands a job to the monitor of its port inside EndDocPrinter;
// this one records what it was given so that a test can read it back:
//   <dir>\<port>.doc  the document name of each job, one a line (UTF-8)
//   <dir>\<port>.bin  the bytes of every job, appended
// with <dir> the KV_MONITOR_DIR environment variable of the printing process.
// Port USB009 plays a printer that is switched off: every write fails.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cwchar>
#include <string>

namespace {

struct Port {
  std::wstring name;
};

const wchar_t* const kPorts[] = {L"USB001", L"USB002", L"USB009"};
constexpr wchar_t kFailingPort[] = L"USB009";

std::wstring RecordPath(const std::wstring& port, const wchar_t* suffix) {
  wchar_t dir[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KV_MONITOR_DIR", dir, MAX_PATH) == 0) {
    GetTempPathW(MAX_PATH, dir);
  }
  std::wstring path = dir;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path + port + suffix;
}

bool Append(const std::wstring& path, const void* data, DWORD size) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, data, size, &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}

BOOL WINAPI EnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                      LPDWORD returned) {
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  const DWORD entrySize = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
  DWORD total = 0;
  for (const wchar_t* name : kPorts) {
    total += entrySize + static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t));
  }
  *needed = total;
  *returned = 0;
  if (ports == nullptr || size < total) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  ZeroMemory(ports, total);
  auto* strings = reinterpret_cast<wchar_t*>(ports + entrySize * std::size(kPorts));
  for (DWORD i = 0; i < std::size(kPorts); ++i) {
    wcscpy(strings, kPorts[i]);
    if (level == 1) {
      reinterpret_cast<PORT_INFO_1W*>(ports)[i].pName = strings;
    } else {
      auto& info = reinterpret_cast<PORT_INFO_2W*>(ports)[i];
      info.pPortName = strings;
      info.fPortType = PORT_TYPE_WRITE;
    }
    strings += wcslen(kPorts[i]) + 1;
  }
  *returned = static_cast<DWORD>(std::size(kPorts));
  return TRUE;
}

BOOL WINAPI OpenPort(HANDLE, LPWSTR name, PHANDLE handle) {
  if (name == nullptr || handle == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *handle = new Port{name};
  return TRUE;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR, DWORD, DWORD level, LPBYTE info) {
  auto* port = static_cast<Port*>(handle);
  std::wstring document = L"?";
  if (level == 1 && info != nullptr) {
    const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
    if (doc->pDocName != nullptr) document = doc->pDocName;
  }
  char utf8[1024] = {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, document.c_str(), -1, utf8, sizeof utf8 - 1,
                                         nullptr, nullptr);
  std::string line = length > 0 ? std::string(utf8) : std::string("?");
  line += '\n';
  return Append(RecordPath(port->name, L".doc"), line.data(), static_cast<DWORD>(line.size()));
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
  auto* port = static_cast<Port*>(handle);
  *written = 0;
  if (lstrcmpiW(port->name.c_str(), kFailingPort) == 0 ||
      !Append(RecordPath(port->name, L".bin"), data, size)) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  *written = size;
  return TRUE;
}

BOOL WINAPI ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
  *read = 0;
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL WINAPI EndDocPort(HANDLE) { return TRUE; }

BOOL WINAPI ClosePort(HANDLE handle) {
  delete static_cast<Port*>(handle);
  return TRUE;
}

void WINAPI ShutdownMonitor(HANDLE) {}

MONITOR2 monitor = [] {
  MONITOR2 m{};
  m.cbSize = sizeof m;
  m.pfnEnumPorts = EnumPorts;
  m.pfnOpenPort = OpenPort;
  m.pfnStartDocPort = StartDocPort;
  m.pfnWritePort = WritePort;
  m.pfnReadPort = ReadPort;
  m.pfnEndDocPort = EndDocPort;
  m.pfnClosePort = ClosePort;
  m.pfnShutdown = ShutdownMonitor;
  return m;
}();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT, PHANDLE monitorHandle) {
  if (monitorHandle != nullptr) *monitorHandle = reinterpret_cast<HANDLE>(&monitor);
  return &monitor;
}
