// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/InstanceLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quelvo {
namespace {

const char* RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && *runtime != '\0' ? runtime : nullptr;
}

std::string FallbackFolder() {
  return "/tmp/quelvo-" + std::to_string(static_cast<unsigned long>(::getuid()));
}

}  // namespace

std::string InstanceLockFolder() {
  if (const char* runtime = RuntimeFolder()) return runtime;
  const std::string folder = FallbackFolder();
  ::mkdir(folder.c_str(), 0700);  // an existing folder is checked by InstanceLockFolderProblem
  return folder;
}

std::string InstanceLockPath(const std::string& exeFileName) {
  return InstanceLockFolder() + "/" + exeFileName + ".lock";
}

std::string InstanceLockFolderProblem() {
  if (RuntimeFolder() != nullptr) return std::string();
  return PrivateFolderProblem(FallbackFolder());
}

std::string PrivateFolderProblem(const std::string& folder) {
  const std::string where = "多重起動防止用のフォルダ " + folder + " は使えません: ";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return where + std::strerror(errno);
  // Checked on the opened folder itself: a link there is refused, never followed.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return where + (errno == ELOOP || errno == ENOTDIR ? "フォルダではありません（リンクまたはファイル）"
                                                       : std::strerror(errno));
  }
  struct stat st {};
  const int statError = ::fstat(fd, &st) == 0 ? 0 : errno;
  ::close(fd);
  if (statError != 0) return where + std::strerror(statError);
  if (st.st_uid != ::getuid()) return where + "他のユーザー（uid " + std::to_string(st.st_uid) + "）の所有です";
  if ((st.st_mode & 077) != 0) return where + "他のユーザーもアクセスできます";
  return std::string();
}

}  // namespace quelvo
