// SPDX-License-Identifier: GPL-3.0-or-later
// "途中から送信…": the document sent from one of its blocks on, behind a
// preamble that rebuilds the control's modal state (RestartDialog), through
// the send command's own path: same setting, codes, filter and log, the log
// naming the restart line.
#include <QCheckBox>

#include "core/toolpath/RestartPlan.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/send/SendCommand.h"
#include "gui/dialogs/RestartDialog.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/plot/PlotWindow.h"

namespace quelvo {

void MainWindow::RestartSendClick() {
  if (editor->length() == 0) {
    Host.ShowMessage("送信データが有りません。", "", MessageKind::kError, MessageButtons::kOk);
    return;
  }
  int caretLine = 0, caretIndex = 0;
  editor->getCursorPosition(&caretLine, &caretIndex);
  int line = caretLine + 1;
  QString reason;
  if (RestartProposal > 0) {
    line = RestartProposal;
    reason = QString("前回の送信は途中で中止されました。NC機が受け取った最後のﾌﾞﾛｯｸ (%1行目) を再開行として提案しています。")
                 .arg(line);
  }
  // The toolpath's switches, as the plot reads the document.
  InterpretOptions options;
  if (plotWindow != nullptr) {
    options.lathe = plotWindow->LatheBox()->isChecked();
    options.wholeUnits = plotWindow->WholeUnitsBox()->isChecked();
  }
  RestartDialog dialog(std::string(EditorBytes(editor)), line, options, reason, this);
  auto caretTo = [this](int chosen) {
    editor->setCursorPosition(chosen - 1, 0);
    editor->ensureLineVisible(chosen - 1);
  };
  connect(&dialog, &RestartDialog::LineChosen, this, caretTo);
  caretTo(dialog.Line());
  if (dialog.exec() != QDialog::Accepted || dialog.Plan().Refused()) return;
  RestartProposal = 0;

  statusFields.repeatPass->setText(QString());
  transfers_->sendPasses = SendCommandState{false, 0};
  transfers_->SetTransferUi(false);
  editor->setReadOnly(true);
  transfers_->state.ReceiveCompleted = false;
  if (Host.ShiftHeld()) transfers_->RequestCloseByUser();
  StartSendLog(Log, true, Document.CurrentFileName);
  Log.AppendLog(dialog.LogLine());

  // The preamble and the rest, never a program choice: nothing is skipped.
  Transfers.Selection().SkipLines.clear();
  RestartSending = RestartSendState{true, dialog.PreambleLineCount(), dialog.Line()};
  Host.SetSendDocument(DocumentLines(dialog.ProgramText()), dialog.PreambleLineCount(), dialog.Line() - 1);
  transfers_->RunSend();
  Host.ClearSendDocument();
  RestartSending = RestartSendState{};
}

void MainWindow::NoteStoppedSendForRestart() {
  RestartProposal = 0;
  const int shown = Host.LastLineShown();
  if (Transfers.LastSend().SendCompleted || shown < 0) return;
  if (!RestartSending.active) {
    RestartProposal = ProposedRestartLine(EditorBytes(editor), shown + 1);
    return;
  }
  // Stopped in the preamble: the restart line again; in the rest: its line in the editor.
  if (shown < RestartSending.preambleLines) {
    RestartProposal = RestartSending.line;
    return;
  }
  const int editorLine = RestartSending.line + (shown - RestartSending.preambleLines);
  const int proposed = ProposedRestartLine(EditorBytes(editor), editorLine);
  RestartProposal = proposed >= RestartSending.line ? proposed : RestartSending.line;
}

}  // namespace quelvo
