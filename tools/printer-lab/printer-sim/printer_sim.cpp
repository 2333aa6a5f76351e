// printer-sim: plays one Korvante network printer on the address it is given,
// for the lab's private test network. Linux only: POSIX sockets and the C++
// standard library. It answers UDP discovery on port 9000, the real-time
// status requests on TCP port 9100, applies "XP0001SAVE" and the IP-change
// command by moving its own interface address (it runs as root inside its own
// network namespace), and writes a journal line for everything it receives.
// It also keeps an index page with a picture of every ticket it stores, and
// renders files (--render).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/printer-lab/printer-sim/hostile_modes.h"
#include "tools/printer-lab/printer-sim/journal_text.h"
#include "tools/printer-lab/printer-sim/render_file.h"
#include "tools/printer-lab/printer-sim/virtual_printer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kDiscoveryPort = 9000;
constexpr std::uint16_t kPrintPort = 9100;
constexpr std::string_view kFind = "XP0001FIND";
constexpr std::string_view kFound = "XP0001FOUND";
constexpr std::string_view kSave = "XP0001SAVE";
constexpr std::size_t kSaveLength = 33;

const char* const kHelp = R"(usage: printer-sim --ip A.B.C.D/N --journal FILE [options]
       printer-sim --render FILE [--hex] [--out PNG] [--date YYYY-MM-DD]

Plays one Korvante network printer inside the current network namespace.

  --ip A.B.C.D/N        the printer's address and prefix length (required)
  --dev IFACE           interface holding the address; needed to move it on an
                        XP0001SAVE or IP-change command (default eth0)
  --journal FILE        append one line per datagram, connection and command:
                        raw bytes in hex and a decoded, readable text (required)
  --index FILE          the HTML page that lists the same events with each
                        command's reading and a PNG picture of every ticket
                        and printout, named FILE's stem + -ticket-NNN.png or
                        -print-NNN.png (default: the journal's name ending in
                        .html, e.g. journal-100.log gives journal-100.html)
  --mac XX-XX-XX-XX-XX-XX
                        MAC in replies, matched by XP0001SAVE
                        (default 00-1A-2B-00-00-<last octet in hex>)
  --gateway A.B.C.D     gateway in replies (default: first three octets and .1)
  --device-bytes HH:HH  the two bytes after the MAC in a reply (default 22:00)
  --port N              printing port written in the reply (default 9100;
                        0 writes 00 00, which the tool reads as 9100)
  --report-ip A.B.C.D   address written in the reply instead of the real one
  --reply MODE          answer to XP0001FIND:
                          normal   the 34-byte XP0001FOUND reply (default)
                          leading  the reply preceded by 4 bytes 01 02 03 04
                          short    the reply without its trailing byte (33)
                          silent   no answer
  --echo                also send the request's own bytes back to the sender
  --limited-only        answer XP0001FIND only when it was sent to
                        255.255.255.255, as a printer still on a factory
                        address of another network hears nothing else
  --move-to A.B.C.D     on XP0001SAVE or the IP-change command, take this
                        address instead of the one sent (a printer that
                        answers at another address after a change)
  --mute-file PATH      while PATH exists, XP0001FIND is journalled, not answered
  --tcp MODE            TCP port 9100:
                          status   answer each DLE EOT n request (default)
                          silent   accept connections, never answer
                          absent   do not listen (connections are refused)
  --status HEX          bytes answered to DLE EOT, e.g. 12, 41,42 or 41:42 (default 12)
  --status-only N       answer only DLE EOT N (1, 2 or 4); stay silent otherwise
  --hostile-udp SCENE   a hostile host: answers XP0001FIND with SCENE instead of
                        its reply: flood N, garbage, odd, silent, or @FILE to
                        read the scene from FILE at each request (hostile_modes.h)
  --hostile-tcp MODE    a hostile TCP 9100: noread, stream (an endless stream of
                        the --status bytes once anything arrives) or reset
  --help                this text

