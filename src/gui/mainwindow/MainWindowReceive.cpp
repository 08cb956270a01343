// SPDX-License-Identifier: GPL-3.0-or-later
// The receive command "受信", the automatic receive of the command line, and
// what the window does with a reception: where the data goes (a file the user
// names, or "osp_data.tmp" in a folder for an OSP control that names its own
// file), the transferring state and the log around the receive engine, and,
// when completionTimer fires after a saved reception, the received file opened as the
// document (and split by program number with op2).
#include <QString>

#include "core/settings/SettingSlots.h"
#include "core/transfer/receive/ReceiveCommand.h"
#include "core/transfer/receive/ReceiveTitles.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool MainWindow::OspSettingActive() const { return IsOspSetting(Settings.setNo); }

void MainWindow::ReceiveCommand() {
  if (editor->isModified()) files_->PromptSaveChanges(Document.CurrentFileName);
  if (ReceiveHost->ShiftHeld()) RequestCloseByUser();
  statusFields.repeatPass->setText(QString());
  if (OspSettingActive()) {
    ReceiveIntoOspFolder();
  } else {
    ReceiveIntoChosenFile();
  }
}

void MainWindow::ReceiveIntoOspFolder() {
  const QString folder = files_->FilePrompt.chooseFolder(this, Q(OspFolderCaption(Settings.dirPath)), Q(Settings.dirPath));
  if (folder.isEmpty()) return;
  const ReceiveTarget target = OspReceiveTarget(folder.toStdString());
  App.TransferFileName = target.TransferFileName;
  Settings.dirPath = target.DirPath;
  EnterReceiveState(ReceivingTitle(kOspTempFileName, App.VersionSuffix));
  StartOspReceiveLog(Log, Settings.dirPath);
  RunReceiveEngine();
}

void MainWindow::ReceiveIntoChosenFile() {
  const FileChoice choice = files_->ExecuteSaveDialog(QString(), kReceiveDataDialogTitle);
  if (!choice.accepted) return;
  const std::string path = choice.path.toStdString();
  App.TransferFileName = path;
  Settings.maskNo = choice.filterIndex;
  EnterReceiveState(ReceivingTitle(path, App.VersionSuffix));
  StartStandardReceiveLog(Log, path);
  RunReceiveEngine();
}

void MainWindow::RunAutomaticReceive() {
  EnterReceiveState(ReceivingTitle(App.TransferFileName, App.VersionSuffix));
  RunReceiveEngine(true);
}

void MainWindow::EnterReceiveState(const std::string& title) {
  setWindowTitle(Q(title));
  SetTransferUi(false);
  Transfer.ReceiveCompleted = false;
  files_->ClearDocumentText();
  SetDocumentModified(false);
}

void MainWindow::RunReceiveEngine(bool unattended) {
  ReceiveJob job;
  job.TransferFileName = App.TransferFileName;
  job.unattended = unattended;
  job.DirPath = Settings.dirPath;
  job.ospSetting = OspSettingActive();
  job.versionSuffix = App.VersionSuffix;
  job.closeAfterTransfer = App.CloseAfterTransfer;
  editor->setFocus();
  editor->viewport()->repaint();

  TransferSession session(Link, *ReceiveHost, Log, Settings.options);
  const TransferResult result = RunTransfer(*ReceiveHost, session, [&] { return session.RunReceive(Comm, job); });

  App.TransferFileName = result.transferFileName;
  Transfer.ReceiveCompleted = result.completed;
  if (!result.completed) {
    // What arrived is in the file (or was deleted with it), never in the editor.
    files_->ClearDocumentText();
    SetDocumentModified(false);
    editorFields.modified->setText(QString());
  } else if (result.closeProgram) {
    ReceiveHost->CloseProgram(result.powerOff);
  }
  StartCompletionTimer();
}

void MainWindow::OpenReceivedFile() {
  Transfer.ReceiveCompleted = false;
  if (!files_->LoadDocument(App.TransferFileName)) return;
  if (Settings.options.splitReceived) files_->opSaveClick();
}

}  // namespace quelvo
