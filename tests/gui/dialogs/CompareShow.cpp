// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the compare window for two NC program files, for looking at it
// (screenshots):
//   compare_show A B [--next N]
//   compare_show A --library FOLDER     (A against the last revision of its
//                                        program received in the service's library)
// --next presses "次の変更" N times.
#include <QApplication>

#include "core/common/AtomicFile.h"
#include "core/compare/CompareReport.h"
#include "core/dnc/ProgramHistory.h"
#include "gui/dialogs/CompareDialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) return 2;
  std::string a, b, error;
  quelvo::CompareDialog dialog;
  if (args[2] == "--library" && args.size() > 3) {
    std::string bytes;
    quelvo::ReceivedRevisionText revision;
    if (!quelvo::ReadWholeFile(args[1].toStdString(), &bytes, &error) ||
        !quelvo::ReadProgramFile(args[1].toStdString(), a, error) ||
        !quelvo::LastReceivedForDocument(args[3].toStdString(), bytes, args[1].toStdString(), &revision, &error))
      return 2;
    dialog.SetPrograms(args[1], std::move(a), QString::fromStdString(revision.name), std::move(revision.text));
  } else {
    if (!quelvo::ReadProgramFile(args[1].toStdString(), a, error) ||
        !quelvo::ReadProgramFile(args[2].toStdString(), b, error))
      return 2;
    dialog.SetPrograms(args[1], std::move(a), args[2], std::move(b));
  }
  const int next = args.contains("--next") ? args[args.indexOf("--next") + 1].toInt() : 0;
  for (int i = 0; i < next; ++i) dialog.NextChange();
  dialog.show();
  return app.exec();
}