--render reads the bytes of FILE (with --hex: hex text, as in a journal's
hex=, '#' comments allowed) as the print port would, writes the picture of each
ticket program and printout to PNG (the second one PNG-2, ...), and prints the
commands, the settings and the printed lines; --date is the date "@date" prints.

Journal lines: "<time> <what> <peer> hex=<bytes> | <decoded>". For example
  12.345 udp 10.77.0.2:9000 hex=58 50 30 30 30 31 46 49 4E 44 | XP0001FIND -> reply normal
  12.400 tcp-data 10.77.0.2:49800 hex=10 04 01 | DLE EOT 1 -> 12
  12.401 tcp-close 10.77.0.2:49800 total=3 hex=10 04 01
)";

struct Options {
  std::array<std::uint8_t, 4> ip{};
  int prefix = 24;
  std::string dev = "eth0";
  std::string journal;
  std::string index;
  std::array<std::uint8_t, 6> mac{};
  bool macGiven = false;
  std::optional<std::array<std::uint8_t, 4>> gateway;
  std::array<std::uint8_t, 2> deviceBytes{0x22, 0x00};
  unsigned port = 9100;
  std::optional<std::array<std::uint8_t, 4>> reportIp;
  std::string reply = "normal";
  bool echo = false;
  bool limitedOnly = false;
  std::optional<std::array<std::uint8_t, 4>> moveTo;
  std::string muteFile;
  std::string tcp = "status";
  Bytes status{0x12};
  int statusOnly = 0;
  std::string hostileUdp;
  std::string hostileTcp;
};

// --- text helpers ------------------------------------------------------------

using korvante::sim::DottedText;
using korvante::sim::HexText;
using korvante::sim::PeerText;

std::string MacText(const std::uint8_t* m) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4],
                m[5]);
  return text;
}

bool ParseIp(const std::string& text, std::array<std::uint8_t, 4>& out) {
  in_addr a{};
  if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
  std::memcpy(out.data(), &a, 4);
  return true;
}

bool ParseHexList(const std::string& text, Bytes& out) {
  out.clear();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of(", :", at);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(at, end - at);
    if (!part.empty()) {
      char* stop = nullptr;
      const unsigned long v = std::strtoul(part.c_str(), &stop, 16);
      if (*stop != '\0' || v > 0xFF) return false;
      out.push_back(static_cast<std::uint8_t>(v));
    }
    at = end + 1;
  }
  return true;
}

int PrefixFromMask(const std::uint8_t* m) {
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    for (int bit = 7; bit >= 0; --bit) n += (m[i] >> bit) & 1;
  }
  return n;
}

