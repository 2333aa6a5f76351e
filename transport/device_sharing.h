// How the direct write opens a printer's device path. A COM port is a
// communications resource, which Windows documents as opened for exclusive
// access (share mode 0): another program must not write into the middle of a
// command. A USB printer interface keeps the shared open it always had.
#pragma once

#include <string_view>

namespace korvante {

enum class DeviceSharing {
  kExclusive,  // share mode 0
  kShared,     // FILE_SHARE_READ | FILE_SHARE_WRITE
};

// Exclusive for "\\.\COM" (or "\\?\COM") followed by the port's number alone,
// in any letter case (the enumeration copies it as the system names it);
// shared for every other path.
DeviceSharing SharingFor(std::u16string_view path);

}  // namespace korvante
