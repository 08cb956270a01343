// SPDX-License-Identifier: GPL-3.0-or-later
// The send command in the main window, against a pseudo-terminal that plays
// the NC control: the transferring state, the panel texts through a send, the
// repeat counter, the return to editing through completionTimer, and estimateTimer's worker.
// Each send is ended with "中止" (the designed 4 s before the port closes
// after a completed send are not waited out here; the engine tests cover it).
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <string>
#include <vector>

#include "gui/dialogs/ProgramPicker.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/RemainingTimeWorker.h"
#include "support/WindowSendControl.h"
#include "support/WindowTestHome.h"

using quelvo::MessageAnswer;
using quelvo::MessageButtons;
using quelvo::MessageKind;
using quelvo::MainWindow;

namespace {

constexpr char kDc1 = 0x11;
constexpr char kPause = static_cast<char>(0x93);  // DC3 with its ISO parity bit

using quelvo::test::PtyControl;
using quelvo::test::Script;


// A document of programs long enough to be paused in the middle.
QString LongDocument() {
  QString text = "%\r\nO1000(SEND TEST)\r\n";
  for (int n = 1; n <= 300; ++n) text += QString("N%1G01X%2.Y-1.5F120.\r\n").arg(n).arg(n % 50);
  return text + "M30\r\n%";
}

}  // namespace

class SendCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void panelTextsThroughASendStoppedInTheData();
  void repeatCounterShownBeforeTheFirstPassAndClearedBySend();
  void estimateWorkerUpdatesTheRemainingTime();
  void emptyDocumentOffersTheOpenCommand();
  void selectiveSendListsProgramsButTheLastLine();
  void selectiveSendCancelledEndsThroughTheCompletionStep();
  void nothingToChooseWhenTheOnlyProgramIsTheLastLine();
  void closeDuringASend_data();
  void closeDuringASend();

 private:
  void MakeForm(const QString& document);
  // MakeForm with the option "選択送信(Y/N)" set to "Y", as the options dialog sets it.
  void MakeSelectiveSendForm(const QString& document);

  quelvo::test::WindowTestHome* home_ = nullptr;
  MainWindow* form_ = nullptr;
  PtyControl* control_ = nullptr;
  std::vector<std::string> messages_;
  QStringList dialogErrors_;
};

void SendCommandTest::init() {
  home_ = new quelvo::test::WindowTestHome;
  control_ = new PtyControl;
  QVERIFY(!control_->SlavePath().empty());
  messages_.clear();
  dialogErrors_.clear();
}

void SendCommandTest::cleanup() {
  delete form_;
  form_ = nullptr;
  delete control_;
  delete home_;
}

void SendCommandTest::MakeForm(const QString& document) {
  form_ = new MainWindow;
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  form_->Comm.Port_S = control_->SlavePath();
  form_->Host.SetMessageFunction([this](const std::string& text, const std::string&, MessageKind,
                                        MessageButtons buttons) {
    messages_.push_back(text);
    return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kYes;
  });
  form_->Files().FilePrompt.error = [this](QWidget*, const QString&, const QString& text) { dialogErrors_ << text; };
  form_->editor->setText(document);
  form_->editor->setModified(false);
}

void SendCommandTest::MakeSelectiveSendForm(const QString& document) {
  MakeForm(document);
  form_->Settings.storedOptions.op1 = "Y";
  form_->Settings.DecodeStoredOptions();
}

