// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncFolderViews.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/TempFolder.h"

namespace quelvo {
namespace {

using test::TempFolder;

void WriteAged(const std::string& path, const std::string& text, int secondsAgo) {
  std::ofstream(path) << text;
  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

std::vector<std::string> Names(const std::vector<StoredFile>& files) {
  std::vector<std::string> names;
  for (const StoredFile& f : files) names.push_back(f.name);
  return names;
}

TEST(DncFolderViews, ListsOnlyRegularFilesThatStayInTheirFolder) {
  TempFolder root;
  const std::string inbox = root.File("inbox"), library = root.File("library");
  mkdir(inbox.c_str(), 0755);
  mkdir(library.c_str(), 0755);
  mkdir((inbox + "/.receiving").c_str(), 0755);
  WriteAged(inbox + "/O1.nc", "O1\n", 60);
  WriteAged(inbox + "/O2.nc.incomplete", "O2\n", 10);
  WriteAged(inbox + "/.receiving/mc1", "half", 1);
  WriteAged(root.File("secret"), "x", 1);
  ASSERT_EQ(symlink(root.File("secret").c_str(), (inbox + "/link.nc").c_str()), 0);
  const std::vector<StoredFile> received = InboxFiles(inbox);
  EXPECT_EQ(Names(received), (std::vector<std::string>{"O2.nc.incomplete", "O1.nc"}));  // newest first
  EXPECT_EQ(received[1].bytes, 3);

  WriteAged(library + "/O9.nc", "O9\n", 5);
  WriteAged(library + "/O3.nc", "O3\n", 5);
  ASSERT_EQ(symlink("O3.nc", (library + "/O3-copy.nc").c_str()), 0);            // inside: followed
  ASSERT_EQ(symlink(root.File("secret").c_str(), (library + "/out.nc").c_str()), 0);  // leads out: not listed
  EXPECT_EQ(Names(LibraryPrograms(library)), (std::vector<std::string>{"O3-copy.nc", "O3.nc", "O9.nc"}));
  EXPECT_TRUE(InboxFiles(root.File("missing")).empty());

  std::string error;
  const int fd = OpenStoredFile(inbox, "O1.nc", &error);
  EXPECT_GE(fd, 0) << error;
  if (fd >= 0) close(fd);
  for (const char* refused : {"link.nc", "../secret", ".receiving", "missing.nc", ""})
    EXPECT_LT(OpenStoredFile(inbox, refused, &error), 0) << refused;
}

TEST(DncFolderViews, FindsTheMachinesOwnNewestLog) {
  const struct {
    const char* name;
    bool ofMc1;
  } cases[] = {
      {"mc1-20261208-031500-1-R.log", true},
      {"mc1-20261208-031500-12-S.log", true},
      {"mc1-b-20261208-031500-1-R.log", false},  // machine "mc1-b"
      {"mc1-20261208-031500-1-X.log", false},
      {"mc1-20261208-0315-1-R.log", false},
      {"mc1-20261208-031500--R.log", false},
      {"mc1-20261208-031500-1-R.log.gz", false},
      {"mc10-20261208-031500-1-R.log", false},
      {"mc1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsTransferLogOf(c.name, "mc1"), c.ofMc1) << c.name;
  EXPECT_TRUE(IsTransferLogOf("mc1-b-20261208-031500-1-R.log", "mc1-b"));

  TempFolder logs;
  EXPECT_EQ(LastTransferLog(logs.Path(), "mc1"), "");
  WriteAged(logs.File("mc1-20261208-031500-1-R.log"), "old", 100);
  WriteAged(logs.File("mc1-20261208-031600-2-S.log"), "new", 50);
  WriteAged(logs.File("mc1-b-20261208-031700-1-S.log"), "other machine", 1);
  EXPECT_EQ(LastTransferLog(logs.Path(), "mc1"), logs.File("mc1-20261208-031600-2-S.log"));
}

}  // namespace
}  // namespace quelvo
