// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/EditorFind.h"

#include <Qsci/qsciscintilla.h>

#include <QMessageBox>
#include <QWidget>

#include <string_view>

#include "gui/editor/EditorBytes.h"

namespace quelvo {
bool FindInEditor(QsciScintilla* editor, const QString& text, FindDirection direction) {
  const QByteArray wanted = text.toUtf8();
  const long selStart = editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
  const long selEnd = editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
  EditorSelection selection;
  selection.start = static_cast<std::size_t>(selStart);
  selection.length = static_cast<std::size_t>(selEnd - selStart);
  const auto match = FindInDocument(EditorBytes(editor),
                                    std::string_view(wanted.constData(), wanted.size()),
                                    direction, selection);
  if (!match) return false;
  editor->setFocus();
  ShowLineInEditor(editor, static_cast<long>(*match), wanted.size());
  return true;
}

bool FindInEditorOrTell(QsciScintilla* editor, const QString& text, FindDirection direction,
                        QWidget* owner) {
  if (FindInEditor(editor, text, direction)) return true;
  QMessageBox box(QMessageBox::Information, QStringLiteral("編集"),
                  QStringLiteral("検索文字列が見当たりません！"), QMessageBox::Ok, owner);
  if (owner != nullptr) box.move(owner->frameGeometry().topLeft() + QPoint(50, 50));
  box.exec();
  return false;
}

void ShowLineInEditor(QsciScintilla* editor, long start, long length) {
  const long line = editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start);
  // Scrolling counts display lines, which differ from document lines under wrap.
  const long shown = editor->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, line);
  const long top = editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const int scroll = LinesToScrollForMatch(static_cast<int>(shown), static_cast<int>(top));
  editor->SendScintilla(QsciScintillaBase::SCI_LINESCROLL, 0L, static_cast<long>(scroll));
  editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, start, start + length);
}

}  // namespace quelvo
