// SPDX-License-Identifier: GPL-3.0-or-later
// Restart plans checked against the program itself: a program restarted at a
// block must leave the control in the modal state the whole program had at
// that block, and every move from the block on must be the whole program's
// move (our interpreter on both texts). A table of programs is restarted at
// every block; a generated program of 2,000 blocks likewise; a restart of a
// milling program is also checked with the independent interpreter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "core/toolpath/ModalState.h"
#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/RestartPlan.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

// The modal state at the start of `line` as the tracker reads the text.
ModalState StateAt(std::string_view text, int32_t line, bool lathe) {
  ModalTracker tracker(lathe);
  NcBlock block;
  size_t at = 0;
  for (int32_t l = 1; l < line && at <= text.size(); ++l) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    ParseBlock(text.substr(at, end - at), block);
    tracker.Block(block, text.substr(at, end - at), l);
    at = end + 1;
  }
  ModalState s = tracker.State();
  // What the control does without being told; the preamble may say it.
  if (!s.motion.set) s.motion = {true, 0, "G00"};
  if (!s.distance.set && !lathe) s.distance = {true, 900, "G90"};
  return s;
}

std::string Describe(const ModalState& s) {
  std::string out;
  for (const ModalWord* w : {&s.units, &s.plane, &s.distance, &s.workOffset, &s.offsetP, &s.feedMode, &s.spindleMode,
                             &s.clamp, &s.lengthOffset, &s.lengthH, &s.comp, &s.cycle, &s.motion, &s.tool, &s.nextTool,
                             &s.speed, &s.spindle, &s.feed})
    out += (w->set ? w->text : "-") + " ";
  return out + (s.mist ? "M07 " : "") + (s.flood ? "M08" : "");
}

struct Checked {
  int planned = 0, refused = 0;
  std::set<int32_t> refusedLines;
};

void CheckRestart(const std::string& program, int32_t line, const RestartPlan& plan, const ToolPath& full,
                  const RestartOptions& options);

// Restarts `program` at every line that holds a block and checks each plan
// that is not refused.
Checked RestartEverywhere(const std::string& program, bool lathe) {
  Checked c;
  RestartOptions options;
  options.interpret.lathe = lathe;
  const ToolPath full = Interpret(program, 1, options.interpret);
  int32_t lines = 1;
  for (char ch : program) lines += ch == '\n';
  for (int32_t line = 1; line <= lines; ++line) {
    const RestartPlan plan = PlanRestart(program, line, options);
    if (!plan.error.empty()) continue;  // no block on the line
    if (plan.Refused()) {
      ++c.refused;
      c.refusedLines.insert(line);
      EXPECT_LT(plan.Offer(), line) << "line " << line;
      continue;
    }
    ++c.planned;
    SCOPED_TRACE("restart at line " + std::to_string(line));
    CheckRestart(program, line, plan, full, options);
  }
  return c;
}

