// SPDX-License-Identifier: GPL-3.0-or-later
// Find, printing, desktop integration and help commands of the main window.
#include "gui/desktop/ShellHelp.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/Print.h"
#include "gui/editor/EditorFind.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"

namespace quelvo {

void TForm1::CreateDeskWindows() {
  PrintForm = new TPrintForm(this);  // a window of its own, never shown
  PrintForm->setObjectName("PrintForm");
  FindDialog1 = new FindDialog(this);
  FindDialog1->setObjectName("FindDialog1");
  connect(FindDialog1, &FindDialog::findRequested, this, &TForm1::FindDialog1Find);
}

// ---- Find ----

void TForm1::FindDoClick() { FindDialog1->showFind(); }

void TForm1::FindDialog1Find() { FindNextClick(); }

// One search with the text and direction the dialog holds, shown or not.
void TForm1::FindNextClick() {
  FindInEditorOrTell(RichEdit1, FindDialog1->findText(), FindDialog1->direction(), this);
  UpdateCaretPosition();
}

// ---- Printing ----

void TForm1::FilePageClick() { PrintForm->PageSetupWithDialog(this); }

void TForm1::FilePrintClick() {
  const QString name = QString::fromStdString(Document.CurrentFileName);
  PrintChoice choice;
  const bool chosen = ChoosePrint ? ChoosePrint(choice)
                                  : PrintForm->ChooseWithDialog(RichEdit1, name, this, choice);
  if (chosen) PrintForm->Print(RichEdit1, name, choice);
}

// ---- Desktop and help ----

void TForm1::DeskTop_setClick() { CreateShellShortcut(ShortcutKind::Desktop); }

void TForm1::SendTo_setClick() { CreateShellShortcut(ShortcutKind::SendTo); }

void TForm1::Menu_verClick() { ShowAboutBox(this, QString::fromStdString(App.VersionSuffix)); }

}  // namespace quelvo
