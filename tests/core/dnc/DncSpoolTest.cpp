// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "core/dnc/DncSpool.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using test::TempFolder;

void WriteAged(const std::string& path, const std::string& text, int secondsAgo) {
  std::ofstream(path) << text;
  const std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(path, now - std::chrono::seconds(secondsAgo));
}

TEST(DncSpool, QueuedFilesGoOldestFirstAndOnlyRegularFilesCount) {
  TempFolder spool;
  WriteAged(spool.File("B.nc"), "b", 60);
  WriteAged(spool.File("A.nc"), "a", 5);
  WriteAged(spool.File("C.nc"), "c", 120);
  WriteAged(spool.File(".queue-x.tmp"), "half", 30);  // a queue command still writing
  mkdir(spool.File("sent").c_str(), 0755);
  ASSERT_EQ(symlink("/etc/passwd", spool.File("link.nc").c_str()), 0);
  EXPECT_EQ(SpooledFiles(spool.Path()), (std::vector<std::string>{"C.nc", "B.nc", "A.nc"}));
  EXPECT_TRUE(SpooledFiles(spool.File("missing")).empty());
  // A file changed within the last 30 s is still being written as far as the
  // caller knows (the worker asks for 2 s).
  EXPECT_EQ(SpooledFiles(spool.Path(), std::time(nullptr) - 30), (std::vector<std::string>{"C.nc", "B.nc"}));

  std::string placed, error;
  ASSERT_TRUE(MarkSent(spool.Path(), "C.nc", std::time(nullptr), &placed, &error)) << error;
  // The time goes before the extension: sent/C-20261208-062401.nc.
  EXPECT_EQ(placed.rfind(spool.File("sent/C-"), 0), 0u) << placed;
  EXPECT_EQ(placed.substr(placed.size() - 3), ".nc") << placed;
  EXPECT_EQ(SpooledFiles(spool.Path()), (std::vector<std::string>{"B.nc", "A.nc"}));
}

TEST(DncSpool, WhatIsNotSentIsListedWithItsReason) {
  TempFolder spool;
  WriteAged(spool.File("A.nc"), "a", 60);
  WriteAged(spool.File(".queue-x.tmp"), "half", 30);  // the queue command's own file: no word
  WriteAged(spool.File(".hidden.nc"), "h", 60);
  mkdir(spool.File("sent").c_str(), 0755);             // the service's own folder: no word
  mkdir(spool.File("drafts").c_str(), 0755);
  ASSERT_EQ(mkfifo(spool.File("pipe.nc").c_str(), 0600), 0);
  ASSERT_EQ(symlink(spool.File("A.nc").c_str(), spool.File("link.nc").c_str()), 0);
  const std::vector<SpoolRefusal> refused = RefusedSpoolEntries(spool.Path());
  const std::vector<std::pair<std::string, std::string>> expected = {
      {".hidden.nc", "hidden"}, {"drafts", "folder"}, {"link.nc", "symbolic link"}, {"pipe.nc", "FIFO"}};
  ASSERT_EQ(refused.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(refused[i].name, expected[i].first);
    EXPECT_NE(refused[i].why.find(expected[i].second), std::string::npos) << refused[i].why;
  }
  EXPECT_EQ(SpooledFiles(spool.Path()), std::vector<std::string>{"A.nc"});
}

TEST(DncSpool, EnqueuedCopiesNeverReplaceAQueuedFile) {
  TempFolder root;
  const std::string spool = root.File("spool");
  mkdir(spool.c_str(), 0755);
  std::ofstream(root.File("O5.nc")) << "first";
  std::string first, second, error;
  ASSERT_TRUE(EnqueueFile(spool, root.File("O5.nc"), 1796698479, &first, &error)) << error;
  std::ofstream(root.File("O5.nc")) << "second";
  ASSERT_TRUE(EnqueueFile(spool, root.File("O5.nc"), 1796698479, &second, &error)) << error;
  EXPECT_EQ(first, spool + "/O5.nc");
  EXPECT_NE(second, first);
  EXPECT_EQ(SpooledFiles(spool).size(), 2u);  // no temporary file is left
  EXPECT_EQ(std::filesystem::directory_entry(first).file_size(), 5u);
  EXPECT_FALSE(EnqueueFile(spool, root.File("missing.nc"), 0, &first, &error));
  EXPECT_FALSE(EnqueueFile(spool, root.Path() + "/", 0, &first, &error));
}

