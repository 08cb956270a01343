// SPDX-License-Identifier: GPL-3.0-or-later
// The receive command in the main window: the standard mode with its save
// dialog and the OSP mode with its folder, both receiving a real tape through
// a pseudo-terminal; the window title while receiving; the document after
// completionTimer; cancelled choices; a stop while waiting; Shift and op2.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/common/Cp932.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TapeCode.h"
#include "gui/dialogs/ProgramPicker.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/WindowTransferHost.h"
#include "support/WindowTestHome.h"

using quelvo::MainWindow;

namespace {

// The window's host with instant waits (the DC4 settle time), a Shift key the
// test holds, and a recorded close instead of a real one.
class InstantHost : public quelvo::WindowTransferHost {
 public:
  using WindowTransferHost::WindowTransferHost;
  void WaitMs(int milliseconds) override { waits.push_back(milliseconds); }
  bool ShiftHeld() override { return shift; }
  void CloseProgram(bool powerOff) override { closes.push_back(powerOff); }
  std::vector<int> waits;
  std::vector<bool> closes;
  bool shift = false;
};

// The control's end of a pseudo-terminal: punches an ISO tape once the port is
// open, then waits for the closing DC4.
class PtyControl {
 public:
  PtyControl() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
  }
  ~PtyControl() {
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) close(master_);
  }
  const std::string& SlavePath() const { return slave_; }

  void Punch(const std::string& text) {
    std::string wire;
    for (char c : text) {
      if (const auto byte = quelvo::EncodeChar(quelvo::TapeCode::ISO, static_cast<uint8_t>(c)))
        wire += static_cast<char>(*byte);
    }
    thread_ = std::thread([this, wire] {
      // A master reports a hang-up while nobody holds the slave open.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      for (;;) {
        pollfd p{master_, POLLIN, 0};
        poll(&p, 1, 10);
        if ((p.revents & POLLHUP) == 0) break;
        if (std::chrono::steady_clock::now() > deadline) return;
      }
      // The port is purged right after it opens.
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      if (write(master_, wire.data(), wire.size()) != static_cast<ssize_t>(wire.size())) return;
      for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0 || (p.revents & POLLIN) == 0) return;
        unsigned char byte = 0;
        if (read(master_, &byte, 1) != 1) return;
        if (byte == 0x14) {
          sawDc4 = true;
          return;
        }
      }
    });
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<bool> sawDc4{false};

 private:
  int master_ = -1;
  std::string slave_;
  std::thread thread_;
};

std::string FileText(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A window with the test host, a receive setting on the pseudo-terminal and
// no dialog left to a person.
struct ReceiveWindow {
  ReceiveWindow() {
    form.show();
    form.Transfer().ReceiveHost = &host;
    form.Comm.Port_R = control.SlavePath();
    form.Comm.Signal_R = 1;
    form.Comm.Word = 0;
    form.Comm.SE_Char = 3;
    form.Settings.setNo = 1;
    form.Settings.dirPath = home.Path().toStdString();
    form.Files().FilePrompt.chooseSaveFile = [this](QWidget*, const quelvo::FileDialogRequest& request) {
      ++fileDialogs;
      proposedName = request.proposedName;
      return fileChoice;
    };
    form.Files().FilePrompt.chooseFolder = [this](QWidget*, const QString& prompt, const QString& start) {
      folderPrompt = prompt;
      folderStart = start;
      return folderChoice;
    };
    QObject::connect(&form, &QWidget::windowTitleChanged, [this](const QString& t) { titles << t; });
  }

  quelvo::test::WindowTestHome home;
  PtyControl control;
  MainWindow form;
  InstantHost host{form, form.StopKeys};
  quelvo::FileChoice fileChoice;
  QString folderChoice, folderPrompt, folderStart, proposedName;
  int fileDialogs = 0;
  QStringList titles;
};

const char kTape[] = "%\nO1234\nG01X10.\n%\n\n";
const char kStored[] = "O1234\r\nG01 X10.\r\n";

}  // namespace

class ReceiveCommandWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void standardModeReceivesIntoTheChosenFile();
  void ospModeReceivesUnderTheControlsName();
  void cancelledChoicesStartNothing();
  void saveDialogAsksForTheReceivedDataName();
  void stopWhileWaitingDeletesTheTarget();
  void closeDuringAReceptionStopsItFirst_data();
  void closeDuringAReceptionStopsItFirst();
  void shiftClosesAfterReceptionAndOp2SplitsIt();
  void logThatCannotBeSavedIsShownInABox();
};

void ReceiveCommandWindowTest::standardModeReceivesIntoTheChosenFile() {
  ReceiveWindow w;
  const QString target = w.home.File("received.nc");
  w.fileChoice = {true, target, 2};
  // Power_Off without a close switches nothing off, and the log says nothing of it.
  w.form.Settings.options.powerOffAfterTransfer = true;
  w.control.Punch(kTape);
  bool lockedWhileReceiving = false;
  QTimer::singleShot(100, &w.form, [&] {
    lockedWhileReceiving = !w.form.Commands().tools.receive->isEnabled() && w.form.transferStatus->isVisible();
  });

  w.form.Transfer().ReceiveCommand();
  w.control.Join();

  QCOMPARE(w.fileDialogs, 1);
  QVERIFY(w.proposedName.isEmpty());
  QVERIFY(lockedWhileReceiving);
  QVERIFY(w.control.sawDc4);
  QCOMPARE(FileText(target), std::string(kStored));
  QCOMPARE(w.form.Settings.maskNo, 2);
  QVERIFY(w.titles.contains("<受信>" + target + " - Quelvo Ver1.47"));
  const std::string& log = w.form.Log.Text();
  QVERIFY(log.find("  受信\n") < log.find("  標準で受信設定開始\n"));
  QVERIFY(log.find("  受信ﾌｧｲﾙ名は" + target.toStdString() + "\n") != std::string::npos);
  QVERIFY(log.find("  受信完了\n") != std::string::npos);
  QVERIFY(log.find("電源断") == std::string::npos);
  QVERIFY(FileText(QString::fromStdString(quelvo::CommLogFilePath(2))).find(quelvo::Utf8ToCp932("  受信完了")) !=
          std::string::npos);
  QCOMPARE(w.host.waits, std::vector<int>{4000});
  QVERIFY(w.form.Transfer().state.ReceiveCompleted);
  QVERIFY(w.form.completionTimer->isActive());
  QVERIFY(w.host.closes.empty());

  // completionTimer, run at once instead of after 2000 ms: the file is the document.
  w.form.Transfer().TransferFinished();
  QCOMPARE(w.form.Document.CurrentFileName, target.toStdString());
  QCOMPARE(w.form.windowTitle(), "<編集>" + target + " - Quelvo Ver1.47");
  QCOMPARE(w.form.editor->text().toStdString(), std::string(kStored));
  QVERIFY(!w.form.editor->isModified());
  QVERIFY(!w.form.Transfer().state.ReceiveCompleted);
  QVERIFY(w.form.Commands().tools.receive->isEnabled());
  QVERIFY(!w.form.transferStatus->isVisible());
}

