// SPDX-License-Identifier: GPL-3.0-or-later
// SettingsDialog: the communication settings dialog "通信設定" (see SettingsDialog.h).
#include "gui/dialogs/SettingsDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <ctime>

#include "core/common/DateTimeText.h"
#include "core/common/ProgramFiles.h"
#include "core/settings/CommSetting.h"
#include "core/settings/CommSettingFields.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/SettingSlots.h"
#include "core/settings/WaitTimeText.h"
#include "core/transfer/MailSend.h"
#include "core/transfer/link/SystemPortProber.h"
#include "gui/dialogs/DialogPlacementStore.h"
#include "gui/dialogs/TextKeyFilter.h"

namespace quelvo {

namespace {

const QString kCaption = QStringLiteral("通信設定");
const QString kQuestion = QStringLiteral("通信設定が変更されています。\n保存せずに終了しますか？");
constexpr int kNameLength = 41;
constexpr int kListScrollBarRoom = 24;

QString Q(const std::string& text) { return QString::fromStdString(text); }

void PaintLabel(QLabel& label, bool controlEnabled) {
  QPalette palette = label.parentWidget()->palette();
  if (!controlEnabled) palette.setColor(QPalette::WindowText, Qt::red);
  label.setPalette(palette);
}

QPushButton* Button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

SettingsDialog::SettingsDialog(ProgramSettings& settings, CommSetting& setting,
                           std::string programFolder, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      setting_(setting),
      programFolder_(std::move(programFolder)),
      prompts_(StandardDialogPrompts()),
      prober_(SystemPortProber(programFolder_ + "/" + ProgramBaseName() + ".INI")),
      mailSender_([](const std::string& address, const std::string& subject,
                     const std::string& body) { MailSend(address, subject, body); }) {
  setWindowTitle(kCaption);
  setModal(true);

  nameEdit_ = new QLineEdit;
  nameEdit_->setObjectName(QStringLiteral("settingName"));
  nameEdit_->setMaxLength(kNameLength);
  connect(nameEdit_, &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);

  pages_ = new QTabWidget;
  pages_->addTab(BuildListPage(SetdataPage::Receive), kSetdataPageTitles[0]);
  pages_->addTab(BuildListPage(SetdataPage::Send), kSetdataPageTitles[1]);
  pages_->addTab(BuildOptionsPage(), kSetdataPageTitles[2]);

  saveButton_ = Button("saveButton", QStringLiteral("保存"));
  backButton_ = Button("backButton", QStringLiteral("戻る"));
  connect(saveButton_, &QPushButton::clicked, this, [this] { SaveClick(); });
  connect(backButton_, &QPushButton::clicked, this, &SettingsDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(saveButton_);
  buttons->addWidget(backButton_);
  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(6, 6, 6, 6);
  main->addWidget(nameEdit_);
  main->addWidget(pages_);
  main->addLayout(buttons);
  setFixedSize(372, 466);
  AddLineTools();
}

QWidget* SettingsDialog::BuildListPage(SetdataPage page) {
  auto* sheet = new QWidget;
  auto* grid = new QGridLayout(sheet);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setVerticalSpacing(3);
  grid->setColumnStretch(1, 1);
  int line = 0;
  for (const SetdataRow& row : SetdataRows()) {
    if (row.page != page) continue;
    RowWidgets widgets{&row, new QLabel(QString::fromUtf8(row.label)), nullptr, nullptr};
    QWidget* control = nullptr;
    if (row.kind == SetdataRowKind::WaitTime) {
      widgets.edit = new QLineEdit;
      widgets.edit->setFixedWidth(90);
      widgets.edit->installEventFilter(this);
      connect(widgets.edit, &QLineEdit::textEdited, this, [edit = widgets.edit] {
        CleanFieldText(*edit, InputFilter::Digits, false);
      });
      connect(widgets.edit, &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);
      control = widgets.edit;
    } else {
      widgets.combo = new QComboBox;
      widgets.combo->setEditable(row.editable);
      widgets.combo->setInsertPolicy(QComboBox::NoInsert);
      widgets.combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
      widgets.combo->setMinimumContentsLength(8);
      if (row.kind == SetdataRowKind::List) {
        for (const std::string& item : ChoicesOf(row.intMember)) widgets.combo->addItem(Q(item));
      }
      connect(widgets.combo, &QComboBox::currentIndexChanged, this, &SettingsDialog::MarkChanged);
      if (row.editable) {
        connect(widgets.combo, &QComboBox::editTextChanged, this, &SettingsDialog::MarkChanged);
      }
      if (row.kind == SetdataRowKind::PortList) {
        connect(widgets.combo, &QComboBox::editTextChanged, widgets.combo,
                [combo = widgets.combo](const QString& text) { combo->setToolTip(text); });
      }
      if (row.intMember == SpeedMemberOf(page)) {
        connect(widgets.combo, &QComboBox::activated, this,
                [this, page](int index) { ApplyTapeRules(page, index); });
      }
      control = widgets.combo;
    }
    control->setObjectName(QString::fromLatin1(row.component));
    widgets.label->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(row.component));
    widgets.label->setBuddy(control);
    grid->addWidget(widgets.label, line, 0);
    if (widgets.combo != nullptr) {
      grid->addWidget(control, line, 1);
    } else {
      grid->addWidget(control, line, 1, Qt::AlignLeft);
    }
    if (row.hidden) {
      widgets.label->hide();
      control->hide();
    }
    ++line;
    rows_.push_back(widgets);
  }
  grid->setRowStretch(line, 1);
  return sheet;
}

QWidget* SettingsDialog::BuildOptionsPage() {
  auto* sheet = new QWidget;
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(2);
  testMailButton_ = Button("testMailButton", QStringLiteral("送信テスト"));
  connect(testMailButton_, &QPushButton::clicked, this, &SettingsDialog::TestMailClick);
  for (const SetdataText& text : SetdataTexts()) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(text.component));
    if (text.maxLength > 0) {
      edit->setMaxLength(text.maxLength);
      edit->setFixedWidth(40);
    }
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [edit, &text] {
      CleanFieldText(*edit, text.filter, text.upperCase);
    });
    connect(edit, &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);
    auto* label = new QLabel(QString::fromUtf8(text.label));
    label->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(text.component));
    label->setBuddy(edit);
    layout->addWidget(label);
    if (text.member == &CommSetting::Mail_Flg) {
      auto* line = new QHBoxLayout;
      line->addWidget(edit);
      line->addSpacing(16);
      line->addWidget(testMailButton_);
      line->addStretch(1);
      layout->addLayout(line);
    } else {
      layout->addWidget(edit);
    }
    layout->addSpacing(6);
    texts_.push_back({&text, edit});
  }
  layout->addStretch(1);
  return sheet;
}

