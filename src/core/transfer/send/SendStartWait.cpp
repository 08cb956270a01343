// SPDX-License-Identifier: GPL-3.0-or-later
// The wait for the control's start: on the old-type protocol, on the control's
// signal (DC1, "%" or ENQ), or after the user confirms that the control is
// ready.
#include "core/transfer/send/SendEngine.h"

namespace quelvo {
void SendEngine::WaitForStart() {
  if (link_.Port().OldTypeProtocol) {
    WaitOldType();
  } else if (Active().Signal == 0) {
    WaitForSignal();
  } else {
    AskToStart();
  }
}

void SendEngine::WaitOldType() {
  Bytes().ErrorNumber = kSendOldTypeWait;
  const bool onSignal = Active().Signal == 0;
  if (onSignal) {
    SetPhase(TransferPhase::kWaitingForControl);
  } else {
    SetPhase(TransferPhase::kSending);
  }
  uint8_t ch = 0;
  do {
    ch = ReadWhileWaiting(nullptr);
  } while (onSignal && ch != kDC1 && ch != '%');
  if (onSignal) SetPhase(TransferPhase::kSending);
  link_.SwitchToDriverFlowControl();
}

uint8_t SendEngine::ReadWhileWaiting(const char* stopLogLine) {
  const auto stop = [&] {
    link_.StopByUser();
    if (stopLogLine != nullptr) log_.AppendLog(stopLogLine);
    Abort();
  };
  if (link_.UserStopRequested()) stop();
  const uint8_t ch = link_.ReadByte();
  if (link_.UserStopRequested()) stop();
  // A port that fails under the wait would otherwise be read for ever.
  if (link_.PortFailed()) {
    Bytes().ErrorNumber = kSendPortSetup;
    Abort();
  }
  host_.Idle();
  return ch;
}

void SendEngine::WaitForSignal() {
  SetPhase(TransferPhase::kWaitingForControl);
  log_.AppendLog("  ＮＣ機からの開始信号待ち\n");
  for (;;) {
    const uint8_t ch = ReadWhileWaiting("  送信待機中に手動操作にて中止\n");
    if (ch == kDC1 || ch == '%' || ch == kENQ) {
      SetPhase(TransferPhase::kSending);
      log_.AppendLog("  ＮＣ機より送信開始信号を受信\n");
      log_.AppendLog("  送信開始\n");
      // The writer checks the handshake before the first character unless the
      // interval is 1000.
      Bytes().SentSinceCheck = 999;
      Bytes().codes.GoFlag = true;
      Bytes().LineSeenFlag = true;
      return;
    }
    if (options_.abortOnControlStop) {
      Bytes().ErrorNumber = kSendControlRefusedStart;
      if (ch == kDC3 || ch == kDC4 || ch == kCAN) Abort();
    }
    uint32_t status = 0;
    if (link_.RawPort().ModemStatus(&status)) {
      link_.Port().modemStatus = status;
      link_.UpdateIndicators(status);
    }
  }
}

void SendEngine::AskToStart() {
  Bytes().codes.GoFlag = true;
  Bytes().LineSeenFlag = true;
  uint32_t status = link_.Port().modemStatus;
  if (link_.RawPort().ModemStatus(&status)) link_.Port().modemStatus = status;
  link_.UpdateIndicators(status);
  log_.AppendLog("  送信開始\n");
  const MessageAnswer answer = host_.ShowMessage(
      "ＮＣ装置側の準備を行ってください。\n準備が出来ましたら「はい(Y)」を\n押すと送信が開始します。",
      "", MessageKind::kWarning, MessageButtons::kYesNo);
  Bytes().ErrorNumber = kSendStartDeclined;
  if (answer != MessageAnswer::kYes) Abort();
  SetPhase(TransferPhase::kSending);
}

}  // namespace quelvo
