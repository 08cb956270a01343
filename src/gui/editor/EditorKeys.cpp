// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/EditorKeys.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <array>

namespace quelvo {

namespace {
using C = QsciCommand;

constexpr std::array kKeptCommands = {
    // Caret movement and its selecting (Shift) forms.
    C::LineDown, C::LineDownExtend, C::LineUp, C::LineUpExtend, C::LineScrollDown, C::LineScrollUp,
    C::ScrollToStart, C::ScrollToEnd, C::VerticalCentreCaret, C::ParaDown, C::ParaDownExtend, C::ParaUp,
    C::ParaUpExtend, C::CharLeft, C::CharLeftExtend, C::CharRight, C::CharRightExtend, C::WordLeft,
    C::WordLeftExtend, C::WordRight, C::WordRightExtend, C::WordLeftEnd, C::WordLeftEndExtend,
    C::WordRightEnd, C::WordRightEndExtend, C::WordPartLeft, C::WordPartLeftExtend, C::WordPartRight,
    C::WordPartRightExtend, C::Home, C::HomeExtend, C::HomeDisplay, C::HomeDisplayExtend, C::HomeWrap,
    C::HomeWrapExtend, C::VCHome, C::VCHomeExtend, C::VCHomeWrap, C::VCHomeWrapExtend, C::LineEnd,
    C::LineEndExtend, C::LineEndDisplay, C::LineEndDisplayExtend, C::LineEndWrap, C::LineEndWrapExtend,
    C::DocumentStart, C::DocumentStartExtend, C::DocumentEnd, C::DocumentEndExtend, C::PageUp,
    C::PageUpExtend, C::PageDown, C::PageDownExtend, C::StutteredPageUp, C::StutteredPageUpExtend,
    C::StutteredPageDown, C::StutteredPageDownExtend,
    // The "編集" menu's commands.
    C::Undo, C::SelectionCut, C::SelectionCopy, C::Paste, C::Delete, C::SelectAll,
    // Typing keys and Insert.
    C::DeleteBack, C::Newline, C::Tab, C::Cancel, C::EditToggleOvertype};

bool Kept(C::Command command) {
  return std::find(kKeptCommands.begin(), kKeptCommands.end(), command) != kKeptCommands.end();
}
}  // namespace

void KeepOnlyEditorKeys(QsciScintilla* editor) {
  // The control's key map may hold bindings its command set does not list:
  // start from an empty map and bind again only the kept commands' keys.
  editor->SendScintilla(QsciScintillaBase::SCI_CLEARALLCMDKEYS);
  for (QsciCommand* command : editor->standardCommands()->commands()) {
    const bool kept = Kept(command->command());
    const int key = kept ? command->key() : 0;
    const int alternate = kept ? command->alternateKey() : 0;
    command->setKey(0);
    command->setAlternateKey(0);
    command->setKey(key);
    command->setAlternateKey(alternate);
  }
}

}  // namespace quelvo
