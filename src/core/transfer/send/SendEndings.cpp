// The two endings of a send that did not complete: the abort path (a refusal,
// a stop or a failed opening, logged with its error number) and the path of an
// unexpected error.
#include <string>

#include "core/transfer/send/SendEngine.h"

namespace quelvo {

void SendEngine::AbortPath() {
  Bytes().codes.GoFlag = true;
  link_.WriteByte(kDC4);
  log_.AppendLog("  送信中止　ｴﾗｰ番号 " + std::to_string(Bytes().ErrorNumber) + "\n");
  SaveLog();
  ReleaseDocument(2);
  window_.SetEstimateTimer(false);
  link_.ClosePort();
  SetPhase(TransferPhase::kStopped);
  EndTransfer(false);
}

void SendEngine::UnexpectedError() {
  ReleaseDocument(1);
  log_.AppendLog("  送信中にエラーが発生した為中止\n");
  SaveLog();
  window_.SetEstimateTimer(false);
  link_.ClosePort();
  SetPhase(TransferPhase::kStopped);
  EndTransfer(false);
}

void SendEngine::ReleaseDocument(int emptiedPanel) {
  // Sending may turn a final line feed into a carriage return, which marks
  // the document modified; that alone is no edit of the user's. Edits made
  // before the send keep their mark, so that they are still offered for saving.
  if (wasModified_) return;
  window_.SetModified(false);
  host_.Events().Title("<編集>" + job_.CurrentFileName + " - Quelvo" + job_.VersionSuffix);
  window_.SetEditorStatusPanel(emptiedPanel, "");
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
  window_.StartCompletionTimer();
}

}  // namespace quelvo
