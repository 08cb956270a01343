// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/DocumentFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/document/TextLines.h"
#include "TestFiles.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using namespace std::string_literals;

TEST(DocumentLoad, TextStopsAtTheFirstZeroByte) {
  EXPECT_EQ(DocumentTextFromBytes(""), "");
  EXPECT_EQ(DocumentTextFromBytes("\0AB\n"s), "");
  EXPECT_EQ(DocumentTextFromBytes("O1\r\nG0X1\0M30\r\n"s), "O1\r\nG0X1");
}

TEST(DocumentLoad, LineEndsBecomeCrLf) {
  EXPECT_EQ(DocumentTextFromBytes("O1\r\nG0\r\n"), "O1\r\nG0\r\n");
  EXPECT_EQ(DocumentTextFromBytes("O1\nG0\n"), "O1\r\nG0\r\n");
  EXPECT_EQ(DocumentTextFromBytes("A\rB\r\nC\nD"), "A\r\nB\r\nC\r\nD");
  EXPECT_EQ(DocumentTextFromBytes("\n\r\r\n"), "\r\n\r\n\r\n");
}

TEST(DocumentLoad, TextIsDecodedFromCp932) {
  EXPECT_EQ(DocumentTextFromBytes("(\x83\x65\x83\x58\x83\x67)\r\n"), "(テスト)\r\n");
  EXPECT_EQ(DocumentTextFromBytes("\xC3\xDD"), "ﾃﾝ");
}

TEST(FallbackReader, ZeroBytesAndEmptyLinesAreDropped) {
  // The first line is cut at its zero byte and then empty, the empty line is skipped.
  EXPECT_EQ(FallbackTextFromBytes("\0AB\n\nCD\n"s), "CD\r\n");
  EXPECT_EQ(FallbackTextFromBytes("AB\0CD\r\nEF"s), "AB\r\nEF\r\n");
  EXPECT_EQ(FallbackTextFromBytes(""), "");
}

TEST(FallbackReader, LongLinesArriveInPiecesOf499) {
  const std::string line(1200, 'X');
  for (const char* end : {"\n", "\r\n", ""}) {
    const std::vector<std::string_view> lines = SplitTextLines(FallbackTextFromBytes(line + end));
    ASSERT_EQ(lines.size(), 3u) << "line end " << (end[0] ? "present" : "absent");
    EXPECT_EQ(lines[0].size(), 499u);
    EXPECT_EQ(lines[1].size(), 499u);
    EXPECT_EQ(lines[2].size(), 202u);
  }
  // A line of exactly 499 bytes leaves its line feed as an empty read, which is skipped.
  EXPECT_EQ(FallbackTextFromBytes(std::string(499, 'Y') + "\r\nZ\r\n"),
            std::string(499, 'Y') + "\r\nZ\r\n");
  // CR LF counts as one byte of a read: 498 bytes and CR LF fit into one.
  EXPECT_EQ(SplitTextLines(FallbackTextFromBytes(std::string(498, 'Y') + "\r\nZ")).size(), 2u);
}

TEST(DocumentSave, BytesAreCp932WithCrLf) {
  EXPECT_EQ(DocumentBytesFromText("O1\nG0\r\n(テスト)\r"), "O1\r\nG0\r\n(\x83\x65\x83\x58\x83\x67)\r\n");
  EXPECT_EQ(DocumentBytesFromText(""), "");
}

// Every byte value apart from the zero byte, CR and LF, alone, in every CP932
// pair, and as broken pairs, survives loading and saving unchanged.
TEST(DocumentRoundTrip, EveryByteValueComesBack) {
  std::string bytes;
  for (int b = 1; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
  }
  bytes += "\r\n";
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 1; trail < 256; ++trail) {
      if (trail == '\r' || trail == '\n') continue;
      bytes.push_back(static_cast<char>(lead));
      bytes.push_back(static_cast<char>(trail));
    }
    bytes.push_back(static_cast<char>(lead));  // a lead byte cut off by the line end
    bytes += "\r\n";
  }
  bytes += "\xFF\xFE\xFD\xA0\x80";  // no line end at the end of the file
  const std::string text = DocumentTextFromBytes(bytes);
  EXPECT_EQ(DocumentBytesFromText(text), bytes);
}

TEST(DocumentFiles, LoadReportsSizeFolderAndTheFormatQuestion) {
  test::TempFolder folder;
  const DocumentLoad normal = ReadDocumentFile(test::WriteTestFile(folder.File("a.nc"), "O1\nM30\n"));
  ASSERT_TRUE(normal.opened);
  EXPECT_EQ(normal.size, 7u);
  EXPECT_EQ(normal.text, "O1\r\nM30\r\n");
  EXPECT_FALSE(normal.needsFormatQuestion);
  EXPECT_EQ(normal.dirPath, folder.Path() + "/");

  const DocumentLoad empty = ReadDocumentFile(test::WriteTestFile(folder.File("empty.nc"), ""));
  ASSERT_TRUE(empty.opened);
  EXPECT_EQ(empty.size, 0u);
  EXPECT_TRUE(empty.needsFormatQuestion);
  EXPECT_EQ(ReadDocumentFileByLines(folder.File("empty.nc")), "");

  const std::string zeroFirst = test::WriteTestFile(folder.File("zero.nc"), "\0AB\n\nCD\n"s);
  const DocumentLoad zero = ReadDocumentFile(zeroFirst);
  EXPECT_TRUE(zero.needsFormatQuestion);
  EXPECT_EQ(zero.size, 8u);
  EXPECT_EQ(ReadDocumentFileByLines(zeroFirst), "CD\r\n");

  const DocumentLoad missing = ReadDocumentFile(folder.File("missing.nc"));
  EXPECT_FALSE(missing.opened);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_EQ(ReadDocumentFileByLines(folder.File("missing.nc")), "");
}

TEST(DocumentFiles, SaveReplacesTheFileOrReportsWhyNot) {
  test::TempFolder folder;
  test::WriteTestFile(folder.File("a.nc"), "old contents that are longer\r\n");
  std::string error;
  ASSERT_TRUE(SaveDocumentFile(folder.File("a.nc"), "O1\nM30", &error)) << error;
  EXPECT_EQ(test::ReadTestFile(folder.File("a.nc")), "O1\r\nM30");

  EXPECT_FALSE(SaveDocumentFile(folder.File("no-such-folder/a.nc"), "O1", &error));
  EXPECT_FALSE(error.empty());
}

TEST(DocumentFiles, DirectoryKeepsItsSlash) {
  EXPECT_EQ(DirectoryWithSlash("/home/m/parts/a.nc"), "/home/m/parts/");
  EXPECT_EQ(DirectoryWithSlash("/a.nc"), "/");
  EXPECT_EQ(DirectoryWithSlash("a.nc"), "");
}

}  // namespace
}  // namespace quelvo
