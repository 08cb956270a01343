// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/DesktopEntry.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/common/AtomicFile.h"
#include "core/common/ProgramFiles.h"

namespace quelvo {
namespace {

// text/x-nc-program is the type the package installs (data/mime/quelvo.xml); this
// entry replaces the installed one of the same name, so it must carry it too.
constexpr const char* kMimeTypes = "text/plain;text/x.gcode;text/x-gcode-gx;text/x-nc-program;";
constexpr const char* kIconName = "quelvo";
constexpr const char* kIconFolder = "/icons/hicolor/scalable/apps";

std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The user's desktop folder as the desktop's own helper names it; the usual
// default when the helper is missing or says nothing useful.
std::string DesktopFolder(const std::string& home) {
  std::string answer;
  if (FILE* pipe = popen("xdg-user-dir DESKTOP 2>/dev/null", "r")) {
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) answer.append(buffer, got);
    pclose(pipe);
  }
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  if (answer.empty() || answer[0] != '/') return home + "/Desktop";
  return StripTrailingSlashes(answer);
}

bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A string value of a desktop entry: backslash and control characters escaped.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

// The program path as one quoted argument of the Exec key: inside the quotes
// ", `, $ and \ take a backslash, a literal % is doubled; then the value as a
// whole is escaped like any string value.
std::string ExecArgument(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return EscapeValue(quoted);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// $XDG_DATA_HOME, else $HOME/.local/share; empty without either.
std::string DataFolder() {
  const std::string data = EnvPath("XDG_DATA_HOME");
  if (!data.empty()) return StripTrailingSlashes(data);
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.local/share";
}

}  // namespace

std::string ShortcutFolder(ShortcutKind kind) {
  if (kind == ShortcutKind::Desktop) {
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : DesktopFolder(home);
  }
  const std::string data = DataFolder();
  return data.empty() ? std::string() : data + "/applications";
}

std::string IconPath() {
  const std::string data = DataFolder();
  return data.empty() ? std::string() : data + kIconFolder + "/" + kIconName + ".svg";
}

std::string ShortcutPath(ShortcutKind kind) {
  const std::string folder = ShortcutFolder(kind);
  if (folder.empty()) return {};
  return folder + (kind == ShortcutKind::Desktop ? "/Quelvo.desktop" : "/quelvo.desktop");
}

std::string DesktopEntryText(ShortcutKind kind, const std::string& programPath) {
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Version=1.0\n"
      "Name=Quelvo\n"
      "Comment=NC program editor and RS-232C transfer\n"
      "Comment[ja]=NCプログラムの編集とRS-232C転送\n";
  text += "Exec=" + ExecArgument(programPath) + " %f\n";
  text += "Path=" + EscapeValue(FolderOf(programPath)) + "\n";
  text += std::string("Icon=") + kIconName + "\n";
  text += "Terminal=false\n";
  text += "Categories=Utility;TextEditor;\n";
  if (kind == ShortcutKind::SendTo) text += std::string("MimeType=") + kMimeTypes + "\n";
  return text;
}

bool CreateShellShortcut(ShortcutKind kind, const std::string& programPath, const std::string& iconSvg) {
  if (programPath.empty() || programPath[0] != '/') return false;
  const std::string path = ShortcutPath(kind);
  if (path.empty() || !MakeFolders(ShortcutFolder(kind))) return false;
  if (!WriteFileAtomically(path, DesktopEntryText(kind, programPath), nullptr)) return false;
  // Desktop folders start only launchers that are marked executable.
  if (kind == ShortcutKind::Desktop && chmod(path.c_str(), 0755) != 0) return false;
  if (iconSvg.empty()) return true;
  const std::string icon = IconPath();
  return MakeFolders(FolderOf(icon)) && WriteFileAtomically(icon, iconSvg, nullptr);
}

}  // namespace quelvo
