#include "tests/ui-driver/tool_in_lab_win32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace korvante::ui {

using namespace std::chrono_literals;

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string HexOf(const std::string& bytes) {
  std::string text;
  char one[4];
  for (unsigned char b : bytes) {
    std::snprintf(one, sizeof one, text.empty() ? "%02X" : " %02X", b);
    text += one;
  }
  return text;
}

namespace {

// The bytes of a journal line, "hex=1B 40 | ..." up to the reading.
std::string LineBytes(const std::string& line, std::size_t hex) {
  return line.substr(hex + 5, line.find(" |", hex) - hex - 5);
}

}  // namespace

LabJournal::LabJournal(const char* variable)
    : path_(EnvPath(variable)), start_(ReadWholeFile(path_).size()) {}

LabJournal::LabJournal(int host) : LabJournal(("KV_LAB_JOURNAL_" + std::to_string(host)).c_str()) {}

std::vector<std::string> LabJournal::NewLines() const {
  const std::string whole = ReadWholeFile(path_);
  return TextLines(whole.size() > start_ ? whole.substr(start_) : std::string());
}

std::size_t LabJournal::Count(const std::string& fragment, const std::string& also) const {
  const auto lines = NewLines();
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto& l) {
    return l.find(fragment) != std::string::npos && l.find(also) != std::string::npos;
  }));
}

std::vector<std::string> LabJournal::TcpPayloads() const {
  std::vector<std::string> payloads;
  for (const std::string& line : NewLines()) {
    const std::size_t hex = line.find(" hex=");
    if (line.find(" tcp-close ") != std::string::npos && hex != std::string::npos)
      payloads.push_back(line.substr(hex + 5));
  }
  return payloads;
}

std::vector<std::string> LabJournal::TcpStreams() const {
  std::vector<std::string> peers, streams;
  for (const std::string& line : NewLines()) {
    std::istringstream fields(line);
    std::string time, what, peer;
    fields >> time >> what >> peer;
    if (what == "tcp-connect") {
      peers.push_back(peer);
      streams.emplace_back();
    }
    const auto at = std::find(peers.begin(), peers.end(), peer);
    const std::size_t hex = line.find(" hex=");
    if (what != "tcp-data" || at == peers.end() || hex == std::string::npos) continue;
    std::string& stream = streams[static_cast<std::size_t>(at - peers.begin())];
    if (!stream.empty()) stream += ' ';
    stream += LineBytes(line, hex);
  }
  return streams;
}

std::vector<std::string> LabJournal::TcpData() const {
  std::vector<std::string> data;
  for (const std::string& line : NewLines()) {
    const std::size_t hex = line.find(" hex=");
    if (line.find(" tcp-data ") == std::string::npos || hex == std::string::npos) continue;
    data.push_back(LineBytes(line, hex));
  }
  return data;
}

SerialCapture::SerialCapture()
    : path_(EnvPath("KV_SERIAL_OUT")), start_(ReadWholeFile(path_).size()) {}

std::string SerialCapture::NewHex() const {
  const std::string whole = ReadWholeFile(path_);
  return HexOf(whole.size() > start_ ? whole.substr(start_) : std::string());
}

void ToolInLabTest::SetUp() {
  const std::wstring tool = EnvPath("KV_TOOL_EXE");
  ASSERT_FALSE(tool.empty()) << "KV_TOOL_EXE not set";
  // Under Wine a start has been seen to fail at once, once in a clean run
  // (the first of a suite, CreateProcessW false before the tool ran a line):
  // the error is printed, and one more try after a pause tells that from a
  // tool that cannot start.
  const std::wstring commandLine = L"\"" + tool + L"\"";
  bool started = tool_.Start(commandLine);
  if (!started) {
    std::printf("  the tool's start failed (error %lu); trying once more\n",
                static_cast<unsigned long>(GetLastError()));
    Sleep(500);
    started = tool_.Start(commandLine);
  }
  ASSERT_TRUE(started) << "the tool did not start, error " << GetLastError();
  window_ = ToolWindow::Find(10s);
  ASSERT_TRUE(window_) << "main window did not appear";
}

void ToolInLabTest::TearDown() {
  // A box or question left open by a failed case would keep the tool from
  // closing.
  for (int i = 0; i < 3 && AnswerMessageBox(0ms); ++i) {
  }
  for (int i = 0; i < 3 && AnswerQuestion(0ms, false); ++i) {
  }
  if (window_) PostMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
  // A close during a send waits for its outcome, shown in a box.
  long code = tool_.Wait(5000);
  for (int i = 0; i < 5 && code == -1 && AnswerMessageBox(1s); ++i) code = tool_.Wait(2000);
  EXPECT_EQ(code, 0) << "the tool did not end with 0 after closing";
}

bool ToolInLabTest::Searching() const {
  const auto items = W().PrinterItems();
  return items.size() == 1 && items[0].rfind(u"Đang tìm", 0) == 0;
}

bool ToolInLabTest::SearchDone() const { return W().Caption(kFind) == u"Tìm" && !Searching(); }

std::vector<std::u16string> ToolInLabTest::Search(int button) {
  W().Click(button);
  EXPECT_TRUE(WaitUntil([&] { return W().Caption(kFind) == u"Đang tìm..."; }, 2s));
  EXPECT_TRUE(WaitUntil([&] { return SearchDone(); }, 20s));
  return W().PrinterItems();
}

}  // namespace korvante::ui
