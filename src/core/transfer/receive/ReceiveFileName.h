// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File names of a reception. A control may send the name to save its program
// under (a "$" line); that name is data from outside and is reduced to a plain
// file name before use, so it can only ever name a file inside the folder it
// is saved in.
#include <string>

namespace quelvo {

// The last component of `sent` ("/" and "\" both separate), or "" when that
// is empty, "." or "..".
std::string PlainFileName(const std::string& sent);

// The name the data is saved under: spaces removed, ".MIN" added when the name
// has no ".".
std::string SavedControlFileName(const std::string& ncFileName);

// `folder` + "/" + `name`, without doubling a trailing "/".
std::string JoinFolderAndName(const std::string& folder, const std::string& name);

// The folder part of `path` without a trailing "/" ("/" for a file at the root,
// "" for a bare name).
std::string FolderOfPath(const std::string& path);

}  // namespace quelvo