void SendCommandTest::panelTextsThroughASendStoppedInTheData() {
  MakeForm(LongDocument());
  MainWindow& form = *form_;
  PtyControl& control = *control_;
  QStringList waitingPanels;
  QString sendingPanels;
  bool lockedWhileSending = false;
  Script script({
      // Waiting for the control's start: the transferring state.
      [&] {
        if (form.statusFields.phase->text() != "送信待機中") return false;
        waitingPanels = QStringList{form.statusFields.lineSettings->text(), form.statusFields.port->text(), form.statusFields.startSignal->text(), form.statusFields.remaining->text()};
        lockedWhileSending = form.transferStatus->isVisible() && !form.editorStatus->isVisible() &&
                             form.editor->isReadOnly() && !form.Commands().tools.send->isEnabled() &&
                             !form.Commands().tools.repeat->isEnabled() && form.Commands().tools.stop->isEnabled();
        control.Send(kDc1);
        return true;
      },
      // Some data out: pause the sender.
      [&] {
        if (control.Drain() < 300) return false;
        control.Send(kPause);
        return true;
      },
      // Paused in the data: look at the panels, then press "中止".
      [&] {
        if (form.statusFields.phase->text() != "＜＜ 送信中 ＞＞") return false;
        sendingPanels = form.statusFields.remaining->text() + "|" + form.programLine->text();
        if (form.statusFields.progress->value() <= 0) return false;
        form.Commands().tools.stop->click();
        return true;
      },
  });
  form.Commands().tools.send->click();  // runs the whole send
  QVERIFY(script.Finished());

  QCOMPARE(waitingPanels.size(), 4);
  QCOMPARE(waitingPanels[0], QString("ISO  : 4800, 2"));
  QCOMPARE(waitingPanels[1], QString::fromStdString(control.SlavePath()));
  QCOMPARE(waitingPanels[2], QString("Y"));
  const int total = form.editor->length() - 1;
  QString grouped = QString::number(total);
  for (int at = grouped.size() - 3; at > 0; at -= 3) grouped.insert(at, ',');
  QCOMPARE(waitingPanels[3], "残り " + grouped + "ﾊﾞｲﾄ");
  QVERIFY(lockedWhileSending);
  QVERIFY2(sendingPanels.startsWith("残り ") && sendingPanels.contains("ﾊﾞｲﾄ(約 0秒)"), qPrintable(sendingPanels));
  QVERIFY2(sendingPanels.endsWith("|送信中のプログラム番号 => O1000(SEND TEST)"), qPrintable(sendingPanels));
  // Stopped in the data: the abort path with the number of the data step.
  QCOMPARE(form.statusFields.phase->text(), QString("送信中止"));
  QCOMPARE(form.statusFields.remaining->text(), QString());
  QVERIFY2(form.Log.Text().find("  送信中止　ｴﾗｰ番号 1011\n") != std::string::npos, form.Log.Text().c_str());
  const std::string first = "  送信\n";  // the log was started anew by the command
  QCOMPARE(form.Log.Text().substr(19, first.size()), first);
  control.Drain();
  QVERIFY(!control.Received().empty());
  QCOMPARE(control.Received().back(), char(0x14));  // the abort path ends with DC4

  // Still transferring until completionTimer, which is due 2000 ms after the end.
  QVERIFY(form.completionTimer->isActive());
  QVERIFY(form.completionTimer->isSingleShot());
  QCOMPARE(form.completionTimer->interval(), 2000);
  QVERIFY(form.transferStatus->isVisible());
  QVERIFY(form.editor->isReadOnly());
  form.completionTimer->setInterval(10);  // restarts it, shortened
  QTRY_VERIFY_WITH_TIMEOUT(form.editorStatus->isVisible(), 2000);
  QVERIFY(!form.transferStatus->isVisible());
  QVERIFY(!form.editor->isReadOnly());
  QVERIFY(form.Commands().tools.send->isEnabled());
  QVERIFY(!form.Commands().tools.stop->isEnabled());
  QVERIFY(!form.lineStrip->isVisible());
}

