// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commandline/CollectionFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/UniqueFile.h"
#include "core/document/DocumentFile.h"

namespace quelvo {

// The file sits in the program folder under a fixed name: it is replaced by a
// new empty file rather than truncated, and never written through a link.
bool ResetCollectionFile(const std::string& path, std::string* error) {
  return WriteFileAtomically(path, {}, error, LinkAtTarget::kRefuse);
}

bool AppendToCollection(const std::string& path, std::string_view editorText, std::string* error) {
  std::string bytes = DocumentBytesFromText(editorText);
  if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = errno == ELOOP ? SymbolicLinkRefusal(path) : std::strerror(errno);
    return false;
  }
  bool ok = WriteAllBytes(fd, bytes);
  int savedErrno = ok ? 0 : errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok && error) *error = std::strerror(savedErrno);
  return ok;
}

}  // namespace quelvo
