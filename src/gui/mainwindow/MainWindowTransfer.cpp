// SPDX-License-Identifier: GPL-3.0-or-later
// Send, receive, stop and the communication log as the main window reaches them.
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

// The tool buttons that a transfer locks: all but "中止".
// Every tool button but "中止" is locked during a transfer.
constexpr QToolButton* ToolButtons::*kLockedButtons[] = {
    &ToolButtons::newFile, &ToolButtons::open,  &ToolButtons::save,    &ToolButtons::cut,
    &ToolButtons::copy,    &ToolButtons::paste, &ToolButtons::undo,    &ToolButtons::print,
    &ToolButtons::receive, &ToolButtons::send,  &ToolButtons::settings, &ToolButtons::findNext,
    &ToolButtons::repeat};

}  // namespace

TransferResult MainWindow::RunTransfer(WindowTransferHost& host, TransferSession& session,
                                   const std::function<TransferResult()>& run) {
  TransferResult result;
  activeTransfer_ = &session;
  session.BeginRun();
  TransferThread::Run(
      this, [&] { result = run(); }, [&host] { host.DeliverEvents(); });
  activeTransfer_ = nullptr;
  if (closeAfterStop_) {
    // The close accepted during the transfer, now that the engine has let go
    // of the port and the document.
    closeAfterStop_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
  return result;
}

void MainWindow::StopTransfer(StopKind kind) {
  if (activeTransfer_ != nullptr) activeTransfer_->Stop(kind);
}

bool MainWindow::AskStopForClose() {
  return Host.ShowMessage("転送中です。中止して終了しますか？", "", MessageKind::kWarning,
                          MessageButtons::kYesNo) == MessageAnswer::kYes;
}

void MainWindow::CloseOnTerminate() {
  terminating_ = true;
  close();
}

void MainWindow::WireTransfer() {
  if (autoNumberDialog != nullptr) return;
  autoNumberDialog = new AutoNumberDialog(this);
  // OpenPort runs the sequence only while option op6 is "Y".
  Link.SetSelectionSequence([this] {
    return RunSelectionSequence(Link, Host, [this] { return autoNumberDialog->Ask(); });
  });
}

void MainWindow::SetTransferUi(bool enabled) {
  for (auto button : kLockedButtons) (tools.*button)->setEnabled(enabled);
  for (QMenu* menu : LockedMenus(Menus)) menu->menuAction()->setEnabled(enabled);
  // Shortcuts of the setting items work without their menu: lock them too.
  Menus.SetGroup->setEnabled(enabled);
  Menus.RestartSend->setEnabled(enabled);  // like "送信"
  if (!Transfer.LogViewMode) Menus.Log->menuAction()->setEnabled(enabled);

  if (enabled) {
    tools.stop->setEnabled(false);
    editor->setReadOnly(false);
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    editor->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0UL);
    editorFields.selection->setText(QString());
    editor->viewport()->repaint();
    transferStatus->hide();
    editorStatus->show();
    return;
  }
  if (Transfer.LogViewMode) return;
  tools.stop->setEnabled(true);
  transferStatus->show();
  editorStatus->hide();
}

void MainWindow::RequestCloseByUser() {
  App.CloseAfterTransfer = true;
  App.CloseUnattended = false;
}

void MainWindow::TransferFinished() {
  statusFields.repeatPass->setText(QString());
  completionTimer->stop();
  if (Settings.options.selectiveSend && CloseSelectionDialog) CloseSelectionDialog();
  SetTransferUi(true);
  EditMenuClick();

  const bool received = Transfer.ReceiveCompleted;
  if (received) OpenReceivedFile();
  ScreenSaverOn();
  ShowTransferPanel(false);
  // The mail notice of a send is the transfer session's completion step.
}

// "通信ログ": 1 shows the send log, 2 the receive log, 3 ends the view.
void MainWindow::LogItemClick(int tag) {
  logView->setFont(editor->font());
  logView->setReadOnly(false);
  logView->clear();
  logView->setWrapMode(QsciScintilla::WrapNone);
  logView->SetHorizontalScrollBar(true);
  editorStack->setCurrentWidget(logView);
  Transfer.LogViewMode = true;

  if (tag != 1 && tag != 2) {
    EndLogView();
    return;
  }
  const std::string path = CommLogFilePath(tag);
  std::string bytes, error;
  if (!ReadWholeFile(path, &bytes, &error)) {
    // A log that is there but is no regular file (or unreadable) is named with the reason.
    Host.ShowMessage(!QFile::exists(QString::fromStdString(path))
                         ? (tag == 1 ? "送信ログファイルが見つかりません。" : "受信ログファイルが見つかりません。")
                         : path + kCannotRead + error,
                     "", MessageKind::kError, MessageButtons::kOk);
    EndLogView();
    return;
  }
  logView->setText(QString::fromStdString(Cp932ToUtf8(bytes)));
  logView->setReadOnly(true);
  SetTransferUi(false);
}

void MainWindow::EndLogView() {
  Transfer.LogViewMode = false;
  editorStack->setCurrentWidget(editor);
  SetTransferUi(true);
  editor->setFocus();
}

// "中止": the running transfer's stop, as Esc, and the screen saver back on
// (a transfer switches it off). The stop is requested at once; the button
// also presses Esc, as it always has, for whatever else listens to the key.
void MainWindow::StopCommand() {
  StopTransfer(StopKind::kEsc);
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = this;
  QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  ScreenSaverOn();
}

}  // namespace quelvo
