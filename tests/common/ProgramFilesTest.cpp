#include "common/ProgramFiles.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "common/DateTimeText.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(ProgramFilesTest, NamesComeFromTheRunningExecutable) {
  EXPECT_EQ(ProgramBaseName(), "core_tests");
  EXPECT_EQ(ExecutablePath().substr(ExecutablePath().rfind('/') + 1), "core_tests");
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

TEST(DateTimeTextTest, LocalDateAndTimeTexts) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "JST-9", 1);
  tzset();
  const std::time_t when = 1767290645;  // 2026-01-01 18:04:05 UTC
  EXPECT_EQ(ShortDateTimeText(when), "2026/01/02 03:04:05");
  EXPECT_EQ(TimeThenDateText(when), "03:04:05 2026/01/02");
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace quelvo
