// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FilePreview.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(FilePreview, OnlyTheFirstHundredBytesDecide) {
  std::string bytes(300, 'A');
  bytes[99] = '\0';
  EXPECT_FALSE(IsTextFile(bytes));
  bytes[99] = 'A';
  bytes[100] = '\0';
  EXPECT_TRUE(IsTextFile(bytes));
  EXPECT_EQ(PreviewTextFromBytes(bytes), std::string(100, 'A'));
  EXPECT_TRUE(IsTextFile(""));
  EXPECT_FALSE(IsTextFile(std::string_view("\0", 1)));
}

TEST(FilePreview, ACharacterCutByTheSampleIsLeftOut) {
  EXPECT_EQ(PreviewTextFromBytes("O1(\x83\x65\x83"), "O1(テ");
  EXPECT_EQ(PreviewTextFromBytes("\x83\x81\x83"), "メ");  // 0x81 is a second byte here
  EXPECT_EQ(PreviewTextFromBytes("O1\r\nM30\r\n"), "O1\r\nM30\r\n");
}

TEST(FilePreview, FilesAreSampledAndClassified) {
  test::TempFolder folder;
  const FilePreview text = PreviewFile(test::WriteTestFile(folder.File("big.nc"), std::string(5000, 'G')));
  EXPECT_EQ(text.kind, PreviewKind::Text);
  EXPECT_EQ(text.text.size(), kPreviewBytes);

  const FilePreview empty = PreviewFile(test::WriteTestFile(folder.File("empty.nc"), ""));
  EXPECT_EQ(empty.kind, PreviewKind::Text);
  EXPECT_EQ(empty.text, "");

  EXPECT_EQ(PreviewFile(test::WriteTestFile(folder.File("bin"), std::string("MZ\0\0", 4))).kind, PreviewKind::Binary);
  EXPECT_EQ(PreviewFile(folder.Path()).kind, PreviewKind::NotAFile);
  EXPECT_EQ(PreviewFile(folder.File("missing")).kind, PreviewKind::NotAFile);
}

}  // namespace
}  // namespace quelvo
