// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "core/dnc/DncNames.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using test::TempFolder;

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string Read(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DncNames, PlainNamesOnly) {
  for (const char* good : {"O1234.nc", "PART 1.MIN", "a..b", "x"}) EXPECT_TRUE(IsPlainName(good)) << good;
  const std::string bad[] = {"",
                             ".",
                             "..",
                             "../x",
                             "a/b",
                             "/etc/passwd",
                             "a\\b",
                             ".hidden",
                             "tab\tname",
                             std::string("nul\0x", 5),
                             std::string(256, 'a')};
  for (const std::string& name : bad) {
    EXPECT_FALSE(IsPlainName(name)) << name;
  }
}

TEST(DncNames, ProgramNumberFileNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"O1234", "O1234.nc"},
      {"O0001 (PART)", "O0001.nc"},
      {":77", "O77.nc"},
      {"o5", "O5.nc"},
      {"  O12", "O12.nc"},
      {"N10 G00", ""},
      {"O", ""},
      {"O1234567890", ""},
  };
  for (const auto& [line, name] : cases) EXPECT_EQ(ProgramNumberFileName(line), name) << line;
}

TEST(DncNames, MovingNeverReplacesAFile) {
  TempFolder folder;
  const std::time_t when = 1796698479;
  const std::string stamp = FileTimeStamp(when);
  Write(folder.File("O1.nc"), "old");
  std::string placed, error;
  for (const std::string& expected : {"O1-" + stamp + ".nc", "O1-" + stamp + "-2.nc"}) {
    Write(folder.File("new"), expected);
    ASSERT_TRUE(MoveWithoutReplacing(folder.File("new"), folder.Path(), "O1.nc", when, &placed, &error))
        << error;
    EXPECT_EQ(placed, folder.File(expected));
    EXPECT_EQ(Read(placed), expected);
  }
  EXPECT_EQ(Read(folder.File("O1.nc")), "old");
  EXPECT_FALSE(MoveWithoutReplacing(folder.File("gone"), folder.Path(), "x", when, &placed, &error));
}

// A request names a program of the library and nothing else.
TEST(DncNames, RequestsStayInTheLibrary) {
  TempFolder root;
  const std::string lib = root.File("lib");
  mkdir(lib.c_str(), 0755);
  mkdir((lib + "/sub").c_str(), 0755);
  Write(lib + "/O1.nc", "1");
  Write(lib + "/PART.MIN", "2");
  Write(root.File("secret.nc"), "secret");
  ASSERT_EQ(symlink("O1.nc", (lib + "/alias.nc").c_str()), 0);
  ASSERT_EQ(symlink(root.File("secret.nc").c_str(), (lib + "/out.nc").c_str()), 0);
  ASSERT_EQ(symlink("..", (lib + "/up").c_str()), 0);
  const struct {
    const char* name;
    const char* file;  // "" when refused
  } cases[] = {
      {"O1", "O1.nc"},
      {"O1.nc", "O1.nc"},
      {"PART.MIN", "PART.MIN"},
      {"alias.nc", "O1.nc"},
      {"out.nc", ""},
      {"../secret.nc", ""},
      {"/etc/passwd", ""},
      {"up", ""},
      {"sub", ""},
      {"O2", ""},
      {".", ""},
      {"..", ""},
  };
  for (const auto& c : cases) {
    std::string path, why;
    const bool found = ResolveLibraryFile(lib, c.name, &path, &why);
    EXPECT_EQ(found, *c.file != '\0') << c.name << ": " << why;
    if (found) {
      EXPECT_EQ(path.substr(path.rfind('/') + 1), c.file) << c.name;
    }
  }
}

TEST(DncNames, FoldersAreMadeButNeverTakenFromALink) {
  TempFolder root;
  std::string error;
  EXPECT_TRUE(EnsureFolder(root.File("new"), &error));
  EXPECT_TRUE(EnsureFolder(root.File("new"), &error));
  ASSERT_EQ(symlink(root.File("new").c_str(), root.File("link").c_str()), 0);
  EXPECT_FALSE(EnsureFolder(root.File("link"), &error));
  Write(root.File("file"), "");
  EXPECT_FALSE(EnsureFolder(root.File("file"), &error));
}

}  // namespace
}  // namespace quelvo
