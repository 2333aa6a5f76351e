// Texts the window shows that are made from data: the printer list items.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/printer_records.h"

namespace korvante {

// "192.168.1.25    Máy in bill/tem (00-1A-2B-3C-4D-5E)"; no parentheses
// when the printer reported no MAC.
std::u16string NetworkPrinterItem(const NetworkPrinter& printer);

// "USB001 - Name", or "USB - Name" when the printer has no port.
std::u16string UsbPrinterItem(const UsbPrinter& printer);

// The placeholder of a running refresh and the item of an empty result.
std::u16string_view SearchingItem(ConnectionMode mode);
std::u16string_view NothingFoundItem(ConnectionMode mode);

// A save pressed while the printer box shows a running search.
inline constexpr std::u16string_view kSearchingText = u"Đang tìm máy in, vui lòng đợi.";

// The window's title while a close waits for the running send to end.
inline constexpr std::u16string_view kClosingAfterSendTitle =
    u"Korvante Config Tool - Đang gửi lệnh, cửa sổ sẽ đóng khi gửi xong...";

// Asked before the ticket content is saved: its program starts by deleting
// every graphic stored in the printer.
inline constexpr std::u16string_view kStoredGraphicsQuestion =
    u"Lưu nội dung phiếu sẽ xoá logo và mọi hình ảnh đã lưu trong máy in. Tiếp tục?";

}  // namespace korvante
