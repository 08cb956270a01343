// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/ProgramFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "core/common/AtomicFile.h"

namespace quelvo {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Creates the folder and any missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Set by UseFilesOfProgram; empty while the program uses its own files.
std::string& SharedBaseName() {
  static std::string name;
  return name;
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Two names of one folder: equal once links and trailing slashes are resolved.
bool SameFolder(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  char realA[PATH_MAX];
  char realB[PATH_MAX];
  if (realpath(a.c_str(), realA) && realpath(b.c_str(), realB)) return std::string(realA) == realB;
  return WithoutTrailingSlashes(a) == WithoutTrailingSlashes(b);
}

}  // namespace

void UseFilesOfProgram(const std::string& baseName) { SharedBaseName() = baseName; }

std::string InstalledProgramsFolder() {
#ifdef QUELVO_INSTALL_BINDIR
  return QUELVO_INSTALL_BINDIR;
#else
  return std::string();
#endif
}

std::string ExecutablePathFromLink(const std::string& linkText) {
  static const std::string kDeletedMark = " (deleted)";
  if (linkText.size() > kDeletedMark.size() &&
      linkText.compare(linkText.size() - kDeletedMark.size(), kDeletedMark.size(), kDeletedMark) == 0) {
    return linkText.substr(0, linkText.size() - kDeletedMark.size());
  }
  return linkText;
}

std::string BaseNameOfExecutable(const std::string& executablePath) {
  std::string name = executablePath;
  const size_t slash = name.rfind('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? std::string("quelvo") : name;
}

namespace {

std::string ReadExecutableLink() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

// The program file as it was started. Read once: when the file is replaced
// while the program runs (a package upgrade, a rebuild), the link names the
// old, deleted file, and the settings and logs must keep their names.
const std::string& StartedExecutablePath() {
  static const std::string path = ExecutablePathFromLink(ReadExecutableLink());
  return path;
}

// Read while the program starts, before anything can replace its file.
[[maybe_unused]] const bool kExecutablePathRead = !StartedExecutablePath().empty();

}  // namespace

std::string ExecutablePath() { return StartedExecutablePath(); }

std::string ProgramBaseName() {
  if (!SharedBaseName().empty()) return SharedBaseName();
  return BaseNameOfExecutable(ExecutablePath());
}

std::string ResolveProgramFolder(const std::string& executableFolder, const std::string& quelvoHome,
                                 const std::string& xdgConfigHome, const std::string& home,
                                 const std::string& installedFolder) {
  if (!quelvoHome.empty()) {
    const std::string folder = WithoutTrailingSlashes(quelvoHome);
    MakeFolders(folder);
    return folder;
  }
  if (!executableFolder.empty() && !SameFolder(executableFolder, installedFolder) &&
      IsWritablePlace(executableFolder))
    return executableFolder;
  // Relative XDG paths are invalid and ignored.
  const std::string config = !xdgConfigHome.empty() && xdgConfigHome[0] == '/'
                                 ? WithoutTrailingSlashes(xdgConfigHome)
                                 : WithoutTrailingSlashes(home) + "/.config";
  const std::string folder = config + "/quelvo";
  MakeFolders(folder);
  return folder;
}

std::string ProgramFolder() {
  std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('/');
  std::string exeFolder = slash == std::string::npos ? std::string() : slash == 0 ? "/" : exe.substr(0, slash);
  const std::string& shared = SharedBaseName();
  if (!shared.empty() && !IsFile((exeFolder == "/" ? "" : exeFolder) + "/" + shared)) exeFolder.clear();
  return ResolveProgramFolder(exeFolder, Env("QUELVO_HOME"), Env("XDG_CONFIG_HOME"), HomeFolder(),
                              InstalledProgramsFolder());
}

std::string ProgramFilePath(const std::string& suffix) { return ProgramFolderFile(ProgramBaseName() + suffix); }

std::string ProgramFolderFile(const std::string& name) {
  const std::string folder = ProgramFolder();
  return (folder == "/" ? std::string() : folder) + "/" + name;
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (home.empty()) {
    std::vector<char> buf(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir) {
      home = found->pw_dir;
    }
  }
  if (home.empty()) home = "/";
  return WithoutTrailingSlashes(home);
}

}  // namespace quelvo
