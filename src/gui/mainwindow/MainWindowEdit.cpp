// SPDX-License-Identifier: GPL-3.0-or-later
// The document in the main window: titles, the editor status bar, caret and
// insert mode, and the commands of the "編集" menu.
#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QPalette>
#include <QToolButton>
#include <ctime>

#include "core/common/DateTimeText.h"
#include "core/document/CaretPosition.h"
#include "core/document/ColorValue.h"
#include "core/document/DocumentTitle.h"
#include "core/document/FileSizeText.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {

namespace {
const QString kModifiedMark = "＜変更＞";
const QString kInsert = "挿入";
const QString kOverwrite = "上書";
const QString kSelection = "選択範囲";

QString Q(const std::string& s) { return QString::fromStdString(s); }

SystemPalette DesktopPalette() {
  const QPalette pal = QApplication::palette();
  const QColor text = pal.color(QPalette::Text);
  const QColor base = pal.color(QPalette::Base);
  auto rgb = [](const QColor& c) {
    return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
  };
  return SystemPalette{rgb(text), rgb(base)};
}

QColor ToQColor(int value) {
  const Rgb rgb = ColorValueToRgb(value, DesktopPalette());
  return QColor(rgb.r, rgb.g, rgb.b);
}

int ToColorValue(const QColor& c) {
  return RgbToColorValue(Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                             static_cast<std::uint8_t>(c.blue())});
}
}  // namespace

// ---- Titles ----

void MainWindow::SetNewDocumentTitle() { setWindowTitle(Q(NewDocumentTitle())); }
void MainWindow::SetEditTitle() { setWindowTitle(Q(EditTitle(Document.CurrentFileName))); }

void MainWindow::ShowDocumentUnmodified() {
  SetEditTitle();
  editorFields.modified->setText(QString());
}
void MainWindow::SetModifiedTitle() { setWindowTitle(Q(ModifiedTitle(Document.CurrentFileName))); }
void MainWindow::SetDiscardedTitle() { setWindowTitle(Q(DiscardedTitle())); }
void MainWindow::SetReceiveTitle() { setWindowTitle(Q(ReceiveTitle(Document.CurrentFileName))); }

// ---- Status panels ----

void MainWindow::FormatFileSize(double size) {
  Document.LastFileSize = size;
  editorFields.size->setText("ｻｲｽﾞ : " + Q(FileSizeText(size, Settings.options.lengthInMeters)));
}

void MainWindow::UpdateCaretPosition() {
  const long pos = editor->SelectionStart();
  const long line = editor->LineOfPosition(pos);
  const long column = editor->CharactersBetween(editor->LineStart(line), pos);
  editorFields.caret->setText(Q(CaretPositionText(line + 1, column + 1)));
}

// ---- Look ----

int MainWindow::CharHeightPixels() const { return QFontMetrics(editor->font()).height(); }

void MainWindow::UpdateSideMargins() { editor->SetSideMargins(CharHeightPixels() / 2); }

void MainWindow::RecreateCaret() { editor->SetCaretShape(!Document.InsertMode); }

void MainWindow::UpdateFontItemCaption() {
  commands_->Menus.FontName->setText(Q(Settings.editor.fontName) + "  " + QString::number(Settings.editor.fontSize));
}

QColor MainWindow::EditorTextColor() const { return ToQColor(Settings.editor.fontColor); }
QColor MainWindow::EditorBackgroundColor() const { return ToQColor(Settings.editor.screenColor); }

void MainWindow::ApplyEditorColors() {
  editor->setColor(EditorTextColor());
  editor->setPaper(EditorBackgroundColor());
}

void MainWindow::ApplyEditorFont(const QFont& font) {
  editor->setFont(font);
  ApplyEditorColors();  // setting the font resets the style colours
}

// The stored face (by default a Windows face name) is kept in the settings as it
// stands; when this desktop lacks it, the editor shows a Japanese monospace face.
void MainWindow::ApplyEditorLook() {
  QString family = Q(Settings.editor.fontName);
  if (!QFontDatabase::hasFamily(family)) {
    const QString cjkMono = "Noto Sans Mono CJK JP";
    family = QFontDatabase::hasFamily(cjkMono) ? cjkMono
                                               : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  }
  QFont font(family);
  font.setPointSize(Settings.editor.fontSize > 0 ? Settings.editor.fontSize : 10);
  font.setStyleHint(QFont::TypeWriter);
  ApplyEditorFont(font);
}

// ---- Editor events ----

