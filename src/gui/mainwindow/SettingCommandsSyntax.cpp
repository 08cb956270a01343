// SPDX-License-Identifier: GPL-3.0-or-later
// The NC syntax colours of the document editor (SettingCommands): the option Syntax_Color and
// the item "ｺｰﾄﾞ色分け表示" at the end of the "ｵﾌﾟｼｮﾝ" menu.
#include <QAction>

#include "core/transfer/TapeCode.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/SettingCommands.h"

namespace quelvo {

void SettingCommands::UpdateSyntaxColors() {
  w_.editor->SetSendCarryRule(SendCarryRule{SendTapeCode(w_.Comm.Code_S), w_.Settings.options.cutComments});
  w_.editor->SetSyntaxColors(w_.Settings.options.syntaxColors);
  w_.commands_->Menus.color_op->setChecked(w_.Settings.options.syntaxColors);
}

// Only the look changes: the modified flag and the text stay as they were.
void SettingCommands::color_opClick() {
  w_.Settings.storedOptions.syntaxColors = !w_.Settings.storedOptions.syntaxColors;
  w_.Settings.DecodeStoredOptions();
  UpdateSyntaxColors();
}

}  // namespace quelvo
