// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the built program twice: the second start ends at once and silently
// while the first keeps running; its exit status says whether a transfer it was
// asked for unattended ("END") was done, which it never is.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  void secondStartEndsSilently();
  void lockFolderTakenByAnotherUserStopsTheStartWithAReason();
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

  const struct {
    QStringList args;
    int exitCode;
  } secondStarts[] = {{{}, 0}, {{"S=O1234.NC"}, 0}, {{"S=O1234.NC", "END"}, 1}, {{"R=O1.NC", "/END"}, 1}};
  for (const auto& start : secondStarts) {
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, start.args);
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), start.exitCode);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
  }

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

// Without XDG_RUNTIME_DIR the lock folder is /tmp/quelvo-<uid>. Another user who
// made it first must not keep every start out silently: the start says why on
// stderr and ends with status 2. Runs the program as an unused uid, so root only.
void SingleInstanceTest::lockFolderTakenByAnotherUserStopsTheStartWithAReason() {
  if (geteuid() != 0) QSKIP("needs root to start the program as another user");
  const QString program = qEnvironmentVariable("QUELVO_BIN_DIR") + "/quelvo";
  const uid_t uid = 40000 + static_cast<uid_t>(getpid() % 20000);
  const QString folder = QString("/tmp/quelvo-%1").arg(uid);
  QDir(folder).removeRecursively();
  QVERIFY(QDir().mkdir(folder));  // root's folder, made first
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("XDG_RUNTIME_DIR");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  QProcess start;
  start.setProcessEnvironment(env);
  start.setChildProcessModifier([uid] {
    if (setgid(uid) != 0 || setuid(uid) != 0) _exit(99);
  });
  start.start(program, {"S=O1.NC", "END"});
  const bool finished = start.waitForFinished(10000);
  if (!finished) start.kill();
  QDir(folder).removeRecursively();
  QVERIFY(finished);
  QCOMPARE(start.exitCode(), 2);
  const QString error = QString::fromUtf8(start.readAllStandardError());
  QVERIFY2(error.contains(folder) && error.contains("他のユーザー（uid 0）の所有です"), qPrintable(error));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