QComboBox* SettingsDialog::List(const char* component) const {
  return findChild<QComboBox*>(QString::fromLatin1(component));
}

QLineEdit* SettingsDialog::LineEdit(const char* component) const {
  return findChild<QLineEdit*>(QString::fromLatin1(component));
}

QLabel* SettingsDialog::LabelOf(const char* component) const {
  return findChild<QLabel*>(QStringLiteral("Label_") + QString::fromLatin1(component));
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void SettingsDialog::FormShow() {
  PlaceDialogFromSubIni(*this, programFolder_);
  subDirPath_ = LoadSubDirPath(IniFile(programFolder_ + "/Sub.ini"));

  for (const RowWidgets& widgets : rows_) {
    const SetdataRow& row = *widgets.row;
    if (row.kind == SetdataRowKind::List) {
      widgets.combo->setCurrentIndex(ListPositionFor(setting_.*row.intMember, widgets.combo->count()));
    } else if (row.kind == SetdataRowKind::WaitTime) {
      widgets.edit->setText(QString::number(setting_.*row.intMember));
    }
  }
  for (const TextWidgets& widgets : texts_) {
    const std::string& value = setting_.*widgets.text->member;
    widgets.edit->setText(Q(value));
    widgets.edit->setEnabled(!(widgets.text->disabledWhenEmpty && value.empty()));
  }
  FillPortLists();
  ApplyTapeRules(SetdataPage::Receive, setting_.Speed_R);
  ApplyTapeRules(SetdataPage::Send, setting_.Speed_S);

  const int setNo = settings_.setNo;
  const bool locked = SettingNameLocked(setNo);
  if (FindSettingSlot(setNo) != nullptr) nameEdit_->setText(Q(settings_.setNames[setNo]));
  nameEdit_->setEnabled(!locked);
  List("dncRun")->setEnabled(!locked);
  saveButton_->setEnabled(false);
}

void SettingsDialog::FillPortLists() {
  const std::vector<std::string> present =
      ListPresentPorts(prober_, settings_.modemPort1, settings_.modemPort2);
  for (const RowWidgets& widgets : rows_) {
    if (widgets.row->kind != SetdataRowKind::PortList) continue;
    const PortChoice choice = ChoosePort(present, setting_.*widgets.row->textMember);
    widgets.combo->clear();
    for (const std::string& item : choice.items) widgets.combo->addItem(Q(item));
    widgets.combo->setCurrentIndex(choice.selected);
    // A by-id name is longer than the field: the field shows its start, the
    // list opens wide enough to show every name whole, the tip shows it all.
    widgets.combo->lineEdit()->setCursorPosition(0);
    QAbstractItemView* list = widgets.combo->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + kListScrollBarRoom);
  }
}

