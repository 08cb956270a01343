// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/DeskCommands.h"

#include "core/document/DocumentState.h"
#include "gui/desktop/ShellHelp.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/PrintSheet.h"
#include "gui/editor/EditorFind.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

DeskCommands::DeskCommands(QWidget& window, NcEdit& editor, const DocumentState& document,
                           const AppState& app, std::function<void()> caretMoved)
    : findDialog(nullptr),
      printSheet(new PrintSheet(&window)),  // a window of its own, never shown
      window_(window),
      editor_(editor),
      document_(document),
      app_(app),
      caretMoved_(std::move(caretMoved)) {
  printSheet->setObjectName("printSheet");
  findDialog = new FindDialog(&window);
  findDialog->setObjectName("findDialog");
  // The dialog's button searches once, as "次を検索" does.
  QObject::connect(findDialog, &FindDialog::findRequested, findDialog, [this] { FindNext(); });
}

// ---- Find ----

void DeskCommands::Find() { findDialog->showFind(); }

void DeskCommands::FindNext() {
  FindInEditorOrTell(&editor_, findDialog->findText(), findDialog->direction(), &window_);
  if (caretMoved_) caretMoved_();
}

// ---- Printing ----

void DeskCommands::PageSetup() { printSheet->PageSetupWithDialog(&window_); }

void DeskCommands::Print() {
  const QString name = QString::fromStdString(document_.CurrentFileName);
  PrintChoice choice;
  const bool chosen = ChoosePrint ? ChoosePrint(choice)
                                  : printSheet->ChooseWithDialog(&editor_, name, &window_, choice);
  if (chosen) printSheet->Print(&editor_, name, choice);
}

// ---- Desktop and help ----

void DeskCommands::CreateDesktopShortcut() { CreateShellShortcut(ShortcutKind::Desktop); }

void DeskCommands::RegisterSendTo() { CreateShellShortcut(ShortcutKind::SendTo); }

void DeskCommands::ShowVersion() { ShowAboutBox(&window_, QString::fromStdString(app_.VersionSuffix)); }

}  // namespace quelvo
