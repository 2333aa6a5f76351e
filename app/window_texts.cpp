#include "app/window_texts.h"

#include <initializer_list>

#include "commands/ticket_sizes.h"
#include "core/text_encoding.h"

namespace korvante {
namespace {

// The address checks' messages, in pieces around the addresses they name;
// each piece is one literal, as the guide quotes it.
constexpr std::u16string_view kNewIp = u"IP mới ";
constexpr std::u16string_view kChooseAnother = u". Hãy chọn IP khác.";
constexpr std::u16string_view kBadMask =
    u" không hợp lệ. Subnet mask thường dùng là 255.255.255.0.";
constexpr std::u16string_view kNoPrinterAddress = u" không dùng được cho máy in. Hãy chọn IP khác.";
constexpr std::u16string_view kOwnAddress = u" là IP của chính máy tính này. Hãy chọn IP khác.";
constexpr std::u16string_view kGatewayAddress =
    u" là IP của Gateway (modem, router). Hãy chọn IP khác.";
constexpr std::u16string_view kNetworkAddress = u" là địa chỉ mạng của dải IP (Subnet mask ";
constexpr std::u16string_view kBroadcastAddress = u" là địa chỉ broadcast của dải IP (Subnet mask ";
constexpr std::u16string_view kGatewayOutside = u" không cùng dải IP với IP mới ";
constexpr std::u16string_view kMaskNote = u" (Subnet mask ";
constexpr std::u16string_view kFixGateway = u"). Hãy sửa Gateway hoặc Subnet mask.";
constexpr std::u16string_view kHeld = u" đang được một thiết bị khác dùng";
constexpr std::u16string_view kHeldTail =
    u". Nếu đổi, máy in sẽ trùng IP với thiết bị đó và có thể không in được. Vẫn đổi IP?";
constexpr std::u16string_view kOutOfReach = u" không thuộc mạng nào của máy tính này.";
constexpr std::u16string_view kOutOfReachTail =
    u" Sau khi đổi, máy tính này sẽ không kết nối được với máy in. Vẫn đổi IP?";
constexpr std::u16string_view kOffItsLink = u" không thuộc mạng mà máy in đang nối vào.";
constexpr std::u16string_view kOffItsLinkTail =
    u" Sau khi đổi, không máy tính nào kết nối được với máy in, trừ khi máy in được chuyển sang "
    u"mạng đó. Vẫn đổi IP?";
constexpr std::u16string_view kOtherSubnet =
    u" khác dải IP với máy tính này nên chưa gửi được lệnh.";
constexpr std::u16string_view kOtherSubnetTail = u" Hãy đổi IP máy in ở trang Máy in Lan trước.";

// Joins literal pieces and ASCII addresses into one message.
std::u16string Message(std::initializer_list<std::u16string_view> pieces) {
  std::u16string text;
  for (std::u16string_view piece : pieces) text += piece;
  return text;
}

std::u16string Text(const std::string& ascii) { return WidenAscii(ascii); }

}  // namespace

std::u16string NetworkPrinterItem(const NetworkPrinter& printer) {
  std::u16string item = FromUtf8(printer.ip);
  item += u"    Máy in bill/tem";
  if (!printer.mac.empty()) {
    item += u" (";
    item += FromUtf8(printer.mac);
    item += u")";
  }
  return item;
}

std::u16string UsbPrinterItem(const UsbPrinter& printer) {
  std::u16string item = printer.port.empty() ? std::u16string(u"USB") : printer.port;
  item += u" - ";
  item += printer.name;
  return item;
}

std::u16string_view SearchingItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Đang tìm máy in LAN / Wi-Fi..." : u"Đang tìm máy in USB...";
}

std::u16string_view NothingFoundItem(ConnectionMode mode) {
  return mode == kModeNetwork ? u"Không tìm thấy máy in LAN / Wi-Fi" : u"Không tìm thấy máy in USB";
}

std::u16string_view PrinterLabel(ConnectionMode mode) {
  return mode == kModeNetwork ? AddressFieldLabel(AddressField::PrinterIp) : u"Tên máy in";
}

std::u16string_view FindButtonCaption(bool searching, bool sending) {
  if (searching) return u"Đang tìm...";
  if (sending) return u"Đang gửi...";
  return u"Tìm";
}

std::u16string_view ContentToggleCaption(bool contentShown) {
  return contentShown ? u"Ẩn nội dung" : u"Đổi nội dung";
}

