// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's event loop during a send: a program sent from the window
// (offscreen, the "送信" button) through a pseudo-terminal to the simulated NC
// control at an emulated 115200 baud (the driver paces the line, as with the
// old-type protocol). Two figures of the window's thread: the longest time it
// spent busy between two waits for events (the longest the window could not
// draw or take a key because of its own work), and the longest gap between
// two ticks of a 5 ms timer (which on a busy machine also holds the time the
// system gave the thread no processor). The program fails when the send did
// not complete or the busy time reaches 50 ms.
// QUELVO_BLOCK_BENCH_KB sets another size (default 500 KB, about 45 s).
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "NcsimProcess.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/GeneratedProgram.h"
#include "support/WindowTestHome.h"

namespace {

using Clock = std::chrono::steady_clock;

size_t ProgramBytes() {
  const char* kb = std::getenv("QUELVO_BLOCK_BENCH_KB");
  const long n = kb != nullptr ? std::atol(kb) : 0;
  return static_cast<size_t>(n > 0 ? n : 500) * 1000;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  quelvo::test::WindowTestHome home;
  const std::string link = home.File("ncport").toStdString();
  quelvo::ncsim::test::NcsimProcess sim(
      {"--link", link, "--code", "iso", "--baud", "115200", "--buffer", "16000000", "--once"});
  if (sim.WaitFor("ready", 10000).empty()) {
    std::printf("window_block: the simulated control did not start\n");
    return 1;
  }
  const size_t bytes = ProgramBytes();
  quelvo::MainWindow form;
  form.show();
  form.Comm.Port_S = link;
  form.Comm.Control_S = 2;  // old type: the driver paces, no handshake reads bound the speed
  form.Host.SetMessageFunction([](const std::string&, const std::string&, quelvo::MessageKind,
                                  quelvo::MessageButtons buttons) {
    return buttons == quelvo::MessageButtons::kOk ? quelvo::MessageAnswer::kOk : quelvo::MessageAnswer::kYes;
  });
  form.editor->setText(QString::fromStdString(quelvo::test::GeneratedProgram(bytes)));
  form.editor->setModified(false);

  bool measuring = false;
  Clock::duration longestBusy{}, longestGap{};
  Clock::time_point awakeAt = Clock::now(), lastTick = awakeAt;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { awakeAt = Clock::now(); });
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
    if (measuring && Clock::now() - awakeAt > longestBusy) longestBusy = Clock::now() - awakeAt;
  });
  QTimer tick;
  tick.setInterval(5);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    if (now - lastTick > longestGap) longestGap = now - lastTick;
    lastTick = now;
  });
  QTimer::singleShot(0, [&] {
    const Clock::time_point started = Clock::now();
    lastTick = awakeAt = started;
    measuring = true;
    tick.start();
    form.Commands().tools.send->click();  // returns when the send has ended
    tick.stop();
    measuring = false;
    const bool completed = form.statusFields.phase->text() == QStringLiteral("送信完了");
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::printf("window_block: 115200-baud send of %.1f MB in %.1f s: the window's thread busy at most %.1f ms at a "
                "time (goal < 50 ms), longest gap between its 5 ms ticks %.1f ms%s\n",
                static_cast<double>(bytes) / 1e6, seconds, Ms(longestBusy), Ms(longestGap),
                completed ? "" : " (INCOMPLETE)");
    QCoreApplication::exit(completed && Ms(longestBusy) < 50 ? 0 : 1);
  });
  const int status = app.exec();
  form.completionTimer->stop();
  return status;
}