[[noreturn]] void Usage(const char* why) {
  std::fprintf(stderr, "printer-sim: %s (see --help)\n", why);
  std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  bool ipGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(("missing value for " + arg).c_str());
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      std::exit(0);
    } else if (arg == "--ip") {
      const std::string v = value();
      const auto slash = v.find('/');
      if (!ParseIp(v.substr(0, slash), o.ip)) Usage("bad --ip");
      if (slash != std::string::npos) o.prefix = std::atoi(v.c_str() + slash + 1);
      ipGiven = true;
    } else if (arg == "--dev") {
      o.dev = value();
    } else if (arg == "--journal") {
      o.journal = value();
    } else if (arg == "--index") {
      o.index = value();
    } else if (arg == "--mac") {
      unsigned m[6];
      if (std::sscanf(value().c_str(), "%x-%x-%x-%x-%x-%x", &m[0], &m[1], &m[2], &m[3], &m[4],
                      &m[5]) != 6) {
        Usage("bad --mac");
      }
      for (int k = 0; k < 6; ++k) o.mac[k] = static_cast<std::uint8_t>(m[k]);
      o.macGiven = true;
    } else if (arg == "--gateway") {
      std::array<std::uint8_t, 4> g{};
      if (!ParseIp(value(), g)) Usage("bad --gateway");
      o.gateway = g;
    } else if (arg == "--device-bytes") {
      Bytes b;
      if (!ParseHexList(value(), b) || b.size() != 2) Usage("bad --device-bytes");
      o.deviceBytes = {b[0], b[1]};
    } else if (arg == "--port") {
      o.port = static_cast<unsigned>(std::atoi(value().c_str())) & 0xFFFF;
    } else if (arg == "--report-ip") {
      std::array<std::uint8_t, 4> r{};
      if (!ParseIp(value(), r)) Usage("bad --report-ip");
      o.reportIp = r;
    } else if (arg == "--reply") {
      o.reply = value();
      if (o.reply != "normal" && o.reply != "leading" && o.reply != "short" &&
          o.reply != "silent") {
        Usage("bad --reply");
      }
    } else if (arg == "--echo") {
      o.echo = true;
    } else if (arg == "--limited-only") {
      o.limitedOnly = true;
    } else if (arg == "--move-to") {
      std::array<std::uint8_t, 4> m{};
      if (!ParseIp(value(), m)) Usage("bad --move-to");
      o.moveTo = m;
    } else if (arg == "--mute-file") {
      o.muteFile = value();
    } else if (arg == "--tcp") {
      o.tcp = value();
      if (o.tcp != "status" && o.tcp != "silent" && o.tcp != "absent") Usage("bad --tcp");
    } else if (arg == "--status") {
      if (!ParseHexList(value(), o.status)) Usage("bad --status");
    } else if (arg == "--status-only") {
      o.statusOnly = std::atoi(value().c_str());
    } else if (arg == "--hostile-udp") {
      o.hostileUdp = value();
      if (!korvante::sim::HostileUdp::Valid(o.hostileUdp)) Usage("bad --hostile-udp");
    } else if (arg == "--hostile-tcp") {
      o.hostileTcp = value();
      if (!korvante::sim::ValidHostileTcp(o.hostileTcp)) Usage("bad --hostile-tcp");
    } else {
      Usage(("unknown option " + arg).c_str());
    }
  }
  if (!ipGiven) Usage("--ip is required");
  if (o.journal.empty()) Usage("--journal is required");
  if (!o.macGiven) o.mac = {0x00, 0x1A, 0x2B, 0x00, 0x00, o.ip[3]};
  if (!o.gateway) o.gateway = std::array<std::uint8_t, 4>{o.ip[0], o.ip[1], o.ip[2], 1};
  return o;
}

// --- the printer ---------------------------------------------------------------

class Printer {
 public:
  explicit Printer(Options o)
      : o_(std::move(o)), start_(std::chrono::steady_clock::now()), hostileUdp_(o_.hostileUdp) {
    journal_ = std::fopen(o_.journal.c_str(), "a");
    if (journal_ == nullptr) {
      std::perror("printer-sim: journal");
      std::exit(1);
    }
    const std::string index = o_.index.empty() ? korvante::sim::IndexPathFor(o_.journal) : o_.index;
    view_ = std::make_unique<korvante::sim::VirtualPrinter>(
        index,
        "Simulated printer " + DottedText(o_.ip.data()) + " (" + MacText(o_.mac.data()) + ")");
    if (!view_->ok()) {
      std::perror(("printer-sim: " + index).c_str());
      std::exit(1);
    }
  }

  void run();

 private:
  // `connection` and `data` tell the index page which TCP stream the event
  // belongs to and what it carried.
  void log(const std::string& what, const std::string& peer, const std::string& rest,
           int connection = -1, const std::uint8_t* data = nullptr, std::size_t size = 0) {
    const double t = korvante::sim::WriteJournalLine(journal_, start_, what, peer, rest);
    view_->Record({t, what, peer, rest, connection, {data, size}});
  }

  std::array<std::uint8_t, 4> mask() const {
    const std::uint32_t m = o_.prefix <= 0 ? 0 : 0xFFFFFFFFu << (32 - o_.prefix);
    return {static_cast<std::uint8_t>(m >> 24), static_cast<std::uint8_t>(m >> 16),
            static_cast<std::uint8_t>(m >> 8), static_cast<std::uint8_t>(m)};
  }

