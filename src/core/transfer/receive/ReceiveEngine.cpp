// SPDX-License-Identifier: GPL-3.0-or-later
// The receive engine: preparation, the wait for the start character and the
// start of data.
#include "core/transfer/receive/ReceiveEngine.h"

#include "core/transfer/TapeCode.h"
#include "core/transfer/receive/ReceiveCharset.h"
#include "core/transfer/receive/ReceiveFileName.h"
#include "core/transfer/receive/ReceiveTargetFile.h"

namespace quelvo {
namespace {

// By Code_R: 0 automatic, 1 ASCII, 2 EIA, 3 ISO.
constexpr const char* kCodeLogLines[] = {
    "  受信コードは自動判別\n",
    "  受信コードはASCII\n",
    "  受信コードはEIA\n",
    "  受信コードはISO\n",
};

const char kStopWhileWaiting[] = "  手動操作にて受信待機中に中止\n";

}  // namespace

ReceiveEngine::ReceiveEngine(SerialLink& link, TransferHost& host, CommLog& log,
                             const ProgramOptions& options)
    : link_(link), host_(host), log_(log), options_(options) {}

ReceiveOutcome ReceiveEngine::RunReceive(const CommSetting& setting, const ReceiveJob& job) {
  job_ = job;
  host_.Events().Started(TransferDirection::Receive, false);
  if (job_.DirPath.empty()) job_.DirPath = FolderOfPath(job_.TransferFileName);
  outcome_ = ReceiveOutcome{};
  outcome_.TransferFileName = job_.TransferFileName;
  block_.clear();
  text_.reset();
  RunTransferSteps(
      [&] {
        phase_ = Phase::kPreparing;
        while (phase_ != Phase::kEnded) phase_ = RunStep(phase_, setting);
      },
      [this] { UnexpectedError(); },
      // At least the port must not stay open.
      [this] { link_.ClosePort(); });
  file_.Close();
  text_.reset();
  block_.clear();
  block_.shrink_to_fit();
  return outcome_;
}

ReceiveEngine::Phase ReceiveEngine::RunStep(Phase phase, const CommSetting& setting) {
  switch (phase) {
    case Phase::kPreparing:
      Prepare(setting);
      return Phase::kWaitingForStart;
    case Phase::kWaitingForStart:
      startChar_ = WaitForStart();
      return Phase::kStartingData;
    case Phase::kStartingData:
      StartData(startChar_);
      return Phase::kReceiving;
    case Phase::kReceiving:
      ReceiveData();
      return Phase::kEnded;
    case Phase::kEnded:
      break;
  }
  return Phase::kEnded;
}

void ReceiveEngine::Prepare(const CommSetting& setting) {
  std::string reason;
  if (!file_.Create(job_.TransferFileName, &reason)) FailTargetFile(reason);
  host_.SetScreenSaverActive(false);
  host_.Events().Preparing();

  if (!link_.OpenPort(setting, TransferDirection::Receive)) {
    log_.AppendLog("  通信設定不可で中止\n");
    link_.State().ErrorNumber = link_.OpenStoppedByUser() ? kUserStop : kReceivePortSetup;
    Abort();
  }

  ByteTransferState& state = link_.State();
  state.codes.CurrentCode = TapeCode::Undecided;
  state.ErrorNumber = 0;
  state.codes.GoFlag = true;
  state.LineSeenFlag = true;
  host_.Events().PhaseChanged(TransferPhase::kWaitingForControl);
  ShowLineSettings();
  host_.Events().PhaseChanged(TransferPhase::kWaitingForControl);
  log_.AppendLog("  受信データ待ち\n");
}

void ReceiveEngine::ShowLineSettings() {
  const ActiveSetting& active = link_.Active();
  if (active.Code >= 0 && active.Code <= 3) log_.AppendLog(kCodeLogLines[active.Code]);
  link_.State().codes.CurrentCode = ReceiveTapeCode(active.Code);
  host_.Events().LineSettings(active);
  if (active.Signal == 0) {
    log_.AppendLog("  ＮＣ機からの信号で開始する\n");
  } else {
    log_.AppendLog("  ＮＣ機からの信号は使用しない\n");
  }
}

void ReceiveEngine::LeaveOnStopWhileWaiting() {
  if (!link_.UserStopRequested()) return;
  link_.StopByUser();
  log_.AppendLog(kStopWhileWaiting);
  Abort();
}

std::uint8_t ReceiveEngine::WaitForStart() {
  const ActiveSetting& active = link_.Active();
  for (;;) {
    LeaveOnStopWhileWaiting();
    const std::uint8_t c = link_.ReadByte();
    LeaveOnStopWhileWaiting();
    if (link_.PortFailed()) {
      // Nothing was received: the (empty) target goes as after a stop.
      link_.State().ErrorNumber = kReceivePortLost;
      Abort();
    }
    host_.Idle();
    if (active.Signal == 0) {
      // Only a control that raises DCD may start the reception. A port whose
      // modem lines cannot be read (pseudo-terminals, some adapters) is not
      // held back by them.
      uint32_t status = 0;
      if (link_.RawPort().ModemStatus(&status)) {
        link_.Port().modemStatus = status;
        link_.UpdateIndicators(status);
        if ((status & kModemDcd) == 0) continue;
      }
    }
    if (IsReceiveStartChar(c) || c == kLF) return c;
    // Let the character that finally starts the reception decide the code.
    if (active.Code == 0) link_.State().codes.CurrentCode = TapeCode::Undecided;
  }
}

void ReceiveEngine::StartData(std::uint8_t startChar) {
  const ActiveSetting& active = link_.Active();
  if (active.Code == 0) {
    const TapeCode code = link_.State().codes.CurrentCode;
    if (code == TapeCode::ISO) {
      log_.AppendLog("  自動判別でＩＳＯコードを検出\n");
      host_.Events().CodeDetected(code);
    } else if (code == TapeCode::EIA) {
      log_.AppendLog("  自動判別でＥＩＡコードを検出\n");
      host_.Events().CodeDetected(code);
    }
  }
  if (startChar == kLF) {
    log_.AppendLog("  開始文字(LF/CR)を受信 開始文字\n");
  } else {
    log_.AppendLog(std::string("  開始文字(%OP:LNG$)を受信 開始文字") + static_cast<char>(startChar) + "\n");
  }
  // The data starts: only now does the target give way to the received file.
  std::string reason;
  if (!file_.PutInPlace(&reason)) FailTargetFile(reason);
  lastFlushMs_ = host_.MonotonicMs();
  host_.Events().PhaseChanged(TransferPhase::kReceiving);
  log_.AppendLog("  データ受信開始\n");
  host_.Events().ReceiveBlock(kBlockLines);

  ReceiveTextRules rules;
  rules.Word = active.Word;
  rules.Change = active.Change;
  rules.EndCode = active.EndCode;
  rules.osp = job_.ospSetting;
  text_.emplace(rules, static_cast<ReceivedTextSink&>(*this));
  text_->Start(startChar);
  block_.clear();
  if (active.SE_Char == 0 || active.SE_Char == 2) {
    block_.push_back("%");
    log_.AppendLog("  受信データの先頭に％を付加\n");
  }
}

}  // namespace quelvo
