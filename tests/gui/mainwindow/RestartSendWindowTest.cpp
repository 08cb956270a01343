// SPDX-License-Identifier: GPL-3.0-or-later
// "途中から送信…" in the main window (its places in the menus are in the
// menu tests): the dialog for
// the caret's line with its preamble, refusals and offered line, the send of
// preamble and rest through the normal send to a pseudo-terminal that plays
// the control (bytes and log checked), the item locked while a transfer runs,
// and the line a stopped send proposes.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "core/toolpath/RestartPlan.h"
#include "gui/dialogs/RestartDialog.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/plot/PlotView.h"
#include "support/WindowSendControl.h"
#include "support/WindowTestHome.h"

using quelvo::MessageAnswer;
using quelvo::MessageButtons;
using quelvo::MessageKind;
using quelvo::RestartDialog;
using quelvo::MainWindow;

namespace {

constexpr char kDc1 = 0x11;
constexpr char kPause = static_cast<char>(0x93);

using quelvo::test::PtyControl;
using quelvo::test::Script;

RestartDialog* OpenDialog() { return qobject_cast<RestartDialog*>(QApplication::activeModalWidget()); }

const char kProgram[] =
    "%\r\nO1001 (POCKET)\r\nG21 G17 G90 G54\r\nT1 M06\r\nG00 X0 Y0 S1200 M03\r\nG43 Z50. H1 M08\r\n"
    "G01 Z-1. F150.\r\nN110 X40. F300.\r\nG41 D1 Y20.\r\nN130 X0\r\nG40 Y0\r\nG00 Z50. M09\r\nM30\r\n%";

}  // namespace

class RestartSendWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void caretLineRestartSendsPreambleAndRestThroughTheSend();
  void refusedRestartOffersTheLineToRestartAt();
  void stoppedSendProposesTheBlockTheControlHadTaken();

 private:
  void MakeForm(const QString& document);

  quelvo::test::WindowTestHome* home_ = nullptr;
  MainWindow* form_ = nullptr;
  PtyControl* control_ = nullptr;
};

void RestartSendWindowTest::init() {
  home_ = new quelvo::test::WindowTestHome;
  control_ = new PtyControl;
  QVERIFY(!control_->SlavePath().empty());
}

void RestartSendWindowTest::cleanup() {
  delete form_;
  form_ = nullptr;
  delete control_;
  delete home_;
}

void RestartSendWindowTest::MakeForm(const QString& document) {
  form_ = new MainWindow;
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  form_->Comm.Port_S = control_->SlavePath();
  form_->Host.SetMessageFunction([](const std::string&, const std::string&, MessageKind, MessageButtons buttons) {
    return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kYes;
  });
  form_->editor->setText(document);
  form_->editor->setModified(false);
}

void RestartSendWindowTest::caretLineRestartSendsPreambleAndRestThroughTheSend() {
  MakeForm(kProgram);
  MainWindow& form = *form_;
  PtyControl& control = *control_;
  form.editor->setCursorPosition(7, 0);  // "N110 X40. F300."
  int proposed = 0;
  QString preamble, block;
  bool highlighted = false;
  QTimer::singleShot(0, [&] {
    RestartDialog* dialog = OpenDialog();
    if (!dialog) return;
    proposed = dialog->LineBox()->value();
    preamble = dialog->PreambleEdit()->toPlainText();
    block = dialog->BlockLabel()->text();
    highlighted = dialog->Plot()->Highlight() >= 0;
    // The machinist adds a line of his own.
    dialog->PreambleEdit()->setPlainText(dialog->PreambleEdit()->toPlainText() + "M01\n");
    if (!qEnvironmentVariableIsEmpty("QUELVO_RESTART_SHOT")) dialog->grab().save(qgetenv("QUELVO_RESTART_SHOT"));
    dialog->SendButton()->click();
  });
  bool lockedWhileSending = false;
  Script script({
      [&] {
        if (form.statusFields.phase->text() != "送信待機中") return false;
        lockedWhileSending = !form.Commands().Menus.RestartSend->isEnabled() && !form.Commands().tools.send->isEnabled();
        control.Send(kDc1);
        return true;
      },
  });
  form.Commands().Menus.RestartSend->trigger();  // runs the whole send
  QVERIFY(script.Finished());
  QCOMPARE(proposed, 8);
  QCOMPARE(block, QString("再開ﾌﾞﾛｯｸ: N110 X40. F300."));
  QVERIFY(highlighted);
  QCOMPARE(preamble, QString("%\nO1001 (POCKET)\n(RESTART L8)\nG21 G17 G90 G54 F150.\nT1 M06\nS1200 M03\nM08\n"
                             "G00 G43 Z50. H1\nG00 X0. Y0.\nG01 Z-1.\n"));
  QVERIFY(lockedWhileSending);
  // The control got the preamble as edited and the rest, line by line as a send writes them.
  control.Drain();
  const std::string wire = control.ReceivedWithoutParity();
  QCOMPARE(wire, std::string("O1001 (POCKET)\n(RESTART L8)\nG21 G17 G90 G54 F150.\nT1 M06\nS1200 M03\nM08\n"
                             "G00 G43 Z50. H1\nG00 X0. Y0.\nG01 Z-1.\nM01\nN110 X40. F300.\nG41 D1 Y20.\n"
                             "N130 X0\nG40 Y0\nG00 Z50. M09\nM30\n\n%"));
  QVERIFY2(form.Log.Text().find("  送信完了\n") != std::string::npos, form.Log.Text().c_str());
  const std::string& log = form.Log.Text();
  QVERIFY2(log.find("  全データを送信\n") != std::string::npos, log.c_str());
  QVERIFY2(log.find("  途中から送信 再開行は8行目: N110 X40. F300.\n") != std::string::npos, log.c_str());
  // The editor keeps the document as it was.
  QCOMPARE(form.editor->text(), QString(kProgram));
  form.completionTimer->setInterval(10);
  QTRY_VERIFY_WITH_TIMEOUT(form.Commands().Menus.RestartSend->isEnabled(), 3000);
}

