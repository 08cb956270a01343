// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/SplitSave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/document/ProgramList.h"
#include "TestFiles.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

const char kTwoPrograms[] = "%\r\nO1000(PART A)\r\nG00X0\r\nM30\r\n%\r\nO2000\r\nM30\r\n%\r\n";

std::vector<std::string> Paths(const SplitPlan& plan) {
  std::vector<std::string> paths;
  for (const SplitFile& file : plan.files) paths.push_back(file.path);
  return paths;
}

TEST(ProgramList, StartLinesExceptTheLastLine) {
  const std::vector<ProgramListItem> items = BuildProgramList(kTwoPrograms);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "O1000(PART A)");
  EXPECT_EQ(items[1].text, "O2000");
  EXPECT_TRUE(items[0].checked && items[1].checked);
  // Lower case and leading blanks do not start a program; the last line is not listed.
  EXPECT_TRUE(BuildProgramList("o1\r\n O2\r\nG0\r\nL3").empty());
  EXPECT_EQ(BuildProgramList("L3\r\nM30\r\n:0012\r\nM30\r\n").size(), 2u);
}

TEST(ProgramList, Names) {
  EXPECT_EQ(ProgramName("O1000(PART A)"), "O1000");
  EXPECT_EQ(ProgramName(":0012"), "O0012");
  EXPECT_EQ(ProgramName("L12(A)(B)"), "L12");
  EXPECT_EQ(ProgramName("O1 "), "O1 ");
}

TEST(SplitSave, EachProgramGetsItsFile) {
  const SplitPlan plan = PlanSplitSave(kTwoPrograms, BuildProgramList(kTwoPrograms), "/w/DIR",
                                       "/w/parts.NC", SplitSaveChoices{});
  EXPECT_EQ(plan.programCount, 2);
  ASSERT_EQ(plan.files.size(), 2u);
  EXPECT_EQ(plan.files[0].path, "/w/DIR/O1000.NC");
  EXPECT_EQ(plan.files[0].text, "O1000(PART A)\r\nG00X0\r\nM30\r\n");
  EXPECT_EQ(plan.files[1].path, "/w/DIR/O2000.NC");
  EXPECT_EQ(plan.files[1].text, "O2000\r\nM30\r\n");
  EXPECT_FALSE(plan.textTrimmed);
  EXPECT_EQ(plan.trimmedText, kTwoPrograms);
}

TEST(SplitSave, SerialNumbersCountSkippedPrograms) {
  std::vector<ProgramListItem> items = BuildProgramList(kTwoPrograms);
  SplitSaveChoices choices;
  choices.serialNumbers = true;
  EXPECT_EQ(Paths(PlanSplitSave(kTwoPrograms, items, "/w/", "a.NC", choices)),
            (std::vector<std::string>{"/w/O1000_001.NC", "/w/O2000_002.NC"}));
  items[0].checked = false;
  EXPECT_EQ(Paths(PlanSplitSave(kTwoPrograms, items, "/w/", "a.NC", choices)),
            (std::vector<std::string>{"/w/O2000_002.NC"}));
  choices.serialNumbers = false;
  EXPECT_EQ(Paths(PlanSplitSave(kTwoPrograms, items, "/w", "無題", choices)),
            (std::vector<std::string>{"/w/O2000"}));
}

TEST(SplitSave, PercentLinesAtStartAndEnd) {
  SplitSaveChoices choices;
  choices.percentAtStart = true;
  choices.percentAtEnd = true;
  const SplitPlan plan = PlanSplitSave(kTwoPrograms, BuildProgramList(kTwoPrograms), "/w", "a.nc", choices);
  ASSERT_EQ(plan.files.size(), 2u);
  EXPECT_EQ(plan.files[0].text, "%\r\nO1000(PART A)\r\nG00X0\r\nM30\r\n%\r\n");
  EXPECT_EQ(plan.files[1].text, "%\r\nO2000\r\nM30\r\n%\r\n");
}

