// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in and out of the transferring state: the locked controls,
// the log view, the stop keys, the completion timer's mail notice, the window
// host's view of the document, and the selection number dialog.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "core/common/Cp932.h"
#include "core/transfer/CommLog.h"
#include "gui/dialogs/AutoNumberDialog.h"
#include "gui/dialogs/FilePrompts.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/FakeTransferHost.h"
#include "support/WindowTestHome.h"

Q_DECLARE_METATYPE(quelvo::SaveAnswer)

using quelvo::MessageAnswer;
using quelvo::MessageButtons;
using quelvo::MessageKind;
using quelvo::MainWindow;

namespace {

// Records the message boxes of the window host instead of showing them.
struct Messages {
  std::vector<std::string> texts;
  void Attach(MainWindow& form) {
    form.Host.SetMessageFunction(
        [this](const std::string& text, const std::string&, MessageKind, MessageButtons) {
          texts.push_back(text);
          return MessageAnswer::kOk;
        });
  }
};

// The window as the transfer host sees it.
quelvo::TransferWindowView& View(MainWindow& form) { return form; }

// In the editing state "切取", "ｺﾋﾟｰ" and "戻す" follow the selection and the
// undo history, so only a lock says something about them.
void CheckLocked(MainWindow& form, bool locked, bool logMenuEnabled) {
  const quelvo::ToolButtons& t = form.Commands().tools;
  for (QToolButton* button : {t.newFile, t.open, t.save, t.cut, t.copy, t.paste, t.undo, t.print, t.receive,
                              t.send, t.settings, t.findNext, t.repeat}) {
    if (!locked && (button == t.cut || button == t.copy || button == t.undo)) continue;
    QVERIFY2(button->isEnabled() == !locked, qPrintable(button->objectName()));
  }
  const auto& m = form.Commands().Menus;
  for (QMenu* menu : {m.File, m.Edit, m.Find, m.Setting, m.Option, m.Help})
    QVERIFY2(menu->menuAction()->isEnabled() == !locked, qPrintable(menu->title()));
  QCOMPARE(m.Log->menuAction()->isEnabled(), logMenuEnabled);
  for (QAction* item : m.SetItems) QCOMPARE(item->isEnabled(), !locked);
}

}  // namespace

class TransferWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void transferringStateLocksExactlyTheListedControls();
  void logViewOfAMissingLogReturnsToTheEditor();
  void logViewShowsTheLogAndKeepsTheLogMenu();
  void stopKeysCallTheRunningTransfersStop();
  void completionTimerReturnsToEditingWithoutMail();
  void hostLinesAreTheEditorLinesAsTheFakeGivesThem_data();
  void hostLinesAreTheEditorLinesAsTheFakeGivesThem();
  void closeAtTransferEndPowersOffOnlyAClosedWindow_data();
  void closeAtTransferEndPowersOffOnlyAClosedWindow();
  void hostReadsAndShowsDocumentLines();
  void selectionDialogAcceptsOnlyItsCharacters();
  void selectionDialogPlacementAndResult();
};

void TransferWindowTest::transferringStateLocksExactlyTheListedControls() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  CheckLocked(form, false, true);
  QVERIFY(!form.Commands().tools.stop->isEnabled());

  form.Transfer().SetTransferUi(false);
  CheckLocked(form, true, false);
  QVERIFY(form.Commands().tools.stop->isEnabled());
  QVERIFY(form.transferStatus->isVisible());
  QVERIFY(!form.editorStatus->isVisible());
  if (qEnvironmentVariableIsSet("QUELVO_TEST_SCREENSHOTS")) {
    View(form).ShowTransferPanel(true);
    View(form).SetStatusField(quelvo::TransferStatusField::Phase, "＜＜ 送信中 ＞＞");
    View(form).SetProgramLine("送信中のプログラム番号 => O1000");
    View(form).SetProgressRange(100);
    View(form).SetProgressPosition(40);
    form.grab().save(qEnvironmentVariable("QUELVO_TEST_SCREENSHOTS") + "/transferring.png");
  }
  // The setting shortcuts do nothing while a transfer runs.
  QTest::keyClick(&form, Qt::Key_2, Qt::AltModifier);
  QCOMPARE(form.Settings.setNo, 1);

  form.editor->setText("O1\r\nG01X1.\r\n");
  form.editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, 4UL, 7L);
  form.editorFields.selection->setText("選択");
  form.Transfer().SetTransferUi(true);
  CheckLocked(form, false, true);
  QVERIFY(!form.Commands().tools.stop->isEnabled());
  QVERIFY(!form.transferStatus->isVisible());
  QVERIFY(form.editorStatus->isVisible());
  QVERIFY(!form.editor->isReadOnly());
  QCOMPARE(form.editor->SelectionStart(), 0L);
  QCOMPARE(form.editor->SelectionEnd(), 0L);
  QCOMPARE(form.editorFields.selection->text(), QString());
}