void SettingsDialog::ApplyTapeRules(SetdataPage page, int speed) {
  for (const RowWidgets& widgets : rows_) {
    if (widgets.row->page != page || widgets.row->tapeRole == TapeRole::Unaffected) continue;
    const TapeEffect effect = TapeRuleEffect(widgets.row->tapeRole, speed);
    if (effect == TapeEffect::Leave) continue;
    const bool enabled = effect == TapeEffect::Enable;
    widgets.combo->setEnabled(enabled);
    PaintLabel(*widgets.label, enabled);
  }
}

void SettingsDialog::MarkChanged() { saveButton_->setEnabled(true); }

void SettingsDialog::StoreRows(SetdataPage page) {
  for (const RowWidgets& widgets : rows_) {
    const SetdataRow& row = *widgets.row;
    if (row.page != page) continue;
    if (row.kind == SetdataRowKind::List) {
      setting_.*row.intMember =
          ValueForListPosition(widgets.combo->currentIndex(), setting_.*row.intMember);
    } else if (row.kind == SetdataRowKind::PortList) {
      setting_.*row.textMember =
          PortTextToStore(widgets.combo->currentText().toStdString(),
                          widgets.combo->itemText(widgets.combo->currentIndex()).toStdString(),
                          setting_.*row.textMember);
    }
  }
}

bool SettingsDialog::SaveClick() {
  QLineEdit* edit2 = LineEdit("waitTime");
  const WaitTimeParse wait = ParseWaitTime(edit2->text().toStdString());
  if (wait.status != WaitTimeStatus::Ok) {
    // Refused before anything is stored, so the record stays as it was.
    if (wait.status != WaitTimeStatus::Empty) prompts_.warn(this, kCaption, Q(WaitTimeRefusal(wait.status)));
    edit2->setFocus();
    return false;
  }
  StoreRows(SetdataPage::Receive);
  NormaliseReceiveForSave(setting_);
  StoreRows(SetdataPage::Send);
  setting_.InvTime = wait.milliseconds;
  for (const TextWidgets& widgets : texts_) {
    setting_.*widgets.text->member = widgets.edit->text().toStdString();
  }
  NormaliseSendForSave(setting_);

  const int setNo = settings_.setNo;
  if (FindSettingSlot(setNo) != nullptr) settings_.setNames[setNo] = nameEdit_->text().toStdString();
  std::string error;
  if (!SaveCommSetting(programFolder_, setNo, setting_, &error)) {
    prompts_.warn(this, kCaption, Q(error));
    return false;
  }
  saveButton_->setEnabled(false);
  emit settingSaved(setNo);
  return true;
}

void SettingsDialog::reject() {
  if (saveButton_->isEnabled()) {
    const CloseAnswer answer = prompts_.askYesNo(this, kCaption, kQuestion);
    // A save that fails keeps the dialog open, so the changes are not lost.
    if (SaveBeforeClosing(true, answer) && !SaveClick()) return;
  }
  if (StoreDialogPlacement(*this, programFolder_, prompts_)) {
    IniFile subIni(programFolder_ + "/Sub.ini");
    if (!SaveSubDirPath(subIni, subDirPath_)) prompts_.warn(this, kCaption, Q(subIni.WriteError()));
  }
  QDialog::reject();
}

void SettingsDialog::TestMailClick() {
  const std::string address = LineEdit("mailAddress")->text().toStdString();
  if (!TestMailAddressUsable(address)) {
    prompts_.inform(this, QStringLiteral("テスト送信"), QStringLiteral("メールアドレス確認"));
    return;
  }
  mailSender_(address, LineEdit("mailSubject")->text().toStdString(),
              TestMailBody(ShortDateTimeText(std::time(nullptr))));
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr) return QDialog::eventFilter(watched, event);
  InputFilter filter = InputFilter::AnyText;
  bool enterNeedsText = false;
  if (edit == LineEdit("waitTime")) {
    filter = InputFilter::Digits;
    enterNeedsText = true;
  }
  for (const TextWidgets& widgets : texts_) {
    if (widgets.edit == edit) {
      filter = widgets.text->filter;
      enterNeedsText = widgets.text->enterNeedsText;
    }
  }
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    return enterNeedsText && edit->text().isEmpty();
  }
  return RefusesCharacterKey(*key, filter);
}

}  // namespace quelvo
