// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A machine's spool folder: each regular file in it is a program queued for
// the control, sent oldest first; a sent file moves to spool/sent/ with the
// time it went. Files only appear in the spool under their final name (the
// queue command writes a hidden temporary file and renames it), so the worker
// never sends half a file, and the queue is on disk: a restart loses nothing.
#include <ctime>
#include <string>
#include <vector>

namespace quelvo {

// The queued file names, oldest first (then by name). Hidden files, folders
// and links are not queued entries, nor files changed after `settledBefore`
// (0: any time): a file that another program is still copying into the spool
// under its final name is not sent half-written.
std::vector<std::string> SpooledFiles(const std::string& spool, std::time_t settledBefore = 0);

// What lies in the spool but is not sent, and why: a link, a folder (other than
// sent/), a FIFO or device, a hidden file (other than the queue command's own
// temporary file while it writes) or a name with control characters.
struct SpoolRefusal {
  std::string name;
  std::string why;
};
std::vector<SpoolRefusal> RefusedSpoolEntries(const std::string& spool);

// Moves a sent file to spool/sent/ as NAME-<stamp>.EXT (the time before the extension).
bool MarkSent(const std::string& spool, const std::string& name, std::time_t when, std::string* placed,
              std::string* error);

// Copies `source` into the spool under its own file name (a free variant of it
// when that is taken). The final path in *placed.
bool EnqueueFile(const std::string& spool, const std::string& source, std::time_t when, std::string* placed,
                 std::string* error);

// Writes `bytes` into the spool as `name` the same way: a hidden temporary
// file first, then the final name (a free variant when that is taken).
bool EnqueueBytes(const std::string& spool, const std::string& name, const std::string& bytes, std::time_t when,
                  std::string* placed, std::string* error);

// Makes a hidden temporary file in the spool for a program still arriving;
// its open descriptor, or -1 with the reason.
int CreateSpoolTemp(const std::string& spool, std::string* temp, std::string* error);
// Gives a complete temporary file its queued name (fsync first); the
// temporary file is gone afterwards whatever happened.
bool CommitSpoolTemp(int fd, const std::string& temp, const std::string& spool, const std::string& name,
                     std::time_t when, std::string* placed, std::string* error);

// Removes the queued file `name` from the spool: only a plain name of a
// regular file in the spool itself. False with the reason.
bool RemoveQueued(const std::string& spool, const std::string& name, std::string* error);

// Moves the queued file `name` `steps` places in the sending order (negative:
// sooner), at most to the first or last place. The order is the files' times,
// so the files are given the times of their new places (each a nanosecond
// after the one before where two were equal): whatever reads the spool next,
// the worker included, sees the new order. False with the reason when `name`
// is not queued or a time cannot be set.
bool MoveQueued(const std::string& spool, const std::string& name, int steps, std::string* error);

}  // namespace quelvo
