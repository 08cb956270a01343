// SPDX-License-Identifier: GPL-3.0-or-later
// Not a test: shows the communication settings dialog on a fresh program
// folder, at the page given as the first argument (0 receive, 1 send, 2
// options), for looking at it.
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdlib>

#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/SettingsDialog.h"

int main(int argc, char** argv) {
  using namespace quelvo;
  QApplication app(argc, argv);
  QTemporaryDir folder;
  ProgramSettings settings;
  CommSetting setting;
  setting.Port_R = setting.Port_S = "COM1";
  SettingsDialog form(settings, setting, folder.path().toStdString());
  form.SetPortProber({[](int n) { return n == 1; }, [] { return std::vector<std::string>{}; }});
  form.show();
  form.Pages()->setCurrentIndex(argc > 1 ? std::atoi(argv[1]) : 0);
  return app.exec();
}