// The state after the preamble and the moves after the approach against the
// whole program's at `line`.
void CheckRestart(const std::string& program, int32_t line, const RestartPlan& plan, const ToolPath& full,
                  const RestartOptions& options) {
  const bool lathe = options.interpret.lathe;
  {
    const std::string text = RestartProgramText(plan, program);
    const int32_t preamble = static_cast<int32_t>(plan.preamble.size());

    const ModalState got0 = StateAt(text, preamble + 1, lathe);
    ModalState want = StateAt(program, line, lathe);
    // A cycle or compensation in force is refused unless the block itself
    // ends it: the preamble has then ended it already.
    if (want.cycle.set && !want.cycle.Is(800)) want.cycle = {true, 800, "G80"};
    if (want.comp.Is(410) || want.comp.Is(420)) want.comp = {true, 400, "G40"};
    // Without a feed in force the approach borrows the block's own.
    if (!want.feed.set) want.feed = got0.feed;
    const ModalState got = got0;
    EXPECT_EQ(want, got) << "whole program: " << Describe(want) << "\nafter preamble: " << Describe(got);

    const ToolPath again = Interpret(text, 1, options.interpret);
    EXPECT_TRUE(again.problems.empty()) << again.problems[0].line << ": " << again.problems[0].text;
    const long from = static_cast<long>(std::lower_bound(full.line.begin(), full.line.end(), line) - full.line.begin());
    size_t mine = 0;
    while (mine < again.size() && again.line[mine] <= preamble) ++mine;
    // The approach ends where the block starts.
    const Point3 start = static_cast<size_t>(from) < full.size() ? full.Start(static_cast<size_t>(from)) : Point3{};
    if (mine > 0 && static_cast<size_t>(from) < full.size()) {
      const Point3 end = again.End(mine - 1);
      // An axis whose position is not known is left at the clearance.
      if (plan.positionKnown[0]) {
        EXPECT_NEAR(end.x, start.x, 1e-3);
      }
      if (plan.positionKnown[1]) {
        EXPECT_NEAR(end.y, start.y, 1e-3);
      }
      if (plan.positionKnown[2]) {
        EXPECT_NEAR(end.z, start.z, 1e-3);
      }
    }
    size_t theirs = static_cast<size_t>(from);
    ASSERT_EQ(again.size() - mine, full.size() - theirs);
    for (; mine < again.size(); ++mine, ++theirs) {
      ASSERT_EQ(again.line[mine] - preamble - 1, full.line[theirs] - line);
      ASSERT_EQ(again.kind[mine], full.kind[theirs]) << "line " << full.line[theirs];
      const Point3 a = again.End(mine), b = full.End(theirs);
      EXPECT_NEAR(a.x, b.x, 1e-3) << "line " << full.line[theirs];
      EXPECT_NEAR(a.y, b.y, 1e-3) << "line " << full.line[theirs];
      EXPECT_NEAR(a.z, b.z, 1e-3) << "line " << full.line[theirs];
      if (const ArcCentre* ca = again.ArcOf(mine)) {
        const ArcCentre* cb = full.ArcOf(theirs);
        ASSERT_NE(cb, nullptr);
        EXPECT_NEAR(ca->x, cb->x, 1e-3);
        EXPECT_NEAR(ca->y, cb->y, 1e-3);
        EXPECT_NEAR(ca->z, cb->z, 1e-3);
      }
    }
  }
}

struct ProgramCase {
  const char* name;
  bool lathe;
  const char* text;
  std::set<int32_t> refused;  // the lines a restart must refuse
};

const ProgramCase kPrograms[] = {
    {"milling: offsets, tool changes, coolant, a stop", false,
     "%\nO1001 (POCKET)\nG21 G17 G40 G49 G80 G90\nT1 M06\nT2\nG54.1 P12\nG00 X0 Y0 S1200 M03\nG43 Z50. H1\n"
     "M08\nG00 Z2.\nG01 Z-1. F150.\nX40. F300.\nG02 X60. Y20. R20.\nG03 X40. Y40. I-20. J0\nG01 X0\nY0\n"
     "G00 Z50. M09\nM01 (CHECK DEPTH)\nT2 M06\nT3\nG55 G00 X10. Y10. S2400 M04\nG43 Z30. H2 M07\nZ1.\n"
     "G01 Z-0.5 F80.\nX20.\nG00 Z30.\nM05\nM30\n%\n",
     {}},
    {"lathe: constant surface speed, clamp, tool with offset", true,
     "%\nO2001\nG21 G18 G99\nG50 S2500\nT0101\nG96 S180 M03\nG00 X60. Z5. M08\nG01 Z-30. F0.2\nX64.\n"
     "G00 Z5.\nX50.\nG01 Z-20. F0.15\nG02 X60. Z-25. R5.\nG00 X100. Z100.\nT0202\nG97 S800 M04\nG00 X30. Z2.\n"
     "G01 W-10. F0.1\nU10.\nG00 X100. Z100. M09\nM30\n%\n",
     {}},
    {"inch", false,
     "O3001\nG20 G17 G90\nT5 M06\nG43 Z2. H5 S3000 M03\nG00 X1. Y1.\nZ0.1\nG01 Z-0.05 F10.\nX2. Y1.5\n"
     "G02 X2.5 Y2. R0.5\nG00 Z2.\nM30\n",
     {}},
    {"incremental after a return to the reference point", false,
     "O4001\nG21 G90 G17\nG00 X10. Y10. Z20.\nG91 G01 X5. F200.\nY5.\nG28 Z0\nZ-5.\nG90 G00 Z20.\nG91 X-5.\nG90\nM30\n",
     {7}},
    {"canned cycle", false,
     "O5001\nG21 G90 G17\nT3 M06\nG43 Z50. H3 S900 M03\nG00 X0 Y0 Z20.\nG99 G81 X10. Y10. Z-5. R2. F100.\nX20.\n"
     "X30. Y20.\nG80\nG00 X0 Y0\nM30\n",
     {7, 8}},
    {"cutter compensation", false,
     "O6001\nG21 G90 G17\nT4 M06\nG43 Z50. H4 S2000 M03\nG00 X-10. Y-10. Z-2.\nG41 D4 G01 X0 Y0 F300.\nX50.\nY50.\n"
     "G40 G00 X60. Y60.\nG00 Z50.\nM30\n",
     {7, 8}},
};

