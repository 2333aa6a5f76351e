// Which device paths the direct write opens for itself alone.
#include "transport/device_sharing.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace korvante {
namespace {

TEST(DeviceSharing, ComPortsAloneAreOpenedExclusively) {
  const std::pair<std::u16string, DeviceSharing> cases[] = {
      {u"\\\\.\\COM5", DeviceSharing::kExclusive},
      {u"\\\\.\\com12", DeviceSharing::kExclusive},  // as the name spells it
      {u"\\\\?\\Com3", DeviceSharing::kExclusive},
      {u"\\\\?\\usb#vid_1234&pid_5678#k80#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
       DeviceSharing::kShared},
      {u"\\\\.\\USB001", DeviceSharing::kShared},  // a USB print monitor port as a path
      {u"\\\\.\\COM", DeviceSharing::kShared},
      {u"\\\\.\\COM5\\x", DeviceSharing::kShared},
      {u"\\\\.\\COMPACT", DeviceSharing::kShared},
      {u"\\\\/\\COM5", DeviceSharing::kShared},
      {u"COM5", DeviceSharing::kShared},
      {u"", DeviceSharing::kShared},
  };
  for (const auto& [path, sharing] : cases) {
    EXPECT_EQ(SharingFor(path), sharing) << std::string(path.begin(), path.end());
  }
}

}  // namespace
}  // namespace korvante
