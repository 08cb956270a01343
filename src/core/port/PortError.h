// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Why a serial port operation failed: a category a window can act on, the
// system's error number and the system's own reason text.
#include <string>

namespace quelvo {

enum class PortErrorKind {
  kNone,
  kNotFound,      // no such device (missing path, unknown port name)
  kInUse,         // held by another program
  kNoPermission,  // the user may not open it (usually not in the dialout group)
  kVanished,      // the device went away while open (USB adapter pulled: EIO, ENXIO)
  kOther,
};

struct PortError {
  PortErrorKind kind = PortErrorKind::kNone;
  int systemError = 0;  // errno, 0 when none
  std::string reason;   // the system's text for systemError, or a short explanation
};

// Builds a PortError from an errno value met while opening (open, flock, ioctl).
PortError PortErrorFromOpenErrno(int err);
// Builds a PortError from an errno value met while the port was open.
PortError PortErrorFromIoErrno(int err);

// One line for the user: the system's reason, with the dialout hint when the
// user lacks permission and a word on the other program when the port is in use.
std::string PortErrorText(const PortError& error);

}  // namespace quelvo
