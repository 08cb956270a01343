// Quelvo: one instance per program file, the Japanese translation of the
// toolkit's own texts, then the main window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

#include "app/Mainform.h"
#include "app/SingleInstance.h"

int main(int argc, char* argv[]) {
  quelvo::SingleInstance instance;
  if (!instance.IsFirst()) return 0;  // another instance runs: end silently

  QApplication app(argc, argv);
  QApplication::setApplicationName("Quelvo");

  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslator);

  try {
    quelvo::TForm1 form;
    form.show();
    app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Quelvo", QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, "Quelvo", QString());
  }
  return 0;
}
