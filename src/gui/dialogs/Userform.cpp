// SPDX-License-Identifier: GPL-3.0-or-later
// TUser: the user file type dialog "ﾕｰｻﾞ定義" (see Userform.h).
#include "gui/dialogs/Userform.h"

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

TUser::TUser(ProgramSettings& settings, std::string programFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      prompts_(StandardFilePrompts()) {
  setObjectName("User");
  setWindowTitle("ﾕｰｻﾞ定義");
  setFixedSize(379, 173);
  LabeledEdit1 = MakeLabeledEdit(this, "LabeledEdit1", "ﾕｰｻﾞ定義１(表示名)", 16, 12, 209);
  LabeledEdit2 = MakeLabeledEdit(this, "LabeledEdit2", "拡張子", 240, 12, 121);
  LabeledEdit3 = MakeLabeledEdit(this, "LabeledEdit3", "ﾕｰｻﾞ定義２(表示名)", 16, 68, 209);
  LabeledEdit4 = MakeLabeledEdit(this, "LabeledEdit4", "拡張子", 240, 68, 121);
  Button1 = MakeButton(this, "Button1", "変更", 36);
  Button2 = MakeButton(this, "Button2", "中止", 145);
  Button3 = MakeButton(this, "Button3", "戻る", 254);
  for (QLineEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4}) edit->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, &TUser::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TUser::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TUser::Button3Click);
}

void TUser::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TUser::FormShow() {
  PlaceDialogFromSubIni(*this, programFolder_);
  FillFields();
  LabeledEdit1->setFocus();
}

void TUser::FillFields() {
  LabeledEdit1->setText(Q(settings_.user1Name));
  LabeledEdit2->setText(Q(settings_.user1Mask));
  LabeledEdit3->setText(Q(settings_.user2Name));
  LabeledEdit4->setText(Q(settings_.user2Mask));
}

void TUser::Button1Click() {
  const UserFileTypes types =
      UserFileTypesFromFields(LabeledEdit1->text().toStdString(), LabeledEdit2->text().toStdString(),
                              LabeledEdit3->text().toStdString(), LabeledEdit4->text().toStdString());
  settings_.user1Name = types.User1_Name;
  settings_.user1Mask = types.User1_Mask;
  settings_.user2Name = types.User2_Name;
  settings_.user2Mask = types.User2_Mask;
  FillFields();
  accept();
}

void TUser::Button2Click() {
  FillFields();
  reject();
}

void TUser::Button3Click() { reject(); }

void TUser::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TUser::FormClose() { StoreDialogPlacement(*this, programFolder_, StandardDialogPrompts()); }

bool TUser::NameFieldKey(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  Button1->setFocus();
  return true;
}

bool TUser::ExtensionFieldKey(QLineEdit* field, int key, const QString& text) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!field->text().isEmpty())
      field->setText(Q(NormalizeExtensionField(field->text().toStdString())));
    Button1->setFocus();
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

bool TUser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == LabeledEdit1 || watched == LabeledEdit3) return NameFieldKey(key->key());
  if (watched == LabeledEdit2 || watched == LabeledEdit4)
    return ExtensionFieldKey(static_cast<QLineEdit*>(watched), key->key(), key->text());
  return QDialog::eventFilter(watched, event);
}

}  // namespace quelvo