void SendCommandTest::repeatCounterShownBeforeTheFirstPassAndClearedBySend() {
  MakeForm("%\r\nO1000\r\nM30\r\n%");
  MainWindow& form = *form_;
  QString counterWhileWaiting;
  Script repeat({[&] {
    if (form.statusFields.phase->text() != "送信待機中") return false;
    counterWhileWaiting = form.statusFields.repeatPass->text();
    form.Commands().tools.stop->click();
    return true;
  }});
  form.Commands().tools.repeat->click();
  QVERIFY(repeat.Finished());
  QCOMPARE(counterWhileWaiting, QString("送信:001"));
  QVERIFY(form.Log.Text().find("ｴﾗｰ番号 9999") != std::string::npos);
  QCOMPARE(form.statusFields.repeatPass->text(), QString("送信:001"));

  // "送信" right away, before completionTimer has cleared the counter.
  QString counterOfSend = "unset";
  Script send({[&] {
    if (form.statusFields.phase->text() != "送信待機中") return false;
    counterOfSend = form.statusFields.repeatPass->text();
    form.Commands().tools.stop->click();
    return true;
  }});
  form.Transfer().SendCommand(1);
  QVERIFY(send.Finished());
  QCOMPARE(counterOfSend, QString());
}

void SendCommandTest::estimateWorkerUpdatesTheRemainingTime() {
  quelvo::SendCounters counters;
  counters.TotalChars = 100000;
  counters.SentChars = 20000;
  counters.LastSampleChars = 0;
  quelvo::RemainingTimeWorker worker(counters);
  worker.start();
  QVERIFY(worker.wait(5000));
  // 20000 characters in ten seconds: 2000 a second, 80000 left.
  QCOMPARE(counters.RemainingSeconds.load(), 40);
  QCOMPARE(counters.LastSampleChars.load(), 20000);

  // estimateTimer's tick starts a worker of its own on the engine's counters.
  MakeForm("O1\r\nM30\r\n%");
  quelvo::SendCounters& engine = form_->Transfers.Counters();
  engine.TotalChars = 5000;
  engine.SentChars = 1000;
  engine.LastSampleChars = 0;
  form_->Transfer().StartRemainingTimeEstimate();
  QTRY_COMPARE(engine.RemainingSeconds.load(), 40);
}

void SendCommandTest::emptyDocumentOffersTheOpenCommand() {
  MakeForm("");
  MainWindow& form = *form_;
  QString chosen;  // empty: the open dialog is cancelled
  int asked = 0;
  form.Files().FilePrompt.chooseOpenFile = [&](QWidget*, const quelvo::FileDialogRequest&) {
    ++asked;
    return quelvo::FileChoice{!chosen.isEmpty(), chosen, 1};
  };
  form.Commands().tools.send->click();
  QCOMPARE(asked, 1);
  QCOMPARE(messages_, std::vector<std::string>{"送信データが有りません。"});
  // Still editing: nothing was locked, no log was started.
  QVERIFY(form.editorStatus->isVisible());
  QVERIFY(form.Commands().tools.send->isEnabled());
  QVERIFY(!form.editor->isReadOnly());
  QVERIFY(form.Log.Empty());

  // Choosing a file sends it at once.
  chosen = home_->File("O1.NC");
  QFile file(chosen);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("%\r\nO1\r\nM30\r\n%");
  file.close();
  bool waited = false;
  Script stop({[&] {
    if (form.statusFields.phase->text() != "送信待機中") return false;
    waited = true;
    form.Commands().tools.stop->click();
    return true;
  }});
  form.Commands().tools.send->click();
  QCOMPARE(asked, 2);
  QVERIFY(waited);
  QVERIFY2(form.Log.Text().find("  送信ﾌｧｲﾙ名は" + chosen.toStdString() + "\n") != std::string::npos,
           form.Log.Text().c_str());
}