  Bytes foundReply() const {
    Bytes r(kFound.begin(), kFound.end());
    r.insert(r.end(), o_.mac.begin(), o_.mac.end());
    r.insert(r.end(), o_.deviceBytes.begin(), o_.deviceBytes.end());
    const auto ip = o_.reportIp.value_or(o_.ip);
    r.insert(r.end(), ip.begin(), ip.end());
    const auto m = mask();
    r.insert(r.end(), m.begin(), m.end());
    r.insert(r.end(), o_.gateway->begin(), o_.gateway->end());
    r.push_back(static_cast<std::uint8_t>(o_.port & 0xFF));  // port, low byte first
    r.push_back(static_cast<std::uint8_t>(o_.port >> 8));
    r.push_back(0x00);  // trailing byte
    return r;
  }

  void onDatagram();
  void onSave(const std::uint8_t* d, const std::string& peer, const std::string& rawHex);
  void onConnection();
  bool onClientData(int fd);
  bool moveTo(const std::array<std::uint8_t, 4>& ip, int prefix);
  // " -> moved", naming the address when --move-to chose it.
  std::string movedText(bool moved, const std::array<std::uint8_t, 4>& ip) const {
    if (!moved) return " -> move failed";
    return o_.moveTo ? " -> moved to " + DottedText(ip.data()) : " -> moved";
  }

  Options o_;
  std::chrono::steady_clock::time_point start_;
  std::FILE* journal_ = nullptr;
  std::unique_ptr<korvante::sim::VirtualPrinter> view_;
  int udp_ = -1;
  int listener_ = -1;
  struct Client {
    std::string peer;
    Bytes all;
    Bytes pending;  // bytes of a command not complete yet
  };
  std::map<int, Client> clients_;
  korvante::sim::HostileUdp hostileUdp_;
};

int BoundSocket(int type, std::uint16_t port) {
  const int s = socket(AF_INET, type, 0);
  if (s < 0) return -1;
  const int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  // Any address: the printer keeps answering after it moved.
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(s);
    return -1;
  }
  return s;
}