void RestartSendWindowTest::refusedRestartOffersTheLineToRestartAt() {
  MakeForm(kProgram);
  form_->editor->setCursorPosition(9, 0);  // "N130 X0" under G41
  bool refused = false, offered = false, sendsAfterOffer = false, caretFollows = false;
  int after = 0;
  QString note;
  QTimer::singleShot(0, [&] {
    RestartDialog* dialog = OpenDialog();
    if (!dialog) return;
    refused = !dialog->SendButton()->isEnabled();
    offered = dialog->OfferButton()->isVisible() && dialog->OfferButton()->text() == "9行目から再開";
    note = dialog->Notes()->item(0)->text();
    dialog->OfferButton()->click();
    after = dialog->LineBox()->value();
    sendsAfterOffer = dialog->SendButton()->isEnabled();
    int caret = 0, index = 0;
    form_->editor->getCursorPosition(&caret, &index);
    caretFollows = caret == 8;  // the toolpath window follows the caret
    dialog->reject();
  });
  form_->Commands().Menus.RestartSend->trigger();
  QVERIFY(refused);
  QVERIFY(offered);
  QCOMPARE(note, QString("10行目 再開できません: 工具径補正 G41 D1 (9 行目から) が有効です"));
  QCOMPARE(after, 9);
  QVERIFY(sendsAfterOffer);
  QVERIFY(caretFollows);
  QVERIFY(form_->Log.Text().empty());  // nothing started
}

void RestartSendWindowTest::stoppedSendProposesTheBlockTheControlHadTaken() {
  QString text = "%\r\nO1000(SEND TEST)\r\nG21 G90 G00 X0 Y0 Z5.\r\n";
  for (int n = 1; n <= 300; ++n) text += QString("N%1G01X%2.Y-1.5F120.\r\n").arg(n).arg(n % 50);
  MakeForm(text + "M30\r\n%");
  MainWindow& form = *form_;
  PtyControl& control = *control_;
  Script script({
      [&] {
        if (form.statusFields.phase->text() != "送信待機中") return false;
        control.Send(kDc1);
        return true;
      },
      [&] {
        if (control.Drain() < 400) return false;
        control.Send(kPause);
        return true;
      },
      [&] {
        if (form.statusFields.phase->text() != "＜＜ 送信中 ＞＞") return false;
        form.Commands().tools.stop->click();
        return true;
      },
  });
  form.Commands().tools.send->click();
  QVERIFY(script.Finished());
  // The last line the control got whole, from the bytes it received.
  control.Drain();
  const std::string wire = control.ReceivedWithoutParity();
  const size_t lastEnd = wire.rfind('\n');
  const size_t lastStart = wire.rfind('\n', lastEnd - 1) + 1;
  const QString lastComplete = QString::fromStdString(wire.substr(lastStart, lastEnd - lastStart));
  const int lastCompleteLine = form.editor->text().split("\r\n").indexOf(lastComplete) + 1;
  QVERIFY2(lastCompleteLine > 4, QByteArray::fromStdString(wire).toHex(' ').constData());
  form.completionTimer->setInterval(10);
  QTRY_VERIFY_WITH_TIMEOUT(form.Commands().Menus.RestartSend->isEnabled(), 3000);

  int proposed = 0;
  QString reason;
  QTimer::singleShot(0, [&] {
    RestartDialog* dialog = OpenDialog();
    if (!dialog) return;
    proposed = dialog->LineBox()->value();
    if (auto* label = dialog->findChild<QLabel*>("RestartReason")) reason = label->text();
    dialog->reject();
  });
  form.editor->setCursorPosition(1, 0);
  form.Commands().Menus.RestartSend->trigger();
  // The block before the last complete line (one more when the stop came
  // between a line's end and the next line's start).
  QVERIFY2(proposed == lastCompleteLine - 1 || proposed == lastCompleteLine - 2,
           qPrintable(QString("%1 %2").arg(proposed).arg(lastCompleteLine)));
  QVERIFY2(reason.contains(QString("%1行目").arg(proposed)), qPrintable(reason));
}

QTEST_MAIN(RestartSendWindowTest)
#include "RestartSendWindowTest.moc"
