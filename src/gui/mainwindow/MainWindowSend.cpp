// SPDX-License-Identifier: GPL-3.0-or-later
// The send command as the main window runs it: "送信" (tag 1) and "ﾘﾋﾟｰﾄ"
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
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/RemainingTimeWorker.h"

namespace quelvo {

namespace {
constexpr char kNoSendData[] = "送信データが有りません。";
}  // namespace

void MainWindow::SendCommand(int tag) {
  if (tag == 1) {
    statusFields.repeatPass->setText(QString());
    sendPasses = SendCommandState{false, 0};
  } else {
    sendPasses = SendCommandState{true, 1};
    statusFields.repeatPass->setText(QString::fromStdString(RepeatCounterText(1)));
  }

  // Nothing to send: offer the open command, then give up if still nothing.
  if (editor->length() == 0) files_->FileOpenClick();
  if (editor->length() == 0) {
    Host.ShowMessage(kNoSendData, "", MessageKind::kError, MessageButtons::kOk);
    return;
  }

  SetTransferUi(false);
  editor->setReadOnly(true);
  Transfer.ReceiveCompleted = false;
  // Shift held as the command starts: close the program after a completed
  // send. Once set, a later send does not clear it.
  if (Host.ShiftHeld()) RequestCloseByUser();

  const bool wholeDocument = SendsWholeDocument(Settings.options);
  if (wholeDocument) {
    StartSendLog(Log, true, Document.CurrentFileName);
    RunSend();
    return;
  }
  OpenSelectiveSend();
}

void MainWindow::RunSend() {
  SendJob job;
  job.setting = Comm;
  job.SetNo = Settings.setNo;
  job.CurrentFileName = Document.CurrentFileName;
  job.VersionSuffix = App.VersionSuffix;
  job.RepeatMode = sendPasses.RepeatMode;
  job.RepeatCount = sendPasses.RepeatCount;
  job.CloseAfterTransfer = App.CloseAfterTransfer;
  job.DocumentModified = editor->isModified();
  Host.ForgetLastLineShown();
  std::vector<std::string> lines = Host.DocumentSnapshot();
  const TransferResult result =
      RunTransfer(Host, Transfers, [&] { return Transfers.RunSend(job, std::move(lines)); });
  NoteStoppedSendForRestart();
  if (result.closeProgram) Host.CloseProgram(result.powerOff);
  StartCompletionTimer();
  App.TransferFileName = Transfers.LastSend().TransferFileName;
  sendPasses.RepeatCount = Transfers.LastSend().RepeatCount;
}

void MainWindow::OpenSelectiveSend() {
  // Wired once: the dialog lives as long as the window.
  connect(files_->programPicker, &ProgramPicker::SelectiveSendRequested, this, &MainWindow::SendSelectedPrograms,
          Qt::UniqueConnection);
  connect(files_->programPicker, &ProgramPicker::SelectiveSendCancelled, this, &MainWindow::CancelSelectiveSend,
          Qt::UniqueConnection);
  // Closed by completionTimer after the send: no cancel report, which would start completionTimer again.
  CloseSelectionDialog = [this] { files_->programPicker->CloseAfterSend(); };

  StartSendLog(Log, false, Document.CurrentFileName);
  // The window stays in the transferring state while the user picks.
  files_->programPicker->ShowForSelectiveSend(EditorBytes(editor));
}

void MainWindow::SendSelectedPrograms(const SkipList& selection) {
  Transfers.Selection().SkipLines = selection.SkipLines;
  RunSend();
}

void MainWindow::CancelSelectiveSend() {
  ScreenSaverOn();
  completionTimer->start();
}

void MainWindow::StartRemainingTimeEstimate() { RemainingTimeWorker::StartEstimate(Transfers.Counters(), this); }

}  // namespace quelvo
