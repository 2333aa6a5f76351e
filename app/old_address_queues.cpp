#include "app/old_address_queues.h"

#include <algorithm>

#include "core/text_encoding.h"

namespace korvante {
namespace {

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

bool ListsPort(std::u16string_view ports, std::u16string_view port) {
  while (!ports.empty()) {
    const std::size_t comma = ports.find(u',');
    if (EqualsIgnoreAsciiCase(Trimmed(ports.substr(0, comma)), port)) return true;
    if (comma == std::u16string_view::npos) break;
    ports.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace

std::vector<std::u16string> QueuesAtAddress(const std::vector<TcpPrinterPort>& ports,
                                            const std::vector<PrintQueueReport>& queues,
                                            const std::string& address) {
  const std::u16string wanted = FromUtf8(address);
  std::vector<std::u16string> named;
  for (const PrintQueueReport& queue : queues) {
    const bool atAddress = std::any_of(ports.begin(), ports.end(), [&](const TcpPrinterPort& p) {
      const bool names = Trimmed(p.hostName) == wanted || Trimmed(p.ipAddress) == wanted;
      return names && !p.name.empty() && ListsPort(queue.portName, p.name);
    });
    if (atAddress) named.push_back(queue.printerName);
  }
  return named;
}

}  // namespace korvante
