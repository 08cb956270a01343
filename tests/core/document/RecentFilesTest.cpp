// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/RecentFiles.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(RecentFiles, ReopeningMovesToTheFront) {
  RecentFileList files;
  for (const char* path : {"/p/A", "/p/B", "/p/C", "/p/A"}) AddRecentFile(files, path);
  EXPECT_EQ(files, (RecentFileList{"/p/A", "/p/C", "/p/B", "", ""}));
  AddRecentFile(files, "/p/A");
  EXPECT_EQ(files, (RecentFileList{"/p/A", "/p/C", "/p/B", "", ""}));
  AddRecentFile(files, "/p/a");  // paths are compared with case
  EXPECT_EQ(files, (RecentFileList{"/p/a", "/p/A", "/p/C", "/p/B", ""}));
}

TEST(RecentFiles, SixFilesKeepTheLastFive) {
  RecentFileList files;
  for (const char* path : {"1", "2", "3", "4", "5", "6"}) AddRecentFile(files, path);
  EXPECT_EQ(files, (RecentFileList{"6", "5", "4", "3", "2"}));
  AddRecentFile(files, "2");
  EXPECT_EQ(files, (RecentFileList{"2", "6", "5", "4", "3"}));
}

TEST(RecentFiles, AGapTakesTheShiftedEntries) {
  RecentFileList files{"A", "", "C", "", ""};
  AddRecentFile(files, "X");
  EXPECT_EQ(files, (RecentFileList{"X", "A", "C", "", ""}));
  AddRecentFile(files, "");
  EXPECT_EQ(files, (RecentFileList{"X", "A", "C", "", ""}));
}

TEST(RecentFiles, MenuShowsTheSetEntries) {
  const RecentFileMenu menu = BuildRecentFileMenu({"/w/O1.NC", "/w/R&D.nc", "", "", ""});
  EXPECT_TRUE(menu.separatorVisible);
  EXPECT_EQ(menu.visible, (std::array<bool, 5>{true, true, false, false, false}));
  EXPECT_EQ(menu.captions[0], "&1 /w/O1.NC");
  EXPECT_EQ(menu.captions[1], "&2 /w/R&&D.nc");
  EXPECT_FALSE(BuildRecentFileMenu({}).separatorVisible);
}

}  // namespace
}  // namespace quelvo