TEST(SplitSave, ColonProgramsAndDuplicateNames) {
  const char text[] = ":0012\r\nG1\r\nO0012(AGAIN)\r\nG2\r\nO5\r\nG3\r\n";
  const SplitPlan plan = PlanSplitSave(text, BuildProgramList(text), "/w", "x.min", SplitSaveChoices{});
  ASSERT_EQ(plan.files.size(), 2u);
  EXPECT_EQ(plan.files[0].path, "/w/O0012.min");
  EXPECT_EQ(plan.files[0].text, "O0012(AGAIN)\r\nG2\r\n");  // the later program wins
  EXPECT_EQ(plan.files[1].path, "/w/O5.min");

  // An unchecked item keeps every program of its name out.
  std::vector<ProgramListItem> items = BuildProgramList(text);
  items[1].checked = false;
  EXPECT_EQ(Paths(PlanSplitSave(text, items, "/w", "x.min", SplitSaveChoices{})),
            (std::vector<std::string>{"/w/O5.min"}));
}

TEST(SplitSave, LinesAreTrimmedAndLeadingLinesGoOnceIntoTheFirstFile) {
  const char text[] = "(MOLD 7)\r\n%\r\nO1\n   G01X1.\r\n\t\r\n  %\r\nO2/3\r\n";
  SplitSaveChoices choices;
  choices.percentAtStart = true;
  const SplitPlan plan = PlanSplitSave(text, BuildProgramList(text), "/w", "a", choices);
  ASSERT_EQ(plan.files.size(), 2u);
  EXPECT_EQ(plan.files[0].text, "%\r\n(MOLD 7)\r\nO1\r\nG01X1.\r\n\r\n");
  EXPECT_EQ(plan.files[1].path, "/w/O2_3");  // never a file in another folder
  EXPECT_TRUE(plan.textTrimmed);
  EXPECT_EQ(plan.trimmedText, "(MOLD 7)\r\n%\r\nO1\nG01X1.\r\n\r\n%\r\nO2/3\r\n");
}

TEST(SplitSave, WritingStopsAtTheFirstFailureAndKeepsEarlierFiles) {
  test::TempFolder folder;
  const std::string text = "O1\r\nM30\r\nO2\r\nM30\r\nO3\r\n(テスト)\r\n";
  SplitPlan plan = PlanSplitSave(text, BuildProgramList(text), folder.Path(), "a.nc", SplitSaveChoices{});
  ASSERT_EQ(plan.files.size(), 3u);
  ASSERT_EQ(mkdir(folder.File("O2.nc").c_str(), 0700), 0);  // a folder where a file should go
  std::vector<std::size_t> progress;
  const SplitWriteResult result =
      WriteSplitFiles(plan, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 3u);
        progress.push_back(done);
      });
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.written, 1u);
  EXPECT_EQ(result.failedPath, folder.File("O2.nc"));
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(progress, std::vector<std::size_t>{1});
  EXPECT_EQ(test::ReadTestFile(folder.File("O1.nc")), "O1\r\nM30\r\n");

  rmdir(folder.File("O2.nc").c_str());
  ASSERT_TRUE(WriteSplitFiles(plan).ok);
  EXPECT_EQ(test::ReadTestFile(folder.File("O3.nc")), "O3\r\n(\x83\x65\x83\x58\x83\x67)\r\n");
}

TEST(SelectiveSend, UncheckedItemsFormTheSkipList) {
  std::vector<ProgramListItem> items = BuildProgramList(kTwoPrograms);
  SkipList all = BuildSkipList(items);
  EXPECT_EQ(all.SkipCount(), 0);
  EXPECT_EQ(all.checkedCount, 2);
  items[0].checked = false;
  SkipList one = BuildSkipList(items);
  EXPECT_EQ(one.SkipLines, std::vector<std::string>{"O1000(PART A)"});
  EXPECT_EQ(one.checkedCount, 1);
  items[1].checked = false;
  EXPECT_EQ(BuildSkipList(items).checkedCount, 0);
}

}  // namespace
}  // namespace quelvo
