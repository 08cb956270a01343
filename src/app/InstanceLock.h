#pragma once
// Where the single-instance lock of a program file lives: a file named after the
// executable's file name in $XDG_RUNTIME_DIR, or in /tmp/quelvo-<uid> when that
// variable is unset or empty. A copy of the program under another file name
// therefore runs as an instance of its own.
#include <string>

namespace quelvo {

// The lock folder; created (mode 0700) when it is the /tmp fallback.
std::string InstanceLockFolder();
// folder + "/" + exeFileName + ".lock"
std::string InstanceLockPath(const std::string& exeFileName);

}  // namespace quelvo
