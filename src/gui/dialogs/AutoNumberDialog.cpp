// SPDX-License-Identifier: GPL-3.0-or-later
// AutoNumberDialog: the line selector number dialog "自動切替" (see AutoNumberDialog.h).
#include "gui/dialogs/AutoNumberDialog.h"

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

AutoNumberDialog::AutoNumberDialog(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
  setObjectName("AutoForm");
  setWindowTitle("自動切替");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  hint = new QLabel("ﾂﾘｰ設定も可です。番号－番号", this);
  hint->setObjectName("hint");
  hint->setStyleSheet("color: red; font-weight: bold;");
  hint->setGeometry(12, 6, 190, 18);

  auto* caption = new QLabel("自動選択番号", this);
  caption->setGeometry(12, 28, 120, 16);
  numberEdit = new QLineEdit(this);
  numberEdit->setObjectName("numberEdit");
  numberEdit->setMaxLength(3);
  numberEdit->setGeometry(12, 46, 80, 22);
  // Pasted text is held to the same characters as typed text.
  numberEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-5-]*"), numberEdit));
  caption->setBuddy(numberEdit);
  numberEdit->installEventFilter(this);

  onButton = new QPushButton("ＯＮ", this);
  onButton->setObjectName("onButton");
  onButton->setGeometry(24, 80, 75, 25);
  onButton->setAutoDefault(false);
  cancelButton = new QPushButton("ｷｬﾝｾﾙ", this);
  cancelButton->setObjectName("cancelButton");
  cancelButton->setGeometry(112, 80, 75, 25);
  cancelButton->setAutoDefault(false);
  connect(onButton, &QPushButton::clicked, this, &AutoNumberDialog::AcceptClick);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  RefuseKey = [](QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, "確認", text);
  };
}

std::optional<std::string> AutoNumberDialog::Ask() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return SelectionNumber;
}

void AutoNumberDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void AutoNumberDialog::FormShow() {
  if (mainWindow_ != nullptr) {
    const QRect main = mainWindow_->frameGeometry();
    move(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - height() / 2);
  }
  numberEdit->clear();
  numberEdit->setFocus();
}

bool AutoNumberDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == numberEdit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (NumberKeyPress(key->key(), key->text())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool AutoNumberDialog::NumberKeyPress(int key, const QString& text) {
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (enter && !numberEdit->text().isEmpty()) {
    onButton->setFocus();
    return true;
  }
  if (key == Qt::Key_Backspace) return false;
  // Keys without a character (arrows, Delete, Home ...) only move or delete.
  if (!enter && (text.isEmpty() || !text.at(0).isPrint())) return false;
  if (!enter && text.size() == 1 && kAllowed.contains(text)) return false;
  RefuseKey(this, "この文字は変更できません。\n");
  return true;
}

void AutoNumberDialog::AcceptClick() {
  SelectionNumber = numberEdit->text().toStdString();
  accept();
}

}  // namespace quelvo
