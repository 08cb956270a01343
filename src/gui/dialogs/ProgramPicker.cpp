// SPDX-License-Identifier: GPL-3.0-or-later
// ProgramPicker: the program list dialog of split save and selective send (see ProgramPicker.h).
#include "gui/dialogs/ProgramPicker.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/common/ProgramFiles.h"
#include "core/document/FileTexts.h"
#include "core/document/SplitSave.h"
#include "core/settings/IniFile.h"
#include "gui/dialogs/DialogPlacementStore.h"
#include "gui/dialogs/DialogPrompts.h"
#include "gui/dialogs/FilePrompts.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/NcEdit.h"

namespace quelvo {

namespace {

constexpr int kBodyWidth = 292;
constexpr int kBodyHeight = 373;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int y) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(196, y, 88, 28);
  button->setAutoDefault(false);
  return button;
}

QAction* MakeOption(QMenu* menu, const char* name, const QString& caption) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  item->setCheckable(true);
  return item;
}

QFont ListFont() {
  const QString cjkMono = "Noto Sans Mono CJK JP";
  if (QFontDatabase::hasFamily(cjkMono)) return QFont(cjkMono, 10);
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace

ProgramPicker::ProgramPicker(ProgramListHost& host) : QDialog(host.DialogParent()), host_(host) {
  setObjectName("programPicker");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSizeConstraint(QLayout::SetFixedSize);
  MainMenu = new QMenuBar(this);
  QMenu* options = MainMenu->addMenu("分割保存ｵﾌﾟｼｮﾝ");
  op_f = MakeOption(options, "op_f", "先頭に％付加");
  op_b = MakeOption(options, "op_b", "末尾に％付加");
  op_n = MakeOption(options, "op_n", "保存時連番付加");
  column->setMenuBar(MainMenu);

  auto* body = new QWidget(this);
  body->setFixedSize(kBodyWidth, kBodyHeight);
  column->addWidget(body);
  programList = new QListWidget(body);
  programList->setObjectName("programList");
  programList->setGeometry(8, 8, 180, 300);
  programList->setFont(ListFont());
  listNote = new QLabel(kSplitListNote, body);
  listNote->setObjectName("listNote");
  listNote->setGeometry(8, 314, 276, 18);
  QPalette red = listNote->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  listNote->setPalette(red);
  saveSelectedButton = MakeButton(body, "saveSelectedButton", "選択保存", 8);
  cancelSaveButton = MakeButton(body, "cancelSaveButton", "中止", 42);
  sendSelectedButton = MakeButton(body, "sendSelectedButton", "選択送信", 8);
  cancelSendButton = MakeButton(body, "cancelSendButton", "中止", 42);
  uncheckAllButton = MakeButton(body, "uncheckAllButton", "選択解除", 246);
  checkAllButton = MakeButton(body, "checkAllButton", "全選択", 280);
  saveProgress = new QProgressBar(body);
  saveProgress->setObjectName("saveProgress");
  saveProgress->setGeometry(0, kBodyHeight - 18, kBodyWidth, 18);
  saveProgress->setMinimum(0);
  saveProgress->setTextVisible(false);

  connect(saveSelectedButton, &QPushButton::clicked, this, &ProgramPicker::SaveSelectedClick);
  connect(cancelSaveButton, &QPushButton::clicked, this, &ProgramPicker::CancelSaveClick);
  connect(uncheckAllButton, &QPushButton::clicked, this, &ProgramPicker::UncheckAllClick);
  connect(checkAllButton, &QPushButton::clicked, this, &ProgramPicker::CheckAllClick);
  connect(sendSelectedButton, &QPushButton::clicked, this, &ProgramPicker::SendSelectedClick);
  connect(cancelSendButton, &QPushButton::clicked, this, &ProgramPicker::CancelSendClick);
  connect(op_f, &QAction::triggered, this, &ProgramPicker::op_fClick);
  connect(op_b, &QAction::triggered, this, &ProgramPicker::op_bClick);
  connect(op_n, &QAction::triggered, this, &ProgramPicker::op_nClick);
  SetMode(false);
}

void ProgramPicker::SetMode(bool selective) {
  selective_ = selective;
  saveSelectedButton->setVisible(!selective);
  cancelSaveButton->setVisible(!selective);
  sendSelectedButton->setVisible(selective);
  cancelSendButton->setVisible(selective);
  setWindowTitle(selective ? kSelectiveSendCaption : kSplitSaveCaption);
}

void ProgramPicker::FillList(std::string_view documentText) {
  programList->clear();
  for (const ProgramListItem& program : BuildProgramList(documentText)) {
    auto* item = new QListWidgetItem(Q(program.text), programList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
  }
}

void ProgramPicker::ShowForSplitSave() {
  const std::string_view text = EditorBytes(host_.DocumentEditor());
  if (text.empty()) return;
  SetMode(false);
  FillList(text);
  // The main window takes no input while the dialog is open.
  setWindowModality(Qt::ApplicationModal);
  show();
}

int ProgramPicker::ShowForSelectiveSend(std::string_view documentText) {
  SetMode(true);
  FillList(documentText);
  setWindowModality(Qt::NonModal);
  show();
  raise();
  return programList->count();
}

std::vector<ProgramListItem> ProgramPicker::Items() const {
  std::vector<ProgramListItem> items;
  for (int i = 0; i < programList->count(); ++i) {
    const QListWidgetItem* item = programList->item(i);
    items.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
  }
  return items;
}

void ProgramPicker::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void ProgramPicker::FormShow() {
  PlaceDialogFromSubIni(*this, ProgramFolder());
  const IniFile subIni(SubIniPath());
  DirPath = LoadSubDirPath(subIni);
  Choices = LoadSplitSaveChoices(subIni);
  SetEditButtons(true);
  saveProgress->setValue(0);
  if (programList->count() == 0) {
    saveSelectedButton->setEnabled(false);
    uncheckAllButton->setEnabled(false);
    checkAllButton->setEnabled(false);
  }
  op_f->setChecked(Choices.percentAtStart);
  op_b->setChecked(Choices.percentAtEnd);
  op_n->setChecked(Choices.serialNumbers);
}

void ProgramPicker::done(int result) {
  FormClose();
  QDialog::done(result);
}

void ProgramPicker::FormClose() {
  const DialogPrompts prompts = StandardDialogPrompts();
  if (StoreDialogPlacement(*this, ProgramFolder(), prompts)) {
    IniFile subIni(SubIniPath());
    if (!SaveSubDirPath(subIni, DirPath) || !SaveSplitSaveChoices(subIni, Choices))
      prompts.warn(this, windowTitle(), Q(subIni.WriteError()));
  }
  host_.DocumentEditor()->setFocus();
}

void ProgramPicker::SetEditButtons(bool enabled) {
  for (QPushButton* button : {saveSelectedButton, cancelSaveButton, uncheckAllButton, checkAllButton}) button->setEnabled(enabled);
}

void ProgramPicker::SetAllChecked(bool checked) {
  for (int i = 0; i < programList->count(); ++i)
    programList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void ProgramPicker::UncheckAllClick() { SetAllChecked(false); }
void ProgramPicker::CheckAllClick() { SetAllChecked(true); }
void ProgramPicker::CancelSaveClick() { reject(); }

void ProgramPicker::op_fClick() {
  Choices.percentAtStart = !Choices.percentAtStart;
  op_f->setChecked(Choices.percentAtStart);
}

void ProgramPicker::op_bClick() {
  Choices.percentAtEnd = !Choices.percentAtEnd;
  op_b->setChecked(Choices.percentAtEnd);
}

void ProgramPicker::op_nClick() {
  Choices.serialNumbers = !Choices.serialNumbers;
  op_n->setChecked(Choices.serialNumbers);
}

void ProgramPicker::ShowError(const QString& text) { host_.Prompts().error(this, windowTitle(), text); }

// The split save removes leading blanks from every line of the document; the
// document keeps the modified state it had before.
void ProgramPicker::ApplyTrimmedText(const std::string& text, bool wasModified) {
  NcEdit* editor = host_.DocumentEditor();
  const long line = editor->SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE);
  editor->SendScintilla(QsciScintilla::SCI_BEGINUNDOACTION);
  editor->SendScintilla(QsciScintilla::SCI_TARGETWHOLEDOCUMENT);
  editor->SendScintilla(QsciScintilla::SCI_REPLACETARGET, static_cast<unsigned long>(text.size()),
                        text.c_str());
  editor->SendScintilla(QsciScintilla::SCI_ENDUNDOACTION);
  editor->SendScintilla(QsciScintilla::SCI_SETFIRSTVISIBLELINE, line);
  if (!wasModified) editor->setModified(false);
}

void ProgramPicker::SaveSelectedClick() {
  const QString folder = host_.Prompts().chooseFolder(this, kSplitFolderPrompt + Q(DirPath), Q(DirPath));
  if (folder.isEmpty()) return;
  DirPath = folder.toStdString();

  const bool wasModified = host_.DocumentEditor()->isModified();
  const std::vector<ProgramListItem> items = Items();
  if (BuildSkipList(items).checkedCount == 0) {
    ShowError(kNothingToSplit);
    return;
  }
  if (!host_.ConfirmEncodable(EditorBytes(host_.DocumentEditor()))) return;
  SetEditButtons(false);
  const SplitPlan plan = PlanSplitSave(EditorBytes(host_.DocumentEditor()), items, DirPath,
                                       host_.DocumentFileName(), Choices);
  if (plan.textTrimmed) ApplyTrimmedText(plan.trimmedText, wasModified);
  saveProgress->setMaximum(static_cast<int>(plan.files.size()));
  saveProgress->setValue(0);
  const SplitWriteResult result = WriteSplitFiles(plan, [this](std::size_t done, std::size_t) {
    saveProgress->setValue(static_cast<int>(done));
    QApplication::processEvents();
  });
  if (!wasModified) {
    host_.DocumentEditor()->setModified(false);
    host_.ShowDocumentUnmodified();
  }
  if (!result.ok) {
    // The files written so far stay; the dialog stays open for another folder.
    ShowError(Q(result.failedPath) + kCannotWrite + Q(result.error));
    SetEditButtons(true);
    return;
  }
  accept();
}

void ProgramPicker::SendSelectedClick() {
  const SkipList selection = BuildSkipList(Items());
  if (selection.checkedCount == 0) {
    ShowError(kNothingToSend);
    return;
  }
  SetEditButtons(false);
  emit SelectiveSendRequested(selection);
}

void ProgramPicker::CancelSendClick() { reject(); }

void ProgramPicker::reject() {
  const bool cancelsSend = selective_ && !closingAfterSend_ && isVisible();
  QDialog::reject();
  if (cancelsSend) emit SelectiveSendCancelled();
}

void ProgramPicker::CloseAfterSend() {
  closingAfterSend_ = true;
  close();
  closingAfterSend_ = false;
}

}  // namespace quelvo
