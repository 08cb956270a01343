// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FindText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelvo {
namespace {

// The editor's text for a table of lines: CR LF after every line but the last.
std::string Document(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

std::size_t LineStart(const std::vector<std::string>& lines, std::size_t line) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < line; ++i) offset += lines[i].size() + 2;
  return offset;
}

const std::vector<std::string> kProgram = {
    "%",               // 0
    "O1234",           // 1
    "N10 G00 X0 Y0",   // 2
    "N20 G01 X10. F100 G01",  // 3
    "N30 X20.",        // 4
    "N40 g01 Y5.",     // 5
    "M30",             // 6
};

TEST(FindTextTest, ForwardIgnoresCaseAndSkipsTheSelectedMatch) {
  const std::string doc = Document(kProgram);
  auto first = FindInDocument(doc, "g01", FindDirection::Down, {0, 0});
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, LineStart(kProgram, 3) + 4);
  // The found text stays selected: the next search moves on.
  auto second = FindInDocument(doc, "g01", FindDirection::Down, {*first, 3});
  ASSERT_TRUE(second);
  EXPECT_EQ(*second, LineStart(kProgram, 3) + 18);
  auto third = FindInDocument(doc, "G01", FindDirection::Down, {*second, 3});
  ASSERT_TRUE(third);
  EXPECT_EQ(*third, LineStart(kProgram, 5) + 4);
  EXPECT_FALSE(FindInDocument(doc, "G01", FindDirection::Down, {*third, 3}));
  // Without a selection a match right at the caret is found.
  EXPECT_EQ(FindInDocument(doc, "G01", FindDirection::Down, {*third, 0}), *third);
}

TEST(FindTextTest, ForwardAtTheEndsOfTheText) {
  const std::string doc = Document(kProgram);
  EXPECT_EQ(FindInDocument(doc, "m30", FindDirection::Down, {0, 0}), doc.size() - 3);
  EXPECT_EQ(FindInDocument(doc, "%", FindDirection::Down, {0, 0}), 0u);
  EXPECT_FALSE(FindInDocument(doc, "M30", FindDirection::Down, {doc.size(), 0}));
  EXPECT_FALSE(FindInDocument(doc, "M30", FindDirection::Down, {doc.size() + 10, 0}));
  EXPECT_FALSE(FindInDocument(doc, "G02", FindDirection::Down, {0, 0}));
  EXPECT_FALSE(FindInDocument(doc, "", FindDirection::Down, {0, 0}));
  // One-letter texts take their own path; case is still ignored.
  EXPECT_EQ(FindInDocument(doc, "o", FindDirection::Down, {0, 0}), LineStart(kProgram, 1));
  EXPECT_EQ(FindInDocument(doc, "y", FindDirection::Up, {doc.size(), 0}), LineStart(kProgram, 5) + 8);
  EXPECT_EQ(FindInDocument(doc, "n", FindDirection::Up, {LineStart(kProgram, 3), 0}),
            LineStart(kProgram, 2));
  EXPECT_FALSE(FindInDocument("", "G", FindDirection::Down, {0, 0}));
}

TEST(FindTextTest, BackwardFindsTheMatchRightBeforeTheCaretOnItsLine) {
  const std::string doc = Document(kProgram);
  const std::size_t line3 = LineStart(kProgram, 3);
  // Caret right after the second G01 of line 3.
  EXPECT_EQ(FindInDocument(doc, "g01", FindDirection::Up, {line3 + 21, 0}), line3 + 18);
  // Caret inside that match: the match begins before the caret, so it counts.
  EXPECT_EQ(FindInDocument(doc, "g01", FindDirection::Up, {line3 + 19, 0}), line3 + 18);
  // The selected match itself is skipped.
  EXPECT_EQ(FindInDocument(doc, "g01", FindDirection::Up, {line3 + 18, 3}), line3 + 4);
}

TEST(FindTextTest, BackwardFromColumnOneTakesTheLastMatchOfTheNearestEarlierLine) {
  const std::string doc = Document(kProgram);
  // From the start of line 5 ("N40 g01"): line 4 has none, line 3 has two.
  EXPECT_EQ(FindInDocument(doc, "G01", FindDirection::Up, {LineStart(kProgram, 5), 0}),
            LineStart(kProgram, 3) + 18);
  EXPECT_EQ(FindInDocument(doc, "o1234", FindDirection::Up, {LineStart(kProgram, 6), 0}),
            LineStart(kProgram, 1));
  EXPECT_FALSE(FindInDocument(doc, "G01", FindDirection::Up, {LineStart(kProgram, 3) + 4, 0}));
  EXPECT_FALSE(FindInDocument(doc, "%", FindDirection::Up, {0, 0}));
  EXPECT_EQ(FindInDocument(doc, "%", FindDirection::Up, {1, 0}), 0u);
}

TEST(FindTextTest, PositionsAreBytesOfTheUtf8TextAndMatchesStayInsideLines) {
  // "工具" is six bytes; the match after it starts at byte 7 of its line.
  const std::vector<std::string> lines = {"(工具 T01)", "T01 M06", "ab"};
  const std::string doc = Document(lines);
  EXPECT_EQ(FindInDocument(doc, "t01", FindDirection::Down, {0, 0}), 8u);
  EXPECT_EQ(FindInDocument(doc, "工具", FindDirection::Down, {0, 0}), 1u);
  EXPECT_EQ(FindInDocument(doc, "T01", FindDirection::Up, {LineStart(lines, 2), 0}),
            LineStart(lines, 1));
  // A text holding a line break is never found, in either direction.
  EXPECT_FALSE(FindInDocument(doc, ")\r\nT01", FindDirection::Down, {0, 0}));
  EXPECT_FALSE(FindInDocument(doc, ")\r\nT01", FindDirection::Up, {doc.size(), 0}));
}

TEST(FindTextTest, RepeatedPatternsAreNotSkippedByTheShifts) {
  const std::string doc = "AAAB AABAAB XAABAA";
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Down, {0, 0}), 1u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Down, {1, 3}), 5u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Down, {5, 3}), 8u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Up, {doc.size(), 0}), 13u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Up, {13, 0}), 8u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Up, {8, 0}), 5u);
  EXPECT_EQ(FindInDocument(doc, "aab", FindDirection::Up, {5, 0}), 1u);
  EXPECT_FALSE(FindInDocument(doc, "aab", FindDirection::Up, {1, 0}));
}

TEST(FindTextTest, MatchLineBecomesTheSecondVisibleLine) {
  // Line 10 (index 9) shown from the top: scroll 8 lines, line 9 on top.
  EXPECT_EQ(LinesToScrollForMatch(9, 0), 8);
  EXPECT_EQ(LinesToScrollForMatch(9, 30), -22);
  EXPECT_EQ(LinesToScrollForMatch(0, 12), -12);
}

}  // namespace
}  // namespace quelvo