void ReceiveCommandWindowTest::ospModeReceivesUnderTheControlsName() {
  ReceiveWindow w;
  QDir(w.home.Path()).mkdir("osp");
  const QString folder = w.home.File("osp");
  w.form.Settings.setNo = 6;
  w.folderChoice = folder + "/";
  w.control.Punch("$O1234.MIN%\nO1234\nM30\n%\n\n");

  w.form.Transfer().ReceiveCommand();
  w.control.Join();

  QCOMPARE(w.fileDialogs, 0);
  QCOMPARE(w.folderPrompt, "現ﾃﾞｨﾚｸﾄﾘ " + w.home.Path());
  QCOMPARE(w.folderStart, w.home.Path());
  QCOMPARE(w.form.Settings.dirPath, folder.toStdString());
  QCOMPARE(FileText(folder + "/O1234.MIN"), std::string("O1234\r\nM30\r\n"));
  QVERIFY(!QFileInfo::exists(folder + "/osp_data.tmp"));
  // The title names the temporary file, then the name the control sent.
  const int tmp = w.titles.indexOf("<受信>osp_data.tmp - Quelvo Ver1.47");
  QVERIFY(tmp >= 0);
  QVERIFY(w.titles.indexOf("<受信>O1234.MIN - Quelvo Ver1.47") > tmp);
  const std::string& log = w.form.Log.Text();
  const size_t first = log.find("  受信\n");
  const size_t osp = log.find("  OSP専用で受信設定開始\n");
  const size_t name = log.find("  受信ﾌｧｲﾙ名はＮＣ装置から取得\n");
  const size_t where = log.find("  受信ﾌｧｲﾙ保存先は" + folder.toStdString() + "\n");
  QVERIFY(first < osp && osp < name && name < where && where != std::string::npos);

  w.form.Transfer().TransferFinished();
  QCOMPARE(w.form.Document.CurrentFileName, (folder + "/O1234.MIN").toStdString());
  QCOMPARE(w.form.editor->text().toStdString(), std::string("O1234\r\nM30\r\n"));
}

void ReceiveCommandWindowTest::cancelledChoicesStartNothing() {
  ReceiveWindow w;
  w.form.Log.Start("  earlier\n");
  w.form.Transfer().ReceiveCommand();  // the save dialog cancelled
  w.form.Settings.setNo = 12;
  w.form.Transfer().ReceiveCommand();  // the folder choice cancelled
  QCOMPARE(w.fileDialogs, 1);
  QVERIFY(!w.folderPrompt.isEmpty());
  QVERIFY(w.form.Commands().tools.receive->isEnabled());
  QVERIFY(!w.form.completionTimer->isActive());
  QVERIFY(w.form.Log.Text().find("earlier") != std::string::npos);
  QVERIFY(w.host.closes.empty());
}

void ReceiveCommandWindowTest::saveDialogAsksForTheReceivedDataName() {
  ReceiveWindow w;
  w.form.Files().FilePrompt.chooseSaveFile = nullptr;  // the real dialog
  QString title;
  QTimer::singleShot(100, &w.form, [&] {
    title = w.form.Files().saveDialog->windowTitle();
    w.form.Files().saveDialog->reject();
  });
  w.form.Transfer().ReceiveCommand();
  QCOMPARE(title, QString("受信データ名"));
  QVERIFY(w.form.Commands().tools.receive->isEnabled());
  QVERIFY(!w.form.completionTimer->isActive());
}

void ReceiveCommandWindowTest::stopWhileWaitingDeletesTheTarget() {
  ReceiveWindow w;
  const QString target = w.home.File("never.nc");
  w.fileChoice = {true, target, 1};
  w.form.editor->setText("O1\r\n");
  w.form.editor->setModified(false);
  QTimer::singleShot(200, &w.form, [&] { w.form.Transfer().StopCommand(); });

  w.form.Transfer().ReceiveCommand();

  QVERIFY(!QFileInfo::exists(target));
  QVERIFY(!w.form.Transfer().state.ReceiveCompleted);
  QVERIFY(w.form.Log.Text().find("  受信中止　ｴﾗｰ番号 9999\n") != std::string::npos);
  QCOMPARE(w.form.windowTitle(), QString("Quelvo Ver1.47 (Win98/Me/2000/XP)"));
  QVERIFY(w.form.editor->text().isEmpty());
  QVERIFY(!w.form.editor->isModified());
  QVERIFY(w.form.completionTimer->isActive());

  w.form.Transfer().TransferFinished();
  QVERIFY(w.form.Commands().tools.receive->isEnabled());
  QVERIFY(w.form.editor->text().isEmpty());
  QCOMPARE(w.form.windowTitle(), QString("Quelvo Ver1.47 (Win98/Me/2000/XP)"));
}

// A close (asked, answered Yes) or SIGTERM (not asked) while the window waits
// for the control's data: the reception stops as after "中止", and the window
// closes once it has ended.
void ReceiveCommandWindowTest::closeDuringAReceptionStopsItFirst_data() {
  QTest::addColumn<bool>("terminate");
  QTest::newRow("close, Yes") << false;
  QTest::newRow("SIGTERM") << true;
}

