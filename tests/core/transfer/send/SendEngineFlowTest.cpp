// SPDX-License-Identifier: GPL-3.0-or-later
// How a send runs and ends: the start waits, every way out with its error
// number, the log, the status fields, repeat passes and what is left for the window.
#include <algorithm>
#include <cerrno>
#include <functional>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/transfer/send/SendCommand.h"
#include "SendRig.h"

namespace quelvo {
namespace {

using test::SelectiveSendOptions;
using test::SendRig;
using test::Wire;

std::vector<std::string> StatusHistory(const SendRig& rig, TransferStatusField field) {
  std::vector<std::string> texts;
  for (const auto& [shown, text] : rig.host.statusTexts) {
    if (shown == field) texts.push_back(text);
  }
  return texts;
}

std::string SavedLog() {
  std::string bytes, error;
  if (!ReadWholeFile(CommLogFilePath(1), &bytes, &error)) return "(none: " + error + ")";
  std::string text = Cp932ToUtf8(bytes);
  for (size_t pos; (pos = text.find("\r\n")) != std::string::npos;) text.erase(pos, 1);
  return text;
}

// The engine ended through its abort path with `number`, having sent DC4 last.
void ExpectAborted(SendRig& rig, int number) {
  EXPECT_EQ(rig.LogTexts().back(), "  送信中止　ｴﾗｰ番号 " + std::to_string(number));
  EXPECT_EQ(rig.host.status[TransferStatusField::Phase], "送信中止");
  EXPECT_EQ(rig.host.status[TransferStatusField::Remaining], "");
  EXPECT_EQ(rig.host.progress, 0);
  EXPECT_FALSE(rig.engine.Outcome().SendCompleted);
  EXPECT_EQ(rig.window.completionTimerStarts, 1);
  EXPECT_FALSE(rig.window.estimateTimerOn);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(SavedLog(), rig.log.Text());
  EXPECT_FALSE(rig.engine.Outcome().CloseProgram) << "an aborted send never closes the program";
}

TEST(SendEngineFlow, AWholeSendLogsPanelsAndHandsBack) {
  SendRig rig;
  rig.host.lines = {"O1", "G1", ""};
  rig.job.CloseAfterTransfer = true;
  rig.options.powerOffAfterTransfer = true;
  StartSendLog(rig.log, SendsWholeDocument(rig.options), rig.job.CurrentFileName);
  rig.StartOnDc1();
  EXPECT_EQ(rig.Send(), Wire(TapeCode::ISO, "O1\nG1\n\n%"));

  const std::vector<std::string> expected = {
      "  送信", "  全データを送信", "  送信ﾌｧｲﾙ名は/home/op/part1.nc",
      "  COM1 ポートオープン", "  通信速度は ４８００", "  データ長８　パリティ無し",
      "  ストップビット２", "  通信プロトコル標準", "  一時停止コード0x93", "  開始コード0x11",
      "  通信設定完了", "  通信タイムアウト設定完了", "  通信回線初期化完了",
      "  送信コードはＩＳＯコード", "  ＮＣ機からの開始信号待ち", "  ＮＣ機より送信開始信号を受信",
      "  送信開始", "  送信完了"};
  EXPECT_EQ(rig.LogTexts(), expected);
  EXPECT_EQ(SavedLog(), rig.log.Text());

  EXPECT_EQ(StatusHistory(rig, TransferStatusField::Remaining), (std::vector<std::string>{"残り 7ﾊﾞｲﾄ", "残り 4ﾊﾞｲﾄ(約 0秒)",
                                                            "残り 0ﾊﾞｲﾄ(約 0秒)", "残り 0ﾊﾞｲﾄ", ""}));
  EXPECT_EQ(StatusHistory(rig, TransferStatusField::Phase),
            (std::vector<std::string>{"送信待機中", "送信待機中", "＜＜ 送信中 ＞＞", "＜＜ 送信中 ＞＞",
                                      "＜＜ 送信中 ＞＞", "送信完了"}));
  EXPECT_EQ(rig.host.status[TransferStatusField::LineSettings], "ISO  : 4800, 2");
  EXPECT_EQ(rig.host.status[TransferStatusField::Port], "COM1");
  EXPECT_EQ(rig.host.status[TransferStatusField::StartSignal], "Y");
  EXPECT_EQ(rig.host.progressMax, 7);
  EXPECT_EQ(rig.host.progress, 0);
  EXPECT_EQ(rig.host.title, "<編集>/home/op/part1.nc - Quelvo Ver1.47");
  EXPECT_FALSE(rig.host.screenSaverActive) << "Timer1 switches it back on";
  EXPECT_TRUE(rig.host.transferPanelVisible);
  EXPECT_EQ(rig.host.programLine, "送信中のプログラム番号 => O1");
  EXPECT_EQ(rig.window.estimateTimer, (std::vector<bool>{true, false}));
  EXPECT_EQ(rig.window.shownLines, (std::vector<std::pair<int64_t, int64_t>>{{0, 2}, {0, 2}, {4, 2}}));
  EXPECT_TRUE(rig.engine.Outcome().CloseProgram);
  EXPECT_TRUE(rig.engine.Outcome().PowerOff);
  EXPECT_EQ(rig.window.completionTimerStarts, 1);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_TRUE(rig.link.Port().PortOpenedForSend);
  const SendOutcome& outcome = rig.engine.Outcome();
  EXPECT_TRUE(outcome.SendCompleted);
  EXPECT_EQ(outcome.TransferFileName, "/home/op/part1.nc");
  EXPECT_EQ(outcome.StartText.substr(0, 7), "開始 ");
  EXPECT_EQ(rig.host.waits.back(), 4000) << "the port closes 4 s after the data";
}

TEST(SendEngineFlow, ProgressInMetres) {
  SendRig rig;
  rig.options.lengthInMeters = true;
  rig.host.lines = {"O1", "G1", ""};
  rig.StartOnDc1();
  rig.Send();
  EXPECT_EQ(StatusHistory(rig, TransferStatusField::Remaining),
            (std::vector<std::string>{"残り 0.02ﾒｰﾄﾙ", "残り 0.01ﾒｰﾄﾙ(約 0秒)", "残り 0.00ﾒｰﾄﾙ(約 0秒)",
                                      "残り 0.00ﾒｰﾄﾙ", ""}));
}

TEST(SendEngineFlow, StopSignalBeforeTheStartDependsOnOp9) {
  SendRig refused;  // DC3 with parity, the pause code under DC3(0X93) "Y"
  refused.host.lines = {"G1", ""};
  refused.port.QueueIncoming("\x93", 1);
  EXPECT_EQ(refused.Send(), "\x14");
  ExpectAborted(refused, 1001);
  EXPECT_EQ(refused.engine.CurrentPhase(), SendEngine::Phase::kWaitingForStart);

  for (const char* code : {"\x14", "\x18"}) {  // DC4 and CAN likewise
    SendRig rig;
    rig.host.lines = {"G1", ""};
    rig.port.QueueIncoming(code, 1);
    rig.Send();
    EXPECT_EQ(rig.LogTexts().back(), "  送信中止　ｴﾗｰ番号 1001");
  }

  SendRig ignored;
  ignored.options.abortOnControlStop = false;
  ignored.host.lines = {"G1", ""};
  ignored.port.QueueIncoming("\x93", 1);
  ignored.port.QueueIncoming("\x05", 200);  // ENQ starts as well
  EXPECT_EQ(ignored.Send(), Wire(TapeCode::ISO, "G1\n\n%"));
  EXPECT_TRUE(ignored.engine.Outcome().SendCompleted);
  EXPECT_EQ(ignored.engine.CurrentPhase(), SendEngine::Phase::kEnded);
}

TEST(SendEngineFlow, StopKeysDuringTheWait) {
  SendRig held;
  held.host.lines = {"G1", ""};
  held.host.HoldKeyFrom(StopKey::kEsc, 50);
  EXPECT_EQ(held.Send(), "\x14");
  ExpectAborted(held, 9999);
  const auto texts = held.LogTexts();
  EXPECT_EQ(texts[texts.size() - 2], "  送信待機中に手動操作にて中止");
  EXPECT_EQ(held.link.Stops().LastTaken(), StopKind::kEsc);
  EXPECT_FALSE(held.link.UserStopRequested()) << "the stop was taken";

  SendRig pressed;  // a short press of F3 is latched
  pressed.host.lines = {"G1", ""};
  pressed.host.PressKeyAt(StopKey::kF3, 30);
  pressed.Send();
  ExpectAborted(pressed, 9999);

  SendRig oldType;  // the old-type wait writes no log line of its own
  oldType.job.setting.Control_S = 2;
  oldType.host.lines = {"G1", ""};
  oldType.host.HoldKeyFrom(StopKey::kEsc, 50);
  oldType.Send();
  ExpectAborted(oldType, 9999);
  EXPECT_EQ(oldType.LogTexts()[oldType.LogTexts().size() - 2], "  送信コードはＩＳＯコード");
}

TEST(SendEngineFlow, OldTypeStartsOnPercent) {
  SendRig rig;
  rig.job.setting.Control_S = 2;
  rig.host.lines = {"G1", ""};
  rig.port.QueueIncoming("%", 1);
  EXPECT_EQ(rig.Send(), Wire(TapeCode::ISO, "G1\n\n%"));
  ASSERT_GE(rig.port.configs.size(), 2u);
  EXPECT_TRUE(rig.port.configs.back().outX) << "the driver paces after the start";
}

TEST(SendEngineFlow, WithoutTheControlsSignalTheUserConfirms) {
  SendRig no;
  no.job.setting.Signal_S = 1;
  no.host.lines = {"G1", ""};
  no.host.answers = {MessageAnswer::kNo};
  EXPECT_EQ(no.Send(), "\x14");
  ExpectAborted(no, 1002);
  ASSERT_EQ(no.host.messages.size(), 1u);
  EXPECT_EQ(no.host.messages[0].text,
            "ＮＣ装置側の準備を行ってください。\n準備が出来ましたら「はい(Y)」を\n押すと送信が開始します。");
  EXPECT_EQ(no.host.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(no.LogTexts()[no.LogTexts().size() - 2], "  送信開始");
  EXPECT_EQ(no.host.status[TransferStatusField::StartSignal], "N");

  SendRig yes;
  yes.job.setting.Signal_S = 1;
  yes.host.lines = {"G1", ""};
  EXPECT_EQ(yes.Send(), Wire(TapeCode::ISO, "G1\n\n%"));
}

TEST(SendEngineFlow, StopAndFailuresDuringTheData) {
  const std::string longLine(500, 'X');

  SendRig stopped;
  stopped.host.lines = {longLine, ""};
  stopped.StartOnDc1();
  stopped.host.HoldKeyFrom(StopKey::kEsc, 200);
  const std::string wire = stopped.Send();
  ExpectAborted(stopped, 1011);
  EXPECT_LT(wire.size(), 200u);
  EXPECT_EQ(wire.back(), '\x14');

  SendRig failed;  // the line goes away after 20 bytes
  failed.host.lines = {longLine, ""};
  failed.StartOnDc1();
  failed.port.onWrite = [&](uint8_t) {
    if (failed.port.written.size() == 20) failed.port.writeErrno = EIO;
  };
  EXPECT_EQ(failed.Send().size(), 20u);
  ExpectAborted(failed, 1011);
  const auto texts = failed.LogTexts();
  EXPECT_EQ(texts[texts.size() - 2].rfind("  ポートに書き込めない為中止：", 0), 0u) << texts[texts.size() - 2];

  SendRig unreadable;  // a port that fails under the wait ends it instead of being read for ever
  unreadable.host.lines = {"G1", ""};
  unreadable.port.readErrno = EIO;
  unreadable.Send();
  ExpectAborted(unreadable, 1016);
  const auto waitTexts = unreadable.LogTexts();
  EXPECT_EQ(waitTexts[waitTexts.size() - 2].rfind("  ポートから読み込めない為中止：", 0), 0u);

  SendRig unopened;
  unopened.host.lines = {"G1", ""};
  unopened.port.openErrno = ENOENT;
  EXPECT_EQ(unopened.Send(), "");
  ExpectAborted(unopened, 1016);
  EXPECT_EQ(unopened.host.messages.size(), 1u) << "the opening's own message";
}

// Every step's error number, for a refusal by the line (the port fails on the
// given write) and for a user stop there. The start sequence, the end sequence
// and the feeds set their number before they write, so a stop there keeps the
// writer's 9999; the other steps set theirs after every write.
TEST(SendEngineFlow, EveryStepAbortsWithItsNumber) {
  enum Trigger { kRefused, kStopped };
  struct Case {
    const char* step;
    std::function<void(SendRig&)> setUp;
    size_t atWrite;  // the first write that fails or meets the held stop key
    Trigger trigger;
    int number;
    SendEngine::Phase phase;  // the phase the send stopped in
  };
  using P = SendEngine::Phase;
  const auto punch = [](int feed) {
    return [feed](SendRig& rig) {
      rig.job.setting.Speed_S = 5;
      rig.job.setting.Feed = feed;
    };
  };
  const auto osp = [](SendRig& rig) { rig.job.SetNo = 6; };
  const auto startPercents = [](SendRig& rig) { rig.job.setting.StartChar = 2; };
  const auto plain = [](SendRig&) {};
  // Wire: [20 feed] [$ PART1.MIN LF | start] [20 feed] O1 LF G1 LF, LF %, [20 feed] [DC4]
  const std::vector<Case> cases = {
      {"first feed", punch(1), 1, kRefused, 1004, P::kStartOfData},
      {"OSP $", osp, 1, kRefused, 1005, P::kStartOfData},
      {"OSP file name", osp, 2, kRefused, 1006, P::kStartOfData},
      {"OSP line end", osp, 11, kRefused, 1007, P::kStartOfData},
      {"start sequence", startPercents, 1, kRefused, 1009, P::kStartOfData},
      {"start sequence", startPercents, 2, kStopped, 9999, P::kStartOfData},
      {"feed before a program line", punch(1), 21, kRefused, 1010, P::kLines},
      {"feed before a program line", punch(1), 22, kStopped, 9999, P::kLines},
      {"data character", plain, 2, kStopped, 1011, P::kLines},
      {"line end", plain, 3, kRefused, 1012, P::kLines},
      {"end sequence", plain, 7, kRefused, 1013, P::kEndOfData},
      {"end sequence", plain, 8, kStopped, 9999, P::kEndOfData},
      {"final feed", punch(1), 49, kRefused, 1014, P::kEndOfData},
      {"final feed", punch(1), 50, kStopped, 9999, P::kEndOfData},
      {"end signal", [](SendRig& rig) { rig.job.setting.Speed_S = 5; rig.options.tapePunchEndSignal = true; }, 9, kRefused,
       1015, P::kEndOfData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.step) + (c.trigger == kRefused ? " refused" : " stopped"));
    SendRig rig;
    c.setUp(rig);
    rig.host.lines = {"O1", "G1", ""};
    rig.StartOnDc1();
    const auto trigger = [&] {
      if (c.trigger == kRefused) {
        rig.port.writeErrno = EIO;
      } else {
        rig.host.HoldKeyFrom(StopKey::kEsc, 0);
      }
    };
    if (c.atWrite == 1) trigger();
    rig.port.onWrite = [&](uint8_t) {
      if (rig.port.written.size() == c.atWrite - 1) trigger();
    };
    const std::string wire = rig.Send();
    EXPECT_EQ(wire.size(), c.trigger == kRefused ? c.atWrite - 1 : c.atWrite) << "then DC4 after a stop";
    ExpectAborted(rig, c.number);
    EXPECT_EQ(rig.engine.CurrentPhase(), c.phase);
  }

  // The old-type start wait's number stands until the next step sets its own.
  SendRig oldType;
  oldType.job.setting.Control_S = 2;
  punch(1)(oldType);
  oldType.host.lines = {"G1", ""};
  oldType.StartOnDc1();
  int numberAtFirstWrite = 0;
  oldType.port.onWrite = [&](uint8_t) {
    if (numberAtFirstWrite == 0) numberAtFirstWrite = oldType.link.State().ErrorNumber;
  };
  oldType.Send();
  EXPECT_EQ(numberAtFirstWrite, 1003);
}

TEST(SendEngineFlow, RepeatPassesCountOnUntilStopped) {
  SendRig rig;
  rig.job.RepeatMode = true;
  rig.job.RepeatCount = 1;
  rig.host.lines = {"G1", ""};
  rig.options = SelectiveSendOptions();
  StartSendLog(rig.log, SendsWholeDocument(rig.options), rig.job.CurrentFileName);
  for (const int64_t at : {1, 30000, 60000}) rig.StartOnDc1(at);
  rig.host.HoldKeyFrom(StopKey::kEsc, 80000);
  const std::string pass = Wire(TapeCode::ISO, "G1\n\n%");
  EXPECT_EQ(rig.Send(), pass + pass + pass + "\x14");
  ExpectAborted(rig, 9999);
  EXPECT_EQ(StatusHistory(rig, TransferStatusField::RepeatPass), (std::vector<std::string>{"送信:002", "送信:003", "送信:004"}));
  EXPECT_EQ(rig.engine.Outcome().RepeatCount, 4);
  const auto texts = rig.LogTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "  送信完了"), 3);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "  ﾘﾋﾟｰﾄ送信準備完了"), 3);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "  COM1 ポートオープン"), 4);
  EXPECT_EQ(texts[0], "  通信") << "the log runs on over the passes";
  EXPECT_EQ(texts[1], "  プログラム番号選択で送信");
  EXPECT_EQ(std::count(rig.host.waits.begin(), rig.host.waits.end(), 3000), 3);
}

