// The Windows readers of USB enumeration: SetupAPI, the Configuration Manager,
// the registry, a presence probe and the spooler. Each reader opens and closes
// its own sources and reports plain records; usb_rules.cpp decides.
#include <windows.h>
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>
#include <winspool.h>

#include <memory>
#include <vector>

#include "core/wide_text_win32.h"
#include "usb/usb_enumeration_win32.h"
#include "usb/usb_rules.h"
#include "core/registry_win32.h"
#include "core/win32_handles_win32.h"

namespace korvante {

namespace {

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}: USB printer-class interfaces.
constexpr GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
// The port name (USB001) that the USB printing stack stores on an interface.
constexpr DEVPROPKEY kInterfacePortKey = {
    {0xeec7b761, 0x6f94, 0x41b1, {0x94, 0x9f, 0xc7, 0x29, 0x72, 0x0d, 0xd1, 0x3c}}, 12};

// Source buffer limits; a value that does not fit counts as absent.
constexpr DWORD kNameBytes = 1024;
constexpr DWORD kClassBytes = 256;
constexpr DWORD kHardwareIdBytes = 2048;
constexpr ULONG kInstanceIdChars = 512;
constexpr DWORD kDeviceValueBytes = 4096;
constexpr DWORD kPortNameBytes = 1024;

constexpr wchar_t kMonitorPortsKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\USB Monitor\\Ports";

struct DeviceSetTraits {
  using Handle = HDEVINFO;
  static HDEVINFO None() { return INVALID_HANDLE_VALUE; }
  static bool Held(HDEVINFO set) { return set != INVALID_HANDLE_VALUE; }
  static void Close(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }
};
using DeviceSetOwner = UniqueHandle<DeviceSetTraits>;

std::u16string ReadDevicePortName(const std::u16string& instanceId) {
  if (instanceId.empty()) return {};
  const std::u16string path =
      u"SYSTEM\\CurrentControlSet\\Enum\\" + instanceId + u"\\Device Parameters";
  KeyOwner key;
  if (!OpenKeyForReading(key, HKEY_LOCAL_MACHINE, WideText(path))) return {};
  return ReadRegistryString(key.get(), L"PortName", kPortNameBytes);
}

std::u16string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property,
                              DWORD limitBytes) {
  std::vector<wchar_t> buffer(limitBytes / sizeof(wchar_t) + 2, L'\0');
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), limitBytes,
                                         nullptr)) {
    return {};
  }
  return RegistryString(buffer, type);
}

std::u16string DeviceName(HDEVINFO set, SP_DEVINFO_DATA& device) {
  std::u16string name = DeviceProperty(set, device, SPDRP_FRIENDLYNAME, kNameBytes);
  if (name.empty()) name = DeviceProperty(set, device, SPDRP_DEVICEDESC, kNameBytes);
  return name;
}

std::u16string InstanceIdOf(DEVINST node) {
  std::vector<wchar_t> buffer(kInstanceIdChars, L'\0');
  if (CM_Get_Device_IDW(node, buffer.data(), kInstanceIdChars, 0) != CR_SUCCESS) return {};
  buffer.back() = L'\0';
  return FromWide(buffer.data());
}

// CM_Get_Device_Interface_PropertyW exists from Windows 8 on (and not under
// Wine): looked up at run time, so that its absence means only "no port".
using InterfacePropertyFn = CONFIGRET(WINAPI*)(LPCWSTR, const DEVPROPKEY*, DEVPROPTYPE*, PBYTE,
                                               PULONG, ULONG);

InterfacePropertyFn FindInterfacePropertyFn() {
  static const InterfacePropertyFn fn = [] {
    HMODULE module = GetModuleHandleW(L"cfgmgr32.dll");
    if (module == nullptr) module = LoadLibraryW(L"cfgmgr32.dll");
    if (module == nullptr) return InterfacePropertyFn{};
    return reinterpret_cast<InterfacePropertyFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "CM_Get_Device_Interface_PropertyW")));
  }();
  return fn;
}

std::u16string InterfacePort(const wchar_t* path) {
  const InterfacePropertyFn query = FindInterfacePropertyFn();
  if (query == nullptr) return {};
  DEVPROPTYPE type = 0;
  ULONG size = 0;
  const CONFIGRET first = query(path, &kInterfacePortKey, &type, nullptr, &size, 0);
  if (first != CR_SUCCESS && first != CR_BUFFER_SMALL) return {};
  if (size < 2) size = 512;
  std::vector<BYTE> buffer(size + 2, 0);
  if (query(path, &kInterfacePortKey, &type, buffer.data(), &size, 0) != CR_SUCCESS ||
      type != DEVPROP_TYPE_STRING) {
    return {};
  }
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()));
}

