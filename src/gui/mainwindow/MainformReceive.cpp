// SPDX-License-Identifier: GPL-3.0-or-later
// The receive command "受信", the automatic receive of the command line, and
// what the window does with a reception: where the data goes (a file the user
// names, or "osp_data.tmp" in a folder for an OSP control that names its own
// file), the transferring state and the log around the receive engine, and,
// when Timer1 fires after a saved reception, the received file opened as the
// document (and split by program number with op2).
#include <QString>

#include "core/settings/SettingSlots.h"
#include "core/transfer/receive/ReceiveCommand.h"
#include "core/transfer/receive/ReceiveTitles.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool TForm1::OspSettingActive() const { return IsOspSetting(Settings.setNo); }

void TForm1::SpeedButton9Click() {
  if (RichEdit1->isModified()) PromptSaveChanges(Document.CurrentFileName);
  if (ReceiveHost->ShiftHeld()) RequestCloseByUser();
  StatusBar2->SetPanelText(6, QString());
  if (OspSettingActive()) {
    ReceiveIntoOspFolder();
  } else {
    ReceiveIntoChosenFile();
  }
}

void TForm1::ReceiveIntoOspFolder() {
  const QString folder = FilePrompt.chooseFolder(this, Q(OspFolderCaption(Settings.dirPath)), Q(Settings.dirPath));
  if (folder.isEmpty()) return;
  const ReceiveTarget target = OspReceiveTarget(folder.toStdString());
  App.TransferFileName = target.TransferFileName;
  Settings.dirPath = target.DirPath;
  EnterReceiveState(ReceivingTitle(kOspTempFileName, App.VersionSuffix));
  StartOspReceiveLog(Log, Settings.dirPath);
  RunReceiveEngine();
}

void TForm1::ReceiveIntoChosenFile() {
  const FileChoice choice = ExecuteSaveDialog(QString(), kReceiveDataDialogTitle);
  if (!choice.accepted) return;
  const std::string path = choice.path.toStdString();
  App.TransferFileName = path;
  Settings.maskNo = choice.filterIndex;
  EnterReceiveState(ReceivingTitle(path, App.VersionSuffix));
  StartStandardReceiveLog(Log, path);
  RunReceiveEngine();
}

void TForm1::RunAutomaticReceive() {
  EnterReceiveState(ReceivingTitle(App.TransferFileName, App.VersionSuffix));
  RunReceiveEngine(true);
}

void TForm1::EnterReceiveState(const std::string& title) {
  setWindowTitle(Q(title));
  SetTransferUi(false);
  Transfer.ReceiveCompleted = false;
  ClearDocumentText();
  SetDocumentModified(false);
}

void TForm1::RunReceiveEngine(bool unattended) {
  ReceiveJob job;
  job.TransferFileName = App.TransferFileName;
  job.unattended = unattended;
  job.DirPath = Settings.dirPath;
  job.ospSetting = OspSettingActive();
  job.versionSuffix = App.VersionSuffix;
  job.closeAfterTransfer = App.CloseAfterTransfer;
  RichEdit1->setFocus();
  RichEdit1->viewport()->repaint();

  TransferSession session(Link, *ReceiveHost, Log, Settings.options);
  MonitorTransferStarting(TransferDirection::Receive);
  const TransferResult result = RunTransfer(*ReceiveHost, session, [&] { return session.RunReceive(Comm, job); });

  App.TransferFileName = result.transferFileName;
  Transfer.ReceiveCompleted = result.completed;
  if (!result.completed) {
    // What arrived is in the file (or was deleted with it), never in the editor.
    ClearDocumentText();
    SetDocumentModified(false);
    StatusBar1->SetPanelText(2, QString());
  } else if (result.closeProgram) {
    ReceiveHost->CloseProgram(result.powerOff);
  }
  StartCompletionTimer();
}

void TForm1::Timer1ReceiveBranch() {
  Transfer.ReceiveCompleted = false;
  if (!LoadDocument(App.TransferFileName)) return;
  if (Settings.options.splitReceived) opSaveClick();
}

}  // namespace quelvo
