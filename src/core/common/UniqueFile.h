// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files created in folders other users may write (a shared shop folder, a
// network share): a new file under a name nobody can guess, opened with
// O_EXCL|O_NOFOLLOW so that nothing planted beforehand is ever written through,
// and a check that refuses a fixed name someone has replaced by a symbolic link.
#include <string>

namespace quelvo {

// Creates a new empty file `<folder>/<prefix><random><suffix>` (mode 0666 less
// the umask) and returns its open descriptor (O_RDWR, close-on-exec) and its
// path in *path, or -1 with errno set.
int CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                     std::string* path);

// Creates a new temporary file beside `target`, named `.<name>.<pid>.<random>.tmp`
// after the target's file name and this process, as CreateUniqueFile does.
int CreateTempFileBeside(const std::string& target, std::string* path);

// True when `path` exists as a symbolic link (the link itself, not its target).
bool IsSymbolicLink(const std::string& path);

// The message for a fixed name that is a symbolic link and is therefore not written.
std::string SymbolicLinkRefusal(const std::string& path);

// The folder part of a path ("." for a bare name, "/" for the root).
std::string FolderOfFile(const std::string& path);

}  // namespace quelvo
