// The slip "In thông tin IP" prints on the selected printer: what the tool
// knows of it (address, mask, gateway, MAC and port; for USB the port and
// device name) and when it was printed, so that an installer holding two
// identical printers can tell which entry of the list is which.
//
// It is built only from commands every printer already gets from the tool:
// ESC @, the ticket's code-page prefix (its Vietnamese prints in VISCII),
// ESC a, text and LF, a feed and the full cut.
#pragma once

#include <string>
#include <vector>

#include "core/command_buffer.h"
#include "core/printer_records.h"

namespace korvante {

// One line of the slip: "label: value".
struct SlipRow {
  std::u16string label;
  std::u16string value;

  friend bool operator==(const SlipRow&, const SlipRow&) = default;
};

// The computer's local time at the press.
struct SlipTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
};

// What the tool knows of a target, row by row; what it does not know (a
// printer found by the sweep reported no mask, gateway or MAC) is left out.
std::vector<SlipRow> InfoSlipRows(const PrinterTarget& target);

// ESC @, the code-page prefix, the title centred, the rows and the time
// left-aligned, a feed past the cutter, GS V 0.
CommandBuffer BuildInfoSlip(const std::vector<SlipRow>& rows, const SlipTime& printedAt);

}  // namespace korvante
