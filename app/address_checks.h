// The checks a LAN address change passes before anything is sent, so that a
// printer is not moved where it is lost (onto the computer's own address, a
// gateway, a network or broadcast address, a network no computer reaches) or
// onto an address that something else already holds; and the reason a send
// to a printer outside the network that heard it fails.
//
// Portable: the window reads its fields and lists, these rules decide, and
// the texts they return (worded in window_texts.h) are what the window shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/network_settings.h"
#include "core/printer_records.h"

namespace korvante {

// How the change reaches the printer: the "XP0001SAVE" broadcast (address,
// mask and gateway), the IP-change command over TCP or over USB (the address
// alone).
enum class LanPath { kBroadcast, kTcp, kUsb };

// The mask as a number when it is a run of ones then zeros and not 0.0.0.0.
std::optional<std::uint32_t> UsableMask(const std::string& mask);

// True when both addresses parse and lie in one network of that mask.
bool SameNetwork(const std::string& a, const std::string& b, std::uint32_t mask);

// The message that refuses the change, or nullopt when it may go on. The
// fields parse (FindInvalidLanAddress came first). In order: an unusable mask
// (broadcast path, where the mask is sent); an address no printer can have
// (0.x, 224 and above); one of the computer's own addresses; the
// gateway of the form or of one of the computer's networks; the network or
// broadcast address of the form's mask (when usable and shorter than /31);
// on the broadcast path a gateway other than 0.0.0.0 outside the new
// address's network.
std::optional<std::u16string> RefuseLanChange(const LanAddresses& addresses, LanPath path,
                                              const std::vector<NetworkProfile>& profiles);

// A printer of the list, other than the one being changed, that already has
// the new address. A change to the printer's own current address finds none.
std::optional<NetworkPrinter> ListedHolder(const std::string& newIp, const NetworkPrinter& printer,
                                           const std::vector<NetworkPrinter>& listed);

// True when the address lies on one of the computer's networks: only there
// does the neighbour table say who holds it.
bool OnComputersNetworks(const std::string& ip, const std::vector<NetworkProfile>& profiles);

// The question to ask when after the change the printer could be lost, or
// nullopt. A move within the network the printer is on now (its reported
// mask, else the form's, else /24) asks nothing. Otherwise:
// - a new address on none of the computer's networks: this computer could
//   not reach the printer any more;
// - one on the computer's networks but not on the link the printer sits on
//   (the network that heard it; for a printer discovery did not hear, such
//   as one behind a router, its own network): no computer could, unless the
//   printer is moved there.
// None for a printer on USB (`current` null) but the first; none at all on a
// computer without networks.
std::optional<std::u16string> ReachQuestion(const LanAddresses& addresses,
                                            const NetworkPrinter* current,
                                            const std::vector<NetworkProfile>& profiles);

// True for a printer heard on one of the computer's networks whose address
// lies outside that network (a factory address): TCP cannot reach it.
bool HeardOutsideItsNetwork(const NetworkPrinter& printer,
                            const std::vector<NetworkProfile>& profiles);

}  // namespace korvante
