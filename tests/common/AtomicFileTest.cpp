#include "common/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quelvo
