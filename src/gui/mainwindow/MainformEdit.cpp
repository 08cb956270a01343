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
#include "gui/mainwindow/Mainform.h"
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

void TForm1::SetNewDocumentTitle() { setWindowTitle(Q(NewDocumentTitle())); }
void TForm1::SetEditTitle() { setWindowTitle(Q(EditTitle(Document.CurrentFileName))); }

void TForm1::ShowDocumentUnmodified() {
  SetEditTitle();
  StatusBar1->SetPanelText(2, QString());
}
void TForm1::SetModifiedTitle() { setWindowTitle(Q(ModifiedTitle(Document.CurrentFileName))); }
void TForm1::SetDiscardedTitle() { setWindowTitle(Q(DiscardedTitle())); }
void TForm1::SetReceiveTitle() { setWindowTitle(Q(ReceiveTitle(Document.CurrentFileName))); }

// ---- Status panels ----

void TForm1::FormatFileSize(double size) {
  Document.LastFileSize = size;
  StatusBar1->SetPanelText(0, "ｻｲｽﾞ : " + Q(FileSizeText(size, Settings.options.lengthInMeters)));
}

void TForm1::UpdateCaretPosition() {
  const long pos = RichEdit1->SelectionStart();
  const long line = RichEdit1->LineOfPosition(pos);
  const long column = RichEdit1->CharactersBetween(RichEdit1->LineStart(line), pos);
  StatusBar1->SetPanelText(1, Q(CaretPositionText(line + 1, column + 1)));
}

// ---- Look ----

int TForm1::CharHeightPixels() const { return QFontMetrics(RichEdit1->font()).height(); }

void TForm1::UpdateSideMargins() { RichEdit1->SetSideMargins(CharHeightPixels() / 2); }

void TForm1::RecreateCaret() { RichEdit1->SetCaretShape(!Document.InsertMode); }

void TForm1::UpdateFontItemCaption() {
  Menus.FontName->setText(Q(Settings.editor.fontName) + "  " + QString::number(Settings.editor.fontSize));
}

QColor TForm1::EditorTextColor() const { return ToQColor(Settings.editor.fontColor); }
QColor TForm1::EditorBackgroundColor() const { return ToQColor(Settings.editor.screenColor); }

void TForm1::ApplyEditorColors() {
  RichEdit1->setColor(EditorTextColor());
  RichEdit1->setPaper(EditorBackgroundColor());
}

void TForm1::ApplyEditorFont(const QFont& font) {
  RichEdit1->setFont(font);
  ApplyEditorColors();  // setting the font resets the style colours
}

// The stored face (by default a Windows face name) is kept in the settings as it
// stands; when this desktop lacks it, the editor shows a Japanese monospace face.
void TForm1::ApplyEditorLook() {
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

void TForm1::RichEdit1Change() {
  if (RichEdit1->isModified()) {
    SetModifiedTitle();
    StatusBar1->SetPanelText(2, kModifiedMark);
  }
}

void TForm1::ToggleInsertMode() {
  Document.InsertMode = StatusBar1->PanelText(3) != kInsert;
  StatusBar1->SetPanelText(3, Document.InsertMode ? kInsert : kOverwrite);
  // The control has toggled its own mode on the same key; keep the two in step.
  RichEdit1->setOverwriteMode(!Document.InsertMode);
  RecreateCaret();
}

void TForm1::RichEdit1KeyDown(int key, bool pressed) {
  UpdateCaretPosition();
  StatusBar1->SetPanelText(4, RichEdit1->hasSelectedText() ? kSelection : QString());
  if (key == Qt::Key_Insert && pressed) ToggleInsertMode();
  EditMenuClick();
}

void TForm1::RichEdit1MouseDown() {
  UpdateCaretPosition();
  StatusBar1->SetPanelText(4, RichEdit1->hasSelectedText() ? kSelection : QString());
  EditMenuClick();
}

void TForm1::RichEdit1SelectionChange() { RecreateCaret(); }

// ---- Edit commands ----

void TForm1::EditMenuClick() {
  const bool canUndo = RichEdit1->isUndoAvailable();
  const bool selected = RichEdit1->hasSelectedText();
  Menus.EditUndo->setEnabled(canUndo);
  Buttons[7]->setEnabled(canUndo);
  Menus.EditCut->setEnabled(selected);
  Menus.EditCopy->setEnabled(selected);
  Menus.EditDelete->setEnabled(selected);
  Buttons[4]->setEnabled(selected);
  Buttons[5]->setEnabled(selected);
}

void TForm1::EditUndoClick() {
  if (RichEdit1->isUndoAvailable()) RichEdit1->undo();
}

void TForm1::EditCutClick() { RichEdit1->cut(); }
void TForm1::EditCopyClick() { RichEdit1->copy(); }

void TForm1::EditPasteClick() {
  RichEdit1->paste();
  EditMenuClick();
}

void TForm1::EditDeleteClick() { RichEdit1->removeSelectedText(); }
void TForm1::EditAllClick() { RichEdit1->selectAll(true); }

void TForm1::EditDateClick() { RichEdit1->replaceSelectedText(Q(TimeThenDateText(std::time(nullptr)))); }

void TForm1::EditWrapClick() {
  const bool wasModified = RichEdit1->isModified();
  const bool wrapped = RichEdit1->wrapMode() != QsciScintilla::WrapNone;
  RichEdit1->setWrapMode(wrapped ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
  RichEdit1->SetHorizontalScrollBar(wrapped);
  Menus.EditWrap->setChecked(!wrapped);
  if (!wasModified) {
    RichEdit1->setModified(false);
    SetEditTitle();
    StatusBar1->SetPanelText(2, QString());
  }
}

void TForm1::EditFontClick() {
  const bool wasModified = RichEdit1->isModified();
  QFont font = RichEdit1->font();
  const auto choose = Dialogs.ChooseFont ? Dialogs.ChooseFont : [](QWidget* parent, QFont& f) {
    bool ok = false;
    f = QFontDialog::getFont(&ok, f, parent);
    return ok;
  };
  if (choose(this, font)) {
    Settings.editor.fontName = font.family().toStdString();
    Settings.editor.fontSize = font.pointSize();
    ApplyEditorFont(font);
    RichEdit1->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0);
    UpdateSideMargins();
    UpdateFontItemCaption();
  }
  if (!wasModified) {
    RichEdit1->setModified(false);
    SetEditTitle();
    StatusBar1->SetPanelText(2, QString());
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

void TForm1::screen_colorClick() {
  const bool wasModified = RichEdit1->isModified();
  QColor color = EditorBackgroundColor();
  if (ChooseColorWith(Dialogs, this, color)) {
    Settings.editor.screenColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    RichEdit1->setModified(false);
    SetEditTitle();
  }
}

void TForm1::font_colorClick() {
  const bool wasModified = RichEdit1->isModified();
  QColor color = EditorTextColor();
  if (ChooseColorWith(Dialogs, this, color)) {
    Settings.editor.fontColor = ToColorValue(color);
    ApplyEditorColors();
  }
  if (!wasModified) {
    RichEdit1->setModified(false);
    SetEditTitle();
    StatusBar1->SetPanelText(2, QString());
  }
}

}  // namespace quelvo
