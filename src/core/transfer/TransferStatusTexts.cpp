// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/TransferStatusTexts.h"

#include "core/transfer/SendProgressText.h"

namespace quelvo {
namespace {

// The line settings begin with the code: by Code_S 0 ISO, 1 EIA, 2 ASCII; by Code_R
// 0 automatic, 1 ASCII, 2 EIA, 3 ISO.
constexpr const char* kSendCodes[] = {"ISO  ", "EIA  ", "ASCII"};
constexpr const char* kReceiveCodes[] = {"自動 ", "ASCII", "EIA ", "ISO "};
// By speed index: the four line speeds, 19200 and the tape device.
constexpr const char* kSpeedTexts[] = {": 2400,", ": 4800,", ": 9600,", ":14400,", ":19200,", ": 機器,"};

}  // namespace

void TransferStatusTexts::Started(TransferDirection direction, bool amountsInMeters) {
  direction_ = direction;
  meters_ = amountsInMeters;
}

void TransferStatusTexts::Preparing() {
  view_.ShowTransferPanel(true);
  view_.SetProgramLine("");
}

void TransferStatusTexts::PhaseChanged(TransferPhase phase) {
  switch (phase) {
    case TransferPhase::kWaitingForControl:
      view_.SetStatusField(TransferStatusField::Phase, Sending() ? "送信待機中" : "受信待機中");
      return;
    case TransferPhase::kSending:
      view_.SetStatusField(TransferStatusField::Phase, "＜＜ 送信中 ＞＞");
      view_.ShowStatusNow();
      return;
    case TransferPhase::kSkipping:
      view_.SetStatusField(TransferStatusField::Phase, "＜＜ スルー ＞＞");
      view_.ShowStatusNow();
      return;
    case TransferPhase::kReceiving:
      view_.SetStatusField(TransferStatusField::Phase, "＜＜ 受信中 ＞＞");
      return;
    case TransferPhase::kSaving:
      view_.SetStatusField(TransferStatusField::Phase, "保存中");
      return;
    case TransferPhase::kCompleted:
    case TransferPhase::kStopped: {
      const bool completed = phase == TransferPhase::kCompleted;
      view_.SetStatusField(TransferStatusField::Phase, Sending() ? (completed ? "送信完了" : "送信中止")
                                                  : (completed ? "受信完了" : "受信中止"));
      view_.SetStatusField(TransferStatusField::Remaining, "");
      view_.ShowStatusNow();
      view_.SetProgressPosition(0);
      return;
    }
  }
}

void TransferStatusTexts::LineSettings(const ActiveSetting& a) {
  std::string settings;
  if (Sending() && a.Code >= 0 && a.Code <= 2) {
    settings = kSendCodes[a.Code];
    view_.SetStatusField(TransferStatusField::LineSettings, settings);  // the code alone first, as the send always showed it
  } else if (!Sending() && a.Code >= 0 && a.Code <= 3) {
    settings = kReceiveCodes[a.Code];
  }
  if (a.Speed >= 0 && a.Speed <= 5) settings += kSpeedTexts[a.Speed];
  settings += a.STbit == 0 ? " 1" : a.STbit == 1 ? " 2" : " 1.5";
  view_.SetStatusField(TransferStatusField::LineSettings, settings);
  view_.SetStatusField(TransferStatusField::Port, a.Port);
  view_.SetStatusField(TransferStatusField::StartSignal, a.Signal == 0 ? "Y" : "N");
}

void TransferStatusTexts::CodeDetected(TapeCode code) {
  if (code == TapeCode::ISO) view_.SetStatusField(TransferStatusField::Remaining, "自動判別でISOｺｰﾄﾞ検出");
  if (code == TapeCode::EIA) view_.SetStatusField(TransferStatusField::Remaining, "自動判別でEIAｺｰﾄﾞ検出");
}

void TransferStatusTexts::AmountToSend(int64_t totalChars) {
  view_.SetStatusField(TransferStatusField::Remaining, "残り " + RemainingAmountText(totalChars, meters_));
  view_.ShowStatusNow();
}

void TransferStatusTexts::SendTotal(int64_t totalChars, bool dataBegins) {
  view_.SetProgressRange(totalChars);
  if (dataBegins) view_.SetProgressPosition(0);
}

void TransferStatusTexts::CharactersSent(int64_t sentChars, int64_t totalChars,
                                         int32_t remainingSeconds) {
  // The remaining amount counts one more than the total less the sent.
  view_.SetStatusField(TransferStatusField::Remaining,
                       RemainingProgressText(totalChars - sentChars + 1, remainingSeconds, meters_));
  view_.ShowStatusNow();
  view_.SetProgressPosition(sentChars);
}

void TransferStatusTexts::AllDataSent() { AmountToSend(0); }

void TransferStatusTexts::RepeatPass(int count) {
  view_.SetStatusField(TransferStatusField::RepeatPass, RepeatCounterText(count));
}

void TransferStatusTexts::ReceiveBlock(int blockLines) {
  view_.SetProgressRange(blockLines);
  view_.SetProgressPosition(0);
}

void TransferStatusTexts::LinesInBlock(int lines) { view_.SetProgressPosition(lines); }

void TransferStatusTexts::ProgramLine(const std::string& line) {
  view_.SetProgramLine((Sending() ? "送信中のプログラム番号 => " : "受信中のプログラム番号 => ") + line);
}

void TransferStatusTexts::ControlFileName(const std::string& name) {
  view_.SetProgramLine((Sending() ? "ＮＣ機にファイル名送信 ﾌｧｲﾙ名 => " : "ＮＣ機よりﾌｧｲﾙ名受信 ﾌｧｲﾙ名 => ") + name);
}

void TransferStatusTexts::Title(const std::string& title) { view_.SetTitle(title); }

void TransferStatusTexts::DsrState(bool on) { view_.ShowDsrState(on); }

void TransferStatusTexts::CtsState(bool on) { view_.ShowCtsState(on); }

}  // namespace quelvo