void TransferWindowTest::logViewOfAMissingLogReturnsToTheEditor() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  Messages messages;
  messages.Attach(form);
  form.show();
  form.Transfer().LogItemClick(1);
  form.Transfer().LogItemClick(2);
  QCOMPARE(messages.texts, (std::vector<std::string>{"送信ログファイルが見つかりません。",
                                                      "受信ログファイルが見つかりません。"}));
  QVERIFY(!form.Transfer().state.LogViewMode);
  QCOMPARE(form.editorStack->currentWidget(), form.editor);
  CheckLocked(form, false, true);
}

void TransferWindowTest::logViewShowsTheLogAndKeepsTheLogMenu() {
  quelvo::test::WindowTestHome home;
  const std::string logText = "2026/12/07 20:15:00  送信\n2026/12/07 20:15:09  送信完了\n";
  QVERIFY(quelvo::SaveCommLog(logText, 1));
  MainWindow form;
  form.show();
  form.editor->setText("O1234\r\n");

  form.Transfer().LogItemClick(1);
  QVERIFY(form.Transfer().state.LogViewMode);
  QCOMPARE(form.editorStack->currentWidget(), form.logView);
  QVERIFY(form.logView->text().contains("送信完了"));
  QCOMPARE(form.logView->font().family(), form.editor->font().family());
  CheckLocked(form, true, true);
  // Not a transfer: no stop button, the editor status bar stays.
  QVERIFY(!form.Commands().tools.stop->isEnabled());
  QVERIFY(form.editorStatus->isVisible());
  QVERIFY(!form.transferStatus->isVisible());

  form.Transfer().LogItemClick(3);
  QVERIFY(!form.Transfer().state.LogViewMode);
  QCOMPARE(form.editorStack->currentWidget(), form.editor);
  QCOMPARE(form.editor->text(), QString("O1234\r\n"));
  CheckLocked(form, false, true);
}

void TransferWindowTest::stopKeysCallTheRunningTransfersStop() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  std::vector<quelvo::StopKind> stops;
  form.StopKeys.SetStopHandler([&](quelvo::StopKind kind) { stops.push_back(kind); });

  // F3 and Esc are stops wherever the focus is; other keys are not.
  QTest::keyClick(form.editor, Qt::Key_Escape);
  QVERIFY(!stops.empty() && stops.back() == quelvo::StopKind::kEsc);
  stops.clear();
  QTest::keyPress(form.Commands().tools.open, Qt::Key_F3);
  QVERIFY(!stops.empty() && stops.back() == quelvo::StopKind::kF3);
  QTest::keyRelease(form.Commands().tools.open, Qt::Key_F3);
  stops.clear();
  QTest::keyClick(form.editor, Qt::Key_A);
  QVERIFY(stops.empty());

  // Without a running transfer a stop reaches nothing: the next transfer
  // does not start stopped.
  form.StopKeys.SetStopHandler([&form](quelvo::StopKind kind) { form.StopTransfer(kind); });
  form.Transfer().SetTransferUi(false);
  form.Commands().tools.stop->click();
  QVERIFY(!form.TransferRunning());
  QVERIFY(!form.Link.UserStopRequested());
}

// The mail notice is the session's (tests/core/transfer/session): the
// completion timer only returns the window to editing.
void TransferWindowTest::completionTimerReturnsToEditingWithoutMail() {
  quelvo::test::WindowTestHome home;
  const QString mailFile = home.File("mail.txt");
  qputenv("QUELVO_SENDMAIL", QByteArray("cat > '") + mailFile.toLocal8Bit() + "'");
  MainWindow form;
  form.show();
  form.Comm.Mail_Flg = "Y";
  form.Comm.Mail_Address = "shop@example.com";
  form.Comm.Mail_Subject = "NC";

  form.Transfer().SetTransferUi(false);
  View(form).ShowTransferPanel(true);
  form.statusFields.repeatPass->setText("003");
  form.Link.Port().PortOpenedForSend = true;
  form.completionTimer->start();
  form.Transfer().TransferFinished();
  QVERIFY(!QFile::exists(mailFile));
  QVERIFY(!form.completionTimer->isActive());
  QCOMPARE(form.statusFields.repeatPass->text(), QString());
  QVERIFY(!form.lineStrip->isVisible());
  CheckLocked(form, false, true);
  qunsetenv("QUELVO_SENDMAIL");
}

