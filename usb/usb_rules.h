// The rules that turn what Windows reports about attached USB devices into the
// USB printer list: keyword tables, classification, merging, the names and
// ports derived from device ids, and the decision of each enumeration pass.
//
// Everything here works on plain records of what the platform reported, so it
// builds and is tested on Linux; usb_enumeration_win32.cpp only reads the
// platform and feeds these functions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

// --- Keyword tables (lower case, matched as substrings; blanks count) --------

inline constexpr std::u16string_view ReceiptKeywords[] = {
    u"korvante", u"xprinter", u"gprinter", u"pos", u"receipt", u"bill",
    u"thermal",  u"label",    u"barcode",  u"tem", u"xp-80",   u"xp-58",
    u"pos-80",   u"pos-58",   u"k80",      u"k58", u"58mm",    u"80mm"};

// Matched against a monitor port's text with its device id; "xp-" stands alone here.
inline constexpr std::u16string_view ReceiptNameKeywords[] = {
    u"korvante", u"xprinter", u"gprinter", u"pos",    u"receipt", u"bill", u"thermal",
    u"barcode",  u"tem",      u"xp-",      u"pos-80", u"pos-58",  u"58mm", u"80mm"};

// "hp " ends in a blank so that "hp" inside a longer word does not match; the
// match text always puts a blank after the name, so a name ending in "hp" does.
inline constexpr std::u16string_view OfficeKeywords[] = {
    u"canon",    u"hp ",      u"laserjet", u"lbp",      u"officejet",
    u"deskjet",  u"brother",  u"samsung",  u"epson l",  u"inkjet",
    u"vid_04a9", u"vid_03f0", u"vid_04b8", u"vid_04f9", u"vid_04e8"};

// The office words without the vendor ids.
inline constexpr std::u16string_view OfficeNameKeywords[] = {
    u"canon",   u"hp ",     u"laserjet", u"lbp",     u"officejet",
    u"deskjet", u"brother", u"samsung",  u"epson l", u"inkjet"};

// Brand and product-line words that veto a receipt match ("hp laserjet label").
inline constexpr std::u16string_view OfficeBrandKeywords[] = {
    u"canon", u"hp ", u"laserjet", u"lbp", u"officejet", u"deskjet", u"brother", u"samsung"};

inline constexpr std::u16string_view SerialAdapterKeywords[] = {
    u"usb serial", u"usb-serial", u"usb com", u"usb-com",  u"serial device",
    u"ch340",      u"ch341",      u"cp210",   u"prolific", u"ftdi"};

inline constexpr std::u16string_view SerialHardwareKeywords[] = {
    u"usbser", u"usb\\vid", u"ch340", u"ch341", u"cp210", u"prolific", u"ftdi"};

// Names given when a source reports none.
inline constexpr std::u16string_view kDefaultInterfaceName = u"USB Printer";
inline constexpr std::u16string_view kDefaultMonitorName = u"USB Monitor Printer";
inline constexpr std::u16string_view kDefaultSerialName = u"USB Serial Device";

// --- Classification and merging ----------------------------------------------

// name, port, path and queue joined with single blanks (empty fields keep theirs).
std::u16string MatchText(const UsbPrinter& record);
bool IsOfficePrinter(const UsbPrinter& record);
bool IsReceiptPrinter(const UsbPrinter& record);
bool IsSerialAdapter(const UsbPrinter& record);

// Whole-text comparison folding A to Z only.
bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// Merges into the first entry with the same queue, port or path (each only when
// non-empty on both sides, case-insensitive), filling only its empty fields;
// appends a copy when nothing matches.
void AddOrMergeUsbPrinter(std::vector<UsbPrinter>& list, const UsbPrinter& record);

// The model part of a USB Monitor device id: the text after "usbprint\" (with
// '#' read as '\') up to the next '\', '&' and '_' as blanks, trimmed;
// "USB Monitor Printer" when there is none.
std::u16string MonitorNameFromDeviceId(std::u16string_view deviceId);

// The first "com" followed by decimal digits in `text`, with those digits, in
// the text's own letter case ("COM7" from "FT232R (COM7)"); empty when none.
std::u16string FindComPort(std::u16string_view text);

// --- What each source reported -------------------------------------------------

// A present USB printer interface.
struct PrinterInterfaceReport {
  std::u16string name;        // friendly name, else device description; may be empty
  std::u16string instanceId;  // device instance id; empty when unreadable
  std::u16string path;        // interface path
  std::u16string port;        // interface port property, else Device Parameters\PortName
};

// A port of the Windows USB print monitor.
struct MonitorPortReport {
  std::u16string name;        // the port's key name (USB001)
  std::u16string deviceId;    // Device Id
  std::u16string devicePath;  // Device Path; the port is passed over when empty
  // Outcome of opening the device path with no access rights: 0 when it
  // opened, otherwise the Win32 error code.
  std::uint32_t probeError = 0;
};

// A present device whose instance id could be read.
struct UsbDeviceReport {
  std::u16string instanceId;
  std::u16string className;   // SPDRP_CLASS
  std::u16string name;        // friendly name, else device description; may be empty
  std::u16string hardwareId;  // first hardware id
  std::u16string portName;    // Device Parameters\PortName; may be empty
};

// A local print queue.
struct PrintQueueReport {
  std::u16string printerName;
  std::u16string portName;
  std::u16string driverName;
};

// Win32 error codes of a presence probe that still mean "the device is there":
// access denied, sharing violation, busy (printers held open by their spooler).
inline constexpr std::uint32_t kProbeAccessDenied = 5;
inline constexpr std::uint32_t kProbeSharingViolation = 32;
inline constexpr std::uint32_t kProbeBusy = 170;

// --- The passes ----------------------------------------------------------------

// The recognised devices in order of discovery, and the unrecognised ones that
// are listed after them.
struct UsbLists {
  std::vector<UsbPrinter> result;
  std::vector<UsbPrinter> holding;
};

void TakePrinterInterface(UsbLists& lists, const PrinterInterfaceReport& report);
void TakeMonitorPort(UsbLists& lists, const MonitorPortReport& report);
void TakeUsbDevice(UsbLists& lists, const UsbDeviceReport& report);
// Appends (or merges) the holding list behind the recognised records.
std::vector<UsbPrinter> JoinHolding(UsbLists lists);
// Attaches a queue to the first record on its port, renaming it when the
// queue names a receipt printer or the record has only a default name.
void ApplyPrintQueue(std::vector<UsbPrinter>& result, const PrintQueueReport& report);

// The four sources, read in this order; the queues are read only when the
// first three produced something.
struct UsbSourceReaders {
  std::function<std::vector<PrinterInterfaceReport>()> printerInterfaces;
  std::function<std::vector<MonitorPortReport>()> monitorPorts;
  std::function<std::vector<UsbDeviceReport>()> usbDevices;
  std::function<std::vector<PrintQueueReport>()> printQueues;
};

std::vector<UsbPrinter> ComposeUsbPrinters(const UsbSourceReaders& readers);

}  // namespace korvante
