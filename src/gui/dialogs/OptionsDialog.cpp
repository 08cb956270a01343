// SPDX-License-Identifier: GPL-3.0-or-later
// OptionsDialog: the options dialog "ｵﾌﾟｼｮﾝ設定" (see OptionsDialog.h).
#include "gui/dialogs/OptionsDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings/FieldCycle.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/DialogPlacementStore.h"
#include "gui/dialogs/TextKeyFilter.h"

namespace quelvo {

namespace {

const QString kCaption = QStringLiteral("ｵﾌﾟｼｮﾝ設定");
const QString kQuestionCaption = QStringLiteral("オプション設定");
const QString kQuestion = QStringLiteral("オプション設定が変更されています。\n保存せずに終了しますか？");

}  // namespace

OptionsDialog::OptionsDialog(ProgramSettings& settings, std::string programFolder, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      prompts_(StandardDialogPrompts()) {
  setWindowTitle(kCaption);
  setModal(true);

  pages_ = new QTabWidget(this);
  std::array<QVBoxLayout*, 3> pageLayouts{};
  for (int page = 0; page < static_cast<int>(kOptionPageTitles.size()); ++page) {
    auto* sheet = new QWidget;
    pageLayouts[page] = new QVBoxLayout(sheet);
    pageLayouts[page]->setContentsMargins(8, 4, 8, 4);
    pageLayouts[page]->setSpacing(0);
    pages_->addTab(sheet, QString::fromUtf8(kOptionPageTitles[page]));
  }
  const auto& table = OptionFieldTable();
  for (int i = 0; i < kOptionFieldCount; ++i) {
    const OptionField& field = table[i];
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    edit->setMaxLength(field.maxLength);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('M')) * (field.maxLength + 1) + 12);
    edit->installEventFilter(this);
    auto* label = new QLabel(QString::fromUtf8(field.label));
    label->setBuddy(edit);
    QVBoxLayout* layout = pageLayouts[field.page];
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addSpacing(3);
    fields_[i] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, i] { FieldEdited(i); });
    connect(edit, &QLineEdit::textChanged, this, [this] { applyButton_->setEnabled(true); });
  }
  for (QVBoxLayout* layout : pageLayouts) layout->addStretch(1);

  applyButton_ = new QPushButton(QStringLiteral("変更"));
  applyButton_->setObjectName(QStringLiteral("applyButton"));
  applyButton_->setAutoDefault(false);
  backButton_ = new QPushButton(QStringLiteral("戻る"));
  backButton_->setObjectName(QStringLiteral("backButton"));
  backButton_->setAutoDefault(false);
  connect(applyButton_, &QPushButton::clicked, this, &OptionsDialog::ApplyClick);
  connect(backButton_, &QPushButton::clicked, this, &OptionsDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(applyButton_);
  buttons->addWidget(backButton_);
  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(4, 4, 4, 4);
  main->addWidget(pages_);
  main->addLayout(buttons);
  setFixedSize(289, 456);
}

void OptionsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void OptionsDialog::FormShow() {
  PlaceDialogFromSubIni(*this, programFolder_);
  const OptionTexts texts = ReadOptionTexts(settings_);
  for (int i = 0; i < kOptionFieldCount; ++i) fields_[i]->setText(QString::fromStdString(texts[i]));
  applyButton_->setEnabled(false);
}

void OptionsDialog::ApplyClick() {
  OptionTexts texts;
  for (int i = 0; i < kOptionFieldCount; ++i) texts[i] = fields_[i]->text().toStdString();
  ApplyOptionTexts(settings_, texts);
  applyButton_->setEnabled(false);
  emit applied();
}

void OptionsDialog::reject() {
  if (applyButton_->isEnabled()) {
    const CloseAnswer answer = prompts_.askYesNo(this, kQuestionCaption, kQuestion);
    if (SaveBeforeClosing(true, answer)) ApplyClick();
  }
  StoreDialogPlacement(*this, programFolder_, prompts_);
  QDialog::reject();
}

void OptionsDialog::FieldEdited(int index) {
  CleanFieldText(*fields_[index], OptionFieldTable()[index].filter, true);
}

int OptionsDialog::FieldIndexOf(QObject* watched) const {
  for (int i = 0; i < kOptionFieldCount; ++i) {
    if (fields_[i] == watched) return i;
  }
  return -1;
}

void OptionsDialog::MoveFocus(int index, int step) {
  const std::vector<int> page = OptionFieldsOfPage(OptionFieldTable()[index].page);
  int position = 0;
  while (page[position] != index) ++position;
  const int target = page[StepFieldIndex(position, static_cast<int>(page.size()), step)];
  fields_[target]->setFocus(Qt::TabFocusReason);
  fields_[target]->selectAll();
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  const int index = FieldIndexOf(watched);
  if (index < 0 || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  QLineEdit* edit = fields_[index];
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!edit->text().isEmpty()) {
        const QString upper = edit->text().toUpper();
        if (upper != edit->text()) edit->setText(upper);
        MoveFocus(index, +1);
      }
      return true;
    case Qt::Key_Up:
      MoveFocus(index, -1);
      return true;
    case Qt::Key_Down:
      MoveFocus(index, +1);
      return true;
    default:
      return RefusesCharacterKey(*key, OptionFieldTable()[index].filter);
  }
}

}  // namespace quelvo
