// The window's own texts: the captions that change with its state or that
// more than one place writes, the printer list's items, the LAN page's note
// on the selected printer, and every message and question its boxes show.
// Each literal stands whole, as the guide for shop staff quotes it. What a
// printer prints stays with the command that prints it (commands/); the
// captions a control is made with and never changes stay where it is made.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/network_settings.h"
#include "core/printer_records.h"

namespace korvante {

// --- the printer list ---------------------------------------------------------------
// "192.168.1.25    Máy in bill/tem (00-1A-2B-3C-4D-5E)"; no parentheses
// when the printer reported no MAC.
std::u16string NetworkPrinterItem(const NetworkPrinter& printer);

// "USB001 - Name", or "USB - Name" when the printer has no port.
std::u16string UsbPrinterItem(const UsbPrinter& printer);

// The placeholder of a running refresh and the item of an empty result.
std::u16string_view SearchingItem(ConnectionMode mode);
std::u16string_view NothingFoundItem(ConnectionMode mode);

// The printer box's label: "IP máy in" in LAN / Wi-Fi mode, "Tên máy in" in
// USB mode.
std::u16string_view PrinterLabel(ConnectionMode mode);

// --- captions -------------------------------------------------------------------------
// "Đang tìm..." while a search of the shown mode runs, else "Đang gửi..."
// while a send runs, else "Tìm".
std::u16string_view FindButtonCaption(bool searching, bool sending);

// "Ẩn nội dung" while the ticket content shows, else "Đổi nội dung".
std::u16string_view ContentToggleCaption(bool contentShown);

// The address fields' labels as the window shows them: "IP mới",
// "IP máy in WiFi", "Subnet mask", "Gateway", "IP máy in".
std::u16string_view AddressFieldLabel(AddressField field);

// "Hẹp" for 1 or less, "Thường" for 2, "Rộng" for 3 or more.
std::u16string_view WidthLevelWord(int widthLevel);

// The width button's caption: the level's word, two spaces and "▾".
std::u16string WidthButtonCaption(int widthLevel);

// The window's title while a close waits for the running send to end.
inline constexpr std::u16string_view kClosingAfterSendTitle =
    u"Korvante Config Tool - Đang gửi lệnh, cửa sổ sẽ đóng khi gửi xong...";

// --- the LAN page's note on the selected printer ------------------------------------
// "Máy in đang dùng: IP a, Subnet mask m, Gateway g": what the printer
// reported of itself, its address alone when that is all the tool knows.
std::u16string PrinterSettingsText(const NetworkPrinter& printer);

// Shown when the target takes the new address alone: over USB, and over TCP
// to a printer found by the sweep or typed by hand.
inline constexpr std::u16string_view kAddressOnlyNote =
    u"Máy in này chỉ nhận IP mới: Subnet mask và Gateway không được gửi.";

// --- message boxes: their title, and the refusals before a send ---------------------
inline constexpr std::u16string_view kMessageBoxTitle = u"Korvante";

// A save pressed while a send runs, or while the printer box shows a search.
inline constexpr std::u16string_view kSendBusyText = u"Đang gửi lệnh, vui lòng đợi.";
inline constexpr std::u16string_view kSearchingText = u"Đang tìm máy in, vui lòng đợi.";

// A save pressed with no printer in the box, in either mode; "Lưu IP" names
// the mode.
inline constexpr std::u16string_view kNoPrinterText = u"Chưa chọn máy in.";
inline constexpr std::u16string_view kNoUsbPrinterText = u"Chưa chọn máy in USB.";
inline constexpr std::u16string_view kNoLanPrinterText = u"Chưa chọn máy in LAN.";

// "Địa chỉ không hợp lệ: " followed by the field's label.
std::u16string InvalidAddressMessage(AddressField field);

inline constexpr std::u16string_view kTicketTooLongMessage =
    u"Nội dung phiếu quá dài. Vui lòng rút gọn các dòng hoặc Link QR trước khi lưu.";

// Asked before the ticket content is saved: its program starts by deleting
// every graphic stored in the printer.
inline constexpr std::u16string_view kStoredGraphicsQuestion =
    u"Lưu nội dung phiếu sẽ xoá logo và mọi hình ảnh đã lưu trong máy in. Tiếp tục?";

// --- what each send reports ---------------------------------------------------------
// What a send says once it has run: the printer took every byte, or not.
struct SendTexts {
  std::u16string_view sent;
  std::u16string_view failed;
};

inline constexpr SendTexts kWifiSendTexts{u"Đã gửi cấu hình WiFi.",
                                          u"Chưa gửi được cấu hình WiFi."};
inline constexpr SendTexts kBeepSendTexts{u"Đã gửi chuông.", u"Chưa gửi được chuông."};
inline constexpr SendTexts kDensitySendTexts{u"Đã gửi độ đậm.", u"Chưa gửi được độ đậm."};
inline constexpr SendTexts kInfoSlipSendTexts{u"Đã gửi lệnh in thông tin máy in.",
                                              u"Chưa in được thông tin máy in."};
// The queue settings with the ticket content, or alone.
inline constexpr std::u16string_view kQueueFailedText = u"Chưa gửi được cấu hình bấm số.";
inline constexpr SendTexts kTicketSendTexts{u"Đã lưu bấm số vào máy.", kQueueFailedText};
inline constexpr SendTexts kQueueSettingsSendTexts{u"Đã lưu bấm số. Nội dung phiếu giữ nguyên.",
                                                   kQueueFailedText};

// --- the address change ("Lưu IP") ---------------------------------------------------
// The IP-change command over USB, which nothing confirms.
inline constexpr SendTexts kUsbChangeSendTexts{
    u"Đã gửi lệnh đổi IP qua USB. Vui lòng đợi vài giây rồi tìm lại máy in.",
    u"Chưa gửi được lệnh đổi IP qua USB."};
inline constexpr std::u16string_view kLanChangedText = u"Đã đổi IP LAN thành công.";
inline constexpr std::u16string_view kLanNotConfirmedText =
    u"Đã gửi lệnh đổi IP, chưa xác nhận được IP mới.";
// The printer's MAC answered at `heardAt`, not at the new address.
std::u16string LanChangedElsewhereText(const std::string& heardAt);

// Refusals of the change, before anything is sent (RefuseLanChange).
std::u16string BadMaskRefusal(const std::string& mask);
std::u16string NoPrinterAddressRefusal(const std::string& newIp);
std::u16string OwnAddressRefusal(const std::string& newIp);
std::u16string GatewayAddressRefusal(const std::string& newIp);
std::u16string NetworkAddressRefusal(const std::string& newIp, const std::string& mask);
std::u16string BroadcastAddressRefusal(const std::string& newIp, const std::string& mask);
std::u16string GatewayOutsideRefusal(const std::string& gateway, const std::string& newIp,
                                     const std::string& mask);

// A target that takes the address alone, given the one it has.
std::u16string NothingChangesText(const std::string& newIp);

// The questions (Yes / No, No the default): the new address is on none of
// the computer's networks, or not on the link the printer sits on
// (ReachQuestion); a device, by its MAC when known, holds it already.
std::u16string OutOfReachQuestion(const std::string& newIp);
std::u16string OffItsLinkQuestion(const std::string& newIp);
std::u16string AddressHeldQuestion(const std::string& ip, const std::string& holderMac);

// Why a send to a printer heard outside its own network failed.
std::u16string OtherSubnetFailure(const std::string& printerIp);

// Added to the message of a confirmed change: which Windows queues still
// print to the old address, and what to do about it. Empty when there are
// none.
std::u16string OldAddressQueuesNote(const std::vector<std::u16string>& queues,
                                    const std::string& oldIp, const std::string& newIp);

}  // namespace korvante
