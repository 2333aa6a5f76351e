#include "tools/benchmarks/soak/process_figures_win32.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvante::soak {
namespace {

bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

template <typename Function>
Function NtdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)))
               : nullptr;
}

// The address of the process's PEB, or 0.
std::uintptr_t PebAddress(HANDLE process) {
  using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  const auto query = NtdllFunction<Query>("NtQueryInformationProcess");
  if (!query) return 0;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return 0;
  return reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress);
}

// The live entries of the process's GDI handle table. An entry is 24 bytes:
// [0:8) object, [8:12) owner, [12:14) unique, [14] type (0 when free),
// [15] flags, [16:24) user pointer; the table holds 0x10000 entries. The
// table's address is at offset 0xF8 of a 64-bit PEB.
long long CountGdiTableEntries(HANDLE process) {
  constexpr std::size_t kPebGdiTableOffset = 0xF8;
  constexpr std::size_t kEntryBytes = 24;
  constexpr std::size_t kEntryTypeOffset = 14;
  constexpr std::size_t kEntries = 0x10000;
  const std::uintptr_t peb = PebAddress(process);
  if (peb == 0) return -1;
  std::uint64_t table = 0;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(peb + kPebGdiTableOffset), &table,
                         sizeof table, &got) ||
      got != sizeof table || table == 0) {
    return -1;
  }
  std::vector<std::uint8_t> entries(kEntries * kEntryBytes);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size(), &got) ||
      got != entries.size()) {
    return -1;
  }
  long long live = 0;
  for (std::size_t i = 0; i < kEntries; ++i) {
    if (entries[i * kEntryBytes + kEntryTypeOffset] != 0) ++live;
  }
  return live;
}

struct WindowCount {
  DWORD processId;
  long long count = 0;
};

BOOL CALLBACK CountChild(HWND window, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  static_cast<void>(window);
  return TRUE;
}

void CountIfOwned(HWND window, WindowCount& counted) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != counted.processId) return;
  ++counted.count;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&counted));
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  CountIfOwned(window, *reinterpret_cast<WindowCount*>(data));
  return TRUE;
}

// Every window of the process: top-level ones with their descendants, and its
// message-only windows.
long long CountWindows(DWORD processId) {
  WindowCount counted{processId};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counted));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountIfOwned(window, counted);
  }
  return counted.count;
}

// The live handles of the process in the system's handle list (extended
// form: 40-byte entries, the owner's process ID at [8:16) of each).
long long CountHandles(DWORD processId) {
  // The class is passed as a plain number: winternl.h does not name this one.
  using Query = NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  constexpr ULONG kSystemExtendedHandleInformation = 64;
  struct Entry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
  };
  struct Header {
    ULONG_PTR count;
    ULONG_PTR reserved;
  };
  static_assert(sizeof(Entry) == 40 && sizeof(Header) == 16);
  const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
  if (!query) return -1;
  std::vector<std::uint8_t> buffer(1 << 20);
  ULONG needed = 0;
  while (query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
               &needed) != 0) {
    if (buffer.size() >= (256u << 20)) return -1;
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  const auto* header = reinterpret_cast<const Header*>(buffer.data());
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(Header));
  const std::size_t fit = (buffer.size() - sizeof(Header)) / sizeof(Entry);
  long long count = 0;
  for (std::size_t i = 0; i < header->count && i < fit; ++i) {
    if (entries[i].processId == processId) ++count;
  }
  return count;
}

long long CountThreads(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  long long count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == processId) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

}  // namespace

ProcessFigures ReadProcessFigures(HANDLE process, DWORD processId) {
  ProcessFigures figures;
  // A running process always holds handles: Wine 8 answers 0 (a stub), and
  // the handle count of its process list is the size of the handle table, not
  // the handles in it. Its system handle list holds every live handle.
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles) && handles != 0) {
    figures.handles = {static_cast<long long>(handles), "GetProcessHandleCount"};
  } else {
    figures.handles = {CountHandles(processId),
                       "the process's entries in the system handle list (GetProcessHandleCount "
                       "answers 0 here)"};
  }

  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const bool guiResources = gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
  if (guiResources) {
    figures.gdi = {static_cast<long long>(gdi), "GetGuiResources"};
    figures.user = {static_cast<long long>(GetGuiResources(process, GR_USEROBJECTS)),
                    "GetGuiResources"};
  } else {
    figures.gdi = {CountGdiTableEntries(process),
                   "live entries of the process's GDI handle table (GetGuiResources is not "
                   "implemented here)"};
    figures.user = {CountWindows(processId),
                    "the process's windows (GetGuiResources is not implemented here)"};
  }

  PROCESS_MEMORY_COUNTERS_EX memory{};
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    // Wine fills PagefileUsage (the process's resident anonymous memory plus
    // its swap, from Linux's /proc) and leaves PrivateUsage at 0.
    if (memory.PrivateUsage != 0 || !RunningOnWine()) {
      figures.privateKb = {static_cast<long long>(memory.PrivateUsage / 1024),
                           "GetProcessMemoryInfo PrivateUsage"};
    } else {
      figures.privateKb = {static_cast<long long>(memory.PagefileUsage / 1024),
                           "GetProcessMemoryInfo PagefileUsage: the resident anonymous memory plus "
                           "swap of the process in Linux's /proc (PrivateUsage is 0 here)"};
    }
  }
  figures.threads = {CountThreads(processId), "Toolhelp thread snapshot"};
  return figures;
}

}  // namespace korvante::soak
