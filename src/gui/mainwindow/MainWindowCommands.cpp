// SPDX-License-Identifier: GPL-3.0-or-later
// The command table wired: each menu item and tool button of the main window
// and the handler it calls, in the window or in one of its collaborators.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::WireCommands() {
  const MainMenus& m = commands_->Menus;
  const ToolButtons& buttons = commands_->tools;
  for (size_t i = 0; i < m.RecentFiles.size(); ++i) {
    const int index = static_cast<int>(i);
    connect(m.RecentFiles[i], &QAction::triggered, this, [this, index] { files_->RecentFileClick(index); });
  }
  connect(m.RestartSend, &QAction::triggered, this, &MainWindow::RestartSendClick);
  connect(m.CompareLibrary, &QAction::triggered, this, &MainWindow::CompareLibraryClick);
  connect(m.FileNew, &QAction::triggered, this, [this] { files_->FileNewClick(); });
  connect(m.FileOpen, &QAction::triggered, this, [this] { files_->FileOpenClick(); });
  connect(m.FileSave, &QAction::triggered, this, [this] { files_->FileSaveClick(); });
  connect(m.FileSaveAs, &QAction::triggered, this, [this] { files_->FileSaveAsClick(); });
  connect(m.opSave, &QAction::triggered, this, [this] { files_->opSaveClick(); });
  connect(m.FilePage, &QAction::triggered, this, [this] { desk_->PageSetup(); });
  connect(m.FilePrint, &QAction::triggered, this, [this] { desk_->Print(); });
  connect(m.DeskTop_set, &QAction::triggered, this, [this] { desk_->CreateDesktopShortcut(); });
  connect(m.SendTo_set, &QAction::triggered, this, [this] { desk_->RegisterSendTo(); });
  connect(m.FileCompare, &QAction::triggered, this, &MainWindow::FileCompareClick);
  connect(m.FileExit, &QAction::triggered, this, [this] { files_->FileExitClick(); });
  connect(m.Edit, &QMenu::aboutToShow, this, [this] { edit_->EditMenuClick(); });
  connect(m.EditUndo, &QAction::triggered, this, [this] { edit_->EditUndoClick(); });
  connect(m.EditCut, &QAction::triggered, this, [this] { edit_->EditCutClick(); });
  connect(m.EditCopy, &QAction::triggered, this, [this] { edit_->EditCopyClick(); });
  connect(m.EditPaste, &QAction::triggered, this, [this] { edit_->EditPasteClick(); });
  connect(m.EditDelete, &QAction::triggered, this, [this] { edit_->EditDeleteClick(); });
  connect(m.EditAll, &QAction::triggered, this, [this] { edit_->EditAllClick(); });
  connect(m.EditDate, &QAction::triggered, this, [this] { edit_->EditDateClick(); });
  connect(m.EditWrap, &QAction::triggered, this, [this] { edit_->EditWrapClick(); });
  connect(m.EditFont, &QAction::triggered, this, [this] { edit_->EditFontClick(); });
  connect(m.screen_color, &QAction::triggered, this, [this] { edit_->screen_colorClick(); });
  connect(m.font_color, &QAction::triggered, this, [this] { edit_->font_colorClick(); });
  connect(m.PlotOpen, &QAction::triggered, this, &MainWindow::PlotOpenClick);
  connect(m.FindDo, &QAction::triggered, this, [this] { desk_->Find(); });
  connect(m.FindNext, &QAction::triggered, this, [this] { desk_->FindNext(); });
  for (QAction* item : m.SetItems) {
    const int tag = item->data().toInt();  // the setting number
    connect(item, &QAction::triggered, this, [this, tag] { settings_->SettingItemClick(tag); });
  }
  connect(m.User_op, &QAction::triggered, this, [this] { files_->User_opClick(); });
  connect(m.setting_op, &QAction::triggered, this, [this] { settings_->setting_opClick(); });
  connect(m.view_op, &QAction::triggered, this, [this] { files_->view_opClick(); });
  connect(m.color_op, &QAction::triggered, this, [this] { settings_->color_opClick(); });
  for (QAction* item : m.LogItems) {
    const int tag = item->data().toInt();
    connect(item, &QAction::triggered, this, [this, tag] { transfers_->LogItemClick(tag); });
  }
  connect(m.LineMonitor, &QAction::triggered, this, &MainWindow::OpenLineMonitor);
  connect(m.Menu_ver, &QAction::triggered, this, [this] { desk_->ShowVersion(); });
  connect(buttons.newFile, &QToolButton::clicked, this, [this] { files_->FileNewClick(); });
  connect(buttons.open, &QToolButton::clicked, this, [this] { files_->FileOpenClick(); });
  connect(buttons.save, &QToolButton::clicked, this, [this] { files_->FileSaveClick(); });
  connect(buttons.cut, &QToolButton::clicked, this, [this] { edit_->EditCutClick(); });
  connect(buttons.copy, &QToolButton::clicked, this, [this] { edit_->EditCopyClick(); });
  connect(buttons.paste, &QToolButton::clicked, this, [this] { edit_->EditPasteClick(); });
  connect(buttons.undo, &QToolButton::clicked, this, [this] { edit_->EditUndoClick(); });
  connect(buttons.findNext, &QToolButton::clicked, this, [this] { desk_->FindNext(); });
  connect(buttons.print, &QToolButton::clicked, this, [this] { desk_->Print(); });
  connect(buttons.receive, &QToolButton::clicked, this, [this] { transfers_->ReceiveCommand(); });
  connect(buttons.send, &QToolButton::clicked, this, [this] { transfers_->SendCommand(1); });
  connect(buttons.repeat, &QToolButton::clicked, this, [this] { transfers_->SendCommand(2); });
  connect(buttons.settings, &QToolButton::clicked, this, [this] { settings_->OpenSettingsDialog(); });
  connect(buttons.stop, &QToolButton::clicked, this, [this] { transfers_->StopCommand(); });
}

}  // namespace quelvo
