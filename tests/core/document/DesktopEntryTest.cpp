// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/DesktopEntry.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/document/FileFilter.h"

namespace quelvo {
namespace {

// Points HOME at a fresh temporary folder for one test and puts the
// environment back afterwards.
class TemporaryHome {
 public:
  TemporaryHome() {
    char pattern[] = "/tmp/quelvo-home-XXXXXX";
    path_ = mkdtemp(pattern);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
      unsetenv(name);
    }
    setenv("HOME", path_.c_str(), 1);
  }
  ~TemporaryHome() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// desktop-file-validate prints nothing and exits 0 for a clean entry.
std::string Validate(const std::string& path) {
  std::string output;
  if (FILE* pipe = popen(("desktop-file-validate '" + path + "' 2>&1").c_str(), "r")) {
    char buffer[512];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != 0) output += "exit status " + std::to_string(status);
  }
  return output;
}

TEST(DesktopEntryTest, DesktopLauncherIsValidAndReplacedWhenWrittenTwice) {
  TemporaryHome home;
  const std::string program = "/opt/nc tools/quelvo";
  ASSERT_TRUE(CreateShellShortcut(ShortcutKind::Desktop, program));
  ASSERT_TRUE(CreateShellShortcut(ShortcutKind::Desktop, program));
  const std::string folder = home.path() + "/Desktop";
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"Quelvo.desktop"});
  const std::string path = folder + "/Quelvo.desktop";
  EXPECT_EQ(ShortcutPath(ShortcutKind::Desktop), path);
  EXPECT_EQ(Validate(path), "");
  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("Exec=\"/opt/nc tools/quelvo\" %f\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Path=/opt/nc tools\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Icon=quelvo\n"), std::string::npos) << text;
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
}

TEST(DesktopEntryTest, OpenWithEntryCarriesTheMimeTypesAndInstallsTheIcon) {
  TemporaryHome home;
  const std::string program = "/usr/local/bin/quelvo";
  const std::string icon = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n";
  ASSERT_TRUE(CreateShellShortcut(ShortcutKind::SendTo, program, icon));
  ASSERT_TRUE(CreateShellShortcut(ShortcutKind::SendTo, program, icon));
  const std::string iconPath = home.path() + "/.local/share/icons/hicolor/scalable/apps/quelvo.svg";
  EXPECT_EQ(IconPath(), iconPath);
  EXPECT_EQ(ReadFile(iconPath), icon);
  const std::string folder = home.path() + "/.local/share/applications";
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"quelvo.desktop"});
  const std::string path = folder + "/quelvo.desktop";
  EXPECT_EQ(Validate(path), "");
  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("MimeType=text/plain;"), std::string::npos) << text;
  EXPECT_NE(text.find("text/x.gcode;"), std::string::npos) << text;
  EXPECT_NE(text.find("Icon=quelvo\n"), std::string::npos) << text;
}

TEST(DesktopEntryTest, ShellCharactersInTheProgramPathAreQuoted) {
  const std::string text =
      DesktopEntryText(ShortcutKind::Desktop, "/home/a\"b/$x/100%/back\\slash/quelvo");
  EXPECT_NE(text.find("Exec=\"/home/a\\\\\"b/\\\\$x/100%%/back\\\\\\\\slash/quelvo\" %f\n"),
            std::string::npos)
      << text;
}

TEST(DesktopEntryTest, FailsQuietlyWhenTheFolderCannotBeMade) {
  TemporaryHome home;
  // A plain file where the applications folder should be.
  std::ofstream(home.path() + "/.local");
  EXPECT_FALSE(CreateShellShortcut(ShortcutKind::SendTo, "/usr/bin/quelvo"));
  EXPECT_FALSE(CreateShellShortcut(ShortcutKind::Desktop, "relative/quelvo"));
}

// The installed MIME type, the installed desktop entry and the Open With entry
// the program writes stay in step with the file types of the open and save
// dialogs: the file manager offers Quelvo for every NC and OSP extension, and
// the user's entry (which replaces the installed one of the same name) keeps
// every type the installed one has.
TEST(DesktopEntryTest, InstalledFilesCarryTheFileTypesOfTheDialogs) {
  const char* source = std::getenv("QUELVO_TEST_SOURCE");
  if (source == nullptr) GTEST_SKIP() << "QUELVO_TEST_SOURCE names the source tree (set by ctest)";
  const auto matches = [](const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) found.insert((*it)[1]);
    return found;
  };
  // The types of a desktop entry's MimeType line.
  const auto mimeTypes = [&matches](const std::string& entry) {
    const std::set<std::string> lines = matches(entry, "(?:^|\\n)MimeType=([^\\n]*)");
    return lines.empty() ? std::set<std::string>() : matches(*lines.begin(), "([^;]+);");
  };
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  };

  const std::string mime = ReadFile(std::string(source) + "/data/mime/quelvo.xml");
  const std::vector<FileFilterEntry> entries = BuildFileFilter(UserFileTypes{});
  std::set<std::string> dialogPatterns;
  for (const FileFilterEntry& entry : {entries[0], entries[5]}) {
    for (const std::string& pattern : FilterPatterns(entry)) dialogPatterns.insert(lower(pattern));
  }
  EXPECT_EQ(matches(mime, "<glob pattern=\"([^\"]+)\""), dialogPatterns);
  const std::set<std::string> types = matches(mime, "<mime-type type=\"([^\"]+)\"");
  ASSERT_EQ(types.size(), 1u) << mime;

  const std::string installed = ReadFile(std::string(source) + "/data/quelvo.desktop");
  const std::set<std::string> installedTypes = mimeTypes(installed);
  EXPECT_EQ(installedTypes.count(*types.begin()), 1u) << installed;
  const std::set<std::string> userTypes = mimeTypes(DesktopEntryText(ShortcutKind::SendTo, "/usr/bin/quelvo"));
  for (const std::string& type : installedTypes) EXPECT_EQ(userTypes.count(type), 1u) << type;
}

}  // namespace
}  // namespace quelvo