void SendCommandTest::selectiveSendListsProgramsButTheLastLine() {
  MakeSelectiveSendForm("O1000\r\nG00X0\r\nO2000(B)\r\n:3000\r\nL4000\r\nM30\r\nO5000");
  MainWindow& form = *form_;
  const QString mailFile = home_->File("mail.txt");
  qputenv("QUELVO_SENDMAIL", QByteArray("cat >> '") + mailFile.toLocal8Bit() + "'");
  form.Comm.Mail_Flg = "Y";
  form.Comm.Mail_Address = "shop@example.com";
  form.Commands().tools.send->click();  // returns at once: the dialog is not modal
  quelvo::ProgramPicker& dialog = *form.Files().programPicker;
  QVERIFY(dialog.isVisible());
  QCOMPARE(dialog.windowTitle(), QString("選択送信"));
  QVERIFY(dialog.sendSelectedButton->isVisible() && dialog.cancelSendButton->isVisible());
  QVERIFY(!dialog.saveSelectedButton->isVisible() && !dialog.cancelSaveButton->isVisible());
  QStringList listed;
  for (int i = 0; i < dialog.programList->count(); ++i) {
    listed << dialog.programList->item(i)->text();
    QCOMPARE(dialog.programList->item(i)->checkState(), Qt::Checked);
  }
  QCOMPARE(listed, QStringList({"O1000", "O2000(B)", ":3000", "L4000"}));
  QVERIFY(form.transferStatus->isVisible());  // transferring while the user picks
  QVERIFY(form.editor->isReadOnly());
  QVERIFY(form.Log.Text().find("  通信\n") == 19);
  QVERIFY(form.Log.Text().find("  プログラム番号選択で送信\n") != std::string::npos);

  // Nothing checked: the dialog's own message, nothing sent.
  dialog.uncheckAllButton->click();
  dialog.sendSelectedButton->click();
  QCOMPARE(dialogErrors_, QStringList{"送信データが見つかりません。\n選択して送信するか中止してください。"});
  QCOMPARE(form.statusFields.phase->text(), QString());

  // O1000 and L4000 left out.
  dialog.checkAllButton->click();
  dialog.programList->item(0)->setCheckState(Qt::Unchecked);
  dialog.programList->item(3)->setCheckState(Qt::Unchecked);
  std::vector<std::string> skipped;
  Script stop({[&] {
    if (form.statusFields.phase->text() != "送信待機中") return false;
    skipped = form.Transfers.Selection().SkipLines;
    form.Commands().tools.stop->click();
    return true;
  }});
  dialog.sendSelectedButton->click();
  QCOMPARE(skipped, (std::vector<std::string>{"O1000", "L4000"}));
  QCOMPARE(form.statusFields.phase->text(), QString("送信中止"));
  // completionTimer closes the dialog and returns to editing, once: closing the dialog
  // is no cancel that would start completionTimer (and its mail notice) again.
  QVERIFY(form.completionTimer->isActive());
  form.completionTimer->stop();
  form.Transfer().TransferFinished();
  QVERIFY(!dialog.isVisible());
  QVERIFY(!form.completionTimer->isActive());
  QVERIFY(form.editorStatus->isVisible());
  QVERIFY(!form.editor->isReadOnly());
  QFile mail(mailFile);
  QVERIFY(mail.open(QIODevice::ReadOnly));
  QCOMPARE(mail.readAll().count("To: shop@example.com"), 1);
  qunsetenv("QUELVO_SENDMAIL");
}

void SendCommandTest::selectiveSendCancelledEndsThroughTheCompletionStep() {
  MakeSelectiveSendForm("O1000\r\nM30\r\n%");
  MainWindow& form = *form_;
  form.Commands().tools.send->click();
  QVERIFY(form.Files().programPicker->isVisible());
  form.Files().programPicker->cancelSendButton->click();
  QVERIFY(!form.Files().programPicker->isVisible());
  QVERIFY(form.completionTimer->isActive());
  QCOMPARE(form.completionTimer->interval(), 2000);
  QVERIFY(form.transferStatus->isVisible());
  form.completionTimer->setInterval(10);
  QTRY_VERIFY_WITH_TIMEOUT(form.editorStatus->isVisible(), 2000);
  QVERIFY(form.Commands().tools.send->isEnabled());
  QVERIFY(!form.editor->isReadOnly());
}

