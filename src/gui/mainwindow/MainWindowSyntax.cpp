// SPDX-License-Identifier: GPL-3.0-or-later
// The NC syntax colours of the document editor: the option Syntax_Color and
// the item "ｺｰﾄﾞ色分け表示" at the end of the "ｵﾌﾟｼｮﾝ" menu.
#include <QAction>

#include "core/transfer/TapeCode.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::UpdateSyntaxColors() {
  editor->SetSendCarryRule(SendCarryRule{SendTapeCode(Comm.Code_S), Settings.options.cutComments});
  editor->SetSyntaxColors(Settings.options.syntaxColors);
  commands_->Menus.color_op->setChecked(Settings.options.syntaxColors);
}

// Only the look changes: the modified flag and the text stay as they were.
void MainWindow::color_opClick() {
  Settings.storedOptions.syntaxColors = !Settings.storedOptions.syntaxColors;
  Settings.DecodeStoredOptions();
  UpdateSyntaxColors();
}

}  // namespace quelvo
