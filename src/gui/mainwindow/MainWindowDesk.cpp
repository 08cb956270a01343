// SPDX-License-Identifier: GPL-3.0-or-later
// Find, printing, desktop integration and help commands of the main window.
#include "gui/desktop/ShellHelp.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/PrintSheet.h"
#include "gui/editor/EditorFind.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::CreateDeskWindows() {
  printSheet = new PrintSheet(this);  // a window of its own, never shown
  printSheet->setObjectName("printSheet");
  findDialog = new FindDialog(this);
  findDialog->setObjectName("findDialog");
  connect(findDialog, &FindDialog::findRequested, this, &MainWindow::FindDialogSearch);
}

// ---- Find ----

void MainWindow::FindDoClick() { findDialog->showFind(); }

void MainWindow::FindDialogSearch() { FindNextClick(); }

// One search with the text and direction the dialog holds, shown or not.
void MainWindow::FindNextClick() {
  FindInEditorOrTell(editor, findDialog->findText(), findDialog->direction(), this);
  UpdateCaretPosition();
}

// ---- Printing ----

void MainWindow::FilePageClick() { printSheet->PageSetupWithDialog(this); }

void MainWindow::FilePrintClick() {
  const QString name = QString::fromStdString(Document.CurrentFileName);
  PrintChoice choice;
  const bool chosen = ChoosePrint ? ChoosePrint(choice)
                                  : printSheet->ChooseWithDialog(editor, name, this, choice);
  if (chosen) printSheet->Print(editor, name, choice);
}

// ---- Desktop and help ----

void MainWindow::DeskTop_setClick() { CreateShellShortcut(ShortcutKind::Desktop); }

void MainWindow::SendTo_setClick() { CreateShellShortcut(ShortcutKind::SendTo); }

void MainWindow::Menu_verClick() { ShowAboutBox(this, QString::fromStdString(App.VersionSuffix)); }

}  // namespace quelvo
