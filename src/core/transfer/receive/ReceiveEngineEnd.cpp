// SPDX-License-Identifier: GPL-3.0-or-later
// The receive engine: the end of the data, saving, and the ways out when a
// reception stops early.
#include "core/transfer/LineErrorText.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/receive/ReceiveEngine.h"
#include "core/transfer/receive/ReceiveFileName.h"
#include "core/transfer/receive/ReceiveTargetFile.h"
#include "core/transfer/receive/ReceiveTitles.h"

namespace quelvo {
namespace {

// After the closing DC4 the control is given time to take it before the port
// closes.
constexpr int kDc4SettleMs = 4000;

}  // namespace

void ReceiveEngine::EndOfData() {
  const int se = link_.Active().SE_Char;
  if (se == 1 || se == 2) {
    block_.push_back("%");
    log_.AppendLog("  受信データの最後部に％を追加\n");
  }
  Save();
}

void ReceiveEngine::Save() {
  host_.Events().PhaseChanged(TransferPhase::kSaving);
  FlushBlock();
  file_.Close();
  MoveNote moveNote;
  if (text_ && !text_->NcFileName().empty()) moveNote = MoveToControlName();
  // Characters garbled on the line must not hide behind a clean completion.
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  log_.AppendLog("  受信完了\n");
  // Only a reception that closes the program powers the PC off; Power_Off
  // alone does nothing, and the log must not say otherwise.
  if (job_.closeAfterTransfer && options_.powerOffAfterTransfer) log_.AppendLog("  自動で電源断\n");
  SaveLog();
  link_.WriteByte(kDC4);
  host_.WaitMs(kDc4SettleMs);
  link_.ClosePort();
  host_.Events().PhaseChanged(TransferPhase::kCompleted);
  ReportLogNotSaved();
  if (!moveNote.text.empty() && !job_.unattended) {
    host_.ShowMessage(moveNote.text, "", moveNote.kind, MessageButtons::kOk);
  }
  outcome_.ReceiveCompleted = true;
  outcome_.ErrorNumber = link_.State().ErrorNumber;
}

ReceiveEngine::MoveNote ReceiveEngine::MoveToControlName() {
  const std::string target =
      JoinFolderAndName(job_.DirPath, SavedControlFileName(text_->NcFileName()));
  std::string reason, backup;
  if (MoveReceivedFile(outcome_.TransferFileName, target, &backup, &reason)) {
    outcome_.TransferFileName = target;
    if (backup.empty()) return {};
    // The control's name replaced a file the user had: it stays under the backup name.
    log_.AppendLog("  既存ﾌｧｲﾙ " + target + " を " + backup + " に名前変更して保存\n");
    return {"既存のファイル\n" + target + "\nは\n" + backup + "\nに名前を変えて残しました。",
            MessageKind::kInformation};
  }
  // The data stays where it was received; nothing is deleted.
  const std::string& kept = outcome_.TransferFileName;
  log_.AppendLog("  ﾌｧｲﾙ名 " + target + " で保存できない為、" + kept + " に保存：" + reason + "\n");
  return {"受信データを\n" + target + "\nに保存できません。\n" + reason + "\n\n受信データは\n" + kept +
              "\nに保存しました。",
          MessageKind::kWarning};
}

void ReceiveEngine::Abort() {
  file_.Discard();
  link_.WriteByte(kDC4);
  const int errorNumber = link_.State().ErrorNumber;
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  log_.AppendLog("  受信中止　ｴﾗｰ番号 " + std::to_string(errorNumber) + "\n");
  SaveLog();
  link_.ClosePort();
  ShowStopped();
  ReportLogNotSaved();
  outcome_.ReceiveCompleted = false;
  outcome_.ErrorNumber = errorNumber;
  StopTransfer();
}

void ReceiveEngine::StopKeepingData(TransferError errorNumber, const std::string& message) {
  link_.State().ErrorNumber = errorNumber;
  link_.WriteByte(kDC4);
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  log_.AppendLog("  受信中止　ｴﾗｰ番号 " + std::to_string(errorNumber) + "\n");
  SaveLog();
  link_.ClosePort();
  ShowStopped();
  host_.ShowMessage(message, "", MessageKind::kError, MessageButtons::kOk);
  ReportLogNotSaved();
  outcome_.ReceiveCompleted = false;
  outcome_.ErrorNumber = errorNumber;
  StopTransfer();
}

void ReceiveEngine::StopForLostPort() {
  // What was received so far is kept, the line in hand included.
  if (text_ && !text_->Buffer().empty()) text_->StoreBuffer();
  FlushBlock();
  StopKeepingData(kReceivePortLost, "回線が切れた為、受信を中止しました。\n受信済みのデータは\n" +
                                      outcome_.TransferFileName + "\nに残っています。");
}

void ReceiveEngine::FailTargetFile(const std::string& reason) {
  const std::string& file = outcome_.TransferFileName;
  log_.AppendLog("  受信ﾌｧｲﾙに書き込めない為中止：" + file + "：" + reason + "\n");
  StopKeepingData(kReceiveTargetFile, "受信ファイル\n" + file + "\nに書き込めません。\n" + reason);
}

void ReceiveEngine::UnexpectedError() {
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  SaveLog();
  link_.ClosePort();
  ShowStopped();
  ReportLogNotSaved();
  // Logged after the log was saved: it is not in the saved file.
  log_.AppendLog("  受信中にエラーが発生した為に中止\n");
  outcome_.ReceiveCompleted = false;
  outcome_.ErrorNumber = link_.State().ErrorNumber;
}

void ReceiveEngine::ShowStopped() {
  host_.Events().PhaseChanged(TransferPhase::kStopped);
  host_.Events().Title(IdleTitle(job_.versionSuffix));
}

void ReceiveEngine::SaveLog() {
  logNotSaved_.clear();
  if (log_.Empty()) return;
  const std::string path = job_.logFilePath.empty() ? CommLogFilePath(2) : job_.logFilePath;
  std::string error;
  if (!WriteCommLogFile(path, log_.Text(), &error)) logNotSaved_ = LogNotSavedText(2, path, error);
}

// Said once the port is closed, so that a box waiting for its OK holds up
// neither the closing DC4 nor the line.
void ReceiveEngine::ReportLogNotSaved() {
  if (logNotSaved_.empty()) return;
  host_.ShowMessage(logNotSaved_, "", MessageKind::kError, MessageButtons::kOk);
  logNotSaved_.clear();
}

}  // namespace quelvo
