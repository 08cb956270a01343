// SPDX-License-Identifier: GPL-3.0-or-later
// UserTypesDialog: the user file type dialog "ﾕｰｻﾞ定義" (see UserTypesDialog.h).
#include "gui/dialogs/UserTypesDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/document/FileTexts.h"
#include "core/document/UserFileTypes.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/DialogPlacementStore.h"
#include "gui/dialogs/DialogPrompts.h"

namespace quelvo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A labelled edit field: its caption stands above it.
QLineEdit* MakeLabeledEdit(QWidget* parent, const char* name, const QString& caption, int x, int y, int width) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(x, y, width, 16);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y + 17, width, 22);
  return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(x, 128, 89, 30);
  return button;
}

}  // namespace

UserTypesDialog::UserTypesDialog(ProgramSettings& settings, std::string programFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      prompts_(StandardFilePrompts()) {
  setObjectName("User");
  setWindowTitle("ﾕｰｻﾞ定義");
  setFixedSize(379, 173);
  name1Edit = MakeLabeledEdit(this, "name1Edit", "ﾕｰｻﾞ定義１(表示名)", 16, 12, 209);
  extension1Edit = MakeLabeledEdit(this, "extension1Edit", "拡張子", 240, 12, 121);
  name2Edit = MakeLabeledEdit(this, "name2Edit", "ﾕｰｻﾞ定義２(表示名)", 16, 68, 209);
  extension2Edit = MakeLabeledEdit(this, "extension2Edit", "拡張子", 240, 68, 121);
  applyButton = MakeButton(this, "applyButton", "変更", 36);
  cancelButton = MakeButton(this, "cancelButton", "中止", 145);
  backButton = MakeButton(this, "backButton", "戻る", 254);
  for (QLineEdit* edit : {name1Edit, extension1Edit, name2Edit, extension2Edit}) edit->installEventFilter(this);
  connect(applyButton, &QPushButton::clicked, this, &UserTypesDialog::ApplyClick);
  connect(cancelButton, &QPushButton::clicked, this, &UserTypesDialog::CancelClick);
  connect(backButton, &QPushButton::clicked, this, &UserTypesDialog::BackClick);
}

void UserTypesDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void UserTypesDialog::FormShow() {
  PlaceDialogFromSubIni(*this, programFolder_);
  FillFields();
  name1Edit->setFocus();
}

void UserTypesDialog::FillFields() {
  name1Edit->setText(Q(settings_.user1Name));
  extension1Edit->setText(Q(settings_.user1Mask));
  name2Edit->setText(Q(settings_.user2Name));
  extension2Edit->setText(Q(settings_.user2Mask));
}

void UserTypesDialog::ApplyClick() {
  const UserFileTypes types =
      UserFileTypesFromFields(name1Edit->text().toStdString(), extension1Edit->text().toStdString(),
                              name2Edit->text().toStdString(), extension2Edit->text().toStdString());
  settings_.user1Name = types.User1_Name;
  settings_.user1Mask = types.User1_Mask;
  settings_.user2Name = types.User2_Name;
  settings_.user2Mask = types.User2_Mask;
  FillFields();
  accept();
}

void UserTypesDialog::CancelClick() {
  FillFields();
  reject();
}

void UserTypesDialog::BackClick() { reject(); }

void UserTypesDialog::done(int result) {
  FormClose();
  QDialog::done(result);
}

void UserTypesDialog::FormClose() { StoreDialogPlacement(*this, programFolder_, StandardDialogPrompts()); }

bool UserTypesDialog::NameFieldKey(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  applyButton->setFocus();
  return true;
}

bool UserTypesDialog::ExtensionFieldKey(QLineEdit* field, int key, const QString& text) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!field->text().isEmpty())
      field->setText(Q(NormalizeExtensionField(field->text().toStdString())));
    applyButton->setFocus();
    return true;
  }
  if (key == Qt::Key_Backspace) return false;
  for (const char32_t c : text.toStdU32String()) {
    if (IsForbiddenExtensionChar(c)) {
      prompts_.error(this, kForbiddenExtensionCaption, kForbiddenExtensionChar);
      return true;
    }
  }
  return false;
}

bool UserTypesDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == name1Edit || watched == name2Edit) return NameFieldKey(key->key());
  if (watched == extension1Edit || watched == extension2Edit)
    return ExtensionFieldKey(static_cast<QLineEdit*>(watched), key->key(), key->text());
  return QDialog::eventFilter(watched, event);
}

}  // namespace quelvo
