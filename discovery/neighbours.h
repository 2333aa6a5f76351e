// Who holds an address on one of the computer's networks, as the computer's
// neighbour (ARP) table tells it. A ping answers only for devices that answer
// pings; every device on the link answers ARP for its own address, so a
// datagram to the address and a read of the table find what holds it.
//
// The waiting and the verdicts are portable; neighbours_win32.cpp sends the
// datagram and reads the table.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "discovery/udp_discovery.h"

namespace korvante {

// A neighbour's state, as the platform numbers it (NL_NEIGHBOR_STATE).
enum class NeighbourState : std::uint32_t {
  kUnreachable = 0,
  kIncomplete = 1,
  kProbe = 2,
  kDelay = 3,
  kStale = 4,
  kReachable = 5,
  kPermanent = 6,
};

// One row of the neighbour table for the address asked about.
struct NeighbourEntry {
  NeighbourState state = NeighbourState::kIncomplete;
  std::string mac;  // "00-1A-2B-3C-4D-5E"; empty or all zero while unresolved
};

// What one row says about the address.
enum class NeighbourVerdict {
  kUnresolved,  // nobody has answered yet: keep waiting
  kHeld,        // another device holds it
  kOwnPrinter,  // the printer being changed holds it: no conflict
};

// A row with a MAC that is not all zero (reachable, or remembered from
// recent traffic: stale, delay, probe, permanent) names a holder; an
// unreachable or incomplete row names nobody yet. The printer's own MAC
// (matched without regard to case) is no conflict.
NeighbourVerdict JudgeNeighbour(const NeighbourEntry& entry, const std::string& printerMac);

// How long the check waits for an answer. The whole check may cost 500 ms
// before the change is sent; the rest goes to the datagram, the last read
// and a sleep that wakes late on a busy computer (under Wine, measured: up
// to about 20 ms past a 500 ms wait).
inline constexpr std::chrono::milliseconds kNeighbourCheckLimit{440};
// How often the table is read while nobody has answered.
inline constexpr std::chrono::milliseconds kNeighbourPoll{25};

struct NeighbourHooks {
  // Sends one datagram to the address, which makes the computer ask the
  // network who holds it.
  std::function<void(const std::string& ip)> sendProbe;
  // The table's rows for the address (one per adapter that knows it).
  std::function<std::vector<NeighbourEntry>(const std::string& ip)> read;
  std::function<void(std::chrono::milliseconds)> sleep;
  ClockNow now = MonotonicClock::now;
};

// The MAC of the device that holds `ip`, when one answers within
// kNeighbourCheckLimit; nullopt when nobody does or only the printer itself
// does. The table is read first, so an address already known ends the check
// at once; a free address costs the whole limit.
std::optional<std::string> FindAddressHolder(const std::string& ip, const std::string& printerMac,
                                             const NeighbourHooks& hooks);

}  // namespace korvante
