// SPDX-License-Identifier: GPL-3.0-or-later
// "比較…": the document against a file the user chooses, in the compare window.
#include <QFileInfo>

#include "core/compare/CompareReport.h"
#include "core/document/FileTexts.h"
#include "gui/dialogs/CompareDialog.h"
#include "gui/dialogs/OpenFileDialog.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::FileCompareClick() {
  FileDialogRequest request;
  request.filter = files_->FileFilter;
  request.filterIndex = Settings.maskNo;
  request.folder = files_->LastDialogFolder;
  request.preview = Settings.options.filePreview;
  const FileChoice choice = files_->FilePrompt.chooseOpenFile ? files_->FilePrompt.chooseOpenFile(this, request)
                                                      : OpenFileDialog::Choose(this, request, files_->FilePrompt);
  if (!choice.accepted) return;
  files_->LastDialogFolder = QFileInfo(choice.path).absolutePath();
  std::string text, error;
  if (!ReadProgramFile(choice.path.toStdString(), text, error)) {
    files_->FilePrompt.error(this, QString(), choice.path + kCannotRead + QString::fromStdString(error));
    return;
  }
  if (!compareDialog) compareDialog = new CompareDialog(this);
  const QString documentName =
      Document.CurrentFileName.empty() ? QString("<新規作成>") : QString::fromStdString(Document.CurrentFileName);
  compareDialog->SetPrograms(documentName, std::string(EditorBytes(editor)), choice.path, std::move(text));
  compareDialog->show();
  compareDialog->raise();
  compareDialog->activateWindow();
}

}  // namespace quelvo