// The engines are tested against FakeTransferHost: its lines must be the ones
// the window hands out for the same text, or those tests prove nothing about
// the program.
void TransferWindowTest::hostLinesAreTheEditorLinesAsTheFakeGivesThem_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("lines");
  QTest::newRow("empty") << "" << QStringList{""};
  QTest::newRow("no final line break") << "O1\r\nＧ01\r\n%" << QStringList{"O1", "Ｇ01", "%"};
  QTest::newRow("final CR LF") << "O1\r\nG01\r\n" << QStringList{"O1", "G01", ""};
  QTest::newRow("final blank line") << "G01\r\nM30\r\n\r\n" << QStringList{"G01", "M30", "", ""};
  QTest::newRow("one-character last line") << "G01\r\nX\r\n" << QStringList{"G01", "X", ""};
  QTest::newRow("one character, no line break") << "G01\r\nX" << QStringList{"G01", "X"};
  QTest::newRow("LF only") << "A\nB\n" << QStringList{"A\n", "B\n", ""};
  QTest::newRow("lone CR") << "A\rB\r" << QStringList{"A", "B", ""};
  QTest::newRow("mixed") << "A\r\nB\nC\rD" << QStringList{"A", "B\n", "C", "D"};
}

void TransferWindowTest::hostLinesAreTheEditorLinesAsTheFakeGivesThem() {
  QFETCH(QString, text);
  QFETCH(QStringList, lines);
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.editor->setText(text);
  quelvo::WindowTransferHost& host = form.Host;
  QStringList window;
  for (int i = 0; i < host.LineCount(); ++i) window << QString::fromStdString(host.Line(i));
  QCOMPARE(window, lines);

  quelvo::VirtualClock clock;
  quelvo::FakeTransferHost fake(clock);
  fake.SetDocument(text.toStdString());
  QStringList faked;
  for (int i = 0; i < fake.LineCount(); ++i) faked << QString::fromStdString(fake.Line(i));
  QCOMPARE(faked, lines);

  // The send engine has every lone final line feed replaced by a CR: the
  // window's editor (LineEndReplaced) and the snapshot the session holds
  // then read the same lines.
  std::vector<std::string> snapshot = form.Host.DocumentSnapshot();
  for (int i = 0; i < host.LineCount(); ++i) {
    host.ReplaceFinalLineFeed(i);
    quelvo::ReplaceFinalLineFeed(fake.lines, i);
    quelvo::ReplaceFinalLineFeed(snapshot, i);
  }
  QStringList windowAfter, fakeAfter, plainAfter;
  for (int i = 0; i < host.LineCount(); ++i) windowAfter << QString::fromStdString(host.Line(i));
  for (int i = 0; i < fake.LineCount(); ++i) fakeAfter << QString::fromStdString(fake.Line(i));
  for (const std::string& line : snapshot) plainAfter << QString::fromStdString(line);
  QCOMPARE(fakeAfter, windowAfter);
  QCOMPARE(plainAfter, windowAfter);
}

void TransferWindowTest::closeAtTransferEndPowersOffOnlyAClosedWindow_data() {
  using quelvo::SaveAnswer;
  QTest::addColumn<bool>("fromCommandLine");  // "END" rather than Shift at the button
  QTest::addColumn<bool>("modified");
  QTest::addColumn<SaveAnswer>("answer");  // to the save question, if asked
  QTest::addColumn<int>("questions");
  QTest::addColumn<bool>("closes");
  QTest::newRow("Shift, unsaved edits, Cancel") << false << true << SaveAnswer::Cancel << 1 << false;
  QTest::newRow("Shift, unsaved edits, No") << false << true << SaveAnswer::No << 1 << true;
  QTest::newRow("Shift, nothing unsaved") << false << false << SaveAnswer::Cancel << 0 << true;
  QTest::newRow("END, unsaved edits") << true << true << SaveAnswer::No << 0 << false;
  QTest::newRow("END, nothing unsaved") << true << false << SaveAnswer::Cancel << 0 << true;
}

// The window host's close at the end of a completed transfer with Power_Off "Y".
void TransferWindowTest::closeAtTransferEndPowersOffOnlyAClosedWindow() {
  QFETCH(bool, fromCommandLine);
  QFETCH(bool, modified);
  QFETCH(quelvo::SaveAnswer, answer);
  QFETCH(int, questions);
  QFETCH(bool, closes);
  quelvo::test::WindowTestHome home;
  qunsetenv("QUELVO_POWEROFF");
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  if (fromCommandLine) {
    form.CommandLineArguments = {"END"};
    form.ProcessCommandLine();
  } else {
    form.Transfer().RequestCloseByUser();
  }
  QVERIFY(form.App.CloseAfterTransfer);
  form.editor->setText("O1\r\nM30\r\n");
  form.editor->setModified(modified);
  int asked = 0;
  form.Files().FilePrompt.askSaveChanges = [&](QWidget*, const QString&, bool) {
    ++asked;
    return answer;
  };
  int powerOffs = 0;
  form.Host.SetSystemPowerOff([&] {
    ++powerOffs;
    return true;
  });

  form.Host.CloseProgram(true);
  QCOMPARE(asked, questions);
  QCOMPARE(form.isVisible(), !closes);
  QCOMPARE(powerOffs, closes ? 1 : 0);
  if (!closes) QCOMPARE(form.editor->text(), QString("O1\r\nM30\r\n"));
}

