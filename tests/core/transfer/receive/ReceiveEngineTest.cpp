// SPDX-License-Identifier: GPL-3.0-or-later
// The receive engine's ways through a reception: its log and status fields, stops,
// line checks, blocks, and the failures of files and ports.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

#include "ReceiveFixture.h"
#include "core/common/Cp932.h"
#include "core/transfer/receive/ReceiveCommand.h"

namespace quelvo {
namespace {

using Lines = std::vector<std::string>;

class ReceiveEngineTest : public ReceiveFixture {};

TEST_F(ReceiveEngineTest, WholeReceptionLogsPanelsAndAnswersInOrder) {
  setting.Code_R = 0;
  setting.Speed_R = 2;
  setting.STbit_R = 1;
  setting.SE_Char = 2;
  options.powerOffAfterTransfer = true;
  job.closeAfterTransfer = true;
  StartStandardReceiveLog(log, job.TransferFileName);
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::EIA, "%\nO1234\nM30\n%\n "));
  EXPECT_EQ(engine.CurrentPhase(), ReceiveEngine::Phase::kEnded) << "the phase it ended in";

  ASSERT_TRUE(outcome.ReceiveCompleted);
  const Lines start = LogLines();
  ASSERT_GE(start.size(), 3u);
  EXPECT_EQ(Lines(start.begin(), start.begin() + 3),
            (Lines{"  受信", "  標準で受信設定開始", "  受信ﾌｧｲﾙ名は" + job.TransferFileName}));
  EXPECT_EQ(LogFrom("  受信コードは自動判別"),
            (Lines{"  受信コードは自動判別", "  ＮＣ機からの信号で開始する", "  受信データ待ち",
                   "  自動判別でＥＩＡコードを検出", "  開始文字(%OP:LNG$)を受信 開始文字%",
                   "  データ受信開始", "  受信データの先頭に％を付加",
                   "  ＮＣ機より完了（％）を受信した為終了", "  受信データの最後部に％を追加",
                   "  受信完了", "  自動で電源断"}));
  // The saved log is the whole log, in CP932 with CR LF.
  std::string saved = Cp932ToUtf8(FileBytes(job.logFilePath));
  EXPECT_NE(saved.find("  受信完了\r\n"), std::string::npos);
  EXPECT_EQ(saved.size(), log.Text().size() + LogLines().size());

  EXPECT_EQ(host.status[TransferStatusField::LineSettings], "自動 : 9600, 2");
  EXPECT_EQ(host.status[TransferStatusField::Port], "COM1");
  EXPECT_EQ(host.status[TransferStatusField::StartSignal], "Y");
  EXPECT_EQ(host.status[TransferStatusField::Remaining], "");
  EXPECT_EQ(host.status[TransferStatusField::Phase], "受信完了");
  EXPECT_EQ(host.programLine, "受信中のプログラム番号 => O1234");
  EXPECT_FALSE(host.screenSaverActive);
  EXPECT_TRUE(host.transferPanelVisible);
  EXPECT_EQ(host.progressMax, ReceiveEngine::kBlockLines);
  EXPECT_EQ(host.progress, 0);
  // DC4 goes out after the log was saved, then the line settles for 4 s.
  EXPECT_EQ(port.written, "\x14");
  EXPECT_EQ(host.waits, std::vector<int>{4000});
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(FileBytes(job.TransferFileName), "%\r\nO1234\r\nM30\r\n%\r\n");
}

// The power-off line names what will happen: Power_Off alone does not close
// the program, so it switches nothing off.
TEST_F(ReceiveEngineTest, PowerOffLineOnlyWhenTheCloseWillPowerOff) {
  const struct {
    bool close, powerOff, logged;
  } cases[] = {{true, true, true}, {false, true, false}, {true, false, false}, {false, false, false}};
  for (const auto& c : cases) {
    log.Clear();
    port.written.clear();
    job.closeAfterTransfer = c.close;
    options.powerOffAfterTransfer = c.powerOff;
    ASSERT_TRUE(Receive(Tape(TapeCode::ISO, "%\nO1\n%\n ")).ReceiveCompleted);
    const Lines expected = c.logged ? Lines{"  受信完了", "  自動で電源断"} : Lines{"  受信完了"};
    EXPECT_EQ(LogFrom("  受信完了"), expected)
        << "close " << c.close << ", Power_Off " << c.powerOff;
    const std::string saved = Cp932ToUtf8(FileBytes(job.logFilePath));
    EXPECT_EQ(saved.find("自動で電源断") != std::string::npos, c.logged) << saved;
  }
}

