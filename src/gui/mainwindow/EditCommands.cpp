// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/EditCommands.h"

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

EditCommands::EditCommands(MainWindow& window) : w_(window) {}

// ---- Titles ----

void EditCommands::SetNewDocumentTitle() { w_.setWindowTitle(Q(NewDocumentTitle())); }
void EditCommands::SetEditTitle() { w_.setWindowTitle(Q(EditTitle(w_.Document.CurrentFileName))); }

void EditCommands::SetModifiedTitle() { w_.setWindowTitle(Q(ModifiedTitle(w_.Document.CurrentFileName))); }
void EditCommands::SetDiscardedTitle() { w_.setWindowTitle(Q(DiscardedTitle())); }
void EditCommands::SetReceiveTitle() { w_.setWindowTitle(Q(ReceiveTitle(w_.Document.CurrentFileName))); }

// ---- Status panels ----

void EditCommands::FormatFileSize(double size) {
  w_.Document.LastFileSize = size;
  w_.editorFields.size->setText("ｻｲｽﾞ : " + Q(FileSizeText(size, w_.Settings.options.lengthInMeters)));
}

void EditCommands::UpdateCaretPosition() {
  const long pos = w_.editor->SelectionStart();
  const long line = w_.editor->LineOfPosition(pos);
  const long column = w_.editor->CharactersBetween(w_.editor->LineStart(line), pos);
  w_.editorFields.caret->setText(Q(CaretPositionText(line + 1, column + 1)));
}

// ---- Look ----

int EditCommands::CharHeightPixels() const { return QFontMetrics(w_.editor->font()).height(); }

void EditCommands::UpdateSideMargins() { w_.editor->SetSideMargins(CharHeightPixels() / 2); }

void EditCommands::RecreateCaret() { w_.editor->SetCaretShape(!w_.Document.InsertMode); }

void EditCommands::UpdateFontItemCaption() {
  w_.commands_->Menus.FontName->setText(Q(w_.Settings.editor.fontName) + "  " + QString::number(w_.Settings.editor.fontSize));
}

QColor EditCommands::EditorTextColor() const { return ToQColor(w_.Settings.editor.fontColor); }
QColor EditCommands::EditorBackgroundColor() const { return ToQColor(w_.Settings.editor.screenColor); }

void EditCommands::ApplyEditorColors() {
  w_.editor->setColor(EditorTextColor());
  w_.editor->setPaper(EditorBackgroundColor());
}

void EditCommands::ApplyEditorFont(const QFont& font) {
  w_.editor->setFont(font);
  ApplyEditorColors();  // setting the font resets the style colours
}

// The stored face (by default a Windows face name) is kept in the settings as it
// stands; when this desktop lacks it, the w_.editor shows a Japanese monospace face.
void EditCommands::ApplyEditorLook() {
  QString family = Q(w_.Settings.editor.fontName);
  if (!QFontDatabase::hasFamily(family)) {
    const QString cjkMono = "Noto Sans Mono CJK JP";
    family = QFontDatabase::hasFamily(cjkMono) ? cjkMono
                                               : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  }
  QFont font(family);
  font.setPointSize(w_.Settings.editor.fontSize > 0 ? w_.Settings.editor.fontSize : 10);
  font.setStyleHint(QFont::TypeWriter);
  ApplyEditorFont(font);
}

// ---- Editor events ----

void EditCommands::EditorChanged() {
  if (w_.editor->isModified()) {
    SetModifiedTitle();
    w_.editorFields.modified->setText(kModifiedMark);
  }
}

void EditCommands::ToggleInsertMode() {
  w_.Document.InsertMode = w_.editorFields.insertMode->text() != kInsert;
  w_.editorFields.insertMode->setText(w_.Document.InsertMode ? kInsert : kOverwrite);
  // The control has toggled its own mode on the same key; keep the two in step.
  w_.editor->setOverwriteMode(!w_.Document.InsertMode);
  RecreateCaret();
}

