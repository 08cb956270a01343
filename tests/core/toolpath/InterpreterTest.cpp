// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter against paths computed by hand: each case is a program and
// the listing its moves must give (line, kind, end point, arcs' centres).
#include <gtest/gtest.h>

#include <sstream>

#include "core/toolpath/NcBlock.h"
#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/PathSummary.h"
#include "core/toolpath/ToolpathCommand.h"

namespace quelvo {
namespace {

struct PathCase {
  const char* name;
  const char* program;
  const char* listing;
  bool wholeUnits = false;
  bool lathe = false;
  bool skipDeleted = false;
};

std::string Listing(const ToolPath& path) {
  std::ostringstream out;
  WriteToolpathListing(path, out);
  return out.str();
}

ToolPath InterpretText(const std::string& program, const InterpretOptions& options) {
  return Interpret(program, 1, options);
}

class InterpreterPaths : public testing::TestWithParam<PathCase> {};

TEST_P(InterpreterPaths, GiveTheHandComputedMoves) {
  const PathCase& c = GetParam();
  InterpretOptions options;
  options.wholeUnits = c.wholeUnits;
  options.lathe = c.lathe;
  options.skipDeletedBlocks = c.skipDeleted;
  EXPECT_EQ(Listing(InterpretText(c.program, options)), c.listing);
}

const PathCase kPaths[] = {
    {"SquareAbsolute", "%\nO0001 (SQUARE)\nG90 G00 X0 Y0 Z5.\nG01 Z-1. F100.\nX10.\nY10.\nX0\nY0\nM30\n%\n",
     "3 rapid 0.0000 0.0000 5.0000\n4 feed 0.0000 0.0000 -1.0000\n5 feed 10.0000 0.0000 -1.0000\n"
     "6 feed 10.0000 10.0000 -1.0000\n7 feed 0.0000 10.0000 -1.0000\n8 feed 0.0000 0.0000 -1.0000\n"},
    {"IncrementalThenAbsolute", "G91 G01 X10. Y5. F200\nX-2.5 Z-1.\nG90 X0 Y0\n",
     "1 feed 10.0000 5.0000 0.0000\n2 feed 7.5000 5.0000 -1.0000\n3 feed 0.0000 0.0000 -1.0000\n"},
    {"LeastIncrementMetricAndInch", "G00 X10 Y-2500\nG20 X10.\nG01 X10 F1.\n",
     "1 rapid 0.0100 -2.5000 0.0000\n2 rapid 254.0000 -2.5000 0.0000\n3 feed 0.0254 -2.5000 0.0000\n"
     "hint 1 X10: 小数点のない数値を最小設定単位(0.001 mm)で読んでいます\n"},
    {"WholeUnits", "G00 X10 Y-25\n", "1 rapid 10.0000 -25.0000 0.0000\n"
     "hint 1 X10: 小数点のない数値を mm 単位で読んでいます(電卓式入力)\n", true},
    {"ArcXYRadiusHalfCircle", "G17 G02 X10. Y0 R5. F100\n", "1 cw 10.0000 0.0000 0.0000 5.0000 0.0000 0.0000\n"},
    {"ArcXYPositiveRadiusIsTheShortWay", "G03 X10. Y0 R10. F100\n",
     "1 ccw 10.0000 0.0000 0.0000 5.0000 8.6603 0.0000\n"},
    {"ArcXYNegativeRadiusIsTheLongWay", "G03 X10. Y0 R-10. F100\n",
     "1 ccw 10.0000 0.0000 0.0000 5.0000 -8.6603 0.0000\n"},
    {"ArcZXWithIK", "G18 G02 X10. Z0 I5. K0 F100\n", "1 cw 10.0000 0.0000 0.0000 5.0000 0.0000 0.0000\n"},
    {"ArcYZWithJKAndInch", "G20 G19 G03 Y0 Z1. J0 K.5 F10\n", "1 ccw 0.0000 0.0000 25.4000 0.0000 0.0000 12.7000\n"},
    {"FullCircleAndHelix", "G01 X10. F100\nG02 I-10.\nG03 X0 Y10. Z-2. I-10.\n",
     "1 feed 10.0000 0.0000 0.0000\n2 cw 10.0000 0.0000 0.0000 0.0000 0.0000 0.0000\n"
     "3 ccw 0.0000 10.0000 -2.0000 0.0000 0.0000 0.0000\n"},
    {"DrillingG99ThenG98", "G90 G00 X0 Y0 Z50.\nG99 G81 X10. Y10. Z-5. R2. F100\nX20.\nG98 Y20.\nG80\nG00 X0\n",
     "1 rapid 0.0000 0.0000 50.0000\n2 rapid 10.0000 10.0000 50.0000\n2 rapid 10.0000 10.0000 2.0000\n"
     "2 drill 10.0000 10.0000 -5.0000\n2 rapid 10.0000 10.0000 2.0000\n3 rapid 20.0000 10.0000 2.0000\n"
     "3 drill 20.0000 10.0000 -5.0000\n3 rapid 20.0000 10.0000 2.0000\n4 rapid 20.0000 20.0000 2.0000\n"
     "4 drill 20.0000 20.0000 -5.0000\n4 rapid 20.0000 20.0000 50.0000\n6 rapid 0.0000 20.0000 50.0000\n"},
    {"DrillingIncrementalWithRepeats", "G00 Z10.\nG91 G99 G81 X5. Z-3. R-8. K2 F50\n",
     "1 rapid 0.0000 0.0000 10.0000\n2 rapid 5.0000 0.0000 10.0000\n2 rapid 5.0000 0.0000 2.0000\n"
     "2 drill 5.0000 0.0000 -1.0000\n2 rapid 5.0000 0.0000 2.0000\n2 rapid 10.0000 0.0000 2.0000\n"
     "2 drill 10.0000 0.0000 -1.0000\n2 rapid 10.0000 0.0000 2.0000\n"},
    {"BoringFeedsOut", "G00 Z5.\nG98 G85 X1. Z-2. R1. F30\n",
     "1 rapid 0.0000 0.0000 5.0000\n2 rapid 1.0000 0.0000 5.0000\n2 rapid 1.0000 0.0000 1.0000\n"
     "2 drill 1.0000 0.0000 -2.0000\n2 feed 1.0000 0.0000 1.0000\n2 rapid 1.0000 0.0000 5.0000\n"},
    {"LatheDiameterIncrementalAndArc", "G00 X50. Z2.\nG01 Z-20. F0.2\nU10. W-5.\nG02 X80. Z-35. R10.\n",
     "1 rapid 25.0000 0.0000 2.0000\n2 feed 25.0000 0.0000 -20.0000\n3 feed 30.0000 0.0000 -25.0000\n"
     "4 cw 40.0000 0.0000 -35.0000 40.0000 0.0000 -25.0000\n"
     "hint 2 回転当たり送りの区間は加工時間に含めていません\n", false, true},
    {"HomeMachineAndPositionSet", "G92 X100. Y0 Z0\nG91 G28 Z10.\nG90 G53 X0\nG00 X90.\n",
     "2 home 100.0000 0.0000 10.0000\n3 machine 100.0000 0.0000 10.0000\n4 rapid 90.0000 0.0000 10.0000\n"},
    {"BlockDeleteFollowedByDefault", "G00 X1.\n/X2.\nX3.\n",
     "1 rapid 1.0000 0.0000 0.0000\n2 rapid 2.0000 0.0000 0.0000\n3 rapid 3.0000 0.0000 0.0000\n"},
    {"BlockDeleteSkipped", "G00 X1.\n/X2.\nX3.\n",
     "1 rapid 1.0000 0.0000 0.0000\n3 rapid 3.0000 0.0000 0.0000\n", false, false, true},
    // Gantry and boring-mill travels keep their last micron (and 0.0001 inch).
    {"LargeTravelsAreExact", "G01 X65536.001 Y-99999.999 Z0.001 F100.\nG91 X0.001\nG90 G20 X3937.0001 Y-3937.0002\n",
     "1 feed 65536.0010 -99999.9990 0.0010\n2 feed 65536.0020 -99999.9990 0.0010\n"
     "3 feed 99999.8025 -99999.8051 0.0010\n"},
    {"LatheHalvesTheLeastIncrement", "G00 X100.001 Z-0.001\nU-0.001\n",
     "1 rapid 50.0005 0.0000 -0.0010\n2 rapid 50.0000 0.0000 -0.0010\n", false, true},
    {"CommentsDwellAndEnd", "G00 X1. (X9. IN A COMMENT)\nG04 X2.\nM30\nG00 X5.\n", "1 rapid 1.0000 0.0000 0.0000\n"},
};

INSTANTIATE_TEST_SUITE_P(Programs, InterpreterPaths, testing::ValuesIn(kPaths),
                         [](const testing::TestParamInfo<PathCase>& i) { return std::string(i.param.name); });

// Faulty programs: each problem is listed with its line, and the lines around
// it are still interpreted. A hint is given where a control would run the
// block. No text carries a control byte of the program.
TEST(InterpreterProblems, AreListedWithTheirLines) {
  const struct {
    std::string line;
    const char* expected;
    bool hint = false;
  } cases[] = {
      {"G02 X10. Y0 R3. F100", "の円上にありません"},
      {"G02 X10. I3. F100", "円弧の終点が半径上にありません"},
      {"G02 X0 Y0 R5. F100", "始点と終点が同じ"},
      {"G02 I0. J0. F100", "円弧の中心 I J K が始点と同じです(半径 0)"},
      {"G03 X5. F100", "R または中心 I J K がありません"},
      {"G01 X10.", "送り速度 F がない"},
      {"G01 X10. F0", "送り速度が F0 のまま切削送りしています"},
      {"G01 X10. F-100.", "送り速度 F-100 は負の数です"},
      {"G12 X1.", "不明なGコード G12"},
      {"M98 P100", "サブプログラム呼び出し M98"},
      {"#1=10.", "マクロ文"},
      {"G00 X#1", "マクロ文"},
      {"IF[#1GT2]GOTO10", "マクロ文"},
      {"G65 P9000 A1.", "マクロ呼び出し G65"},
      {"G81 X1. Y1. F10", "R 点または Z 点"},
      {"G81 X1. Z-1. R1. K100000 F10", "繰り返し回数 100000 は多すぎます"},
      {"G81 X1. Z-1. R1. K-2 F10", "繰り返し回数 K-2 は負の数です"},
      {"G81 X1. Z-1. R1. L2.5 F10", "繰り返し回数 L2.5 は整数ではありません"},
      {"G00 X1..2", "解釈できない文字「.」"},
      {"G00 X1. X2.", "X が二つ"},
      {"G00 X1.e3", "指数表記の数値 X1.e3 は解釈しません"},
      {"G00 X2E-4", "指数表記の数値 X2E-4 は解釈しません"},
      {"G00 X1. (TOOL (10MM) DRILL)", "コメントの中に ( があります"},
      {"G00 X1234567890123456789012345678901234567890", "X の数値の桁が多すぎます (40 桁)"},
      {"G00 X0.1234567890123456789", "X の数値の桁が多すぎます (20 桁)"},
      {"G00 X1.\x1b" "Y2.", "解釈できない制御文字 <ESC> があります"},
      {std::string("G00 X1.\0", 8), "解釈できない制御文字 <NUL> があります"},
      {"G00 X1.\a", "解釈できない制御文字 <BEL> があります"},
      {"G00 X1. (OPEN COMMENT", "( で始まるコメントが閉じていません", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(EscapeControlBytes(c.line));
    const std::string program = "G00 X0 Y0\n" + c.line + "\nG00 X7.\n";
    const ToolPath path = Interpret(program, 40, {});
    const std::vector<PathNote>& notes = c.hint ? path.hints : path.problems;
    EXPECT_EQ((c.hint ? path.problems : path.hints).size(), 0u);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].line, 41);
    EXPECT_NE(notes[0].text.find(c.expected), std::string::npos) << notes[0].text;
    for (char ch : notes[0].text) EXPECT_FALSE(static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) << notes[0].text;
    ASSERT_GT(path.size(), 0u);
    EXPECT_EQ(path.line.back(), 42);
    EXPECT_DOUBLE_EQ(path.x.back(), 7.0);
  }
}

// Words that look like mistakes but are what controls run: no problem.
TEST(InterpreterProblems, SpareWhatControlsAccept) {
  for (const char* line : {"G81 X1. Z-1. R1. K0 F10", "G81 X1. Z-1. R1. K2. F10", "G01 Z-20.E3 F1.", "G00 X0.00000000000000001",
                           "G02 I5. J0 F100", "G00 F0"}) {
    SCOPED_TRACE(line);
    const ToolPath path = Interpret(std::string("G00 X0 Y0\n") + line + "\n", 1, {});
    EXPECT_TRUE(path.problems.empty()) << path.problems[0].text;
  }
}

TEST(InterpreterPrecision, ManySmallStepsAddUpExactly) {
  std::string program = "G01 X99900. F100.\nG91\n";
  for (int i = 0; i < 100000; ++i) program += "X0.001\n";
  const ToolPath path = Interpret(program, 1, {});
  ASSERT_EQ(path.size(), 100001u);
  EXPECT_EQ(path.x.back(), 100000.0);
  EXPECT_EQ(path.x[50000], 99950.0);
  EXPECT_LE(path.MemoryBytes() / path.size(), 32u);
}

// Repeats past the file's move limit end the path with a problem instead of
// filling memory for minutes (300 lines of K9999: 12 million moves from 10 KB).
TEST(InterpreterProblems, MovesOfAFileAreCapped) {
  std::string program = "G00 Z10.\nG99 G81 Z-1. R1. F100.\n";
  for (int i = 0; i < 300; ++i) program += "G91 X0.1 K9999\n";
  const ToolPath path = Interpret(program, 1, {});
  const size_t limit = 1000000 + program.size();
  EXPECT_EQ(path.size(), limit);
  ASSERT_EQ(path.problems.size(), 1u);
  EXPECT_EQ(path.problems[0].text, "移動の数が多すぎます (" + std::to_string(limit) + " まで): ここから先は解釈しません");
  EXPECT_EQ(path.problems[0].line, path.line.back());
  EXPECT_LT(path.line.back(), 300);
  EXPECT_LE(path.MemoryBytes(), 32 * limit);

  InterpretOptions small;
  small.moveLimit = 5;
  const ToolPath arcs = Interpret("G02 I1. F100\nG02 I1.\nG02 I1.\nG02 I1.\nG02 I1.\nG02 I1.\nG02 I1.\n", 1, small);
  EXPECT_EQ(arcs.size(), 5u);
  EXPECT_EQ(arcs.arcs.size(), 5u);
  EXPECT_EQ(arcs.problems.size(), 1u);
}

// A lathe's path starts at the first programmed point unless G50 sets one; a
// mill's at the origin.
TEST(InterpreterStart, LatheStartsAtItsFirstPoint) {
  InterpretOptions lathe;
  lathe.lathe = true;
  const struct {
    const char* program;
    bool lathe;
    double x, z;
  } cases[] = {
      {"G00 X50. Z2.\nG01 Z-20. F0.2\n", true, 25, 2},
      {"G50 X200. Z100.\nG00 X50. Z2.\n", true, 100, 100},
      {"G28 U0. W0.\nG50 S2000\nG00 X42. Z2.\n", true, 21, 2},
      {"G28 X100. Z50.\nG00 X42. Z2.\n", true, 50, 50},
      {"G00 X50. Z2.\n", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    InterpretOptions options;
    options.lathe = c.lathe;
    const ToolPath path = Interpret(c.program, 1, options);
    EXPECT_EQ(path.start.x, c.x);
    EXPECT_EQ(path.start.z, c.z);
  }
}

TEST(InterpreterProblems, AreCappedAndCounted) {
  std::string program;
  for (int i = 0; i < 30; ++i) program += "G12\n";
  InterpretOptions options;
  options.problemLimit = 10;
  const ToolPath path = Interpret(program, 1, options);
  EXPECT_EQ(path.problems.size(), 10u);
  EXPECT_EQ(path.problemsLeftOff, 20u);
}

TEST(InterpreterProgress, CancelStopsWithThePathSoFar) {
  std::string program = "G01 F100.\n";
  for (int i = 0; i < 200000; ++i) program += "X" + std::to_string(i % 100) + ".\n";
  int calls = 0;
  const ToolPath path = Interpret(program, 1, {}, [&](double share) {
    EXPECT_GT(share, 0.0);
    EXPECT_LE(share, 1.0);
    return ++calls < 2;
  });
  EXPECT_TRUE(path.cancelled);
  EXPECT_EQ(path.size(), 2u * 65536 - 1);  // the F line makes no move
}

TEST(PathSummaryTest, ExtentsIncludeArcBulgesLengthsAndTime) {
  // A rapid of 10, a feed of 10 at F100 and a full circle of radius 10 at F200.
  const ToolPath path = Interpret("G00 X10.\nG01 X20. F100.\nG02 I-10. F200.\n", 1, {});
  const PathSummary s = Summarize(path, 1000.0);
  EXPECT_DOUBLE_EQ(s.min.x, 0.0);
  EXPECT_NEAR(s.max.x, 20.0, 1e-5);
  EXPECT_NEAR(s.min.y, -10.0, 1e-5);
  EXPECT_NEAR(s.max.y, 10.0, 1e-5);
  EXPECT_NEAR(s.rapidLength, 10.0, 1e-9);
  EXPECT_NEAR(s.feedLength, 10.0 + 20 * 3.14159265, 1e-4);
  EXPECT_NEAR(s.feedMinutes, 0.1 + 20 * 3.14159265 / 200, 1e-5);
  EXPECT_NEAR(s.rapidMinutes, 0.01, 1e-9);
  EXPECT_EQ(path.FirstMoveOfLine(3), 2);
  EXPECT_EQ(path.FirstMoveOfLine(4), -1);
}

}  // namespace
}  // namespace quelvo