// Pass 1: present USB printer-class interfaces.
std::vector<PrinterInterfaceReport> ReadPrinterInterfaces() {
  std::vector<PrinterInterfaceReport> reports;
  DeviceSetOwner set(SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr,
                                          DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) return reports;

  SP_DEVICE_INTERFACE_DATA entry{};
  entry.cbSize = sizeof entry;
  for (DWORD index = 0;
       SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kUsbPrintInterface, index, &entry);
       ++index) {
    DWORD needed = 0;
    SetupDiGetDeviceInterfaceDetailW(set.get(), &entry, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    // Allocated as wide units: the detail is a DWORD then a wide string.
    std::vector<wchar_t> storage(needed / sizeof(wchar_t) + 2, L'\0');
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiGetDeviceInterfaceDetailW(set.get(), &entry, detail, needed, nullptr, &device)) {
      continue;
    }

    PrinterInterfaceReport report;
    report.path = FromWide(detail->DevicePath);
    report.name = DeviceName(set.get(), device);
    report.instanceId = InstanceIdOf(device.DevInst);
    if (!report.path.empty()) report.port = InterfacePort(detail->DevicePath);
    if (report.port.empty()) report.port = ReadDevicePortName(report.instanceId);
    reports.push_back(std::move(report));
  }
  return reports;
}

// 0 when the device path opens with no access rights, else the error code.
std::uint32_t ProbeDevicePath(const std::u16string& path) {
  HandleOwner device(CreateFileW(WideText(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (device) return 0;
  const DWORD error = GetLastError();
  return error == 0 ? ERROR_GEN_FAILURE : error;
}

// Pass 2: the ports of the USB print monitor, each with a presence probe.
std::vector<MonitorPortReport> ReadMonitorPorts() {
  std::vector<MonitorPortReport> reports;
  KeyOwner ports;
  if (!OpenKeyForReading(ports, HKEY_LOCAL_MACHINE, kMonitorPortsKey)) return reports;

  for (const std::u16string& portName : SubkeyNames(ports.get())) {
    const wchar_t* name = WideText(portName);
    MonitorPortReport report;
    report.name = portName;
    {
      KeyOwner port;
      if (!OpenKeyForReading(port, ports.get(), name)) continue;
      report.deviceId = ReadRegistryString(port.get(), L"Device Id", kDeviceValueBytes);
      report.devicePath = ReadRegistryString(port.get(), L"Device Path", kDeviceValueBytes);
      // Some drivers keep the values one level down, in a key named after the port.
      KeyOwner inner;
      if (OpenKeyForReading(inner, port.get(), name)) {
        if (report.deviceId.empty()) {
          report.deviceId = ReadRegistryString(inner.get(), L"Device Id", kDeviceValueBytes);
        }
        if (report.devicePath.empty()) {
          report.devicePath = ReadRegistryString(inner.get(), L"Device Path", kDeviceValueBytes);
        }
      }
    }
    if (report.devicePath.empty()) continue;
    report.probeError = ProbeDevicePath(report.devicePath);
    reports.push_back(std::move(report));
  }
  return reports;
}

// Pass 3: every present device whose instance id starts with USB\.
std::vector<UsbDeviceReport> ReadUsbDevices() {
  std::vector<UsbDeviceReport> reports;
  DeviceSetOwner set(
      SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!set) return reports;

  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) {
    UsbDeviceReport report;
    report.instanceId = InstanceIdOf(device.DevInst);
    if (report.instanceId.size() < 4 ||
        !EqualsIgnoreAsciiCase(std::u16string_view(report.instanceId).substr(0, 4), u"usb\\")) {
      continue;
    }
    report.className = DeviceProperty(set.get(), device, SPDRP_CLASS, kClassBytes);
    report.name = DeviceName(set.get(), device);
    report.hardwareId = DeviceProperty(set.get(), device, SPDRP_HARDWAREID, kHardwareIdBytes);
    report.portName = ReadDevicePortName(report.instanceId);
    reports.push_back(std::move(report));
  }
  return reports;
}

}  // namespace

// Pass 4: the local print queues.
std::vector<PrintQueueReport> ReadPrintQueues() {
  std::vector<PrintQueueReport> reports;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return reports;
  // PRINTER_INFO_2W entries followed by their strings; aligned for the entries.
  std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1);
  auto* bytes = reinterpret_cast<BYTE*>(buffer.data());
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, bytes, needed, &needed, &count)) {
    return reports;
  }
  const auto* queues = reinterpret_cast<const PRINTER_INFO_2W*>(bytes);
  for (DWORD i = 0; i < count; ++i) {
    reports.push_back({FromWide(queues[i].pPrinterName), FromWide(queues[i].pPortName),
                       FromWide(queues[i].pDriverName)});
  }
  return reports;
}

std::vector<UsbPrinter> EnumerateUsbPrinters() {
  return ComposeUsbPrinters(
      {ReadPrinterInterfaces, ReadMonitorPorts, ReadUsbDevices, ReadPrintQueues});
}

}  // namespace korvante