// A log that cannot be saved is said after the port is closed, on every way
// out, as a send says it.
TEST_F(ReceiveEngineTest, LogThatCannotBeSavedIsReportedOnceThePortIsClosed) {
  ASSERT_TRUE(WriteFileAtomically(temp.File("plain"), "", nullptr));
  ASSERT_EQ(symlink(temp.File("elsewhere.log").c_str(), temp.File("link_R.log").c_str()), 0);
  const struct {
    const char* name;
    std::string logPath;
    std::string wire;  // "" waits until Esc stops it
    std::string reason;
  } cases[] = {
      {"link, completed", temp.File("link_R.log"), "%\nO1\n%\n ", ""},
      {"under a file, completed", temp.File("plain/quelvo_R.log"), "%\nO1\n%\n ", std::strerror(ENOTDIR)},
      {"under a file, stopped while waiting", temp.File("plain/quelvo_R.log"), "", std::strerror(ENOTDIR)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.messages.clear();
    job.logFilePath = c.logPath;
    bool portOpenAtMessage = true;
    host.onMessage = [&](const std::string&) { portOpenAtMessage = port.IsOpen(); };
    if (c.wire.empty()) host.HoldKeyFrom(StopKey::kEsc, clock.nowMs + 2000);
    const ReceiveOutcome outcome = Receive(c.wire.empty() ? "" : Tape(TapeCode::ISO, c.wire));
    EXPECT_EQ(outcome.ReceiveCompleted, !c.wire.empty());
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string& text = host.messages[0].text;
    EXPECT_EQ(text.rfind("受信ログファイルが保存できません。\n", 0), 0u) << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_NE(text.find(c.logPath), std::string::npos) << "names the file: " << text;
    EXPECT_EQ(host.messages[0].kind, MessageKind::kError);
    EXPECT_FALSE(portOpenAtMessage);
    EXPECT_FALSE(Exists(temp.File("elsewhere.log"))) << "the link was followed";
  }
}

TEST_F(ReceiveEngineTest, ControlFileNameShownInTitleLabelAndLog) {
  job.ospSetting = true;
  Receive(Tape(TapeCode::ISO, "$../O9.MIN%\nO9\n%\n "));
  EXPECT_EQ(host.title, "<受信>O9.MIN - Quelvo Ver1.47");
  EXPECT_EQ(host.programLine, "受信中のプログラム番号 => O9");
  const Lines lines = LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ＮＣ機よりﾌｧｲﾙ名受信 ﾌｧｲﾙ名はO9.MIN"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  ﾌｧｲﾙ名 ../O9.MIN を O9.MIN に変更"), lines.end());
  EXPECT_EQ(FileBytes(temp.File("dir/O9.MIN")), "O9\r\n");
}

TEST_F(ReceiveEngineTest, EscWhileWaitingAbortsAndDeletesTheTarget) {
  options.saveStoppedReception = true;  // a stop while waiting aborts whatever op10 says
  host.HoldKeyFrom(StopKey::kEsc, 5000);
  const ReceiveOutcome outcome = Receive("");
  EXPECT_EQ(engine.CurrentPhase(), ReceiveEngine::Phase::kWaitingForStart) << "the phase it ended in";

  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, 9999);
  EXPECT_FALSE(Exists(job.TransferFileName));
  EXPECT_EQ(LogFrom("  受信データ待ち"),
            (Lines{"  受信データ待ち", "  手動操作にて受信待機中に中止", "  受信中止　ｴﾗｰ番号 9999"}));
  EXPECT_EQ(port.written, "\x14");
  EXPECT_EQ(host.status[TransferStatusField::Phase], "受信中止");
  EXPECT_EQ(host.title, "Quelvo Ver1.47 (Win98/Me/2000/XP)");
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(ReceiveEngineTest, EscWhileReceivingSavesWithOp10AndDeletesWithout) {
  for (bool op10 : {true, false}) {
    SCOPED_TRACE(op10);
    options.saveStoppedReception = op10;
    setting.SE_Char = 2;
    host.HoldKeyFrom(StopKey::kEsc, clock.nowMs + 3000);
    const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\nG01\nG02"));
    EXPECT_FALSE(LogFrom("  受信中に手動操作にて中止").empty());
    if (options.saveStoppedReception) {
      EXPECT_TRUE(outcome.ReceiveCompleted);
      // No closing "%" and no line in hand.
      EXPECT_EQ(FileBytes(job.TransferFileName), "%\r\nO1\r\nG01\r\n");
    } else {
      EXPECT_FALSE(outcome.ReceiveCompleted);
      EXPECT_EQ(outcome.ErrorNumber, 9999);
      EXPECT_FALSE(Exists(job.TransferFileName));
    }
  }
}

