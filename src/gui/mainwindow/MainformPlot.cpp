// SPDX-License-Identifier: GPL-3.0-or-later
// "ツールパス表示": the plot window of the document, made at first use.
#include "gui/mainwindow/Mainform.h"
#include "gui/plot/PlotWindow.h"

namespace quelvo {

void TForm1::PlotOpenClick() {
  if (!PlotForm) {
    PlotForm = new PlotWindow(RichEdit1, this);
    // The caret moved without a key or a click in the editor: the row and
    // column panel follows it all the same.
    connect(PlotForm, &PlotWindow::CaretPlaced, this, &TForm1::UpdateCaretPosition);
  }
  PlotForm->show();
  PlotForm->raise();
  PlotForm->activateWindow();
  PlotForm->Refresh();
}

void TForm1::PlotFollowDocument() {
  if (PlotForm) PlotForm->DocumentReplaced();
}

}  // namespace quelvo