TEST(RestartPlanTest, EveryBlockOfEachProgramRestartsToTheSameStateAndMoves) {
  for (const ProgramCase& p : kPrograms) {
    SCOPED_TRACE(p.name);
    const Checked c = RestartEverywhere(p.text, p.lathe);
    EXPECT_EQ(c.refusedLines, p.refused);
    EXPECT_GT(c.planned, 5);
  }
}

TEST(RestartPlanTest, RefusalsOfferTheLineToRestartAtInstead) {
  struct Case {
    int program;
    int32_t line;
    int32_t offer;
    const char* says;
  } cases[] = {
      {4, 8, 6, "固定サイクル G81"},        // a hole of the cycle: the block that started it
      {5, 8, 6, "工具径補正 G41 D4"},       // compensation in force: where it was switched on
      {3, 7, 6, "増分指令"},                // Z unknown after G28: the last block before it that is safe
  };
  for (const Case& c : cases) {
    const RestartPlan plan = PlanRestart(kPrograms[c.program].text, c.line, {});
    ASSERT_TRUE(plan.Refused()) << c.line;
    EXPECT_EQ(plan.Offer(), c.offer) << c.line;
    EXPECT_NE(plan.notes[0].text.find(c.says), std::string::npos) << plan.notes[0].text;
  }
}

TEST(RestartPlanTest, PreambleOfAMillingAndALatheProgram) {
  const RestartPlan mill = PlanRestart(kPrograms[0].text, 24, {});
  ASSERT_FALSE(mill.Refused());
  const std::vector<std::string> millWant{
      "%", "O1001 (POCKET)", "(RESTART L24)", "G21 G17 G90 G40 G80 G55 F300.", "T2 M06", "T3", "S2400 M04",
      "M07", "G00 G43 Z50. H2", "G00 X10. Y10.", "G01 Z1.", "G00"};
  EXPECT_EQ(mill.preamble, millWant);
  // The M01 passed over is named with its comment.
  bool stop = false;
  for (const RestartNote& n : mill.notes) stop |= n.line == 18 && n.text.find("(CHECK DEPTH)") != std::string::npos;
  EXPECT_TRUE(stop);

  RestartOptions lathe;
  lathe.interpret.lathe = true;
  lathe.hasClearance = true;
  lathe.clearance = 120;
  const RestartPlan turn = PlanRestart(kPrograms[1].text, 12, lathe);
  ASSERT_FALSE(turn.Refused());
  const std::vector<std::string> turnWant{"%",         "O2001",     "(RESTART L12)", "G21 G18 G99 F0.2",
                                          "T0101",     "G50 S2500", "G96 S180 M03",  "M08",
                                          "G00 X120.", "G00 Z5.",   "G01 X50.",      "G00"};
  EXPECT_EQ(turn.preamble, turnWant);
}

TEST(RestartPlanTest, RequestsThatCannotBePlanned) {
  const std::string program = "O7001\nG21 G90\n(ROUGHING)\n\nG00 X10. Y10. Z5.\nG01 X20. X5. F100.\nG01 X30.\nM30\n";
  struct Case {
    int32_t line;
    const char* says;
    int32_t offer;
  } cases[] = {
      {0, "0 行目はありません", 0},
      {10, "10 行目はありません (最終行は 9 行目)", 0},
      {3, "再開するブロックがありません", 5},  // a comment line: the next block is offered
      {4, "再開するブロックがありません", 5},
      {1, "再開するブロックがありません", 2},  // the program number line
      {7, "6 行目を解釈できない", 0},
  };
  for (const Case& c : cases) {
    const RestartPlan plan = PlanRestart(program, c.line, {});
    EXPECT_TRUE(plan.Refused()) << c.line;
    EXPECT_EQ(plan.Offer(), c.offer) << c.line;
    EXPECT_TRUE(plan.preamble.empty());
    EXPECT_NE(plan.error.find(c.says), std::string::npos) << plan.error;
  }
}

