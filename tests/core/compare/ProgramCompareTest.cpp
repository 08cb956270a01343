// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/ProgramCompare.h"

#include <gtest/gtest.h>

#include "core/compare/ChangedWords.h"
#include "core/compare/CompareRows.h"
#include "core/document/DocumentFile.h"
#include "core/document/TextLines.h"

namespace quelvo {
namespace {

CompareOptions With(const char* flags) {
  CompareOptions o;
  for (const char* f = flags; *f; ++f) {
    switch (*f) {
      case 'b': o.ignoreBlanks = false; break;  // blanks count
      case 'n': o.ignoreSequenceNumbers = true; break;
      case 'v': o.numbersByValue = true; break;
      case 'i': o.numbersByValue = o.pointlessInIncrement = true; break;
      case 'c': o.ignoreComments = true; break;
      case 'f': o.ignoreFrame = true; break;
    }
  }
  return o;
}

struct Case {
  const char* what;
  const char* a;
  const char* b;
  const char* options;  // letters of With()
  std::size_t changed, added, removed;
};

// Each option on its own, and what it must still tell apart.
const Case kCases[] = {
    {"identical", "O1\nG01 X1.\nM30\n", "O1\nG01 X1.\nM30\n", "", 0, 0, 0},
    {"blanks inside blocks", "G01 X10. Y20.\n", "G01X10.Y20.\t\n", "", 0, 0, 0},
    {"blanks counted", "G01 X10. Y20.\n", "G01X10.Y20.\n", "b", 1, 0, 0},
    {"empty lines ignored", "G00\n\n  \nG01\n", "G00\nG01\n", "", 0, 0, 0},
    {"empty lines counted", "G00\n\nG01\n", "G00\nG01\n", "b", 0, 0, 1},
    {"sequence numbers differ", "N10 G01 X1.\nN20 X2.\n", "N100 G01 X1.\nN110 X2.\n", "", 2, 0, 0},
    {"sequence numbers ignored", "N10 G01 X1.\nN20 X2.\n", "N100 G01 X1.\nN110 X2.\n", "n", 0, 0, 0},
    {"a block of only N is no block", "G00\nN30\nG01\n", "G00\nG01\n", "n", 0, 0, 0},
    {"N inside a comment stays", "(N10 NOTE)\n", "(N20 NOTE)\n", "n", 1, 0, 0},
    {"numbers as written", "X10. Y.5 Z-0\n", "X10.000 Y0.5 Z0\n", "", 1, 0, 0},
    {"numbers by value", "X10. Y.5 Z-0 F+100\n", "X10.000 Y0.5 Z0 F100.\n", "v", 0, 0, 0},
    {"by value, letters any case", "x10.\n", "X10\n", "v", 0, 0, 0},
    {"by value, still a value", "X10.\n", "X10.01\n", "v", 1, 0, 0},
    {"whole units: X10 = X10.", "X10\n", "X10.\n", "v", 0, 0, 0},
    {"increment: X10 is not X10.", "X10\n", "X10.\n", "i", 1, 0, 0},
    {"increment: X10 = X0.01", "G01 X10 Y-1500\n", "G01 X0.01 Y-1.5\n", "i", 0, 0, 0},
    {"whole units: X10 is not X0.01", "X10\n", "X0.01\n", "v", 1, 0, 0},
    {"increment in inch after G20", "G20\nX10\n", "G20\nX0.001\n", "i", 0, 0, 0},
    {"back to mm after G21", "G20\nG21 X10\n", "G20\nG21 X0.01\n", "i", 0, 0, 0},
    {"feed and codes not scaled", "G1 F100 S1000\n", "G1. F0.1 S1.\n", "i", 1, 0, 0},
    {"comments differ", "G01 X1. (ROUGH)\n", "G01 X1. (FINISH)\n", "", 1, 0, 0},
    {"comments ignored", "G01 X1. (ROUGH)\n", "G01 X1.(FINISH)\n", "c", 0, 0, 0},
    {"a comment line is no block", "(TOOL 1)\nG00\n", "G00\n;NOTE\n", "c", 0, 0, 0},
    {"open comment runs to the end", "G00 (NOTE\n", "G00\n", "c", 0, 0, 0},
    {"frame counted", "%\nO1\nM30\n%\n", "O1\nM30\n", "", 0, 0, 2},
    {"frame ignored", "%\n\x7f\x7f\nO1\nM30\n%\n", "O1\nM30\n", "f", 0, 0, 0},
    {"a % inside is no frame", "O1\n%\nO2\n", "O1\nO2\n", "f", 0, 0, 1},
    {"CR LF against LF", "O1\r\nG01 X1.\r\nM30\r\n", "O1\nG01 X1.\nM30\n", "b", 0, 0, 0},
    {"block inserted", "O1\nG00\nM30\n", "O1\nG00\nM08\nM30\n", "", 0, 1, 0},
    {"block removed", "O1\nG00\nM08\nM30\n", "O1\nG00\nM30\n", "", 0, 0, 1},
    {"empty against program", "", "O1\nM30\n", "", 0, 2, 0},
};

TEST(ProgramCompare, EachOption) {
  for (const Case& c : kCases) {
    const CompareResult r = CompareTexts(c.a, c.b, With(c.options));
    EXPECT_EQ(r.changed, c.changed) << c.what;
    EXPECT_EQ(r.added, c.added) << c.what;
    EXPECT_EQ(r.removed, c.removed) << c.what;
  }
}

TEST(ProgramCompare, Cp932CommentsCompareAsText) {
  // "(工具 1)" and "(工具 2)" in Shift-JIS, as a control's PC keeps them.
  const std::string a = DocumentTextFromBytes("O1\r\nT1 (\x8d\x48\x8b\xef 1)\r\n");
  const std::string b = DocumentTextFromBytes("O1\r\nT1 (\x8d\x48\x8b\xef 2)\r\n");
  const std::string same = DocumentTextFromBytes("O1\r\nT1(\x8d\x48\x8b\xef 1)\r\n");
  EXPECT_EQ(CompareTexts(a, b, {}).changed, 1u);
  EXPECT_TRUE(CompareTexts(a, same, {}).Same());
  EXPECT_TRUE(CompareTexts(a, b, With("c")).Same());
  const ChangedWordMarks marks = MarkChangedWords("T1 (工具 1)", "T1 (工具 2)", {});
  ASSERT_EQ(marks.b.size(), 1u);
  EXPECT_EQ(marks.b[0], (ByteRange{3, 13}));  // the whole comment, whole characters
}

// Rows written one letter each: S same, C changed, A added, R removed, I ignored.
std::string RowKinds(const std::string& a, const std::string& b, const CompareOptions& o = {}) {
  const auto la = SplitTextLines(a), lb = SplitTextLines(b);
  std::string kinds;
  for (const CompareRow& row : AlignedRows(CompareLines(la, lb, o), la.size(), lb.size()))
    kinds += "SCARI"[static_cast<int>(row.kind)];
  return kinds;
}

TEST(ProgramCompare, BlocksAlignAroundInsertionsAndRemovals) {
  EXPECT_EQ(RowKinds("1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\nX\nY\n4\n5\n6\n8\n9b\n"), "SSSAASSSRSC");
  EXPECT_EQ(RowKinds("1\n2\n3\n", "0\n1\n2\n3\n4\n"), "ASSSA");
  // Ignored lines keep their place on their own side.
  EXPECT_EQ(RowKinds("1\n\n2\n3\n", "1\n2\n\n\n3\n"), "SISII" "S");
  const auto rows = AlignedRows(CompareTexts("G00\nX1.\nM30\n", "G00\nX2.\nM30\nM05\n", {}), 3, 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1].lineA, 1);
  EXPECT_EQ(rows[1].lineB, 1);
  EXPECT_EQ(rows[3].lineA, -1);
  EXPECT_EQ(rows[3].lineB, 3);
  EXPECT_EQ(ChangeStarts(rows), (std::vector<std::size_t>{1, 3}));
}

TEST(ProgramCompare, AlikeBlocksPairUpAsChanged) {
  // The operator added a coolant block and deepened the cut: N40 is changed, N35 added.
  EXPECT_EQ(RowKinds("N30 G43 Z50. H01\nN40 G01 Z-2. F100\nN50 X50.\n",
                     "N30 G43 Z50. H01\nN35 M08\nN40 G01 Z-2.5 F100\nN50 X50.\n"),
            "SACS");
  EXPECT_EQ(RowKinds("N20 S1200 M03\nN30 M08\nN40 X1.\n", "N20 S1000 M03\nN40 X1.\n"), "CRS");
  // One word, another value: still the same block changed.
  EXPECT_EQ(RowKinds("G00\nX10.\nM30\n", "G00\nX20.\nM30\n"), "SCS");
  // Nothing alike: removed and added, not changed.
  EXPECT_EQ(RowKinds("G00\nM05\nM30\n", "G00\nG04 P1.\nM30\n"), "SRAS");
}

TEST(ProgramCompare, LongRunsWithFewChanges) {
  std::string a, b;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const std::string line = "N" + std::to_string(i) + " G01 X" + std::to_string(i % 977) + ". Y1.\n";
    a += line;
    if (i == 1000) b += "M01\n";                                 // added before line 1001
    if (i == 50000) continue;                                    // removed
    b += i == 150000 ? "N150000 G01 X523. Y2.\n" : line;         // changed
  }
  const CompareResult r = CompareTexts(a, b, {});
  EXPECT_EQ(r.changed, 1u);
  EXPECT_EQ(r.added, 1u);
  EXPECT_EQ(r.removed, 1u);
  ASSERT_EQ(r.runs.size(), 7u);
  EXPECT_EQ(r.blockLineB[r.runs[1].b], 1000u);
  EXPECT_EQ(r.blockLineA[r.runs[3].a], 50000u);
  EXPECT_EQ(r.blockLineA[r.runs[5].a], 150000u);
  EXPECT_EQ(CompareSummaryText(r), "変更 1 ブロック、追加 1、削除 1");
}

