// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who else holds a serial device. TIOCEXCL and flock only stop later openers
// that take part in them; a program that opened the device first (a terminal
// program, a getty, a plain `cat`) would share the received bytes with us. So
// before opening, the port looks for other holders the way Linux serial
// programs do: a UUCP lock file (LCK..name in the lock folder) whose process
// is alive, and any other process with the device among its open files, as
// far as /proc lets this user see.
#include <string>

#include "core/port/PortError.h"

namespace quelvo {

inline constexpr const char kUucpLockFolder[] = "/run/lock";

// The device path with symbolic links resolved; empty when it does not exist.
std::string RealDevicePath(const std::string& device);

// kInUse with the holder as the reason.
PortError PortInUseBy(const std::string& holder);

// Another process with `realDevice` open: "pid N (name)"; empty when none is
// visible. The calling process does not count.
std::string OtherProcessHolding(const std::string& realDevice);

// The UUCP lock file of one device: LCK.. followed by the device path below
// /dev with "/" written as "_" (LCK..ttyS0, LCK..pts_3).
class UucpLock {
 public:
  UucpLock() = default;
  ~UucpLock() { Release(); }
  UucpLock(const UucpLock&) = delete;
  UucpLock& operator=(const UucpLock&) = delete;

  static std::string FileName(const std::string& realDevice);

  // Takes the lock. A lock file of a live process other than this one is a
  // holder: false with kInUse in *error. A lock file of a process that is gone
  // (or one without a readable process number) is stale and removed. When the
  // folder does not let this user create the file, the device is opened
  // without one, as other serial programs do.
  bool Acquire(const std::string& folder, const std::string& realDevice, PortError* error);
  // Removes the lock file this object created, if any.
  void Release();

 private:
  std::string path_;  // the file this object created; empty when none
};

}  // namespace quelvo
