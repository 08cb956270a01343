// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/TransferCommands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/common/DateTimeText.h"
#include "core/document/FileTexts.h"
#include "core/transfer/link/SelectionSequence.h"
#include "gui/desktop/ScreenSaver.h"
#include "gui/dialogs/AutoNumberDialog.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/TransferThread.h"

namespace quelvo {

namespace {

// The menus that a transfer locks, besides "通信ログ".
std::array<QMenu*, 6> LockedMenus(const MainMenus& m) {
  return {m.File, m.Edit, m.Find, m.Setting, m.Option, m.Help};
}

// Every tool button but "中止" is locked during a transfer.
constexpr QToolButton* ToolButtons::*kLockedButtons[] = {
    &ToolButtons::newFile, &ToolButtons::open,  &ToolButtons::save,    &ToolButtons::cut,
    &ToolButtons::copy,    &ToolButtons::paste, &ToolButtons::undo,    &ToolButtons::print,
    &ToolButtons::receive, &ToolButtons::send,  &ToolButtons::settings, &ToolButtons::findNext,
    &ToolButtons::repeat};

}  // namespace

TransferCommands::TransferCommands(MainWindow& window) : ReceiveHost(&window.Host), w_(window) {}

void TransferCommands::WireTransfer() {
  if (autoNumberDialog != nullptr) return;
  autoNumberDialog = new AutoNumberDialog(&w_);
  // OpenPort runs the sequence only while option op6 is "Y".
  w_.Link.SetSelectionSequence([this] {
    return RunSelectionSequence(w_.Link, w_.Host, [this] { return autoNumberDialog->Ask(); });
  });
}

void TransferCommands::SetTransferUi(bool enabled) {
  for (auto button : kLockedButtons) (w_.Commands().tools.*button)->setEnabled(enabled);
  for (QMenu* menu : LockedMenus(w_.Commands().Menus)) menu->menuAction()->setEnabled(enabled);
  // Shortcuts of the setting items work without their menu: lock them too.
  w_.Commands().Menus.SetGroup->setEnabled(enabled);
  w_.Commands().Menus.RestartSend->setEnabled(enabled);  // like "送信"
  if (!state.LogViewMode) w_.Commands().Menus.Log->menuAction()->setEnabled(enabled);

  if (enabled) {
    w_.Commands().tools.stop->setEnabled(false);
    w_.editor->setReadOnly(false);
    w_.editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    w_.editor->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0UL);
    w_.editorFields.selection->setText(QString());
    w_.editor->viewport()->repaint();
    w_.transferStatus->hide();
    w_.editorStatus->show();
    return;
  }
  if (state.LogViewMode) return;
  w_.Commands().tools.stop->setEnabled(true);
  w_.transferStatus->show();
  w_.editorStatus->hide();
}

void TransferCommands::RequestCloseByUser() {
  w_.App.CloseAfterTransfer = true;
  w_.App.CloseUnattended = false;
}

void TransferCommands::TransferFinished() {
  w_.statusFields.repeatPass->setText(QString());
  w_.completionTimer->stop();
  if (w_.Settings.options.selectiveSend && CloseSelectionDialog) CloseSelectionDialog();
  SetTransferUi(true);
  w_.edit_->EditMenuClick();

  const bool received = state.ReceiveCompleted;
  if (received) OpenReceivedFile();
  ScreenSaverOn();
  w_.ShowTransferPanel(false);
  // The mail notice of a send is the transfer session's completion step.
}

// "通信ログ": 1 shows the send log, 2 the receive log, 3 ends the view.
void TransferCommands::LogItemClick(int tag) {
  w_.logView->setFont(w_.editor->font());
  w_.logView->setReadOnly(false);
  w_.logView->clear();
  w_.logView->setWrapMode(QsciScintilla::WrapNone);
  w_.logView->SetHorizontalScrollBar(true);
  w_.editorStack->setCurrentWidget(w_.logView);
  state.LogViewMode = true;

  if (tag != 1 && tag != 2) {
    EndLogView();
    return;
  }
  const std::string path = CommLogFilePath(tag);
  std::string bytes, error;
  if (!ReadWholeFile(path, &bytes, &error)) {
    // A log that is there but is no regular file (or unreadable) is named with the reason.
    w_.Host.ShowMessage(!QFile::exists(QString::fromStdString(path))
                         ? (tag == 1 ? "送信ログファイルが見つかりません。" : "受信ログファイルが見つかりません。")
                         : path + kCannotRead + error,
                     "", MessageKind::kError, MessageButtons::kOk);
    EndLogView();
    return;
  }
  w_.logView->setText(QString::fromStdString(Cp932ToUtf8(bytes)));
  w_.logView->setReadOnly(true);
  SetTransferUi(false);
}

void TransferCommands::EndLogView() {
  state.LogViewMode = false;
  w_.editorStack->setCurrentWidget(w_.editor);
  SetTransferUi(true);
  w_.editor->setFocus();
}

// "中止": the running transfer's stop, as Esc, and the screen saver back on
// (a transfer switches it off). The stop is requested at once; the button
// also presses Esc, as it always has, for whatever else listens to the key.
void TransferCommands::StopCommand() {
  w_.StopTransfer(StopKind::kEsc);
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = &w_;
  QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  ScreenSaverOn();
}

}  // namespace quelvo
