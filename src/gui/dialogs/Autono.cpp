// SPDX-License-Identifier: GPL-3.0-or-later
// TAutoForm: the line selector number dialog "自動切替" (see Autono.h).
#include "gui/dialogs/Autono.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace quelvo {

namespace {
const QString kAllowed = QStringLiteral("012345-");
}  // namespace

TAutoForm::TAutoForm(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
  setObjectName("AutoForm");
  setWindowTitle("自動切替");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  Label1 = new QLabel("ﾂﾘｰ設定も可です。番号－番号", this);
  Label1->setObjectName("Label1");
  Label1->setStyleSheet("color: red; font-weight: bold;");
  Label1->setGeometry(12, 6, 190, 18);

  auto* caption = new QLabel("自動選択番号", this);
  caption->setGeometry(12, 28, 120, 16);
  LabeledEdit1 = new QLineEdit(this);
  LabeledEdit1->setObjectName("LabeledEdit1");
  LabeledEdit1->setMaxLength(3);
  LabeledEdit1->setGeometry(12, 46, 80, 22);
  // Pasted text is held to the same characters as typed text.
  LabeledEdit1->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-5-]*"), LabeledEdit1));
  caption->setBuddy(LabeledEdit1);
  LabeledEdit1->installEventFilter(this);

  Button1 = new QPushButton("ＯＮ", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(24, 80, 75, 25);
  Button1->setAutoDefault(false);
  Button2 = new QPushButton("ｷｬﾝｾﾙ", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(112, 80, 75, 25);
  Button2->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TAutoForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  RefuseKey = [](QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, "確認", text);
  };
}

std::optional<std::string> TAutoForm::Ask() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return SelectionNumber;
}

void TAutoForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TAutoForm::FormShow() {
  if (mainWindow_ != nullptr) {
    const QRect main = mainWindow_->frameGeometry();
    move(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - height() / 2);
  }
  LabeledEdit1->clear();
  LabeledEdit1->setFocus();
}

bool TAutoForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabeledEdit1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (LabeledEdit1KeyPress(key->key(), key->text())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TAutoForm::LabeledEdit1KeyPress(int key, const QString& text) {
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (enter && !LabeledEdit1->text().isEmpty()) {
    Button1->setFocus();
    return true;
  }
  if (key == Qt::Key_Backspace) return false;
  // Keys without a character (arrows, Delete, Home ...) only move or delete.
  if (!enter && (text.isEmpty() || !text.at(0).isPrint())) return false;
  if (!enter && text.size() == 1 && kAllowed.contains(text)) return false;
  RefuseKey(this, "この文字は変更できません。\n");
  return true;
}

void TAutoForm::Button1Click() {
  SelectionNumber = LabeledEdit1->text().toStdString();
  accept();
}

}  // namespace quelvo
