// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/ProgramFiles.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(ProgramFilesTest, NamesComeFromTheRunningExecutable) {
  EXPECT_EQ(ProgramBaseName(), "core_tests");
  EXPECT_EQ(ExecutablePath().substr(ExecutablePath().rfind('/') + 1), "core_tests");
}

// A program file replaced while it runs reads back from /proc/self/exe with
// " (deleted)" appended; the names must stay those of the program file.
TEST(ProgramFilesTest, ADeletedProgramFileKeepsItsNames) {
  const struct {
    const char* link;
    const char* path;
    const char* base;
  } cases[] = {
      {"/opt/q/quelvo", "/opt/q/quelvo", "quelvo"},
      {"/opt/q/quelvo (deleted)", "/opt/q/quelvo", "quelvo"},
      {"/opt/q/Quelvo.bin (deleted)", "/opt/q/Quelvo.bin", "Quelvo"},
      {"/opt/q (deleted)/quelvo", "/opt/q (deleted)/quelvo", "quelvo"},  // only the end is the mark
      {" (deleted)", " (deleted)", " (deleted)"},  // nothing but the mark is no name to strip
      {"", "", "quelvo"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExecutablePathFromLink(c.link), c.path) << c.link;
    EXPECT_EQ(BaseNameOfExecutable(ExecutablePathFromLink(c.link)), c.base) << c.link;
  }
}

TEST(ProgramFilesTest, FolderChoice) {
  test::TempFolder dir;
  const std::string exe = dir.File("bin");
  const std::string home = dir.File("home");
  std::filesystem::create_directories(exe);
  std::filesystem::create_directories(home);

  // QUELVO_HOME wins and is created; a trailing "/" is dropped.
  EXPECT_EQ(ResolveProgramFolder(exe, dir.File("q/h") + "/", "", home), dir.File("q/h"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("q/h")));
  EXPECT_EQ(ResolveProgramFolder(exe, "", dir.File("xdg"), home), exe);

  chmod(exe.c_str(), 0555);
  EXPECT_EQ(ResolveProgramFolder(exe, "", dir.File("xdg"), home), dir.File("xdg/quelvo"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("xdg/quelvo")));
  EXPECT_EQ(ResolveProgramFolder(exe, "", "relative", home), home + "/.config/quelvo");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/.config/quelvo"));
}

// An installed program never writes beside itself, even where it could (root
// can write /usr/bin); a build folder and QUELVO_HOME are unaffected.
TEST(ProgramFilesTest, InstalledProgramKeepsItsFilesInTheConfigFolder) {
  test::TempFolder dir;
  const std::string exe = dir.File("bin");
  const std::string other = dir.File("other");
  std::filesystem::create_directories(exe);
  std::filesystem::create_directories(other);
  std::filesystem::create_directory_symlink(exe, dir.File("link"));
  const std::string xdg = dir.File("xdg");
  const struct {
    std::string installed;
    std::string quelvoHome;
    std::string expected;
  } cases[] = {
      {exe, "", xdg + "/quelvo"},
      {exe + "/", "", xdg + "/quelvo"},
      {dir.File("link"), "", xdg + "/quelvo"},
      {other, "", exe},
      {"", "", exe},
      {dir.File("missing"), "", exe},
      {exe, dir.File("home"), dir.File("home")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveProgramFolder(exe, c.quelvoHome, xdg, dir.Path(), c.installed), c.expected)
        << "installed " << c.installed << ", QUELVO_HOME " << c.quelvoHome;
  }

  // The build tells the programs where they are installed.
  const std::string bin = InstalledProgramsFolder();
  ASSERT_FALSE(bin.empty());
  EXPECT_EQ(bin.front(), '/');
  EXPECT_EQ(bin.substr(bin.rfind('/')), "/bin");
}

TEST(ProgramFilesTest, QuelvoHomeNamesEveryFile) {
  test::TempFolder dir;
  const char* old = std::getenv("QUELVO_HOME");
  const std::string saved = old ? old : "";
  setenv("QUELVO_HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(ProgramFolder(), dir.Path());
  EXPECT_EQ(ProgramFilePath(".INI"), dir.File("core_tests.INI"));
  EXPECT_EQ(ProgramFolderFile("Sub.ini"), dir.File("Sub.ini"));
  if (old) setenv("QUELVO_HOME", saved.c_str(), 1);
  else unsetenv("QUELVO_HOME");
}

// quelvo-cli works on the window program's files: the base name is the other
// program's, and its own folder counts only when that program stands in it.
TEST(ProgramFilesTest, ASecondProgramUsesTheFilesOfTheProgramBesideIt) {
  test::TempFolder dir;
  const char* old = std::getenv("QUELVO_HOME");
  const std::string saved = old ? old : "";
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string savedXdg = oldXdg ? oldXdg : "";
  unsetenv("QUELVO_HOME");
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  const std::string exe = ExecutablePath();
  const std::string exeFolder = exe.substr(0, exe.rfind('/'));

  UseFilesOfProgram("core_tests");  // this very program stands beside itself
  EXPECT_EQ(ProgramFolder(), exeFolder);
  UseFilesOfProgram("quelvo-not-here");
  EXPECT_EQ(ProgramBaseName(), "quelvo-not-here");
  EXPECT_EQ(ProgramFolder(), dir.File("quelvo"));
  EXPECT_EQ(ProgramFilePath("_S.log"), dir.File("quelvo/quelvo-not-here_S.log"));
  setenv("QUELVO_HOME", dir.File("home").c_str(), 1);
  EXPECT_EQ(ProgramFolder(), dir.File("home"));

  UseFilesOfProgram("");
  EXPECT_EQ(ProgramBaseName(), "core_tests");
  if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  if (old) setenv("QUELVO_HOME", saved.c_str(), 1);
  else unsetenv("QUELVO_HOME");
}

}  // namespace
}  // namespace quelvo