TEST_F(ReceiveEngineTest, NothingStartsWhileDcdIsOff) {
  port.dcd = false;
  host.HoldKeyFrom(StopKey::kF3, 20000);
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\nM30\n%\n "));
  EXPECT_EQ(outcome.ErrorNumber, 9999);
  EXPECT_TRUE(LogFrom("  開始文字(%OP:LNG$)を受信 開始文字%").empty());
}

TEST_F(ReceiveEngineTest, UnreadableModemLinesDoNotHoldTheStartBack) {
  port.modemReadable = false;
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\n%\n "));
  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(FileBytes(job.TransferFileName), "O1\r\n");
}

TEST_F(ReceiveEngineTest, DsrOffWithOp14EndsAtTheFirstPass) {
  options.watchDsr = true;
  port.dsr = false;
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\nM30\n%\n "));
  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(FileBytes(job.TransferFileName), "%\r\n") << "only the line buffer";
  EXPECT_FALSE(LogFrom("  ＮＣ機よりDSR信号OFFを受信した為終了").empty());
}

TEST_F(ReceiveEngineTest, PortSetupFailureAbortsWith2001) {
  port.openErrno = ENOENT;
  const ReceiveOutcome outcome = Receive("");
  EXPECT_EQ(engine.CurrentPhase(), ReceiveEngine::Phase::kPreparing) << "the phase it ended in";
  EXPECT_EQ(outcome.ErrorNumber, 2001);
  EXPECT_FALSE(Exists(job.TransferFileName));
  EXPECT_EQ(LogFrom("  通信設定不可で中止"), (Lines{"  通信設定不可で中止", "  受信中止　ｴﾗｰ番号 2001"}));
}

TEST_F(ReceiveEngineTest, BlocksReachTheFileBeforeTheEndAndProgressRestarts) {
  std::string tape = "%\nO1\n";
  for (int i = 0; i < 3000; ++i) tape += "N" + std::to_string(i) + "X1.\n";
  tape += "M30\n%\n ";
  std::vector<std::string> sizesAtRestart;
  int64_t highest = 0, last = -1;
  host.onProgress = [&](int64_t position) {
    highest = std::max(highest, position);
    if (position == 0 && last != 0 && host.status[TransferStatusField::Phase] == "＜＜ 受信中 ＞＞") {
      sizesAtRestart.push_back(FileBytes(job.TransferFileName));
    }
    last = position;
  };
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, tape));

  ASSERT_TRUE(outcome.ReceiveCompleted);
  // The start, then one restart after each of three full blocks.
  ASSERT_EQ(sizesAtRestart.size(), 4u);
  EXPECT_EQ(sizesAtRestart[0], "");
  EXPECT_EQ(std::count(sizesAtRestart[1].begin(), sizesAtRestart[1].end(), '\n'), 1000);
  EXPECT_EQ(std::count(sizesAtRestart[2].begin(), sizesAtRestart[2].end(), '\n'), 2000);
  EXPECT_EQ(sizesAtRestart[1].substr(0, 11), "O1\r\nN0X1.\r\n");
  EXPECT_LE(highest, ReceiveEngine::kBlockLines);
  const std::string saved = FileBytes(job.TransferFileName);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 3002);
  EXPECT_EQ(saved.substr(saved.size() - 15), "N2999X1.\r\nM30\r\n");
}

TEST_F(ReceiveEngineTest, TargetThatCannotBeCreatedStopsWithItsNameAndReason) {
  ASSERT_TRUE(WriteFileAtomically(temp.File("plain"), "", nullptr));
  job.TransferFileName = temp.File("plain/recv.nc");
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\n%\n "));
  EXPECT_EQ(engine.CurrentPhase(), ReceiveEngine::Phase::kPreparing) << "the phase it ended in";

  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, kReceiveTargetFile);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(job.TransferFileName), std::string::npos);
  EXPECT_NE(host.messages[0].text.find(std::strerror(ENOTDIR)), std::string::npos);
  EXPECT_FALSE(LogFrom("  受信ﾌｧｲﾙに書き込めない為中止：" + job.TransferFileName + "：" +
                       std::strerror(ENOTDIR)).empty());
  EXPECT_EQ(port.configs.size(), 0u) << "the port is not opened for a target that cannot exist";
}

