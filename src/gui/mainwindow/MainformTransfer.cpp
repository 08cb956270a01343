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
#include "gui/dialogs/Autono.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/TransferThread.h"

namespace quelvo {

namespace {

// The menus that a transfer locks, besides "通信ログ".
std::array<QMenu*, 6> LockedMenus(const MainMenus& m) {
  return {m.File, m.Edit, m.Find, m.Setting, m.Option, m.Help};
}

// The tool buttons that a transfer locks: all but "中止".
constexpr int kLockedButtons[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15};

}  // namespace

TransferResult TForm1::RunTransfer(WindowTransferHost& host, TransferSession& session,
                                   const std::function<TransferResult()>& run) {
  TransferResult result;
  activeTransfer_ = &session;
  session.BeginRun();
  TransferThread::Run(
      this, [&] { result = run(); }, [&host] { host.DeliverEvents(); });
  activeTransfer_ = nullptr;
  MonitorTransferEnded();
  if (closeAfterStop_) {
    // The close accepted during the transfer, now that the engine has let go
    // of the port and the document.
    closeAfterStop_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
  return result;
}

void TForm1::StopTransfer(StopKind kind) {
  if (activeTransfer_ != nullptr) activeTransfer_->Stop(kind);
}

bool TForm1::AskStopForClose() {
  return Host.ShowMessage("転送中です。中止して終了しますか？", "", MessageKind::kWarning,
                          MessageButtons::kYesNo) == MessageAnswer::kYes;
}

void TForm1::CloseOnTerminate() {
  terminating_ = true;
  close();
}

void TForm1::WireTransfer() {
  if (AutoForm != nullptr) return;
  AutoForm = new TAutoForm(this);
  // OpenPort runs the sequence only while option op6 is "Y".
  Link.SetSelectionSequence([this] {
    return RunSelectionSequence(Link, Host, [this] { return AutoForm->Ask(); });
  });
}

void TForm1::SetTransferUi(bool enabled) {
  for (int n : kLockedButtons) Buttons[n]->setEnabled(enabled);
  for (QMenu* menu : LockedMenus(Menus)) menu->menuAction()->setEnabled(enabled);
  // Shortcuts of the setting items work without their menu: lock them too.
  Menus.SetGroup->setEnabled(enabled);
  Menus.RestartSend->setEnabled(enabled);  // like "送信"
  if (!Transfer.LogViewMode) Menus.Log->menuAction()->setEnabled(enabled);

  if (enabled) {
    Buttons[13]->setEnabled(false);
    RichEdit1->setReadOnly(false);
    RichEdit1->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    RichEdit1->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0UL);
    StatusBar1->SetPanelText(4, QString());
    RichEdit1->viewport()->repaint();
    StatusBar2->hide();
    StatusBar1->show();
    return;
  }
  if (Transfer.LogViewMode) return;
  Buttons[13]->setEnabled(true);
  StatusBar2->show();
  StatusBar1->hide();
}

void TForm1::RequestCloseByUser() {
  App.CloseAfterTransfer = true;
  App.CloseUnattended = false;
}

void TForm1::Timer1Timer() {
  StatusBar2->SetPanelText(6, QString());
  Timer1->stop();
  if (Settings.options.selectiveSend && CloseSelectionDialog) CloseSelectionDialog();
  SetTransferUi(true);
  EditMenuClick();

  const bool received = Transfer.ReceiveCompleted;
  if (received) Timer1ReceiveBranch();
  ScreenSaverOn();
  ShowTransferPanel(false);
  // The mail notice of a send is the transfer session's completion step.
}

// "通信ログ": 1 shows the send log, 2 the receive log, 3 ends the view.
void TForm1::Menu_sendClick(int tag) {
  RichEdit2->setFont(RichEdit1->font());
  RichEdit2->setReadOnly(false);
  RichEdit2->clear();
  RichEdit2->setWrapMode(QsciScintilla::WrapNone);
  RichEdit2->SetHorizontalScrollBar(true);
  EditorStack->setCurrentWidget(RichEdit2);
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
  RichEdit2->setText(QString::fromStdString(Cp932ToUtf8(bytes)));
  RichEdit2->setReadOnly(true);
  SetTransferUi(false);
}

void TForm1::EndLogView() {
  Transfer.LogViewMode = false;
  EditorStack->setCurrentWidget(RichEdit1);
  SetTransferUi(true);
  RichEdit1->setFocus();
}

// "中止": the running transfer's stop, as Esc, and the screen saver back on
// (a transfer switches it off). The stop is requested at once; the button
// also presses Esc, as it always has, for whatever else listens to the key.
void TForm1::SpeedButton13Click() {
  StopTransfer(StopKind::kEsc);
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = this;
  QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  ScreenSaverOn();
}

}  // namespace quelvo
