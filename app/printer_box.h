// The printer box of the connection card: in LAN / Wi-Fi mode it also takes
// an IPv4 address typed by hand, for a printer behind a router or one that
// does not answer the search. These rules decide what the box names and what
// a refresh may replace; the window only reads and writes the control.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer_records.h"

namespace korvante {

// The address a typed text names, or nullopt when it names none: blanks
// around it are dropped, and it must be a dotted quad of a host a printer can
// have (not 0.x.x.x, not multicast, broadcast or reserved, 224 and above).
std::optional<std::string> TypedPrinterAddress(std::u16string_view text);

// What the box names when a command is sent.
struct PrinterBoxChoice {
  std::optional<PrinterTarget> target;
  bool malformed = false;  // typed text that is no printer address
  bool searching = false;  // the box shows a running search, not a printer
};

// A box the user has not typed into since the tool filled it resolves by its
// selection, as ResolveTarget does; while a search runs it shows only the
// search's placeholder and names no printer. In LAN / Wi-Fi mode a typed text
// wins, during a search too: a well-formed address is a network printer on
// TCP 9100 that discovery did not find (so "Lưu IP" sends the IP-change
// command over TCP), an empty text is no printer, anything else is malformed.
PrinterBoxChoice ResolvePrinterBox(ConnectionMode mode, int index, bool edited,
                                   std::u16string_view text,
                                   const std::vector<UsbPrinter>& usbPrinters,
                                   const std::vector<NetworkPrinter>& networkPrinters,
                                   bool searching = false);

// The index in a search's list of the printer a confirmed address change
// moved: the record with its MAC when it has one, else the record at its new
// address; nullopt when the search did not list it.
std::optional<int> FindMovedPrinter(const std::vector<NetworkPrinter>& printers,
                                    const std::string& mac, const std::string& ip);

// The text a refresh must leave in the box: what the user typed (LAN / Wi-Fi
// mode, edited, not blank); nullopt lets the refresh fill the box as usual.
std::optional<std::u16string> TypedTextToKeep(ConnectionMode mode, bool edited,
                                              std::u16string_view text);

}  // namespace korvante
