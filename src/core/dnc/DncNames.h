// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File names in the shop service's folders. Names come from outside (a
// control's "$" line, a requested program, a file dropped in a spool) and are
// only ever used as one plain name inside the folder they belong to: nothing
// from outside can reach another folder, and no file is ever replaced.
#include <ctime>
#include <string>

namespace quelvo {

// One file name and nothing else: not empty, at most 255 bytes, no "/" or
// "\", no control character, not starting with "." (names starting with a dot
// are the service's own temporary files, and "." and ".." are folders).
bool IsPlainName(const std::string& name);

// "20261208-031500": a suffix that tells when a file was stored.
std::string FileTimeStamp(std::time_t when);

// `name` with "-<stamp>" before its extension ("big.nc" -> "big-20261208-031500.nc"),
// so a file stored with its time keeps the extension that says what it is.
std::string StampedName(const std::string& name, std::time_t when);

// The file name of a program-number line: "O1234" (or ":1234" from an EIA
// control) gives "O1234.nc"; "" when the line holds no program number.
std::string ProgramNumberFileName(const std::string& programLine);

// Moves `from` into `folder` as `name`, never replacing a file: a name in use
// gets "-<stamp>" before its extension, then "-<stamp>-2", ... The final
// path in *placed. False with the system's reason in *error.
bool MoveWithoutReplacing(const std::string& from, const std::string& folder, const std::string& name,
                          std::time_t when, std::string* placed, std::string* error);

// The file of the library `library` that a request for `name` means: `name`
// itself, or `name`.nc when `name` has no extension. Only a regular file whose
// real path lies inside the library's real path qualifies (a link inside the
// library to a file inside it is followed; anything leading out is refused).
// False with the reason in *why.
bool ResolveLibraryFile(const std::string& library, const std::string& name, std::string* path,
                        std::string* why);

// Makes `path` a folder of this user if it is missing; false (with the reason)
// when it cannot be made or is anything but a folder (a link included).
bool EnsureFolder(const std::string& path, std::string* error);

}  // namespace quelvo
