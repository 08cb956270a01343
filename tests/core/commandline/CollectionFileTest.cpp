// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "core/commandline/CollectionFile.h"
#include "core/common/AtomicFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

std::string Bytes(const std::string& path) {
  std::string bytes, error;
  ReadWholeFile(path, &bytes, &error);
  return bytes;
}

TEST(CollectionFile, EmptiedAtStartThenAppendedWithLineEndsBetweenFiles) {
  test::TempFolder folder;
  const std::string path = folder.File("quelvo.tmp");
  std::string error;
  ASSERT_TRUE(AppendToCollection(path, "OLD\r\n", &error));
  ASSERT_TRUE(ResetCollectionFile(path, &error)) << error;
  EXPECT_EQ(Bytes(path), "");
  ASSERT_TRUE(AppendToCollection(path, "O1\r\nG00X1.\r\nM30", &error));  // no end on the last line
  ASSERT_TRUE(AppendToCollection(path, "", &error));
  ASSERT_TRUE(AppendToCollection(path, "O2(ﾃｽﾄ)\r\n", &error));
  EXPECT_EQ(Bytes(path), "O1\r\nG00X1.\r\nM30\r\nO2(\xC3\xBD\xC4)\r\n");
}

TEST(CollectionFile, UnwritableFolderIsReported) {
  std::string error;
  EXPECT_FALSE(ResetCollectionFile("/nonexistent-folder/quelvo.tmp", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace quelvo
