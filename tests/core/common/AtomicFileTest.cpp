// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AtomicFile.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "core/common/UniqueFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++n;
  }
  return n;
}

TEST(AtomicFileTest, ReplacesContentKeepingModeAndLeavesNoTemporaryFile) {
  test::TempFolder dir;
  const std::string path = dir.File("doc.nc");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first", &error)) << error;
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, std::string("sec\0ond", 7), &error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, &bytes, &error));
  EXPECT_EQ(bytes, std::string("sec\0ond", 7));
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

// A published state: replaced whole, its permissions kept, no temporary file
// left; a link planted at its name is refused and what it points at stays.
TEST(AtomicFileTest, VolatileFilesAreReplacedWholeAndRefuseALink) {
  test::TempFolder dir;
  const std::string path = dir.File("mc1.state");
  std::string error;
  ASSERT_TRUE(ReplaceVolatileFile(path, "state=waiting\n", &error)) << error;
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(ReplaceVolatileFile(path, "state=sending\n", &error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, &bytes, &error));
  EXPECT_EQ(bytes, "state=sending\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  ASSERT_TRUE(WriteFileAtomically(dir.File("precious"), "keep", &error));
  ASSERT_EQ(symlink("precious", dir.File("mc2.state").c_str()), 0);
  EXPECT_FALSE(ReplaceVolatileFile(dir.File("mc2.state"), "state=waiting\n", &error));
  EXPECT_EQ(error, SymbolicLinkRefusal(dir.File("mc2.state")));
  ASSERT_TRUE(ReadWholeFile(dir.File("precious"), &bytes, &error));
  EXPECT_EQ(bytes, "keep");
  EXPECT_FALSE(ReplaceVolatileFile(dir.File("gone/mc3.state"), "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(EntriesIn(dir.Path()), 3u);
}

TEST(AtomicFileTest, WritesThroughASymbolicLink) {
  test::TempFolder dir;
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("real"), "old", &error));
  ASSERT_EQ(symlink("real", dir.File("link").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("link"), "new", &error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.File("real"), &bytes, &error));
  EXPECT_EQ(bytes, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link")));
}

TEST(AtomicFileTest, ReadOnlyPlacesFailAndStayUntouched) {
  test::TempFolder dir;
  std::string error, bytes;
  ASSERT_TRUE(WriteFileAtomically(dir.File("ro"), "keep", &error));
  chmod(dir.File("ro").c_str(), 0444);
  EXPECT_FALSE(WriteFileAtomically(dir.File("ro"), "lost", &error));
  EXPECT_FALSE(error.empty());
  ASSERT_TRUE(ReadWholeFile(dir.File("ro"), &bytes, &error));
  EXPECT_EQ(bytes, "keep");

  ASSERT_EQ(mkdir(dir.File("locked").c_str(), 0555), 0);
  EXPECT_FALSE(WriteFileAtomically(dir.File("locked") + "/new", "x", &error));
  EXPECT_FALSE(WriteFileAtomically(dir.File("ro") + "/under-a-file", "x", &error));
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing") + "/new", "x", &error));
  EXPECT_FALSE(ReadWholeFile(dir.File("absent"), &bytes, &error));
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

// A save killed mid-write leaves its temporary file; the next save into the
// folder removes it, and only it: files of a live process, of another naming
// and the user's own hidden files stay.
TEST(AtomicFileTest, NextSaveRemovesTemporaryFilesOfKilledSaves) {
  test::TempFolder dir;
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string temp;
    const int fd = CreateTempFileBeside(dir.File("big.nc"), &temp);
    const bool ok = fd >= 0 && write(fd, "half a document", 15) == 15;
    if (write(pipeFds[1], ok ? "y" : "n", 1) != 1) _exit(1);
    raise(SIGKILL);
  }
  char answer = 0;
  ASSERT_EQ(read(pipeFds[0], &answer, 1), 1);
  close(pipeFds[0]);
  close(pipeFds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(answer, 'y');
  ASSERT_EQ(EntriesIn(dir.Path()), 1u) << "the killed save left its temporary file";

  std::string mine;
  const int live = CreateTempFileBeside(dir.File("open.nc"), &mine);
  ASSERT_GE(live, 0);
  std::string error;
  for (const char* kept : {".profile", ".notes.123.tmp", ".a.b.tmp", "x.99999999.abc.tmp"}) {
    ASSERT_TRUE(WriteFileAtomically(dir.File(kept), "user", &error)) << error;
  }
  ASSERT_TRUE(WriteFileAtomically(dir.File("other.nc"), "saved", &error)) << error;
  close(live);
  EXPECT_EQ(EntriesIn(dir.Path()), 6u);
  EXPECT_TRUE(std::filesystem::exists(mine)) << "a live process's file stays";
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(entry.path().filename().string().find(".big.nc."), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace quelvo
