// SPDX-License-Identifier: GPL-3.0-or-later
// Quelvo: one instance per program file, then the main window. The exit status
// says whether an unattended transfer ("END") completed (ExitStatus.h).
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "core/commandline/CommandLineRules.h"
#include "core/commandline/ExitStatus.h"
#include "core/document/DocumentTitle.h"
#include "gui/desktop/SingleInstance.h"
#include "gui/desktop/TerminateSignal.h"
#include "gui/mainwindow/Application.h"
#include "gui/mainwindow/MainWindow.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  // "quelvo --version" prints the version and ends without starting the
  // toolkit, so it answers where there is no display (a terminal over ssh, a
  // package check) and while another Quelvo runs.
  if (quelvo::AsksForVersion(args)) {
    std::printf("Quelvo%s\n", quelvo::kVersionSuffix);
    return quelvo::kExitOk;
  }
  quelvo::SingleInstance instance;
  if (!instance.Problem().empty()) {
    std::fprintf(stderr, "%s\n", instance.Problem().c_str());
    return quelvo::kExitCannotStart;
  }
  // Until the window says otherwise, an unattended transfer did not complete.
  const bool unattended = quelvo::RequestsUnattendedTransfer(args);
  const int notCompleted = unattended ? quelvo::kExitTransferNotCompleted : quelvo::kExitOk;
  // Another instance runs: end silently, but a transfer asked of this start did not happen.
  if (!instance.IsFirst()) return notCompleted;

  quelvo::Application app(argc, argv);
  try {
    quelvo::MainWindow form;
    const quelvo::TerminateSignal terminate([&form] { form.CloseOnTerminate(); });
    form.show();
    app.exec();
    return form.App.ExitStatus;
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Quelvo", QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, "Quelvo", QString());
  }
  return notCompleted;
}