std::u16string_view AddressFieldLabel(AddressField field) {
  switch (field) {
    case AddressField::LanNewIp:
      return u"IP mới";
    case AddressField::WifiIp:
      return u"IP máy in WiFi";
    case AddressField::Mask:
      return u"Subnet mask";
    case AddressField::Gateway:
      return u"Gateway";
    case AddressField::PrinterIp:
      return u"IP máy in";
  }
  return u"";
}

std::u16string_view WidthLevelWord(int widthLevel) {
  if (widthLevel <= kWidthNarrow) return u"Hẹp";
  if (widthLevel >= kWidthWide) return u"Rộng";
  return u"Thường";
}

std::u16string WidthButtonCaption(int widthLevel) {
  return std::u16string(WidthLevelWord(widthLevel)) + u"  ▾";
}

std::u16string PrinterSettingsText(const NetworkPrinter& printer) {
  std::u16string text = u"Máy in đang dùng: IP " + FromUtf8(printer.ip);
  if (!printer.mask.empty()) text += u", Subnet mask " + FromUtf8(printer.mask);
  if (!printer.gateway.empty()) text += u", Gateway " + FromUtf8(printer.gateway);
  return text;
}

std::u16string InvalidAddressMessage(AddressField field) {
  return u"Địa chỉ không hợp lệ: " + std::u16string(AddressFieldLabel(field));
}

std::u16string LanChangedElsewhereText(const std::string& heardAt) {
  return u"Đã gửi lệnh đổi IP, nhưng máy in đang dùng IP " + WidenAscii(heardAt) +
         u", chưa phải IP mới.";
}

std::u16string BadMaskRefusal(const std::string& mask) {
  return Message({u"Subnet mask ", Text(mask), kBadMask});
}

std::u16string NoPrinterAddressRefusal(const std::string& newIp) {
  return Message({kNewIp, Text(newIp), kNoPrinterAddress});
}

std::u16string OwnAddressRefusal(const std::string& newIp) {
  return Message({kNewIp, Text(newIp), kOwnAddress});
}

std::u16string GatewayAddressRefusal(const std::string& newIp) {
  return Message({kNewIp, Text(newIp), kGatewayAddress});
}

std::u16string NetworkAddressRefusal(const std::string& newIp, const std::string& mask) {
  return Message({kNewIp, Text(newIp), kNetworkAddress, Text(mask), u")", kChooseAnother});
}

std::u16string BroadcastAddressRefusal(const std::string& newIp, const std::string& mask) {
  return Message({kNewIp, Text(newIp), kBroadcastAddress, Text(mask), u")", kChooseAnother});
}

std::u16string GatewayOutsideRefusal(const std::string& gateway, const std::string& newIp,
                                     const std::string& mask) {
  return Message({u"Gateway ", Text(gateway), kGatewayOutside, Text(newIp), kMaskNote, Text(mask),
                  kFixGateway});
}

std::u16string NothingChangesText(const std::string& newIp) {
  return u"Máy in đã dùng IP " + FromUtf8(newIp) +
         u". Máy in này không nhận Subnet mask và Gateway, nên không có gì thay đổi. Chưa gửi "
         u"lệnh.";
}

std::u16string OutOfReachQuestion(const std::string& newIp) {
  return Message({u"IP ", Text(newIp), kOutOfReach, kOutOfReachTail});
}

std::u16string OffItsLinkQuestion(const std::string& newIp) {
  return Message({u"IP ", Text(newIp), kOffItsLink, kOffItsLinkTail});
}

std::u16string AddressHeldQuestion(const std::string& ip, const std::string& holderMac) {
  if (holderMac.empty()) return Message({u"IP ", Text(ip), kHeld, kHeldTail});
  return Message({u"IP ", Text(ip), kHeld, u" (MAC ", Text(holderMac), u")", kHeldTail});
}

std::u16string OtherSubnetFailure(const std::string& printerIp) {
  return Message({u"Máy in ", Text(printerIp), kOtherSubnet, kOtherSubnetTail});
}

std::u16string OldAddressQueuesNote(const std::vector<std::u16string>& queues,
                                    const std::string& oldIp, const std::string& newIp) {
  if (queues.empty()) return {};
  std::u16string list;
  for (const std::u16string& queue : queues) {
    if (!list.empty()) list += u", ";
    list += u"\u201C" + queue + u"\u201D";
  }
  return u"Máy in trên Windows vẫn in tới IP cũ " + FromUtf8(oldIp) + u": " + list +
         u". Hãy sửa cổng của máy in đó sang IP " + FromUtf8(newIp) +
         u" (xem hướng dẫn, mục đổi IP).";
}

}  // namespace korvante
