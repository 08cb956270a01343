// SPDX-License-Identifier: GPL-3.0-or-later
// The receive command "受信" of TransferCommands, the automatic receive of the command line, and
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
#include "gui/mainwindow/TransferCommands.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool TransferCommands::OspSettingActive() const { return IsOspSetting(w_.Settings.setNo); }

void TransferCommands::ReceiveCommand() {
  if (w_.editor->isModified()) w_.files_->PromptSaveChanges(w_.Document.CurrentFileName);
  if (ReceiveHost->ShiftHeld()) RequestCloseByUser();
  w_.statusFields.repeatPass->setText(QString());
  if (OspSettingActive()) {
    ReceiveIntoOspFolder();
  } else {
    ReceiveIntoChosenFile();
  }
}

void TransferCommands::ReceiveIntoOspFolder() {
  const QString folder = w_.files_->FilePrompt.chooseFolder(&w_, Q(OspFolderCaption(w_.Settings.dirPath)), Q(w_.Settings.dirPath));
  if (folder.isEmpty()) return;
  const ReceiveTarget target = OspReceiveTarget(folder.toStdString());
  w_.App.TransferFileName = target.TransferFileName;
  w_.Settings.dirPath = target.DirPath;
  EnterReceiveState(ReceivingTitle(kOspTempFileName, w_.App.VersionSuffix));
  StartOspReceiveLog(w_.Log, w_.Settings.dirPath);
  RunReceiveEngine();
}

void TransferCommands::ReceiveIntoChosenFile() {
  const FileChoice choice = w_.files_->ExecuteSaveDialog(QString(), kReceiveDataDialogTitle);
  if (!choice.accepted) return;
  const std::string path = choice.path.toStdString();
  w_.App.TransferFileName = path;
  w_.Settings.maskNo = choice.filterIndex;
  EnterReceiveState(ReceivingTitle(path, w_.App.VersionSuffix));
  StartStandardReceiveLog(w_.Log, path);
  RunReceiveEngine();
}

void TransferCommands::RunAutomaticReceive() {
  EnterReceiveState(ReceivingTitle(w_.App.TransferFileName, w_.App.VersionSuffix));
  RunReceiveEngine(true);
}

void TransferCommands::EnterReceiveState(const std::string& title) {
  w_.setWindowTitle(Q(title));
  SetTransferUi(false);
  state.ReceiveCompleted = false;
  w_.files_->ClearDocumentText();
  w_.SetDocumentModified(false);
}

void TransferCommands::RunReceiveEngine(bool unattended) {
  ReceiveJob job;
  job.TransferFileName = w_.App.TransferFileName;
  job.unattended = unattended;
  job.DirPath = w_.Settings.dirPath;
  job.ospSetting = OspSettingActive();
  job.versionSuffix = w_.App.VersionSuffix;
  job.closeAfterTransfer = w_.App.CloseAfterTransfer;
  w_.editor->setFocus();
  w_.editor->viewport()->repaint();

  TransferSession session(w_.Link, *ReceiveHost, w_.Log, w_.Settings.options);
  w_.MonitorTransferStarting(TransferDirection::Receive);
  const TransferResult result = w_.RunTransfer(*ReceiveHost, session, [&] { return session.RunReceive(w_.Comm, job); });

  w_.App.TransferFileName = result.transferFileName;
  state.ReceiveCompleted = result.completed;
  if (!result.completed) {
    // What arrived is in the file (or was deleted with it), never in the w_.editor.
    w_.files_->ClearDocumentText();
    w_.SetDocumentModified(false);
    w_.editorFields.modified->setText(QString());
  } else if (result.closeProgram) {
    ReceiveHost->CloseProgram(result.powerOff);
  }
  w_.StartCompletionTimer();
}

void TransferCommands::OpenReceivedFile() {
  state.ReceiveCompleted = false;
  if (!w_.files_->LoadDocument(w_.App.TransferFileName)) return;
  if (w_.Settings.options.splitReceived) w_.files_->opSaveClick();
}

}  // namespace quelvo
