// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the dashboard shows of a machine's folders besides its spool: the
// programs of its library that may be queued, the programs in its inbox,
// and the communication log of its last transfer. Only plain names of
// regular files are listed, so nothing listed leads out of its folder.
#include <ctime>
#include <string>
#include <vector>

namespace quelvo {

struct StoredFile {
  std::string name;
  long long bytes = 0;
  std::time_t time = 0;  // last changed
};

// The inbox's programs (received and incomplete ones; the staging folder and
// hidden files are not), newest first.
std::vector<StoredFile> InboxFiles(const std::string& inbox);

// The library's programs by name: regular files, and links that
// ResolveLibraryFile follows (to a file inside the library).
std::vector<StoredFile> LibraryPrograms(const std::string& library);

// Opens `name` in `folder` for reading: a plain name of a regular file there,
// never through a link. The descriptor, or -1 with the reason.
int OpenStoredFile(const std::string& folder, const std::string& name, std::string* error);

// True for a log the worker of `machine` wrote: MACHINE-yyyymmdd-hhmmss-N-R.log
// (a reception) or ...-S.log (a send); a machine whose name merely starts
// with `machine` does not match.
bool IsTransferLogOf(const std::string& fileName, const std::string& machine);

// The path of the newest such log in `logDir`; "" when there is none.
std::string LastTransferLog(const std::string& logDir, const std::string& machine);

}  // namespace quelvo
