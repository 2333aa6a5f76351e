// Which device paths the direct write opens for itself alone.
#include "transport/device_sharing.h"

#include <gtest/gtest.h>

#include <string>

namespace korvante {
namespace {

TEST(DeviceSharing, ComPortsAloneAreOpenedExclusively) {
  const std::u16string exclusive[] = {u"\\\\.\\COM5", u"\\\\.\\com3", u"\\\\.\\Com12",
                                      u"\\\\.\\COM256", u"\\\\?\\COM5"};
  for (const std::u16string& path : exclusive) {
    EXPECT_EQ(SharingFor(path), DeviceSharing::kExclusive) << std::string(path.begin(), path.end());
  }
  const std::u16string shared[] = {
      u"\\\\?\\usb#vid_1234&pid_5678#k80#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
      u"\\\\.\\USB001",  // a USB print monitor's port name as a path
      u"\\\\.\\COM",     // no number
      u"\\\\.\\COM5 ",
      u"\\\\.\\COM5\\x",
      u"\\\\.\\COMPACT",
      u"\\\\/\\COM5",
      u"COM5",
      u"",
      u"\\\\.\\LPT1"};
  for (const std::u16string& path : shared) {
    EXPECT_EQ(SharingFor(path), DeviceSharing::kShared) << std::string(path.begin(), path.end());
  }
}

}  // namespace
}  // namespace korvante