bool Printer::moveTo(const std::array<std::uint8_t, 4>& ip, int prefix) {
  const std::string oldAddr = DottedText(o_.ip.data()) + "/" + std::to_string(o_.prefix);
  const std::string newAddr = DottedText(ip.data()) + "/" + std::to_string(prefix);
  auto runIp = [&](const char* verb, const std::string& addr) {
    const pid_t pid = fork();
    if (pid == 0) {
      const int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) {
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      execlp("ip", "ip", "addr", verb, addr.c_str(), "dev", o_.dev.c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  if (newAddr == oldAddr) return true;
  // Old address first: deleting a primary address also deletes the secondary
  // ones of its subnet, so the new one must not be added beside it.
  if (!runIp("del", oldAddr)) return false;
  if (!runIp("add", newAddr)) {
    runIp("add", oldAddr);
    return false;
  }
  o_.ip = ip;
  o_.prefix = prefix;
  return true;
}

void Printer::onDatagram() {
  std::uint8_t d[2048];
  sockaddr_in from{};
  // The address the datagram was sent to (IP_PKTINFO): a broadcast or this printer.
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
  iovec part{d, sizeof d};
  msghdr message{};
  message.msg_name = &from;
  message.msg_namelen = sizeof from;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(udp_, &message, 0);
  if (n < 0) return;
  const socklen_t fromLength = message.msg_namelen;
  in_addr sentTo{};
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
      in_pktinfo info{};
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      sentTo = info.ipi_addr;
    }
  }
  const auto len = static_cast<std::size_t>(n);
  const std::string peer = PeerText(from);
  const std::string raw = "hex=" + HexText({d, len});
  const std::string_view text(reinterpret_cast<const char*>(d), len);

  if (text == kFind) {
    if (o_.limitedOnly && sentTo.s_addr != htonl(INADDR_BROADCAST)) {
      log("udp", peer,
          raw + " | XP0001FIND to " +
              DottedText(reinterpret_cast<const std::uint8_t*>(&sentTo.s_addr)) +
              " -> not the limited broadcast, ignored");
      return;
    }
    struct stat st {};
    if (!o_.muteFile.empty() && stat(o_.muteFile.c_str(), &st) == 0) {
      log("udp", peer, raw + " | XP0001FIND -> muted");
      return;
    }
    if (o_.echo) sendto(udp_, d, len, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    if (!o_.hostileUdp.empty()) {
      log("udp", peer,
          raw + " | XP0001FIND -> " + hostileUdp_.AnswerFind(udp_, from, foundReply()));
      return;
    }
    Bytes reply = foundReply();
    if (o_.reply == "leading") reply.insert(reply.begin(), {0x01, 0x02, 0x03, 0x04});
    if (o_.reply == "short") reply.pop_back();
    if (o_.reply == "silent") {
      log("udp", peer, raw + " | XP0001FIND -> silent");
      return;
    }
    sendto(udp_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    log("udp", peer,
        raw + " | XP0001FIND -> reply " + o_.reply + (o_.echo ? " + echo" : "") + " " +
            std::to_string(reply.size()) + " bytes: " + HexText(reply));
    return;
  }
  if (len == kSaveLength && text.substr(0, kSave.size()) == kSave) {
    onSave(d, peer, raw);
    return;
  }
  if (len >= kFound.size() && text.substr(0, kFound.size()) == kFound) {
    log("udp", peer, raw + " | XP0001FOUND (another printer's reply, ignored)");
    return;
  }
  log("udp", peer, raw + " | unknown datagram, " + std::to_string(len) + " bytes");
}

void Printer::onSave(const std::uint8_t* d, const std::string& peer, const std::string& raw) {
  const std::uint8_t* mac = d + 10;
  const std::uint8_t* ip = d + 18;
  const std::uint8_t* m = d + 22;
  const std::uint8_t* gw = d + 26;
  const unsigned port = d[30] | (d[31] << 8);
  std::string decoded = "XP0001SAVE mac " + MacText(mac) + " device " + HexText({d + 16, 2}) +
                        " ip " + DottedText(ip) + " mask " + DottedText(m) + " gateway " +
                        DottedText(gw) + " port " + std::to_string(port);
  if (std::memcmp(mac, o_.mac.data(), 6) != 0) {
    log("udp", peer, raw + " | " + decoded + " -> not my MAC, ignored");
    return;
  }
  const std::array<std::uint8_t, 4> newIp =
      o_.moveTo.value_or(std::array{ip[0], ip[1], ip[2], ip[3]});
  const bool moved = moveTo(newIp, PrefixFromMask(m));
  if (moved) {
    o_.gateway = std::array<std::uint8_t, 4>{gw[0], gw[1], gw[2], gw[3]};
    o_.deviceBytes = {d[16], d[17]};
    o_.reportIp.reset();
  }
  log("udp", peer, raw + " | " + decoded + movedText(moved, newIp));
}

void Printer::onConnection() {
  sockaddr_in from{};
  socklen_t fromLength = sizeof from;
  const int fd = accept(listener_, reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (fd < 0) return;
  clients_[fd].peer = PeerText(from);
  log("tcp-connect", clients_[fd].peer, "", fd);
}

// Decodes what a client sent, command by command; answers DLE EOT and applies
// the IP-change command. False when the connection ended.
bool Printer::onClientData(int fd) {
  Client& c = clients_[fd];
  std::uint8_t d[4096];
  const ssize_t n = recv(fd, d, sizeof d, 0);
  if (n <= 0) {
    log("tcp-close", c.peer, "total=" + std::to_string(c.all.size()) + " hex=" + HexText(c.all),
        fd);
    return false;
  }
  const auto len = static_cast<std::size_t>(n);
  c.all.insert(c.all.end(), d, d + len);
  c.pending.insert(c.pending.end(), d, d + len);

  std::string decoded;
  auto note = [&](const std::string& s) {
    if (!decoded.empty()) decoded += "; ";
    decoded += s;
  };
  std::size_t i = 0;
  std::size_t other = 0;
  auto flushOther = [&] {
    if (other) note(std::to_string(other) + " other bytes");
    other = 0;
  };
  Bytes& p = c.pending;
  while (i < p.size()) {
    if (p[i] == 0x10) {
      if (i + 3 > p.size()) break;
      if (p[i + 1] == 0x04) {
        flushOther();
        const int which = p[i + 2];
        std::string what = "DLE EOT " + std::to_string(which);
        const bool answers = o_.tcp == "status" && (o_.statusOnly == 0 || o_.statusOnly == which);
        if (answers && !o_.status.empty()) {
          send(fd, o_.status.data(), o_.status.size(), MSG_NOSIGNAL);
          what += " -> " + HexText(o_.status);
        } else {
          what += " -> silent";
        }
        note(what);
        i += 3;
        continue;
      }
    }
    if (p[i] == 0x1F) {
      if (i + 8 > p.size()) break;
      if (p[i + 1] == 0x1B && p[i + 2] == 0x1F && p[i + 3] == 0x22) {
        flushOther();
        const std::array<std::uint8_t, 4> ip{p[i + 4], p[i + 5], p[i + 6], p[i + 7]};
        const std::array<std::uint8_t, 4> newIp = o_.moveTo.value_or(ip);
        const bool moved = moveTo(newIp, o_.prefix);
        note("set LAN address " + DottedText(ip.data()) + movedText(moved, newIp));
        i += 8;
        continue;
      }
    }
    ++other;
    ++i;
  }
  flushOther();
  p.erase(p.begin(), p.begin() + static_cast<std::ptrdiff_t>(i));
  log("tcp-data", c.peer,
      "hex=" + HexText({d, len}) + " | " + (decoded.empty() ? "partial" : decoded), fd, d, len);
  return true;
}

void Printer::run() {
  udp_ = BoundSocket(SOCK_DGRAM, kDiscoveryPort);
  const int on = 1;
  if (udp_ < 0 || setsockopt(udp_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
    std::perror("printer-sim: udp 9000");
    std::exit(1);
  }
  if (!o_.hostileTcp.empty()) {
    const int listener = BoundSocket(SOCK_STREAM, kPrintPort);
    if (listener < 0 ||
        !korvante::sim::StartHostileTcp(listener, o_.hostileTcp, o_.status, o_.journal, start_)) {
      std::perror("printer-sim: hostile tcp 9100");
      std::exit(1);
    }
  } else if (o_.tcp != "absent") {
    listener_ = BoundSocket(SOCK_STREAM, kPrintPort);
    if (listener_ < 0 || listen(listener_, 64) != 0) {
      std::perror("printer-sim: tcp 9100");
      std::exit(1);
    }
  }
  log("start", DottedText(o_.ip.data()) + "/" + std::to_string(o_.prefix),
      "mac " + MacText(o_.mac.data()) + " reply " + o_.reply + " tcp " + o_.tcp + " status " +
          HexText(o_.status) + (o_.hostileUdp.empty() ? "" : " hostile-udp " + o_.hostileUdp) +
          (o_.hostileTcp.empty() ? "" : " hostile-tcp " + o_.hostileTcp));

  for (;;) {
    std::vector<pollfd> fds{{udp_, POLLIN, 0}};
    if (listener_ >= 0) fds.push_back({listener_, POLLIN, 0});
    for (const auto& [fd, client] : clients_) fds.push_back({fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (const pollfd& p : fds) {
      if ((p.revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      if (p.fd == udp_) {
        onDatagram();
      } else if (p.fd == listener_) {
        onConnection();
      } else if (!onClientData(p.fd)) {
        close(p.fd);
        clients_.erase(p.fd);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--render")
    return korvante::sim::RenderFileCommand(argc - 2, argv + 2);
  Printer printer(ParseOptions(argc, argv));
  printer.run();
  return 0;
}
