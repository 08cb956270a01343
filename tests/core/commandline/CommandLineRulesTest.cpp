// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/commandline/CommandLineRules.h"

namespace quelvo {
namespace {

using Kind = CommandLineActionKind;

constexpr const char* kCollection = "/opt/q/quelvo.tmp";

// Runs the rules over a whole command line as the window does, answering every
// overwrite question with `answer`.
struct ArgRun {
  std::vector<CommandLineAction> actions;
  CommandLineState state;
  int questions = 0;
};

ArgRun ReadAll(const std::vector<std::string>& args, const std::set<std::string>& files,
            const std::string& dirPath = "/home/op/NC/", bool answer = true) {
  ArgRun run;
  run.state.dirPath = dirPath;
  const FileExistsFn exists = [&files](const std::string& p) { return files.count(p) > 0; };
  for (;;) {
    CommandLineStep step = ReadCommandLine(args, run.state, kCollection, exists);
    run.actions.insert(run.actions.end(), step.actions.begin(), step.actions.end());
    run.state = step.state;
    if (!step.waitsForAnswer) break;
    ++run.questions;
    AnswerOverwrite(run.state, answer);
  }
  return run;
}

// "Kind:path" or "Kind:setNo" per action, to compare whole sequences at once.
std::vector<std::string> Trace(const ArgRun& run) {
  std::vector<std::string> out;
  for (const CommandLineAction& a : run.actions) {
    switch (a.kind) {
      case Kind::CollectFile: out.push_back("collect:" + a.path); break;
      case Kind::LoadDocument: out.push_back(std::string(a.promptSave ? "open:" : "load:") + a.path); break;
      case Kind::RequestSend: out.push_back("send"); break;
      case Kind::NotFound: out.push_back("notfound:" + a.path); break;
      case Kind::AskOverwrite: out.push_back("ask:" + a.path); break;
      case Kind::RequestReceive: out.push_back("receive:" + a.path); break;
      case Kind::CloseAfterTransfer: out.push_back("end"); break;
      case Kind::SelectSetting: out.push_back("set:" + std::to_string(a.setNo)); break;
      case Kind::Message: out.push_back("message:" + a.text); break;
    }
  }
  return out;
}

using Lines = std::vector<std::string>;

TEST(CommandLineRules, CollectionGathersInArgumentOrderThenSendsTheCollection) {
  const ArgRun run = ReadAll({"S01=A.NC", "s02=B.NC", "SE=Y"}, {"/home/op/NC/A.NC", "/home/op/NC/B.NC", kCollection});
  EXPECT_EQ(Trace(run), (Lines{"collect:/home/op/NC/A.NC", "collect:/home/op/NC/B.NC",
                               std::string("load:") + kCollection, "send"}));
  EXPECT_TRUE(run.state.sendRequested);
}

TEST(CommandLineRules, BareNamesFollowTheFolderOfTheLastLoadedFile) {
  const ArgRun run = ReadAll({"S01=/data/job/A.NC", "S02=B.NC"}, {"/data/job/A.NC", "/data/job/B.NC"});
  EXPECT_EQ(Trace(run), (Lines{"collect:/data/job/A.NC", "collect:/data/job/B.NC"}));
  EXPECT_EQ(run.state.dirPath, "/data/job/");
}

TEST(CommandLineRules, DirPathWithoutTrailingSlashGetsOneSeparator) {
  EXPECT_EQ(Trace(ReadAll({"S=O1.NC"}, {"/home/op/O1.NC"}, "/home/op")),
            (Lines{"load:/home/op/O1.NC", "send"}));
}

TEST(CommandLineRules, MissingFilesAreReportedAndLeaveNoSend) {
  const ArgRun run = ReadAll({"S01=A.NC", "S=/x/O1.NC", "SE=Y"}, {});
  EXPECT_EQ(Trace(run), (Lines{"notfound:/home/op/NC/A.NC", "notfound:/x/O1.NC",
                               std::string("notfound:") + kCollection}));
  EXPECT_FALSE(run.state.sendRequested);
  EXPECT_EQ(run.actions[1].text, "送信データ\n/x/O1.NCが見つかりません。");
}

TEST(CommandLineRules, OnlyOneAutomaticTransferPerStart) {
  // Send first: the receive and later transfer arguments are skipped.
  ArgRun run = ReadAll({"S=/nc/O1.NC", "R=/nc/O2.NC", "S=/nc/O3.NC", "S01=A.NC", "SE=Y"},
                    {"/nc/O1.NC", "/nc/O3.NC", "/home/op/NC/A.NC", kCollection});
  EXPECT_EQ(Trace(run), (Lines{"load:/nc/O1.NC", "send"}));
  EXPECT_FALSE(run.state.receiveRequested);
  // Receive first: a later send is skipped.
  run = ReadAll({"R=/nc/new.nc", "S=/nc/O1.NC"}, {"/nc/O1.NC"});
  EXPECT_EQ(Trace(run), (Lines{"receive:/nc/new.nc"}));
  EXPECT_FALSE(run.state.sendRequested);
  EXPECT_EQ(run.state.receiveTarget, "/nc/new.nc");
}

TEST(CommandLineRules, ReceivingIntoAnExistingFileAsksFirst) {
  ArgRun run = ReadAll({"R=/nc/O2.NC", "END"}, {"/nc/O2.NC"}, "/home/op/NC/", false);
  EXPECT_EQ(Trace(run), (Lines{"ask:/nc/O2.NC", "end"}));
  EXPECT_EQ(run.questions, 1);
  EXPECT_EQ(run.actions[0].text, "すでに/nc/O2.NCが有ります。\n上書きしますか？");
  EXPECT_FALSE(run.state.receiveRequested);
  EXPECT_TRUE(run.state.receiveTarget.empty());

  // After No, a later send still applies; after Yes, it does not.
  run = ReadAll({"R=/nc/O2.NC", "S=/nc/O1.NC"}, {"/nc/O2.NC", "/nc/O1.NC"}, "/", false);
  EXPECT_EQ(Trace(run), (Lines{"ask:/nc/O2.NC", "load:/nc/O1.NC", "send"}));
  run = ReadAll({"R=/nc/O2.NC", "S=/nc/O1.NC"}, {"/nc/O2.NC", "/nc/O1.NC"}, "/", true);
  EXPECT_EQ(Trace(run), (Lines{"ask:/nc/O2.NC"}));
  EXPECT_TRUE(run.state.receiveRequested);
  EXPECT_EQ(run.state.receiveTarget, "/nc/O2.NC");
}

TEST(CommandLineRules, PlainPathOpensOnlyTheFirstAndNeedsADot) {
  EXPECT_EQ(Trace(ReadAll({"/nc/a.nc", "/nc/b.nc"}, {})), (Lines{"open:/nc/a.nc"}));
  EXPECT_EQ(Trace(ReadAll({"/nc/O1000", "nc.txt"}, {})), (Lines{}));
}

TEST(CommandLineRules, PlainPathNeverTakesASkippedTransferArgument) {
  // The collection argument is skipped because a send is requested; it must not
  // be opened as a file named "S01=/nc/B.NC" in place of the document to send.
  const ArgRun run = ReadAll({"S=/nc/O1.NC", "S01=/nc/B.NC", "R=/nc/x.nc"}, {"/nc/O1.NC", "/nc/B.NC"});
  EXPECT_EQ(Trace(run), (Lines{"load:/nc/O1.NC", "send"}));
  EXPECT_FALSE(run.state.pathArgumentTaken);
}

TEST(CommandLineRules, SwitchPrefixGoesWithTheMarkerAndOtherSlashesStay) {
  const std::set<std::string> files{"/home/op/NC/O1.NC", "/abs/path/O1.NC", "rel/O1.NC"};
  EXPECT_EQ(Trace(ReadAll({"/S=O1.NC"}, files)), (Lines{"load:/home/op/NC/O1.NC", "send"}));
  EXPECT_EQ(Trace(ReadAll({"-s=O1.NC"}, files)), (Lines{"load:/home/op/NC/O1.NC", "send"}));
  EXPECT_EQ(Trace(ReadAll({"S=/abs/path/O1.NC"}, files)), (Lines{"load:/abs/path/O1.NC", "send"}));
  EXPECT_EQ(Trace(ReadAll({"/S=/abs/path/O1.NC"}, files)), (Lines{"load:/abs/path/O1.NC", "send"}));
  EXPECT_EQ(Trace(ReadAll({"S=rel/O1.NC"}, files)), (Lines{"load:rel/O1.NC", "send"}));
  EXPECT_EQ(Trace(ReadAll({"-R=new.nc"}, files)), (Lines{"receive:/home/op/NC/new.nc"}));
}

TEST(CommandLineRules, EndNeedsAShortArgument) {
  for (const char* arg : {"END", "/END", "-end", "END1"}) {
    EXPECT_EQ(Trace(ReadAll({arg}, {})), (Lines{"end"})) << arg;
  }
  EXPECT_EQ(Trace(ReadAll({"ENDX1"}, {})), (Lines{}));
  EXPECT_EQ(Trace(ReadAll({"/ENDE"}, {})), (Lines{}));
}

// "--version" alone starts and ends the program; the transfer rules take none of
// these arguments as theirs, and a version word beside other arguments or inside
// a file argument is no version request.
TEST(CommandLineRules, VersionOnlyAlone) {
  const struct {
    Lines args;
    bool version;
    Lines trace;
  } cases[] = {
      {{"--version"}, true, {}},
      {{"--VERSION"}, false, {}},
      {{"-version"}, false, {}},
      {{"--version", "END"}, false, {"end"}},
      {{"S=--version"}, false, {"notfound:/home/op/NC/--version"}},
      {{"./--version.nc"}, false, {"open:./--version.nc"}},
      {{}, false, {}},
  };
  for (const auto& c : cases) {
    const std::string shown = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(AsksForVersion(c.args), c.version) << shown;
    EXPECT_EQ(Trace(ReadAll(c.args, {})), c.trace) << shown;
  }
}

TEST(CommandLineRules, SettingNumberFollowsTheMenuPlaces) {
  EXPECT_EQ(Trace(ReadAll({"N=6"}, {})), (Lines{"set:7"}));
  EXPECT_EQ(Trace(ReadAll({"/N=11"}, {})), (Lines{"set:6"}));
  EXPECT_EQ(Trace(ReadAll({"-n=12"}, {})), (Lines{"set:12"}));
  EXPECT_EQ(Trace(ReadAll({"N=3"}, {})), (Lines{"set:3"}));
  EXPECT_EQ(Trace(ReadAll({"N=0"}, {})), (Lines{}));
  EXPECT_EQ(Trace(ReadAll({"N=-4"}, {})), (Lines{}));
  EXPECT_EQ(Trace(ReadAll({"N=13"}, {})), (Lines{"message:通信設定番号\n13は存在しません。"}));
}

TEST(CommandLineRules, SettingNumberThatIsNoWholeNumberIsReportedAndReadingGoesOn) {
  const ArgRun run = ReadAll({"N=ab", "N=1.5", "N=", "N=99999999999", "S=/nc/O1.NC", "END"}, {"/nc/O1.NC"});
  ASSERT_EQ(run.actions.size(), 7u);
  EXPECT_EQ(run.actions[0].kind, Kind::Message);
  EXPECT_NE(run.actions[0].text.find("N=ab"), std::string::npos);
  EXPECT_NE(run.actions[1].text.find("N=1.5"), std::string::npos);
  EXPECT_EQ(run.actions[2].kind, Kind::Message);
  EXPECT_EQ(run.actions[3].kind, Kind::Message);
  const Lines trace = Trace(run);
  EXPECT_EQ(Lines(trace.begin() + 4, trace.end()), (Lines{"load:/nc/O1.NC", "send", "end"}));
}

TEST(CommandLineRules, EndAndSettingCombineWithASend) {
  const ArgRun run = ReadAll({"N=11", "S=/nc/part1.nc", "END"}, {"/nc/part1.nc"});
  EXPECT_EQ(Trace(run), (Lines{"set:6", "load:/nc/part1.nc", "send", "end"}));
}

}  // namespace
}  // namespace quelvo
