// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of a transfer's status fields, as
// TransferStatusTexts makes them from the engines' events: each case plays a
// few events on a recording view and compares every call it made, in order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/transfer/SendProgressText.h"
#include "core/transfer/TransferStatusTexts.h"

namespace quelvo {
namespace {

class RecordingView : public TransferView {
 public:
  std::vector<std::string> calls;

  void SetStatusField(TransferStatusField field, const std::string& text) override {
    static const char* const kNames[] = {"remaining", "phase", "settings", "port", "signal", "repeat"};
    calls.push_back(std::string(kNames[static_cast<int>(field)]) + ":" + text);
  }
  void ShowStatusNow() override { calls.push_back("shown now"); }
  void SetProgressRange(int64_t maximum) override { calls.push_back("range " + std::to_string(maximum)); }
  void SetProgressPosition(int64_t position) override { calls.push_back("at " + std::to_string(position)); }
  void SetProgramLine(const std::string& text) override { calls.push_back("line " + text); }
  void ShowDsrState(bool on) override { calls.push_back(on ? "DSR on" : "DSR off"); }
  void ShowCtsState(bool on) override { calls.push_back(on ? "CTS on" : "CTS off"); }
  void ShowTransferPanel(bool visible) override { calls.push_back(visible ? "panel shown" : "panel hidden"); }
  void SetTitle(const std::string& title) override { calls.push_back("title " + title); }
};

ActiveSetting Line(int code, int speed, int stopBits, int signal) {
  ActiveSetting a;
  a.Code = code;
  a.Speed = speed;
  a.STbit = stopBits;
  a.Signal = signal;
  a.Port = "/dev/ttyS0";
  return a;
}

struct TextCase {
  const char* name;
  TransferDirection direction;
  bool meters;
  std::function<void(TransferEvents&)> play;
  std::vector<std::string> calls;
};

constexpr TransferDirection kSend = TransferDirection::Send;
constexpr TransferDirection kReceive = TransferDirection::Receive;

class TransferStatusTextsTest : public testing::TestWithParam<TextCase> {};

TEST_P(TransferStatusTextsTest, EventsBecomeTheWindowsTexts) {
  const TextCase& c = GetParam();
  RecordingView view;
  TransferStatusTexts texts(view);
  texts.Started(c.direction, c.meters);
  c.play(texts);
  EXPECT_EQ(view.calls, c.calls);
}

const TextCase kCases[] = {
    {"SendPreparation", kSend, false,
     [](TransferEvents& e) {
       e.Preparing();
       e.PhaseChanged(TransferPhase::kWaitingForControl);
       e.LineSettings(Line(0, 1, 1, 0));
       e.AmountToSend(1234567);
     },
     {"panel shown", "line ", "phase:送信待機中", "settings:ISO  ", "settings:ISO  : 4800, 2", "port:/dev/ttyS0", "signal:Y",
      "remaining:残り 1,234,567ﾊﾞｲﾄ", "shown now"}},
    // The receive codes are another table, and panel 3 gets only the full text.
    {"ReceiveLineSettings", kReceive, false,
     [](TransferEvents& e) {
       e.PhaseChanged(TransferPhase::kWaitingForControl);
       e.LineSettings(Line(0, 5, 2, 1));
       e.LineSettings(Line(3, 4, 0, 0));
     },
     {"phase:受信待機中", "settings:自動 : 機器, 1.5", "port:/dev/ttyS0", "signal:N", "settings:ISO :19200, 1", "port:/dev/ttyS0",
      "signal:Y"}},
    {"OutOfRangeIndicesLeaveTheirPartOut", kSend, false,
     [](TransferEvents& e) { e.LineSettings(Line(3, 6, 1, 0)); },
     {"settings: 2", "port:/dev/ttyS0", "signal:Y"}},
    // The remaining amount counts one more than total less sent.
    {"SendProgressInMeters", kSend, true,
     [](TransferEvents& e) {
       e.SendTotal(5000, true);
       e.SendTotal(5001, false);
       e.CharactersSent(1, 5000, 65);
       e.AllDataSent();
       e.RepeatPass(2);
     },
     {"range 5000", "at 0", "range 5001", "remaining:残り 12.70ﾒｰﾄﾙ(約 1分05秒)", "shown now", "at 1",
      "remaining:残り 0.00ﾒｰﾄﾙ", "shown now", "repeat:送信:002"}},
    {"SendPhases", kSend, false,
     [](TransferEvents& e) {
       e.PhaseChanged(TransferPhase::kSkipping);
       e.PhaseChanged(TransferPhase::kSending);
       e.PhaseChanged(TransferPhase::kCompleted);
       e.PhaseChanged(TransferPhase::kStopped);
     },
     {"phase:＜＜ スルー ＞＞", "shown now", "phase:＜＜ 送信中 ＞＞", "shown now", "phase:送信完了", "remaining:", "shown now",
      "at 0", "phase:送信中止", "remaining:", "shown now", "at 0"}},
    {"ReceivePhases", kReceive, false,
     [](TransferEvents& e) {
       e.CodeDetected(TapeCode::EIA);
       e.CodeDetected(TapeCode::ISO);
       e.CodeDetected(TapeCode::Undecided);
       e.PhaseChanged(TransferPhase::kReceiving);
       e.ReceiveBlock(1000);
       e.LinesInBlock(7);
       e.PhaseChanged(TransferPhase::kSaving);
       e.PhaseChanged(TransferPhase::kCompleted);
       e.PhaseChanged(TransferPhase::kStopped);
     },
     {"remaining:自動判別でEIAｺｰﾄﾞ検出", "remaining:自動判別でISOｺｰﾄﾞ検出", "phase:＜＜ 受信中 ＞＞", "range 1000", "at 0",
      "at 7", "phase:保存中", "phase:受信完了", "remaining:", "shown now", "at 0", "phase:受信中止", "remaining:", "shown now", "at 0"}},
    {"SendProgramLine", kSend, false,
     [](TransferEvents& e) {
       e.ControlFileName("O1234");
       e.ProgramLine("O0001(A)");
     },
     {"line ＮＣ機にファイル名送信 ﾌｧｲﾙ名 => O1234", "line 送信中のプログラム番号 => O0001(A)"}},
    {"ReceiveProgramLineAndLines", kReceive, false,
     [](TransferEvents& e) {
       e.ControlFileName("O1234");
       e.ProgramLine("O0001(A)");
       e.Title("<受信>O1234");
       e.DsrState(false);
       e.CtsState(true);
     },
     {"line ＮＣ機よりﾌｧｲﾙ名受信 ﾌｧｲﾙ名 => O1234", "line 受信中のプログラム番号 => O0001(A)",
      "title <受信>O1234", "DSR off", "CTS on"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, TransferStatusTextsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(SendProgressText, AmountsAndTimesFollowTheirPatterns) {
  EXPECT_EQ(RemainingAmountText(5000, true), "12.70ﾒｰﾄﾙ");
  EXPECT_EQ(RemainingAmountText(1234567, false), "1,234,567ﾊﾞｲﾄ");
  EXPECT_EQ(RemainingAmountText(0, false), "0ﾊﾞｲﾄ");
  EXPECT_EQ(RemainingAmountText(0, true), "0.00ﾒｰﾄﾙ");
  EXPECT_EQ(RemainingTimeText(0), "0秒");
  EXPECT_EQ(RemainingTimeText(59), "59秒");
  EXPECT_EQ(RemainingTimeText(60), "1分00秒");
  EXPECT_EQ(RemainingTimeText(65), "1分05秒");
  EXPECT_EQ(RemainingTimeText(3599), "59分59秒");
  EXPECT_EQ(RemainingTimeText(3725), "1時02分");
  EXPECT_EQ(RemainingTimeText(360000), "100時00分");
  EXPECT_EQ(RemainingProgressText(1234567, 65, false), "残り 1,234,567ﾊﾞｲﾄ(約 1分05秒)");
  // The last line can count past what remained; nothing below zero is shown.
  EXPECT_EQ(RemainingProgressText(-2, 0, false), "残り 0ﾊﾞｲﾄ(約 0秒)");
}

}  // namespace
}  // namespace quelvo