void ReceiveCommandWindowTest::closeDuringAReceptionStopsItFirst() {
  QFETCH(bool, terminate);
  ReceiveWindow w;
  const QString target = w.home.File("never.nc");
  w.fileChoice = {true, target, 1};
  QStringList questions;
  w.form.Host.SetMessageFunction([&](const std::string& text, const std::string&, quelvo::MessageKind,
                                     quelvo::MessageButtons) {
    questions << QString::fromStdString(text);
    return quelvo::MessageAnswer::kYes;
  });
  bool closedAtOnce = true;
  QTimer::singleShot(200, &w.form, [&] {
    if (terminate) {
      w.form.CloseOnTerminate();
      closedAtOnce = !w.form.isVisible();
    } else {
      closedAtOnce = w.form.close();
    }
  });

  w.form.Transfer().ReceiveCommand();

  QVERIFY(!closedAtOnce);
  QCOMPARE(questions, terminate ? QStringList() : QStringList{"転送中です。中止して終了しますか？"});
  QVERIFY(!QFileInfo::exists(target));
  QVERIFY(w.form.Log.Text().find("  手動操作にて受信待機中に中止\n") != std::string::npos);
  QVERIFY(w.form.Log.Text().find("  受信中止　ｴﾗｰ番号 9999\n") != std::string::npos);
  QTRY_VERIFY_WITH_TIMEOUT(!w.form.isVisible(), 2000);
}

void ReceiveCommandWindowTest::shiftClosesAfterReceptionAndOp2SplitsIt() {
  ReceiveWindow w;
  const QString target = w.home.File("two.nc");
  w.fileChoice = {true, target, 1};
  w.host.shift = true;
  w.form.Settings.options.splitReceived = true;
  w.form.Settings.options.powerOffAfterTransfer = true;
  w.control.Punch("%\nO1\nM30\nO2\nM30\n%\n\n");

  w.form.Transfer().ReceiveCommand();
  w.control.Join();

  QVERIFY(w.form.App.CloseAfterTransfer);
  QCOMPARE(w.host.closes, std::vector<bool>{true});
  QVERIFY(w.form.Log.Text().find("  自動で電源断\n") != std::string::npos);

  w.form.Transfer().TransferFinished();
  QCOMPARE(w.form.Document.CurrentFileName, target.toStdString());
  QVERIFY(w.form.Files().programPicker->isVisible());
  QCOMPARE(static_cast<int>(w.form.Files().programPicker->Items().size()), 2);
  w.form.Files().programPicker->CancelSaveClick();
}

// The log file is a link (refused, never followed): the reception is saved
// and a box says the log was not, once the control has had its DC4.
void ReceiveCommandWindowTest::logThatCannotBeSavedIsShownInABox() {
  ReceiveWindow w;
  const QString logPath = QString::fromStdString(quelvo::CommLogFilePath(2));
  QVERIFY(QFile::link(w.home.File("elsewhere.log"), logPath));
  const QString target = w.home.File("received.nc");
  w.fileChoice = {true, target, 1};
  w.control.Punch(kTape);
  QStringList boxes;
  bool dc4BeforeBox = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    boxes << box->text();
    w.control.Join();
    dc4BeforeBox = w.control.sawDc4;
    box->button(QMessageBox::Ok)->click();
  });
  watch.start(20);

  w.form.Transfer().ReceiveCommand();
  watch.stop();

  QCOMPARE(boxes.size(), 1);
  QVERIFY2(boxes[0].startsWith(QStringLiteral("受信ログファイルが保存できません。\n")), qPrintable(boxes[0]));
  QVERIFY(dc4BeforeBox);
  QCOMPARE(FileText(target), std::string(kStored));
  QVERIFY(w.form.Transfer().state.ReceiveCompleted);
  QVERIFY(!QFileInfo::exists(w.home.File("elsewhere.log")));
}

QTEST_MAIN(ReceiveCommandWindowTest)
#include "ReceiveCommandWindowTest.moc"