void EditCommands::EditorKey(int key, bool pressed) {
  UpdateCaretPosition();
  w_.editorFields.selection->setText(w_.editor->hasSelectedText() ? kSelection : QString());
  if (key == Qt::Key_Insert && pressed) ToggleInsertMode();
  EditMenuClick();
}

void EditCommands::EditorClicked() {
  UpdateCaretPosition();
  w_.editorFields.selection->setText(w_.editor->hasSelectedText() ? kSelection : QString());
  EditMenuClick();
}

void EditCommands::EditorSelectionChanged() { RecreateCaret(); }

// ---- Edit commands ----

void EditCommands::EditMenuClick() {
  const bool canUndo = w_.editor->isUndoAvailable();
  const bool selected = w_.editor->hasSelectedText();
  w_.commands_->Menus.EditUndo->setEnabled(canUndo);
  w_.commands_->tools.undo->setEnabled(canUndo);
  w_.commands_->Menus.EditCut->setEnabled(selected);
  w_.commands_->Menus.EditCopy->setEnabled(selected);
  w_.commands_->Menus.EditDelete->setEnabled(selected);
  w_.commands_->tools.cut->setEnabled(selected);
  w_.commands_->tools.copy->setEnabled(selected);
}

void EditCommands::EditUndoClick() {
  if (w_.editor->isUndoAvailable()) w_.editor->undo();
}

void EditCommands::EditCutClick() { w_.editor->cut(); }
void EditCommands::EditCopyClick() { w_.editor->copy(); }

void EditCommands::EditPasteClick() {
  w_.editor->paste();
  EditMenuClick();
}

void EditCommands::EditDeleteClick() { w_.editor->removeSelectedText(); }
void EditCommands::EditAllClick() { w_.editor->selectAll(true); }

void EditCommands::EditDateClick() { w_.editor->replaceSelectedText(Q(TimeThenDateText(std::time(nullptr)))); }

void EditCommands::EditWrapClick() {
  const bool wasModified = w_.editor->isModified();
  const bool wrapped = w_.editor->wrapMode() != QsciScintilla::WrapNone;
  w_.editor->setWrapMode(wrapped ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
  w_.editor->SetHorizontalScrollBar(wrapped);
  w_.commands_->Menus.EditWrap->setChecked(!wrapped);
  if (!wasModified) {
    w_.editor->setModified(false);
    SetEditTitle();
    w_.editorFields.modified->setText(QString());
  }
}

void EditCommands::EditFontClick() {
  const bool wasModified = w_.editor->isModified();
  QFont font = w_.editor->font();
  const auto choose = Dialogs.ChooseFont ? Dialogs.ChooseFont : [](QWidget* parent, QFont& f) {
    bool ok = false;
    f = QFontDialog::getFont(&ok, f, parent);
    return ok;
  };
  if (choose(&w_, font)) {
    w_.Settings.editor.fontName = font.family().toStdString();
    w_.Settings.editor.fontSize = font.pointSize();
    ApplyEditorFont(font);
    w_.editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0);
    UpdateSideMargins();
    UpdateFontItemCaption();
  }
  if (!wasModified) {
    w_.editor->setModified(false);
    SetEditTitle();
    w_.editorFields.modified->setText(QString());
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

void EditCommands::screen_colorClick() {
  const bool wasModified = w_.editor->isModified();
  QColor color = EditorBackgroundColor();
  if (ChooseColorWith(Dialogs, &w_, color)) {
    w_.Settings.editor.screenColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    w_.editor->setModified(false);
    SetEditTitle();
  }
}

void EditCommands::font_colorClick() {
  const bool wasModified = w_.editor->isModified();
  QColor color = EditorTextColor();
  if (ChooseColorWith(Dialogs, &w_, color)) {
    w_.Settings.editor.fontColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    w_.editor->setModified(false);
    SetEditTitle();
    w_.editorFields.modified->setText(QString());
  }
}

}  // namespace quelvo
