// SPDX-License-Identifier: GPL-3.0-or-later
// FindDialog: the find dialog "検索" of the main window (see FindDialog.h).
#include "gui/dialogs/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quelvo {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("検索"));
  setModal(false);

  auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  text_ = new QLineEdit(this);
  label->setBuddy(text_);

  wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  wholeWord_->setEnabled(false);
  matchCase_->setEnabled(false);

  auto* directionBox = new QGroupBox(QStringLiteral("方向"), this);
  up_ = new QRadioButton(QStringLiteral("上へ(&U)"), directionBox);
  down_ = new QRadioButton(QStringLiteral("下へ(&D)"), directionBox);
  down_->setChecked(true);
  auto* directionLayout = new QHBoxLayout(directionBox);
  directionLayout->addWidget(up_);
  directionLayout->addWidget(down_);

  findNext_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  findNext_->setDefault(true);
  findNext_->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);
  grid->addWidget(findNext_, 0, 3);
  grid->addWidget(wholeWord_, 1, 0, 1, 2);
  grid->addWidget(cancel, 1, 3);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(directionBox, 1, 2, 2, 1);

  connect(text_, &QLineEdit::textChanged, this,
          [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
  connect(findNext_, &QPushButton::clicked, this, &FindDialog::findRequested);
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindDialog::findText() const { return text_->text(); }

void FindDialog::setFindText(const QString& text) { text_->setText(text); }

FindDirection FindDialog::direction() const {
  return up_->isChecked() ? FindDirection::Up : FindDirection::Down;
}

void FindDialog::setDirection(FindDirection direction) {
  (direction == FindDirection::Up ? up_ : down_)->setChecked(true);
}

void FindDialog::showFind() {
  show();
  raise();
  activateWindow();
  text_->setFocus();
  text_->selectAll();
}

}  // namespace quelvo
