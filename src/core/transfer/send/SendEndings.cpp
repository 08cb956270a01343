// SPDX-License-Identifier: GPL-3.0-or-later
// The two endings of a send that did not complete: the abort path (a refusal,
// a stop or a failed opening, logged with its error number) and the path of an
// unexpected error.
#include <string>

#include "core/transfer/LineErrorText.h"
#include "core/transfer/send/SendEngine.h"

namespace quelvo {

void SendEngine::AbortPath() {
  Bytes().codes.GoFlag = true;
  link_.WriteByte(kDC4);
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  log_.AppendLog("  送信中止　ｴﾗｰ番号 " + std::to_string(Bytes().ErrorNumber) + "\n");
  SaveLog();
  ReleaseDocument(false);
  host_.Events().DataFlowing(false);
  link_.ClosePort();
  SetPhase(TransferPhase::kStopped);
  EndTransfer(false);
}

void SendEngine::UnexpectedError() {
  ReleaseDocument(true);
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  log_.AppendLog("  送信中にエラーが発生した為中止\n");
  SaveLog();
  host_.Events().DataFlowing(false);
  link_.ClosePort();
  SetPhase(TransferPhase::kStopped);
  EndTransfer(false);
}

void SendEngine::ReleaseDocument(bool afterError) {
  // Sending may turn a final line feed into a carriage return, which marks
  // the document modified; that alone is no edit of the user's. Edits made
  // before the send keep their mark, so that they are still offered for saving.
  if (job_.DocumentModified) return;
  host_.Events().DocumentUnchanged(afterError);
  host_.Events().Title("<編集>" + job_.CurrentFileName + " - Quelvo" + job_.VersionSuffix);
}

void SendEngine::SaveLog() {
  if (log_.Empty()) return;
  std::string error;
  const std::string path = job_.logFilePath.empty() ? CommLogFilePath(1) : job_.logFilePath;
  if (!WriteCommLogFile(path, log_.Text(), &error)) {
    host_.ShowMessage(LogNotSavedText(1, path, error), "", MessageKind::kError, MessageButtons::kOk);
  }
}

void SendEngine::EndTransfer(bool completed) {
  outcome_.SendCompleted = completed;
  host_.Events().Ended(completed);
}

}  // namespace quelvo
