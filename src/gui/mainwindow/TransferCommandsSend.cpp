// SPDX-License-Identifier: GPL-3.0-or-later
// The send command of TransferCommands: "送信" (tag 1) and "ﾘﾋﾟｰﾄ"
// (tag 2), the selective send through the program list dialog ProgramPicker, and
// estimateTimer, whose tick starts the remaining-time worker.
#include <QTimer>

#include "core/transfer/SendProgressText.h"
#include "core/transfer/send/SendCommand.h"
#include "gui/desktop/ScreenSaver.h"
#include "gui/dialogs/ProgramPicker.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/TransferCommands.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/RemainingTimeWorker.h"

namespace quelvo {

namespace {
constexpr char kNoSendData[] = "送信データが有りません。";
}  // namespace

void TransferCommands::SendCommand(int tag) {
  if (tag == 1) {
    w_.statusFields.repeatPass->setText(QString());
    sendPasses = SendCommandState{false, 0};
  } else {
    sendPasses = SendCommandState{true, 1};
    w_.statusFields.repeatPass->setText(QString::fromStdString(RepeatCounterText(1)));
  }

  // Nothing to send: offer the open command, then give up if still nothing.
  if (w_.editor->length() == 0) w_.files_->FileOpenClick();
  if (w_.editor->length() == 0) {
    w_.Host.ShowMessage(kNoSendData, "", MessageKind::kError, MessageButtons::kOk);
    return;
  }

  SetTransferUi(false);
  w_.editor->setReadOnly(true);
  state.ReceiveCompleted = false;
  // Shift held as the command starts: close the program after a completed
  // send. Once set, a later send does not clear it.
  if (w_.Host.ShiftHeld()) RequestCloseByUser();

  const bool wholeDocument = SendsWholeDocument(w_.Settings.options);
  if (wholeDocument) {
    StartSendLog(w_.Log, true, w_.Document.CurrentFileName);
    RunSend();
    return;
  }
  OpenSelectiveSend();
}

void TransferCommands::RunSend() {
  SendJob job;
  job.setting = w_.Comm;
  job.SetNo = w_.Settings.setNo;
  job.CurrentFileName = w_.Document.CurrentFileName;
  job.VersionSuffix = w_.App.VersionSuffix;
  job.RepeatMode = sendPasses.RepeatMode;
  job.RepeatCount = sendPasses.RepeatCount;
  job.CloseAfterTransfer = w_.App.CloseAfterTransfer;
  job.DocumentModified = w_.editor->isModified();
  w_.Host.ForgetLastLineShown();
  std::vector<std::string> lines = w_.Host.DocumentSnapshot();
  w_.MonitorTransferStarting(TransferDirection::Send);
  const TransferResult result =
      w_.RunTransfer(w_.Host, w_.Transfers, [&] { return w_.Transfers.RunSend(job, std::move(lines)); });
  w_.NoteStoppedSendForRestart();
  if (result.closeProgram) w_.Host.CloseProgram(result.powerOff);
  w_.StartCompletionTimer();
  w_.App.TransferFileName = w_.Transfers.LastSend().TransferFileName;
  sendPasses.RepeatCount = w_.Transfers.LastSend().RepeatCount;
}

void TransferCommands::OpenSelectiveSend() {
  // Wired once: the dialog lives as long as the window.
  connect(w_.files_->programPicker, &ProgramPicker::SelectiveSendRequested, this, &TransferCommands::SendSelectedPrograms,
          Qt::UniqueConnection);
  connect(w_.files_->programPicker, &ProgramPicker::SelectiveSendCancelled, this, &TransferCommands::CancelSelectiveSend,
          Qt::UniqueConnection);
  // Closed by w_.completionTimer after the send: no cancel report, which would start w_.completionTimer again.
  CloseSelectionDialog = [this] { w_.files_->programPicker->CloseAfterSend(); };

  StartSendLog(w_.Log, false, w_.Document.CurrentFileName);
  // The window stays in the transferring state while the user picks.
  w_.files_->programPicker->ShowForSelectiveSend(EditorBytes(w_.editor));
}

void TransferCommands::SendSelectedPrograms(const SkipList& selection) {
  w_.Transfers.Selection().SkipLines = selection.SkipLines;
  RunSend();
}

void TransferCommands::CancelSelectiveSend() {
  ScreenSaverOn();
  w_.completionTimer->start();
}

void TransferCommands::StartRemainingTimeEstimate() { RemainingTimeWorker::StartEstimate(w_.Transfers.Counters(), &w_); }

}  // namespace quelvo
