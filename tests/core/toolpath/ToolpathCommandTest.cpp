// SPDX-License-Identifier: GPL-3.0-or-later
// "toolpath FILE" on real files, and the programs of a file with several.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/toolpath/ProgramSpans.h"
#include "core/toolpath/ToolpathCommand.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

struct CommandRun {
  int status;
  std::string out, err;
};

CommandRun RunCommand(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunToolpathCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::string WriteFile(const test::TempFolder& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir.File(name), std::ios::binary) << bytes;
  return dir.File(name);
}

// Two programs, CR LF line ends, a Shift-JIS comment ("穴" = 0x8C 0x8A).
const char kTwoPrograms[] =
    "%\r\nO1000(\x8C\x8A)\r\nG00 X1.\r\nM30\r\nO2000\r\nG01 X2. F100\r\nG02 X4. R1.\r\nM30\r\n%";

TEST(ProgramSpansTest, SplitAtProgramNumbers) {
  const std::vector<ProgramSpan> spans = FindPrograms(kTwoPrograms);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].firstLine, 1);
  EXPECT_EQ(spans[0].lastLine, 4);
  EXPECT_EQ(spans[1].firstLine, 5);
  EXPECT_EQ(spans[1].lastLine, 9);
  EXPECT_EQ(std::string(kTwoPrograms).substr(spans[1].begin, 5), "O2000");
  EXPECT_EQ(spans[1].end, std::string(kTwoPrograms).size());
  EXPECT_EQ(ProgramAt(spans, 1), 0u);
  EXPECT_EQ(ProgramAt(spans, 4), 0u);
  EXPECT_EQ(ProgramAt(spans, 5), 1u);
  EXPECT_EQ(ProgramAt(spans, 99), 1u);
  EXPECT_EQ(FindPrograms("G00 X1.\nX2.").size(), 1u);
}

TEST(ToolpathCommandTest, ListsEachProgramAndTellsProblemsByStatus) {
  test::TempFolder dir;
  const std::string file = WriteFile(dir, "two.nc", kTwoPrograms);
  const CommandRun all = RunCommand({file});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out,
            "program 1 4\n3 rapid 1.0000 0.0000 0.0000\n"
            "program 5 9\n6 feed 2.0000 0.0000 0.0000\n7 cw 4.0000 0.0000 0.0000 3.0000 0.0000 0.0000\n");
  const CommandRun second = RunCommand({"--line", "7", file});
  EXPECT_EQ(second.out, "program 5 9\n6 feed 2.0000 0.0000 0.0000\n7 cw 4.0000 0.0000 0.0000 3.0000 0.0000 0.0000\n");

  const CommandRun faulty = RunCommand({"--whole-units", WriteFile(dir, "bad.nc", "G01 X10\r\nM98 P10\r\n")});
  EXPECT_EQ(faulty.status, 1);
  EXPECT_EQ(faulty.out,
            "program 1 2\n1 feed 10.0000 0.0000 0.0000\n"
            "problem 1 送り速度 F がないまま切削送りしています\n"
            "problem 2 サブプログラム呼び出し M98 は実行しません\n"
            "hint 1 X10: 小数点のない数値を mm 単位で読んでいます(電卓式入力)\n");

  EXPECT_EQ(RunCommand({dir.File("missing.nc")}).status, 2);
  EXPECT_EQ(RunCommand({dir.Path()}).status, 2);  // a folder is not a program
  EXPECT_EQ(RunCommand({}).status, 2);
  EXPECT_EQ(RunCommand({"--line", "0", file}).status, 2);
  EXPECT_EQ(RunCommand({"--bogus", file}).status, 2);
}

// The sample programs of the plot (a milling and a lathe program as a shop
// writes them) interpret without a problem.
TEST(ToolpathCommandTest, SampleProgramsInterpretCleanly) {
  const char* source = std::getenv("QUELVO_TEST_SOURCE");
  if (!source) GTEST_SKIP() << "QUELVO_TEST_SOURCE is not set";
  const struct {
    const char* file;
    std::vector<std::string> options;
    size_t moves;
  } samples[] = {{"mill-plate.nc", {}, 38}, {"lathe-shaft.nc", {"--lathe"}, 22}};
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.file);
    std::vector<std::string> args = sample.options;
    args.push_back(std::string(source) + "/tests/gui/plot/data/" + sample.file);
    const CommandRun run = RunCommand(args);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("problem"), std::string::npos);
    size_t moves = 0;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) moves += line[0] >= '0' && line[0] <= '9';
    EXPECT_EQ(moves, sample.moves);
  }
}

}  // namespace
}  // namespace quelvo