// What the interpreter does not follow: a call before the block is a
// warning, a restart inside a subprogram, under a modal macro call or at a
// macro statement is refused.
TEST(RestartPlanTest, CallsAndMacrosTheInterpreterDoesNotFollow) {
  struct Case {
    const char* program;
    int32_t line;
    bool refused;
    const char* says;
  } cases[] = {
      {"O1\nG21 G90\nG00 X0 Y0 Z5.\nM98 P100\nG00 X1.\nG01 Z-1. F100.\nM30\n", 6, false, "呼び出しの中の"},
      {"O1\nG21 G90\nG00 X0 Y0 Z5.\nM98 P100\nG00 X1.\nM30\nO100\nG01 X2. F100.\nX3.\nM99\n", 9, true,
       "サブプログラム"},
      {"O1\nG21 G90\nG00 X0 Y0 Z5.\nG66 P200 R1.\nG00 X1.\nX2.\nG67\nM30\n", 6, true, "G66"},
      {"O1\nG21 G90\nG00 X0 Y0 Z5.\n#1=5.\nG00 X1.\nM30\n", 4, true, "マクロ文"},
  };
  for (const Case& c : cases) {
    const RestartPlan plan = PlanRestart(c.program, c.line, {});
    EXPECT_EQ(plan.Refused(), c.refused) << c.program;
    bool said = false;
    for (const RestartNote& n : plan.notes) said |= n.text.find(c.says) != std::string::npos;
    EXPECT_TRUE(said) << c.program;
  }
}

TEST(RestartPlanTest, RestartPointsAsUsersAndControlsWriteThem) {
  const std::string program = "O1\nN10 G21 G90\nN20 G00 X1. Z5.\n/N30 G01 Z-1. F100.\nN40 X2.\n";
  struct Case {
    const char* text;
    bool ok;
    int32_t line;
  } cases[] = {{"N30", true, 4}, {"n40", true, 5}, {"L3", true, 3}, {"3", true, 3}, {"N35", true, 0},
               {"L0", false, 0}, {"", false, 0},  {"N", false, 0}, {"X3", false, 0}, {"1234567890", false, 0}};
  for (const Case& c : cases) {
    RestartPoint point;
    ASSERT_EQ(ParseRestartPoint(c.text, point), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(RestartLineOf(program, point), c.line) << c.text;
    }
  }
}

TEST(RestartPlanTest, AfterAStoppedSendTheBlockBeforeTheLastCompleteLineIsProposed) {
  const std::string program = "%\nO1\nG21 G90\n(ROUGH)\nG00 X1.\nG01 X2. F100.\n\nX3.\nX4.\n";
  struct Case {
    int32_t beingSent, proposed;
  } cases[] = {{9, 6},   // line 8 complete: the block before it is 6 (7 is empty)
               {8, 6},   // line 7 (empty) complete: line 6
               {7, 5},   // line 6 complete: line 5
               {6, 3},   // line 5 complete: 4 is a comment, 3
               {4, 0},   // only the program number before
               {1, 0}};
  for (const Case& c : cases) EXPECT_EQ(ProposedRestartLine(program, c.beingSent), c.proposed) << c.beingSent;
}

// A program of every kind of block the restart must handle, with tool
// changes, offsets, units, distance modes, coolant, cycles and compensation
// at random places; every block of it is restarted.
std::string GeneratedProgram(int blocks) {
  uint32_t s = 2718281u;
  auto pick = [&](int n) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<uint32_t>(n));
  };
  auto num = [&](int lo, int hi) { return std::to_string(lo + pick(hi - lo + 1)) + "." + std::to_string(pick(10)); };
  std::ostringstream out;
  out << "%\nO9001\nG21 G17 G90 G40 G80 G49\nT1 M06\nG54 G00 X0 Y0 S1000 M03\nG43 Z50. H1\n";
  int written = 6, tool = 1;
  bool incremental = false, inch = false;
  while (written < blocks) {
    const int k = pick(20);
    if (k == 0) {
      ++tool;
      out << "G00 Z50. M09\nM01\nT" << tool << " M06\nG5" << 4 + pick(6) << " G00 X" << num(-50, 50) << " Y"
          << num(-50, 50) << " S" << 500 + pick(3000) << (pick(2) ? " M03\n" : " M04\n") << "G43 Z50. H" << tool
          << (pick(2) ? " M08\n" : " M07\n");
      written += 5;
    } else if (k == 1) {
      out << (incremental ? "G90\n" : "G91\n");
      incremental = !incremental;
      ++written;
    } else if (k == 2 && !incremental) {
      inch = !inch;
      out << (inch ? "G20 G00 X0 Y0 Z2.\n" : "G21 G00 X0 Y0 Z50.\n");
      ++written;
    } else if (k == 3 && !incremental && !inch) {
      out << "G99 G83 X" << num(-50, 50) << " Y" << num(-50, 50) << " Z-10. R2. Q3. F" << 50 + pick(100) << ".\n";
      for (int i = pick(4); i > 0; --i) out << "X" << num(-50, 50) << "\n";
      out << "G80\n";
      written += 6;
    } else if (k == 4 && !incremental && !inch) {
      out << "G41 D" << tool << " G01 X" << num(-50, 50) << " Y" << num(-50, 50) << " F" << 100 + pick(400)
          << ".\nX" << num(-50, 50) << "\nY" << num(-50, 50) << "\nG40 G01 X0 Y0\n";
      written += 4;
    } else if (incremental) {
      const int m = pick(3);
      out << (m == 0 ? "G00" : m == 1 ? "G01" : "G02") << " X" << (pick(2) ? "-" : "") << (inch ? "0." : "")
          << pick(9) + 1 << (m == 2 ? " R50." : "") << (pick(2) ? " Z-0.1" : "") << " F" << 100 + pick(300)
          << ".\n";
      ++written;
    } else {
      const int m = pick(3);
      if (inch) {
        out << (m == 0 ? "G00" : "G01") << " X" << pick(3) << "." << pick(10) << " Y" << pick(3) << "."
                    << pick(10) << " F" << 5 + pick(20) << ".\n";
      } else {
        out << (m == 0 ? "G00" : "G01") << " X" << num(-50, 50) << " Y" << num(-50, 50)
               << (pick(3) == 0 ? " Z" + num(-5, 5) : std::string()) << " F" << 100 + pick(900) << ".\n";
      }
      ++written;
    }
  }
  out << "G00 Z50. M09\nM05\nM30\n%\n";
  return out.str();
}

