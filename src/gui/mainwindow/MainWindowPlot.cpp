// SPDX-License-Identifier: GPL-3.0-or-later
// "ツールパス表示": the plot window of the document, made at first use.
#include "gui/mainwindow/MainWindow.h"
#include "gui/plot/PlotWindow.h"

namespace quelvo {

void MainWindow::PlotOpenClick() {
  if (!plotWindow) {
    plotWindow = new PlotWindow(editor, this);
    // The caret moved without a key or a click in the editor: the row and
    // column panel follows it all the same.
    connect(plotWindow, &PlotWindow::CaretPlaced, this, [this] { edit_->UpdateCaretPosition(); });
  }
  plotWindow->show();
  plotWindow->raise();
  plotWindow->activateWindow();
  plotWindow->Refresh();
}

void MainWindow::PlotFollowDocument() {
  if (plotWindow) plotWindow->DocumentReplaced();
}

}  // namespace quelvo
