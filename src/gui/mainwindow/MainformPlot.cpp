// "ツールパス表示": the plot window of the document, made at first use.
#include "gui/mainwindow/Mainform.h"
#include "gui/plot/PlotWindow.h"

namespace quelvo {

void TForm1::PlotOpenClick() {
  if (!PlotForm) PlotForm = new PlotWindow(RichEdit1, this);
  PlotForm->show();
  PlotForm->raise();
  PlotForm->activateWindow();
  PlotForm->Refresh();
}

}  // namespace quelvo