TEST_F(ReceiveEngineTest, FullDiskMidReceptionKeepsWhatWasWritten) {
  std::string tape = "%\nO1\n";
  for (int i = 0; i < 2500; ++i) tape += "N" + std::to_string(10000 + i) + "\n";
  tape += "%\n ";
  // Room for the first block (1000 lines of 8 bytes) but not the second.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 12000;
  setrlimit(RLIMIT_FSIZE, &small);
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, tape));
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &old, nullptr);

  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, kReceiveTargetFile);
  const std::string kept = FileBytes(job.TransferFileName);
  EXPECT_EQ(kept.substr(0, 12), "O1\r\nN10000\r\n");
  EXPECT_GE(std::count(kept.begin(), kept.end(), '\n'), 1000);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(std::strerror(EFBIG)), std::string::npos);
  EXPECT_EQ(LogLines().back(), "  受信中止　ｴﾗｰ番号 2002");
  EXPECT_EQ(port.written, "\x14") << "the control is told to stop";
}

TEST_F(ReceiveEngineTest, FailedRenameKeepsTheDataUnderItsReceivedName) {
  job.DirPath = temp.File("missing-folder");
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "$O5.NC%\nO5\n%\n "));
  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.TransferFileName, job.TransferFileName);
  EXPECT_EQ(FileBytes(job.TransferFileName), "O5\r\n");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(temp.File("missing-folder/O5.NC")), std::string::npos);
  EXPECT_NE(host.messages[0].text.find(job.TransferFileName), std::string::npos);
  EXPECT_FALSE(LogFrom("  ﾌｧｲﾙ名 " + temp.File("missing-folder/O5.NC") + " で保存できない為、" +
                       job.TransferFileName + " に保存：" + std::strerror(ENOENT)).empty());
}

TEST_F(ReceiveEngineTest, ControlNameOfTheTargetItselfKeepsTheFile) {
  job.TransferFileName = dirPath + "/O5.NC";
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "$O5.NC%\nO5\n%\n "));
  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(FileBytes(job.TransferFileName), "O5\r\n");
}

TEST_F(ReceiveEngineTest, LostPortKeepsWhatWasReceived) {
  host.onProgramLine = [&](const std::string& text) {
    if (text == "受信中のプログラム番号 => O2") port.readErrno = EIO;
  };
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\nG01\nO2\nG02\n%\n "));
  EXPECT_EQ(engine.CurrentPhase(), ReceiveEngine::Phase::kReceiving) << "the phase it ended in";
  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, kReceivePortLost);
  EXPECT_EQ(FileBytes(job.TransferFileName), "O1\r\nG01\r\nO2\r\n");
  const Lines tail = LogFrom("  データ受信開始");
  ASSERT_GE(tail.size(), 3u);
  EXPECT_EQ(tail[1].rfind("  ポートから読み込めない為中止：", 0), 0u) << tail[1];
  EXPECT_EQ(tail.back(), "  受信中止　ｴﾗｰ番号 2003");
  EXPECT_EQ(host.messages.size(), 1u);
}

// Whatever is thrown inside a reception, a standard exception or not, ends it
// on the unexpected-error path: the port closed, the file kept, no DC4.
class ReceiveUnexpectedTest : public ReceiveFixture,
                              public ::testing::WithParamInterface<void (*)()> {};

TEST_P(ReceiveUnexpectedTest, ClosesThePortAndKeepsTheFileWithoutDc4) {
  host.onProgramLine = [](const std::string& text) {
    if (text == "受信中のプログラム番号 => O2") GetParam()();
  };
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "%\nO1\nO2\n%\n "));
  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_TRUE(Exists(job.TransferFileName));
  EXPECT_EQ(port.written, "");
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(host.status[TransferStatusField::Phase], "受信中止");
  EXPECT_EQ(LogLines().back(), "  受信中にエラーが発生した為に中止");
  EXPECT_EQ(Cp932ToUtf8(FileBytes(job.logFilePath)).find("エラーが発生"), std::string::npos)
      << "the last line comes after the log was saved";
}

INSTANTIATE_TEST_SUITE_P(Thrown, ReceiveUnexpectedTest,
                         ::testing::Values([] { throw std::runtime_error("boom"); },
                                           [] { throw 42; }));

}  // namespace
}  // namespace quelvo
