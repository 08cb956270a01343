// SPDX-License-Identifier: GPL-3.0-or-later
// Documents sent by the main window's send command to the simulated NC control:
// what arrives on the control's side for documents that end in the ways an
// editor text can end. The amount to send is the text's length − 1 and every
// line, the empty one after a final line break included, counts its length + 2,
// so a last line is sent as long as that count has not reached the amount.
// Setting: ISO, nothing before the data, LF after every line, LF and "%" after
// the data. Each send waits out the 4 s before the port closes.
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "NcsimProcess.h"
#include "gui/dialogs/LineMonitorWindow.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/WindowTestHome.h"

using quelvo::MessageAnswer;
using quelvo::MessageButtons;
using quelvo::MessageKind;
using quelvo::MainWindow;
using quelvo::ncsim::test::NcsimProcess;

namespace {

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

class SendWireWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void controlReceivesEveryLineOfTheText_data();
  void controlReceivesEveryLineOfTheText();
  void lineMonitorOpenDuringASendChangesNothing();
};

void SendWireWindowTest::controlReceivesEveryLineOfTheText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("received");
  QTest::addColumn<int>("amount");  // the progress bar's range, shown as "残り n"
  QTest::newRow("no final line break") << "O1\r\nG01\r\n%" << "O1\nG01\n\n%" << 9;
  QTest::newRow("final CR LF") << "O1\r\nG1\r\n" << "O1\nG1\n\n%" << 7;
  QTest::newRow("final blank line") << "G01\r\nM30\r\n\r\n" << "G01\nM30\n\n\n%" << 11;
  QTest::newRow("one-character last line") << "G01\r\nX\r\n" << "G01\nX\n\n%" << 7;
  QTest::newRow("one character, no line break") << "G01\r\nX" << "G01\n\n%" << 5;
  // A lone line feed is made a CR in the editor (one more to send) and sent.
  QTest::newRow("LF only") << "A\nB\n" << "A\r\nB\r\n\n\n%" << 9;
  QTest::newRow("lone CR") << "A\rB\r" << "A\nB\n\n%" << 5;
}

void SendWireWindowTest::controlReceivesEveryLineOfTheText() {
  QFETCH(QString, text);
  QFETCH(QString, received);
  QFETCH(int, amount);
  quelvo::test::WindowTestHome home;
  const QString link = home.File("ncport");
  const QString out = home.File("at-control.nc");
  NcsimProcess control({"--link", link.toStdString(), "--code", "iso", "--baud", "0", "--once", "--out",
                        out.toStdString()});
  QVERIFY2(!control.WaitFor("ready", 10000).empty(), "ncsim did not publish its link");

  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  form.Comm.Port_S = link.toStdString();
  std::vector<std::string> messages;
  form.Host.SetMessageFunction([&](const std::string& message, const std::string&, MessageKind,
                                   MessageButtons buttons) {
    messages.push_back(message);
    return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kYes;
  });
  form.editor->setText(text);
  form.editor->setModified(false);

  form.Commands().tools.send->click();  // runs the whole send
  QVERIFY2(messages.empty(), messages.empty() ? "" : messages.front().c_str());
  QVERIFY2(form.Log.Text().find("  送信完了\n") != std::string::npos, form.Log.Text().c_str());

  const std::string end = control.WaitFor("end", 10000);
  QVERIFY2(end.find(" parity_errors=0 ") != std::string::npos, end.c_str());
  QCOMPARE(QString::fromStdString(ReadFile(out)), received);
  QCOMPARE(form.statusFields.progress->maximum(), amount);
}

// The same send with and without "通信モニタ" open: the control gets the same
// bytes and the log says the same; the monitor saw the send in its code.
void SendWireWindowTest::lineMonitorOpenDuringASendChangesNothing() {
  std::string atControl[2], log[2];
  QStringList seen;
  for (const bool monitor : {false, true}) {
    quelvo::test::WindowTestHome home;
    const QString link = home.File("ncport");
    const QString out = home.File("at-control.nc");
    NcsimProcess control({"--link", link.toStdString(), "--code", "iso", "--baud", "0", "--once", "--out",
                          out.toStdString()});
    QVERIFY2(!control.WaitFor("ready", 10000).empty(), "ncsim did not publish its link");
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Comm.Port_S = link.toStdString();
    if (monitor) form.Commands().Menus.LineMonitor->trigger();
    form.editor->setText("O1\r\nG01X1.\r\nM30\r\n");
    form.editor->setModified(false);
    form.Commands().tools.send->click();
    QVERIFY(control.WaitFor("end", 10000).find(" parity_errors=0 ") != std::string::npos);
    atControl[monitor] = ReadFile(out);
    // Without the time stamps and the temporary folder.
    log[monitor] = std::regex_replace(form.Log.Text(), std::regex("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d"), "TIME");
    const std::string homePath = home.Path().toStdString();
    for (size_t at; (at = log[monitor].find(homePath)) != std::string::npos;) {
      log[monitor].replace(at, homePath.size(), "HOME");
    }
    if (monitor) {
      QVERIFY(form.lineMonitor != nullptr && form.lineMonitor->isVisible());
      form.lineMonitor->Poll();
      form.lineMonitor->Poll();
      seen = form.lineMonitor->Lines();
      QVERIFY(form.lineMonitor->WatchButton()->isEnabled());  // the transfer ended
    }
  }
  QCOMPARE(atControl[1], atControl[0]);
  QCOMPARE(log[1], log[0]);
  const QString all = seen.join('\n');
  QVERIFY2(all.contains("PC→NC  O1<LF>") && all.contains("G01X1.<LF>") && all.contains("NC→PC  <DC1>"),
           qPrintable(all));
}

QTEST_MAIN(SendWireWindowTest)
#include "SendWireWindowTest.moc"
