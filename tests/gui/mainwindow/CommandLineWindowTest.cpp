// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the main window carries it out: the collection becomes
// the document, the messages stand 50 pixels right of and below the window's
// corner, and a requested transfer waits for commandLineTimer.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include "core/commandline/ExitStatus.h"
#include "core/common/ProgramFiles.h"
#include "core/common/RegularFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/WindowTestHome.h"

using quelvo::MainWindow;

namespace {

struct SeenBox {
  QString text;
  QPoint pos;
};

// Answers every message box that opens with `button`, recording each one.
class BoxAnswerer : public QObject {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button) : button_(button) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen.push_back({box->text(), box->pos()});
      box->button(button_) ? box->button(button_)->click() : box->reject();
    });
    timer_.start();
  }
  std::vector<SeenBox> seen;

 private:
  QMessageBox::StandardButton button_;
  QTimer timer_;
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

class CommandLineWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void collectionBecomesTheDocumentAndWaitsForTheCommandLineTimer();
  void messagesStandBesideTheWindowCorner();
  void overwriteRefusedLeavesNoTransfer();
  void specialFilesGiveAMessageInsteadOfBlocking();
  void unattendedTransferThatFailsEndsWithANonZeroStatus();
};

void CommandLineWindowTest::collectionBecomesTheDocumentAndWaitsForTheCommandLineTimer() {
  quelvo::test::WindowTestHome home;
  const QString collection = QString::fromStdString(quelvo::ProgramFilePath(".tmp"));
  WriteFile(collection, "O9\r\n");  // an earlier run's collection
  WriteFile(home.File("A.NC"), "O1\r\nG00X1.\r\n");
  WriteFile(home.File("B.NC"), "O2\r\nM30");
  MainWindow form;
  form.CommandLineArguments = {"S01=" + home.File("A.NC").toStdString(), "S02=B.NC", "SE=Y"};
  form.ProcessCommandLine();

  QCOMPARE(form.editor->text(), QString("O1\r\nG00X1.\r\nO2\r\nM30\r\n"));
  QCOMPARE(form.windowTitle(), "<編集>" + collection + " - Quelvo Ver1.47");
  QCOMPARE(QString::fromStdString(form.Settings.recentFiles[0]), collection);
  QVERIFY(!form.editor->isModified());
  QVERIFY(form.AutomaticTransferRequested());

  form.show();
  QVERIFY(form.commandLineTimer->isActive());
  QCOMPARE(form.commandLineTimer->interval(), 1000);
  form.commandLineTimer->stop();  // no control on the line here
}

void CommandLineWindowTest::messagesStandBesideTheWindowCorner() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.move(120, 80);
  BoxAnswerer answerer(QMessageBox::Yes);
  form.CommandLineArguments = {"S=missing.nc", "N=x1", "N=13", "END"};
  form.ProcessCommandLine();

  QCOMPARE(answerer.seen.size(), size_t(3));
  QVERIFY(answerer.seen[0].text.endsWith("/missing.ncが見つかりません。"));
  QVERIFY(answerer.seen[1].text.contains("N=x1"));
  QCOMPARE(answerer.seen[2].text, QString("通信設定番号\n13は存在しません。"));
  // The offscreen platform learns its 2-pixel frame margins while the boxes
  // show, so a box's frame corner may read either way: allow that much.
  for (const SeenBox& box : answerer.seen) {
    QVERIFY2((box.pos - (form.pos() + QPoint(50, 50))).manhattanLength() <= 4,
             qPrintable(QString("box at %1,%2").arg(box.pos.x()).arg(box.pos.y())));
  }
  QVERIFY(!form.AutomaticTransferRequested());
  QVERIFY(form.App.CloseAfterTransfer);  // reading went on after the bad number
  QCOMPARE(form.Settings.setNo, 1);
}

void CommandLineWindowTest::overwriteRefusedLeavesNoTransfer() {
  quelvo::test::WindowTestHome home;
  WriteFile(home.File("O2.NC"), "O2\r\n");
  MainWindow form;
  BoxAnswerer answerer(QMessageBox::No);
  form.CommandLineArguments = {"R=" + home.File("O2.NC").toStdString(), "N=6"};
  form.ProcessCommandLine();
  QCOMPARE(answerer.seen.size(), size_t(1));
  QCOMPARE(answerer.seen[0].text, "すでに" + home.File("O2.NC") + "が有ります。\n上書きしますか？");
  QVERIFY(!form.AutomaticTransferRequested());
  QCOMPARE(form.Settings.setNo, 7);
  form.show();
  QVERIFY(!form.commandLineTimer->isActive());
}

// A FIFO as the program settings file and as the file to send: the window
// comes up and names each file, where it used to wait for a writer forever.
void CommandLineWindowTest::specialFilesGiveAMessageInsteadOfBlocking() {
  quelvo::test::WindowTestHome home;
  const QString settings = QString::fromStdString(quelvo::ProgramSettingsPath());
  QCOMPARE(mkfifo(settings.toLocal8Bit().constData(), 0600), 0);
  QCOMPARE(mkfifo(home.File("O1.NC").toLocal8Bit().constData(), 0600), 0);
  BoxAnswerer answerer(QMessageBox::Yes);
  alarm(60);  // a blocked open ends the test program instead of hanging it
  MainWindow form;
  form.CommandLineArguments = {"S=" + home.File("O1.NC").toStdString(), "END"};
  form.ProcessCommandLine();
  alarm(0);
  const QString reason = QString(" を読み込めません。\n") + quelvo::kNotARegularFile;
  QCOMPARE(answerer.seen.size(), size_t(2));
  QCOMPARE(answerer.seen[0].text, settings + reason);
  QCOMPARE(answerer.seen[1].text, home.File("O1.NC") + reason);
  QCOMPARE(form.editor->length(), 0);
}

// "S=... END" whose send fails (its port does not exist) leaves the exit status
// saying so; a completed one closes the program with status 0
// (CommandLineEndToEndTest).
void CommandLineWindowTest::unattendedTransferThatFailsEndsWithANonZeroStatus() {
  quelvo::test::WindowTestHome home;
  WriteFile(home.File("SetData1.ini"), "[Setting_S]\r\nPort=/dev/quelvo-no-such-port\r\n");
  WriteFile(home.File("O1.NC"), "O1\r\nM30\r\n");
  MainWindow form;
  form.CommandLineArguments = {"S=" + home.File("O1.NC").toStdString(), "END"};
  form.ProcessCommandLine();
  QCOMPARE(form.App.ExitStatus, quelvo::kExitTransferNotCompleted);
  form.show();
  BoxAnswerer answerer(QMessageBox::Ok);
  form.commandLineTimer->stop();
  form.StartCommandLineTransfer();
  QVERIFY(!answerer.seen.empty());  // the port error, as designed
  QVERIFY(form.isVisible());
  QCOMPARE(form.App.ExitStatus, quelvo::kExitTransferNotCompleted);

  form.CommandLineArguments = {"S=" + home.File("O1.NC").toStdString()};  // no "END": nothing to report
  form.ProcessCommandLine();
  QCOMPARE(form.App.ExitStatus, quelvo::kExitOk);
  form.commandLineTimer->stop();
}

QTEST_MAIN(CommandLineWindowTest)
#include "CommandLineWindowTest.moc"
