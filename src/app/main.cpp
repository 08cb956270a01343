// Quelvo: one instance per program file, then the main window.
#include <QMessageBox>
#include <exception>

#include "app/Application.h"
#include "app/Mainform.h"
#include "app/SingleInstance.h"

int main(int argc, char* argv[]) {
  quelvo::SingleInstance instance;
  if (!instance.IsFirst()) return 0;  // another instance runs: end silently

  quelvo::Application app(argc, argv);
  try {
    quelvo::TForm1 form;
    form.show();
    app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Quelvo", QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, "Quelvo", QString());
  }
  return 0;
}
