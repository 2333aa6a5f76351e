// What the Wine tests know about the bench that usb_bench.sh sets up.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace korvante::bench {

// Device paths as the registry import and the dosdevices links name them.
inline const std::u16string kInterfaceGuid = u"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline std::u16string DevicePathOf(const std::u16string& name) {
  return u"\\\\?\\" + name + u"#" + kInterfaceGuid;
}
inline const std::u16string kUsb1Path = DevicePathOf(u"usb#vid_1234&pid_5678#kv0001");
inline const std::u16string kUsb2Path = DevicePathOf(u"usb#vid_2222&pid_0002#kv0012");
inline const std::u16string kUnnamedPath = DevicePathOf(u"usb#vid_2222&pid_0003#kv0003");
inline const std::u16string kAcmePath = DevicePathOf(u"usb#vid_2222&pid_0007#kv0017");
inline const std::u16string kStuckPath = DevicePathOf(u"usb#vid_4444&pid_0001#kv0040");
inline const std::u16string kMissingPath = DevicePathOf(u"usb#vid_2222&pid_0004#kv0014");

// The bench's state folder (KV_USB_BENCH, a Linux path) as a Windows path.
inline std::wstring StateDir() {
  const char* dir = std::getenv("KV_USB_BENCH");
  std::wstring path = L"Z:";
  for (const char* c = dir ? dir : ""; *c != '\0'; ++c) {
    path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
  }
  return path + L"\\";
}

inline std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  std::uint8_t chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  CloseHandle(file);
  return bytes;
}

// What a capture file (NAME.out) received after `before` bytes, once `count`
// bytes have arrived or two seconds have passed.
inline std::vector<std::uint8_t> CapturedAfter(const wchar_t* name, std::size_t before,
                                               std::size_t count) {
  const std::wstring path = StateDir() + name;
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 100; ++i) {
    bytes = ReadWholeFile(path);
    if (bytes.size() >= before + count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (bytes.size() < before) return {};
  return std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(before),
                                   bytes.end());
}

inline std::size_t CapturedSize(const wchar_t* name) {
  return ReadWholeFile(StateDir() + name).size();
}

}  // namespace korvante::bench
