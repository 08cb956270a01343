// SPDX-License-Identifier: GPL-3.0-or-later
// The line monitor window: what the tap saw as lines and lamps, the saved
// file, and the idle watch that lets go of the port when a transfer starts.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/transfer/TapeCode.h"
#include "gui/dialogs/LineMonitorWindow.h"
#include "support/FakeSerialPort.h"
#include "support/VirtualClock.h"

namespace quelvo {

class LineMonitorWindowTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    VirtualClock clock;
    FakeSerialPort port{clock};
    LineTap tap;
    TappedPort tapped{port};  // as the link's port is
    const bool attached = (tapped.Attach(&tap), true);
    IdleLineWatch watch;
    LineMonitorWindow window{tap, watch, tapped};
    QStringList errors;
    QString savePath;
    Fixture() {
      window.showError = [this](QWidget*, const QString& text) { errors << text; };
      window.chooseSaveFile = [this](QWidget*) { return savePath; };
      window.show();
    }
    ~Fixture() { watch.Stop(); }
    bool HasLine(const QString& part) const {
      for (const QString& line : window.Lines()) {
        if (line.contains(part)) return true;
      }
      return false;
    }
  };

 private slots:
  void ShowsBothDirectionsLampsAndParityErrors() {
    Fixture f;
    f.tap.Mark(TapEvent::Kind::kOpened);
    f.tap.OutputLines(kTapDtr | kTapRts);
    f.tap.ModemLines(true, kModemCts | kModemDsr);
    f.window.TransferStarting(TapeCode::ISO);
    f.tap.Byte(TapEvent::Kind::kFromControl, kDC1);
    for (const char ch : std::string("\xA5\x0A" "G1\x0A")) {  // "%" LF, then G1 with a wrong parity, LF
      f.tap.Byte(TapEvent::Kind::kToControl, static_cast<uint8_t>(ch));
    }
    f.window.Poll();
    f.window.Poll();  // quiet: the line in the making is shown
    QVERIFY(f.HasLine("NC→PC  <DC1>"));
    QVERIFY(f.HasLine("PC→NC  %<LF>"));
    QVERIFY(f.HasLine("PC→NC  G<PE 31><LF>"));  // "G" has 4 ones: fine; "1" (0x31) has 3: marked
    QCOMPARE(f.window.LampState("DTR"), QString("on"));
    QCOMPARE(f.window.LampState("RTS"), QString("on"));
    QCOMPARE(f.window.LampState("CTS"), QString("on"));
    QCOMPARE(f.window.LampState("DSR"), QString("on"));
    QCOMPARE(f.window.LampState("DCD"), QString("off"));
    QVERIFY(f.window.findChild<QLabel*>("counts")->text().contains("パリティ誤り"));

    // Lines that cannot be read are shown as such; a closed port darkens all.
    f.tap.ModemLines(false, 0);
    f.window.Poll();
    QCOMPARE(f.window.LampState("CTS"), QString("?"));
    QCOMPARE(f.window.LampState("DTR"), QString("on"));
    f.tap.Mark(TapEvent::Kind::kClosed);
    f.window.Poll();
    QCOMPARE(f.window.LampState("DTR"), QString("?"));
  }

  void SavesWhatItSawAndSaysWhenItCannot() {
    Fixture f;
    QTemporaryDir dir;
    f.tap.Byte(TapEvent::Kind::kFromControl, 'O');
    f.window.Poll();
    f.window.Poll();
    f.savePath = dir.filePath("seen.txt");
    f.window.SaveButton()->click();
    QFile file(f.savePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), f.window.Lines().join('\n') + '\n');
    QVERIFY(f.errors.isEmpty());

    f.savePath = dir.filePath("missing/seen.txt");
    f.window.SaveButton()->click();
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains("missing/seen.txt"));

    f.savePath.clear();  // cancelled: nothing happens
    f.window.SaveButton()->click();
    QCOMPARE(f.errors.size(), 1);
  }

  // Watching an idle line opens the port through the one port object, and a
  // transfer that starts makes the watch let go of it first.
  void IdleWatchLetsGoOfThePortForATransfer() {
    Fixture f;
    QVERIFY(!f.window.StartWatching());  // no receive port known
    QCOMPARE(f.errors.size(), 1);
    f.window.SetIdleLine("/dev/ttyS0", LineConfig{}, TapeCode::ISO, "COM1");
    f.port.QueueIncoming("\xA5\x0A", 0);
    f.window.WatchButton()->click();
    QVERIFY(f.watch.Watching());
    QVERIFY(f.window.WatchButton()->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT((f.window.Poll(), f.HasLine("NC→PC  %<LF>")), 10000);

    f.window.TransferStarting(TapeCode::EIA);
    QVERIFY(!f.watch.Watching());
    QVERIFY(!f.port.IsOpen());
    QVERIFY(!f.window.WatchButton()->isEnabled());
    QVERIFY(!f.window.WatchButton()->isChecked());
    f.window.TransferEnded();
    QVERIFY(f.window.WatchButton()->isEnabled());

    // A port that fails under the watch ends it with a note.
    f.port.readErrno = EIO;
    QVERIFY(f.window.StartWatching());
    QTRY_VERIFY_WITH_TIMEOUT((f.window.Poll(), !f.window.WatchButton()->isChecked()), 10000);
    QVERIFY(f.HasLine("監視を終了"));
    QVERIFY(!f.port.IsOpen());
  }
};

}  // namespace quelvo

QTEST_MAIN(quelvo::LineMonitorWindowTest)
#include "LineMonitorWindowTest.moc"