// What the dashboard writes and removes: plain names of regular files in the
// spool itself, nothing else, and never a file in place of another.
TEST(DncSpool, BytesAreQueuedAndRemovedOnlyByPlainName) {
  TempFolder root;
  const std::string spool = root.File("spool");
  mkdir(spool.c_str(), 0755);
  mkdir((spool + "/sent").c_str(), 0755);
  std::ofstream(root.File("outside.nc")) << "outside";
  ASSERT_EQ(symlink(root.File("outside.nc").c_str(), (spool + "/link.nc").c_str()), 0);
  std::string placed, again, error;
  ASSERT_TRUE(EnqueueBytes(spool, "O7.nc", std::string("O7\r\n\0M30\r\n", 10), 1796698479, &placed, &error));
  ASSERT_TRUE(EnqueueBytes(spool, "O7.nc", "other", 1796698479, &again, &error));
  EXPECT_NE(again, placed);
  EXPECT_EQ(std::filesystem::directory_entry(placed).file_size(), 10u);
  for (const char* bad : {"", "../outside.nc", "a/b.nc", ".O7.nc", ".."}) {
    EXPECT_FALSE(EnqueueBytes(spool, bad, "x", 0, &placed, &error)) << bad;
  }
  for (const char* bad : {"../outside.nc", "sent", "link.nc", ".", "..", "missing.nc", ""}) {
    EXPECT_FALSE(RemoveQueued(spool, bad, &error)) << bad;
  }
  EXPECT_TRUE(std::filesystem::exists(root.File("outside.nc")));
  EXPECT_TRUE(std::filesystem::is_symlink(spool + "/link.nc"));
  EXPECT_TRUE(RemoveQueued(spool, "O7.nc", &error)) << error;
  EXPECT_EQ(SpooledFiles(spool).size(), 1u);  // the other O7 stays; no temporary file is left
}

// Moving a file changes what the worker sends next: the order is the files'
// times, so the move is checked through SpooledFiles as the worker reads it.
TEST(DncSpool, MovesAQueuedFileInTheSendingOrder) {
  const struct {
    const char* name;
    int steps;
    std::vector<std::string> order;
  } moves[] = {
      {"C.nc", -1, {"A.nc", "C.nc", "B.nc", "D.nc"}},
      {"C.nc", -1, {"C.nc", "A.nc", "B.nc", "D.nc"}},
      {"C.nc", -1, {"C.nc", "A.nc", "B.nc", "D.nc"}},  // already first
      {"C.nc", 9, {"A.nc", "B.nc", "D.nc", "C.nc"}},   // at most to the end
      {"A.nc", 1, {"B.nc", "A.nc", "D.nc", "C.nc"}},
  };
  for (const bool sameTimes : {false, true}) {
    TempFolder spool;
    // Files copied in one go often share their time to the tick: the order
    // then is the names', and a move must still take.
    int age = 400;
    for (const char* name : {"A.nc", "B.nc", "C.nc", "D.nc"}) WriteAged(spool.File(name), name, sameTimes ? 300 : age -= 50);
    std::string error;
    for (const auto& m : moves) {
      ASSERT_TRUE(MoveQueued(spool.Path(), m.name, m.steps, &error)) << error;
      EXPECT_EQ(SpooledFiles(spool.Path(), std::time(nullptr) - 2), m.order) << m.name << " " << m.steps;
    }
    EXPECT_FALSE(MoveQueued(spool.Path(), "X.nc", 1, &error));
    EXPECT_EQ(error, "X.nc: not queued");
    EXPECT_FALSE(MoveQueued(spool.Path(), "../B.nc", -1, &error));
    std::ifstream in(spool.File("C.nc"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "C.nc");  // moving touches times only
  }
}

}  // namespace
}  // namespace quelvo
