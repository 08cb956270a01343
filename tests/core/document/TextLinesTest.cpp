// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/TextLines.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TextLines, AFinalLineEndOpensNoFurtherLine) {
  EXPECT_EQ(SplitTextLines("A\r\nB\r\n"), (Lines{"A", "B"}));
  EXPECT_EQ(SplitTextLines("A\r\nB"), (Lines{"A", "B"}));
  EXPECT_EQ(SplitTextLines("A\r\n\r\n"), (Lines{"A", ""}));
  EXPECT_EQ(SplitTextLines("A\rB\nC\n\rD"), (Lines{"A", "B", "C", "", "D"}));
  EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(TextLines, NormalisingTouchesOnlyDocumentsThatNeedIt) {
  std::string crlf = "O1\r\nM30\r\n";
  const char* before = crlf.data();
  NormalizeLineEndsToCrLf(crlf);
  EXPECT_EQ(crlf.data(), before);
  EXPECT_EQ(MissingCrLfBytes("\n\r\r\nX\r"), 3u);
  EXPECT_EQ(WithCrLfLineEnds("\n\r\r\nX\r"), "\r\n\r\n\r\nX\r\n");
}

}  // namespace
}  // namespace quelvo