// The document events of a send as the window applies them, once delivered
// to its thread.
void TransferWindowTest::hostReadsAndShowsDocumentLines() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  quelvo::WindowTransferHost& host = form.Host;
  quelvo::TransferEvents& events = host.Events();
  form.editor->setText("O1\r\nG01\r\n");

  events.LineInProgress(1, 4, 3);
  host.DeliverEvents();
  QCOMPARE(form.editor->selectedText(), QString("G01"));
  form.editorFields.modified->setText("選択");
  QCOMPARE(form.editorFields.modified->text(), QString("選択"));

  // A lone line feed ends a line too; the engine has it replaced by CR.
  form.editor->setText("A\nB\r\n");
  QCOMPARE(host.Line(0), std::string("A\n"));
  events.LineEndReplaced(0);
  host.DeliverEvents();
  QCOMPARE(form.editor->text(), QString("A\rB\r\n"));

  View(form).SetDocumentModified(true);
  QVERIFY(form.editor->isModified());
  QVERIFY(form.Document.Modified);
  events.DocumentUnchanged(false);
  host.DeliverEvents();
  QVERIFY(!form.editor->isModified());
  QCOMPARE(form.editorFields.modified->text(), QString());
  events.DataFlowing(true);
  host.DeliverEvents();
  QCOMPARE(form.estimateTimer->interval(), 10000);
  QVERIFY(form.estimateTimer->isActive());
  events.DataFlowing(false);
  host.DeliverEvents();
  QVERIFY(!form.estimateTimer->isActive());
}

void TransferWindowTest::selectionDialogAcceptsOnlyItsCharacters() {
  QWidget main;
  quelvo::AutoNumberDialog dialog(&main);
  QStringList refused;
  dialog.RefuseKey = [&](QWidget*, const QString& text) { refused << text; };
  dialog.show();
  if (qEnvironmentVariableIsSet("QUELVO_TEST_SCREENSHOTS")) {
    dialog.grab().save(qEnvironmentVariable("QUELVO_TEST_SCREENSHOTS") + "/autoform.png");
  }
  QLineEdit* edit = dialog.numberEdit;
  QTest::keyClick(edit, Qt::Key_Return);  // empty: refused
  QTest::keyClicks(edit, "1a-6");
  QTest::keyClicks(edit, "5");
  QCOMPARE(edit->text(), QString("1-5"));
  QCOMPARE(refused, (QStringList{"この文字は変更できません。\n", "この文字は変更できません。\n",
                                 "この文字は変更できません。\n"}));
  QTest::keyClicks(edit, "4");  // at most three characters
  QCOMPARE(edit->text(), QString("1-5"));
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, "4");
  QCOMPARE(edit->text(), QString("1-4"));
  // Pasted text obeys the same rule.
  edit->clear();
  edit->insert("9x");
  QCOMPARE(edit->text(), QString());
  edit->setText("3");

  // Enter with an input goes to "ＯＮ" and does not close.
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QVERIFY(dialog.isVisible());
  QVERIFY(dialog.onButton->hasFocus());
}

void TransferWindowTest::selectionDialogPlacementAndResult() {
  QWidget main;
  main.setGeometry(100, 80, 601, 401);
  main.show();
  quelvo::AutoNumberDialog dialog(&main);
  QTimer::singleShot(0, &dialog, [&] {
    QCOMPARE(dialog.size(), QSize(210, 115));
    const QRect frame = main.frameGeometry();
    QCOMPARE(dialog.pos(), QPoint(frame.left() + frame.width() / 2 - 105, frame.top() + frame.height() / 2 - 57));
    QTest::keyClicks(dialog.numberEdit, "2-4");
    dialog.onButton->click();
  });
  QCOMPARE(dialog.Ask(), std::optional<std::string>("2-4"));

  // Showing empties the field, not the number kept from before.
  QTimer::singleShot(0, &dialog, [&] {
    QCOMPARE(dialog.numberEdit->text(), QString());
    QCOMPARE(dialog.SelectionNumber, std::string("2-4"));
    dialog.cancelButton->click();
  });
  QCOMPARE(dialog.Ask(), std::nullopt);
  QTimer::singleShot(0, &dialog, [&] { dialog.onButton->click(); });
  QCOMPARE(dialog.Ask(), std::optional<std::string>(""));
}

QTEST_MAIN(TransferWindowTest)
#include "TransferWindowTest.moc"