TEST(ProgramCompare, RepeatedBlocksAlignToTheSmallestDifference) {
  // A drilling pattern: the same blocks over and over, one hole added.
  std::string a, b;
  for (int i = 0; i < 500; ++i) {
    a += "G81 Z-5. R2.\nX10.\nY10.\nG80\n";
    b += "G81 Z-5. R2.\nX10.\nY10.\nG80\n";
    if (i == 250) b += "X20.\n";
  }
  const CompareResult r = CompareTexts(a, b, {});
  EXPECT_EQ(r.Differing(), 1u);
  EXPECT_EQ(r.added, 1u);
}

TEST(ProgramCompare, ChangedWordsAreMarked) {
  const ChangedWordMarks m = MarkChangedWords("N10 G01 X10. Y20.", "N10 G01 X10. Y25. M08", {});
  EXPECT_EQ(m.a, (std::vector<ByteRange>{{13, 17}}));
  EXPECT_EQ(m.b, (std::vector<ByteRange>{{13, 17}, {18, 21}}));
  // Under the options: numbers by value, sequence numbers not marked.
  const ChangedWordMarks v = MarkChangedWords("N10 X10.0 Y20.", "N20 X10 Y21.", With("vn"));
  EXPECT_EQ(v.a, (std::vector<ByteRange>{{10, 14}}));
  EXPECT_EQ(v.b, (std::vector<ByteRange>{{8, 12}}));
}

}  // namespace
}  // namespace quelvo
