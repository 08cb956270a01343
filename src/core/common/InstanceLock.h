// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the single-instance lock of a program file lives: a file named after the
// executable's file name in $XDG_RUNTIME_DIR, or in /tmp/quelvo-<uid> when that
// variable is unset or empty. A copy of the program under another file name
// therefore runs as an instance of its own.
//
// /tmp is shared by every user: another user could create /tmp/quelvo-<uid>
// first (or put a link there) and hold this user's lock. The fallback folder is
// therefore only used when it is a folder owned by this user that nobody else
// may enter.
#include <string>

namespace quelvo {

// The lock folder; created (mode 0700) when it is the /tmp fallback.
std::string InstanceLockFolder();
// folder + "/" + exeFileName + ".lock"
std::string InstanceLockPath(const std::string& exeFileName);

// Empty when the lock folder may hold the lock; otherwise one line saying which
// folder cannot be used and why. $XDG_RUNTIME_DIR is the session's own folder
// and is taken as it is; the /tmp fallback is checked with PrivateFolderProblem.
std::string InstanceLockFolderProblem();

// Creates `folder` (mode 0700) when it is missing, then checks the folder
// itself, not a link to one: it must be owned by this user, with no access for
// group or others. Empty when it passes; otherwise why not.
std::string PrivateFolderProblem(const std::string& folder);

}  // namespace quelvo
