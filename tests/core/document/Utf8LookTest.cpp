// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/Utf8Look.h"

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "core/document/DocumentFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

// UTF-8 text is told apart from the CP932 Quelvo reads, and where its first
// character beyond ASCII stands; CP932 and broken sequences are not UTF-8.
TEST(Utf8Look, TellsUtf8FromShiftJis) {
  struct Case {
    const char* name;
    std::string bytes;
    bool utf8;
    int line, column;
  };
  const Case cases[] = {
      {"ASCII only", "O1\r\nG00X1.\r\nM30\r\n", false, 0, 0},
      {"CP932 kanji", "O1\r\n(\x93\xfa\x96\x7b)\r\n", false, 0, 0},
      {"CP932 half-width katakana", "(\xb1\xb2\xb3)\r\n", false, 0, 0},
      {"CP932 kanji that starts like UTF-8", "(\xe3\x81)\r\n", false, 0, 0},
      {"UTF-8 Japanese", "O1\r\nG00X1.(工具)\r\n", true, 2, 8},
      {"UTF-8 on the first byte", "工具\n", true, 1, 1},
      {"UTF-8 Latin letter", "(Düse)\n", true, 1, 3},
      {"overlong form", "(\xc0\xaf)\n", false, 0, 0},
      {"surrogate", "(\xed\xa0\x80)\n", false, 0, 0},
      {"sequence cut at the end", "O1(\xe5\xb7", false, 0, 0},
      {"valid UTF-8, then a CP932 byte", "(工具)\x93\xfa\n", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Utf8Look look = LookForUtf8(c.bytes);
    EXPECT_EQ(look.utf8, c.utf8);
    EXPECT_EQ(look.line, c.line);
    EXPECT_EQ(look.column, c.column);
  }
}

TEST(Utf8Look, TheLoadedDocumentSaysSo) {
  test::TempFolder folder;
  EXPECT_TRUE(ReadDocumentFile(test::WriteTestFile(folder.File("u.nc"), "O1(工具)\r\n")).utf8);
  EXPECT_FALSE(ReadDocumentFile(test::WriteTestFile(folder.File("s.nc"), "O1(\x93\xfa\x96\x7b)\r\n")).utf8);
}

}  // namespace
}  // namespace quelvo
