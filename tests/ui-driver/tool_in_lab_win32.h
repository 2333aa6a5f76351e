// What the end-to-end cases share: the tool started fresh for every case in
// the lab's computer namespace and closed after it, the simulated printers'
// journals and the serial printer's capture, each read from where a case
// began.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tests/ui-driver/ui_driver_win32.h"

namespace korvante::ui {

// The whole of a file that another process may be writing; empty when it
// cannot be read.
std::string ReadWholeFile(const std::wstring& path);

// The lines of a text, without their line feeds.
std::vector<std::string> TextLines(const std::string& text);

// Bytes as two upper-case hex digits each, separated by blanks ("1B 40").
std::string HexOf(const std::string& bytes);

// One simulated printer's journal (the lab's KV_LAB_JOURNAL_... file), from
// where it stood when this was made: a line per datagram, connection and
// command, "TIME WHAT PEER hex=BYTES | READING".
class LabJournal {
 public:
  // The journal named by an environment variable (KV_LAB_JOURNAL_SECOND).
  explicit LabJournal(const char* variable);
  // The journal of the shop network's printer .host (KV_LAB_JOURNAL_100).
  explicit LabJournal(int host);

  std::vector<std::string> NewLines() const;
  // The new lines that hold `fragment`, and `also` when given.
  std::size_t Count(const std::string& fragment, const std::string& also = {}) const;
  // The bytes of every TCP connection closed since, in hex.
  std::vector<std::string> TcpPayloads() const;
  // The bytes received on every TCP connection opened since, in hex, in the
  // order the connections were made, whether or not they have closed (a
  // printer that moves to a new address may never see the close).
  std::vector<std::string> TcpStreams() const;
  // The hex bytes of every data line of a TCP connection, in order.
  std::vector<std::string> TcpData() const;

 private:
  std::wstring path_;
  std::size_t start_;
};

// What reached the serial printer's pseudo-terminal (KV_SERIAL_OUT) since
// this was made, in hex.
class SerialCapture {
 public:
  SerialCapture();
  std::string NewHex() const;

 private:
  std::wstring path_;
  std::size_t start_;
};

// Every case gets a freshly started tool (KV_TOOL_EXE), as a user who just
// opened it, and closes it after: it must end with 0.
class ToolInLabTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const ToolWindow& W() const { return *window_; }
  // The printer box shows a search's placeholder.
  bool Searching() const;
  // The find button reads "Tìm" again and the box shows a result.
  bool SearchDone() const;
  // Clicks `button` (the LAN / Wi-Fi radio, or the find button), sees the
  // search begin and waits for its list.
  std::vector<std::u16string> Search(int button = kLanRadio);

  Process tool_;
  std::optional<ToolWindow> window_;
};

}  // namespace korvante::ui
