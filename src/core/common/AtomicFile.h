// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files that hold the user's work are written to a temporary file beside the
// target and renamed over it, so a crash or a full disk mid-write never leaves a
// half-written file.
//
// Error convention of the file helpers (here, RegularFile.h, UniqueFile.h): a
// call that fails returns false (a descriptor call -1) and leaves the system's
// reason as text for the user in *error where it takes one; nothing throws and
// nothing is shown from here. The layers above carry that text on in their
// own result structs (DocumentFile.h) or bool answers.
#include <string>
#include <string_view>

namespace quelvo {

// What a symbolic link at the target's name means: the user's own link to the
// file to write (a document), or a fixed name of ours that someone may have
// planted a link at (logs, files in the program folder), which is refused.
enum class LinkAtTarget { kWriteThrough, kRefuse };

// Returns false and the system's reason in *error when the file cannot be written.
// Leftover temporary files of killed processes in the folder are removed first.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         LinkAtTarget links = LinkAtTarget::kWriteThrough);
// For a small file rewritten often whose readers need a whole version but whose
// loss in a crash costs nothing, because its writer writes it again at once (a
// published state): a temporary file beside it renamed over it, keeping the
// old file's permissions, without waiting for the disk and without looking
// for stale temporary files (the writer clears those once, at its start). A
// symbolic link at the target is refused. False with the system's reason.
bool ReplaceVolatileFile(const std::string& path, std::string_view bytes, std::string* error);
// True when the file or folder exists and may be written. A place without any
// write permission bit counts as read-only even for a privileged user, as a
// read-only file does on other systems.
bool IsWritablePlace(const std::string& path);
// Writes all of `bytes` to `fd`, retrying short writes; false with errno set.
bool WriteAllBytes(int fd, std::string_view bytes);
// Reads a whole regular file (OpenRegularFile); false when it is none or cannot
// be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

}  // namespace quelvo