void SendCommandTest::nothingToChooseWhenTheOnlyProgramIsTheLastLine() {
  MakeSelectiveSendForm("%\r\nG00X0\r\nO1000");
  MainWindow& form = *form_;
  form.Commands().tools.send->click();
  QCOMPARE(form.Files().programPicker->programList->count(), 0);
  form.Files().programPicker->sendSelectedButton->click();
  QCOMPARE(dialogErrors_, QStringList{"送信データが見つかりません。\n選択して送信するか中止してください。"});
  QCOMPARE(form.statusFields.phase->text(), QString());
  form.Files().programPicker->cancelSendButton->click();
}

// A close of the main window while a send runs asks first; Yes stops the
// send as "中止" does and closes once the engine has let go of the port and
// the document, No lets the send go on.
void SendCommandTest::closeDuringASend_data() {
  QTest::addColumn<QString>("phase");
  QTest::addColumn<bool>("yes");
  QTest::addColumn<QString>("logLine");  // the last line the send logged
  QTest::newRow("waiting, yes") << "waiting" << true << "  送信中止　ｴﾗｰ番号 9999";
  QTest::newRow("data, yes") << "data" << true << "  送信中止　ｴﾗｰ番号 1011";
  QTest::newRow("data, no") << "data" << false << "  送信中止　ｴﾗｰ番号 1011";
  QTest::newRow("closing delay, yes") << "closing" << true << "  送信完了";
}

void SendCommandTest::closeDuringASend() {
  QFETCH(QString, phase);
  QFETCH(bool, yes);
  QFETCH(QString, logLine);
  MakeForm(phase == "closing" ? QString("%\r\nO1\r\nM30\r\n%") : LongDocument());
  MainWindow& form = *form_;
  PtyControl& control = *control_;
  QStringList questions;
  form.Host.SetMessageFunction([&](const std::string& text, const std::string&, MessageKind, MessageButtons) {
    questions << QString::fromStdString(text);
    return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  });
  std::string textWhenAsked;
  bool closedAtOnce = true;
  const auto closeNow = [&] {
    textWhenAsked = form.editor->text().toStdString();
    closedAtOnce = form.close();
  };
  std::vector<std::function<bool()>> steps;
  if (phase == "waiting") {
    steps.push_back([&] {
      if (form.statusFields.phase->text() != "送信待機中") return false;
      closeNow();
      return true;
    });
  } else {
    steps.push_back([&] {
      if (form.statusFields.phase->text() != "送信待機中") return false;
      control.Send(kDc1);
      return true;
    });
    if (phase == "data") {
      steps.push_back([&] {
        if (control.Drain() < 300) return false;
        control.Send(kPause);
        closeNow();
        return true;
      });
      // The send went on after No: end it with "中止".
      steps.push_back([&] {
        if (!yes) form.Commands().tools.stop->click();
        return true;
      });
    } else {
      steps.push_back([&] {
        control.Drain();
        if (form.statusFields.remaining->text() != "残り 0ﾊﾞｲﾄ") return false;  // all data out: the closing delay
        closeNow();
        return true;
      });
    }
  }
  Script script(steps);
  form.Commands().tools.send->click();  // returns when the send has ended
  QVERIFY(script.Finished());
  QCOMPARE(questions, QStringList{"転送中です。中止して終了しますか？"});
  QVERIFY(!closedAtOnce);
  QCOMPARE(textWhenAsked, form.editor->text().toStdString());  // the document was not touched
  const std::string& log = form.Log.Text();
  const size_t lastLine = log.rfind('\n', log.size() - 2);
  QCOMPARE(QString::fromStdString(log.substr(lastLine + 1 + 19, log.size() - lastLine - 21)), logLine);
  if (yes) {
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 2000);
  } else {
    QTest::qWait(50);
    QVERIFY(form.isVisible());
  }
}

QTEST_MAIN(SendCommandTest)
#include "SendCommandTest.moc"
