// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <exception>

#include "gui/desktop/ProgramIcon.h"

namespace quelvo {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Quelvo");
  // The installed desktop entry (data/quelvo.desktop): desktops match the window to
  // it, and so to its name and icon.
  setDesktopFileName("quelvo");
  setWindowIcon(ProgramIcon());
  InstallToolkitTranslation(toolkitTexts_);
}

bool Application::InstallToolkitTranslation(QTranslator& translator) {
  if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return QCoreApplication::installTranslator(&translator);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    QMessageBox::critical(activeWindow(), "Quelvo", QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(activeWindow(), "Quelvo", QString());
  }
  return false;
}

}  // namespace quelvo
