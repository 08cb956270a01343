// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the plot window beside an editor holding an NC program file, for
// looking at the plot (screenshots):
//   plot_show FILE [--lathe] [--view 0..3] [--line N]
// --line puts the caret on line N, whose move is highlighted.
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QFile>
#include <QTimer>

#include "gui/editor/NcEdit.h"
#include "gui/plot/PlotWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) return 2;
  QFile file(args[1]);
  if (!file.open(QIODevice::ReadOnly)) return 2;
  quelvo::NcEdit editor;
  editor.setText(QString::fromLatin1(file.readAll()));
  quelvo::PlotWindow plot(&editor);
  plot.resize(1000, 640);
  const int line = args.contains("--line") ? args[args.indexOf("--line") + 1].toInt() : 1;
  editor.setCursorPosition(line - 1, 0);
  plot.LatheBox()->setChecked(args.contains("--lathe"));
  if (args.contains("--view")) plot.ViewBox()->setCurrentIndex(args[args.indexOf("--view") + 1].toInt());
  plot.show();
  plot.Refresh();
  return app.exec();
}
