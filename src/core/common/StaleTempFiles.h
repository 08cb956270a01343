// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary files a killed process left behind: `.<name>.<pid>.<tag>.tmp`, as
// CreateTempFileBeside names them, beside the file they were meant to replace.
#include <string>

namespace quelvo {

// The process id in a name of that form, or 0 when the name is not one of ours.
long TempFileOwnerPid(const std::string& name);

// Removes from `folder` the regular files of this user named as above whose
// process no longer exists. Returns how many were removed.
int RemoveStaleTempFiles(const std::string& folder);

}  // namespace quelvo
