// Starts the built program twice: the second start ends at once with exit code
// 0, even with arguments, while the first keeps running.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  void secondStartEndsSilently();
};

void SingleInstanceTest::secondStartEndsSilently() {
  const QString program = qEnvironmentVariable("QUELVO_BIN_DIR") + "/quelvo";
  QVERIFY2(QFile::exists(program), qPrintable(program));
  QTemporaryDir home, runtime;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QUELVO_HOME", home.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");

  QProcess first;
  first.setProcessEnvironment(env);
  first.start(program, {});
  QVERIFY(first.waitForStarted(5000));
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.filePath("quelvo.lock")), 10000);

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(program, {"S=O1234.NC", "END"});
  QVERIFY(second.waitForFinished(5000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QVERIFY(second.readAllStandardOutput().isEmpty());
  QCOMPARE(first.state(), QProcess::Running);

  first.terminate();
  QVERIFY(first.waitForFinished(5000));
  // A lock left by a process that is gone does not keep the program out.
  QProcess third;
  third.setProcessEnvironment(env);
  third.start(program, {});
  QVERIFY(third.waitForStarted(5000));
  QVERIFY(!third.waitForFinished(1500));
  QCOMPARE(third.state(), QProcess::Running);
  third.terminate();
  QVERIFY(third.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
