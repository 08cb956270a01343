// SPDX-License-Identifier: GPL-3.0-or-later
// The send command as the main window runs it: "送信" (tag 1) and "ﾘﾋﾟｰﾄ"
// (tag 2), the selective send through the program list dialog Form3, and
// Timer2, whose tick starts the remaining-time worker.
#include <QTimer>

#include "core/transfer/SendProgressText.h"
#include "core/transfer/send/SendCommand.h"
#include "gui/desktop/ScreenSaver.h"
#include "gui/dialogs/Readform.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/Sendtime.h"

namespace quelvo {

namespace {
constexpr char kNoSendData[] = "送信データが有りません。";
}  // namespace

void TForm1::SpeedButton10Click(int tag) {
  if (tag == 1) {
    StatusBar2->SetPanelText(6, QString());
    SendCommand = SendCommandState{false, 0};
  } else {
    SendCommand = SendCommandState{true, 1};
    StatusBar2->SetPanelText(6, QString::fromStdString(RepeatCounterText(1)));
  }

  // Nothing to send: offer the open command, then give up if still nothing.
  if (RichEdit1->length() == 0) FileOpenClick();
  if (RichEdit1->length() == 0) {
    Host.ShowMessage(kNoSendData, "", MessageKind::kError, MessageButtons::kOk);
    return;
  }

  SetTransferUi(false);
  RichEdit1->setReadOnly(true);
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

void TForm1::RunSend() {
  SendJob job;
  job.setting = Comm;
  job.SetNo = Settings.setNo;
  job.CurrentFileName = Document.CurrentFileName;
  job.VersionSuffix = App.VersionSuffix;
  job.RepeatMode = SendCommand.RepeatMode;
  job.RepeatCount = SendCommand.RepeatCount;
  job.CloseAfterTransfer = App.CloseAfterTransfer;
  job.DocumentModified = RichEdit1->isModified();
  Host.ForgetLastLineShown();
  std::vector<std::string> lines = Host.DocumentSnapshot();
  MonitorTransferStarting(TransferDirection::Send);
  const TransferResult result =
      RunTransfer(Host, Transfers, [&] { return Transfers.RunSend(job, std::move(lines)); });
  NoteStoppedSendForRestart();
  if (result.closeProgram) Host.CloseProgram(result.powerOff);
  StartCompletionTimer();
  App.TransferFileName = Transfers.LastSend().TransferFileName;
  SendCommand.RepeatCount = Transfers.LastSend().RepeatCount;
}

void TForm1::OpenSelectiveSend() {
  // Wired once: the dialog lives as long as the window.
  connect(Form3, &TForm3::SelectiveSendRequested, this, &TForm1::Form3SelectiveSend,
          Qt::UniqueConnection);
  connect(Form3, &TForm3::SelectiveSendCancelled, this, &TForm1::Form3SelectiveCancel,
          Qt::UniqueConnection);
  // Closed by Timer1 after the send: no cancel report, which would start Timer1 again.
  CloseSelectionDialog = [this] { Form3->CloseAfterSend(); };

  StartSendLog(Log, false, Document.CurrentFileName);
  // The window stays in the transferring state while the user picks.
  Form3->ShowForSelectiveSend(EditorBytes(RichEdit1));
}

void TForm1::Form3SelectiveSend(const SkipList& selection) {
  Transfers.Selection().SkipLines = selection.SkipLines;
  RunSend();
}

void TForm1::Form3SelectiveCancel() {
  ScreenSaverOn();
  Timer1->start();
}

void TForm1::Timer2Timer() { TSendTime::StartEstimate(Transfers.Counters(), this); }

}  // namespace quelvo