TEST(RestartPlanTest, EveryBlockOfAGeneratedProgramOfTwoThousandBlocks) {
  const std::string program = GeneratedProgram(2000);
  ASSERT_TRUE(Interpret(program, 1, {}).problems.empty());
  const Checked c = RestartEverywhere(program, false);
  EXPECT_GT(c.planned, 1500);
  EXPECT_GT(c.refused, 50);  // holes of cycles and moves under compensation
}

std::string Source() {
  const char* s = std::getenv("QUELVO_TEST_SOURCE");
  return s ? s : "";
}

std::vector<std::string> NodeEnds(const std::string& script, const std::string& file) {
  std::vector<std::string> ends;
  FILE* p = popen(("node '" + script + "' '" + file + "'").c_str(), "r");
  if (!p) return ends;
  char buf[256];
  while (std::fgets(buf, sizeof buf, p)) ends.emplace_back(buf);
  pclose(p);
  return ends;
}

TEST(RestartPlanTest, TheRestsMovesAgreeWithAnIndependentInterpreter) {
  const std::string dir = Source() + "/tests/core/toolpath/crosscheck";
  if (Source().empty() || std::system("node --version > /dev/null 2>&1") != 0 ||
      !std::ifstream(dir + "/node_modules/gcode-toolpath/package.json"))
    GTEST_SKIP() << "node or the package in tests/core/toolpath/crosscheck is missing (scripts/install-deps)";
  test::TempFolder tmp;
  // The other interpreter does not move on a G43 line: the program without length offsets.
  std::string program = kPrograms[0].text;
  for (const char* offset : {"G43 Z50. H1", "G43 Z30. H2"}) program.replace(program.find(offset), 3, "");
  const std::string whole = tmp.File("whole.nc");
  std::ofstream(whole) << program;
  const std::vector<std::string> all = NodeEnds(dir + "/toolpath-ends.js", whole);
  ASSERT_FALSE(all.empty());
  const ToolPath ours = Interpret(program, 1, {});
  for (int32_t line : {11, 13, 14, 21, 24, 25}) {
    SCOPED_TRACE("restart at line " + std::to_string(line));
    const RestartPlan plan = PlanRestart(program, line, {});
    ASSERT_FALSE(plan.Refused());
    const std::string file = tmp.File("restart" + std::to_string(line) + ".nc");
    std::ofstream(file) << RestartProgramText(plan, program);
    const std::vector<std::string> rest = NodeEnds(dir + "/toolpath-ends.js", file);
    const size_t moves = ours.size() - static_cast<size_t>(ours.FirstMoveOfLine(line));
    ASSERT_GE(rest.size(), moves);
    ASSERT_GE(all.size(), moves);
    for (size_t i = 1; i <= moves; ++i) EXPECT_EQ(rest[rest.size() - i], all[all.size() - i]) << i;
  }
}

}  // namespace
}  // namespace quelvo