TEST(SendEngineFlow, UnexpectedErrorEndsWithoutDc4) {
  SendRig rig;
  rig.host.lines = {"G1", ""};
  rig.host.runawayMs = 500;  // the fake window throws when the wait runs past it
  EXPECT_EQ(rig.Send(), "");
  EXPECT_EQ(rig.LogTexts().back(), "  送信中にエラーが発生した為中止");
  EXPECT_EQ(rig.host.status[TransferStatusField::Phase], "送信中止");
  EXPECT_EQ(rig.window.editorPanelTexts, (std::vector<std::pair<int, std::string>>{{1, ""}}));
  EXPECT_FALSE(rig.engine.Outcome().SendCompleted);
  EXPECT_EQ(rig.window.completionTimerStarts, 1);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(SavedLog(), rig.log.Text());
}

TEST(SendEngineFlow, EditsMadeBeforeTheSendStayMarked) {
  SendRig clean;
  clean.host.lines = {"G1\n", "G2", ""};  // a line feed left inside a line
  clean.StartOnDc1();
  EXPECT_EQ(clean.Send(), Wire(TapeCode::ISO, "G1\r\nG2\n\n%"));
  EXPECT_EQ(clean.host.lines[0], "G1") << "the CR that replaced the LF ends the line, as in the editor";
  EXPECT_FALSE(clean.window.modified) << "the engine's own change is no edit";

  SendRig edited;
  edited.window.modified = true;
  edited.host.lines = {"G1", ""};
  edited.StartOnDc1();
  edited.Send();
  EXPECT_TRUE(edited.window.modified);
  EXPECT_EQ(edited.host.title, "");
  EXPECT_TRUE(edited.window.editorPanelTexts.empty());
}

}  // namespace
}  // namespace quelvo
