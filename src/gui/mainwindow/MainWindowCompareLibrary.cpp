// SPDX-License-Identifier: GPL-3.0-or-later
// "ライブラリの最終受信と比較…": the document against the last revision of its
// program that a control sent back to the shop service, read from the
// service's library folder (a git repository). The folder is asked for each
// time, starting at the one chosen last (kept in the program settings).
#include "core/dnc/ProgramHistory.h"
#include "gui/dialogs/CompareDialog.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::CompareLibraryClick() {
  const QString start = QString::fromStdString(Settings.serviceLibrary.empty() ? Settings.dirPath : Settings.serviceLibrary);
  const QString folder = files_->FilePrompt.chooseFolder(this, "DNC サービスのライブラリ フォルダを選んでください", start);
  if (folder.isEmpty()) return;
  Settings.serviceLibrary = folder.toStdString();
  const std::string bytes(EditorBytes(editor));
  ReceivedRevisionText revision;
  std::string error;
  if (!LastReceivedForDocument(Settings.serviceLibrary, bytes, Document.CurrentFileName, &revision, &error)) {
    files_->FilePrompt.error(this, "比較", "ライブラリの最終受信と比較できません: " + QString::fromStdString(error));
    return;
  }
  if (!compareDialog) compareDialog = new CompareDialog(this);
  const QString documentName =
      Document.CurrentFileName.empty() ? QString("<新規作成>") : QString::fromStdString(Document.CurrentFileName);
  compareDialog->SetPrograms(documentName, bytes, QString::fromStdString(revision.name), std::move(revision.text));
  compareDialog->show();
  compareDialog->raise();
  compareDialog->activateWindow();
}

}  // namespace quelvo
