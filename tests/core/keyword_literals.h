// The keyword tables of USB enumeration and of the Wi-Fi adapter rule, written
// out again as the independent expectation of the tests and fuzz targets: a
// typo in the tool's own tables must disagree with these.
#pragma once

#include <string>
#include <string_view>

namespace korvante::literals {

inline constexpr std::u16string_view kReceipt[] = {
    u"korvante", u"xprinter", u"gprinter", u"pos", u"receipt", u"bill",
    u"thermal",  u"label",    u"barcode",  u"tem", u"xp-80",   u"xp-58",
    u"pos-80",   u"pos-58",   u"k80",      u"k58", u"58mm",    u"80mm"};

inline constexpr std::u16string_view kReceiptName[] = {
    u"korvante", u"xprinter", u"gprinter", u"pos",    u"receipt", u"bill", u"thermal",
    u"barcode",  u"tem",      u"xp-",      u"pos-80", u"pos-58",  u"58mm", u"80mm"};

inline constexpr std::u16string_view kOffice[] = {
    u"canon",    u"hp ",      u"laserjet", u"lbp",      u"officejet",
    u"deskjet",  u"brother",  u"samsung",  u"epson l",  u"inkjet",
    u"vid_04a9", u"vid_03f0", u"vid_04b8", u"vid_04f9", u"vid_04e8"};

// The first ten and the first eight of kOffice.
inline constexpr std::u16string_view kOfficeName[] = {
    u"canon",   u"hp ",     u"laserjet", u"lbp",     u"officejet",
    u"deskjet", u"brother", u"samsung",  u"epson l", u"inkjet"};

inline constexpr std::u16string_view kOfficeBrand[] = {
    u"canon", u"hp ", u"laserjet", u"lbp", u"officejet", u"deskjet", u"brother", u"samsung"};

inline constexpr std::u16string_view kSerialAdapter[] = {
    u"usb serial", u"usb-serial", u"usb com", u"usb-com",  u"serial device",
    u"ch340",      u"ch341",      u"cp210",   u"prolific", u"ftdi"};

// "usb\vid" with one backslash.
inline constexpr std::u16string_view kSerialHardware[] = {
    u"usbser", u"usb\\vid", u"ch340", u"ch341", u"cp210", u"prolific", u"ftdi"};

inline constexpr std::u16string_view kWireless[] = {u"wi-fi", u"wifi", u"wireless", u"wlan",
                                                    u"802.11"};

// Whether `text` holds any of `keywords`, folding A to Z only.
template <typename Table>
bool ContainsAny(std::u16string_view text, const Table& keywords) {
  std::u16string folded(text);
  for (char16_t& u : folded) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
  }
  for (std::u16string_view keyword : keywords) {
    if (folded.find(keyword) != std::u16string::npos) return true;
  }
  return false;
}

}  // namespace korvante::literals