void MainWindow::EditorChanged() {
  if (editor->isModified()) {
    SetModifiedTitle();
    editorFields.modified->setText(kModifiedMark);
  }
}

void MainWindow::ToggleInsertMode() {
  Document.InsertMode = editorFields.insertMode->text() != kInsert;
  editorFields.insertMode->setText(Document.InsertMode ? kInsert : kOverwrite);
  // The control has toggled its own mode on the same key; keep the two in step.
  editor->setOverwriteMode(!Document.InsertMode);
  RecreateCaret();
}

void MainWindow::EditorKey(int key, bool pressed) {
  UpdateCaretPosition();
  editorFields.selection->setText(editor->hasSelectedText() ? kSelection : QString());
  if (key == Qt::Key_Insert && pressed) ToggleInsertMode();
  EditMenuClick();
}

void MainWindow::EditorClicked() {
  UpdateCaretPosition();
  editorFields.selection->setText(editor->hasSelectedText() ? kSelection : QString());
  EditMenuClick();
}

void MainWindow::EditorSelectionChanged() { RecreateCaret(); }

// ---- Edit commands ----

void MainWindow::EditMenuClick() {
  const bool canUndo = editor->isUndoAvailable();
  const bool selected = editor->hasSelectedText();
  commands_->Menus.EditUndo->setEnabled(canUndo);
  commands_->tools.undo->setEnabled(canUndo);
  commands_->Menus.EditCut->setEnabled(selected);
  commands_->Menus.EditCopy->setEnabled(selected);
  commands_->Menus.EditDelete->setEnabled(selected);
  commands_->tools.cut->setEnabled(selected);
  commands_->tools.copy->setEnabled(selected);
}

void MainWindow::EditUndoClick() {
  if (editor->isUndoAvailable()) editor->undo();
}

void MainWindow::EditCutClick() { editor->cut(); }
void MainWindow::EditCopyClick() { editor->copy(); }

void MainWindow::EditPasteClick() {
  editor->paste();
  EditMenuClick();
}

void MainWindow::EditDeleteClick() { editor->removeSelectedText(); }
void MainWindow::EditAllClick() { editor->selectAll(true); }

void MainWindow::EditDateClick() { editor->replaceSelectedText(Q(TimeThenDateText(std::time(nullptr)))); }

void MainWindow::EditWrapClick() {
  const bool wasModified = editor->isModified();
  const bool wrapped = editor->wrapMode() != QsciScintilla::WrapNone;
  editor->setWrapMode(wrapped ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
  editor->SetHorizontalScrollBar(wrapped);
  commands_->Menus.EditWrap->setChecked(!wrapped);
  if (!wasModified) {
    editor->setModified(false);
    SetEditTitle();
    editorFields.modified->setText(QString());
  }
}

void MainWindow::EditFontClick() {
  const bool wasModified = editor->isModified();
  QFont font = editor->font();
  const auto choose = Dialogs.ChooseFont ? Dialogs.ChooseFont : [](QWidget* parent, QFont& f) {
    bool ok = false;
    f = QFontDialog::getFont(&ok, f, parent);
    return ok;
  };
  if (choose(this, font)) {
    Settings.editor.fontName = font.family().toStdString();
    Settings.editor.fontSize = font.pointSize();
    ApplyEditorFont(font);
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0);
    UpdateSideMargins();
    UpdateFontItemCaption();
  }
  if (!wasModified) {
    editor->setModified(false);
    SetEditTitle();
    editorFields.modified->setText(QString());
  }
  RecreateCaret();
}

namespace {
bool ChooseColorWith(const EditorDialogs& dialogs, QWidget* parent, QColor& color) {
  if (dialogs.ChooseColor) return dialogs.ChooseColor(parent, color);
  const QColor chosen = QColorDialog::getColor(color, parent);
  if (!chosen.isValid()) return false;
  color = chosen;
  return true;
}
}  // namespace

void MainWindow::screen_colorClick() {
  const bool wasModified = editor->isModified();
  QColor color = EditorBackgroundColor();
  if (ChooseColorWith(Dialogs, this, color)) {
    Settings.editor.screenColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    editor->setModified(false);
    SetEditTitle();
  }
}

void MainWindow::font_colorClick() {
  const bool wasModified = editor->isModified();
  QColor color = EditorTextColor();
  if (ChooseColorWith(Dialogs, this, color)) {
    Settings.editor.fontColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    editor->setModified(false);
    SetEditTitle();
    editorFields.modified->setText(QString());
  }
}

}  // namespace quelvo
