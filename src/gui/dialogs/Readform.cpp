// SPDX-License-Identifier: GPL-3.0-or-later
// TForm3: the program list dialog of split save and selective send (see Readform.h).
#include "gui/dialogs/Readform.h"

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

TForm3::TForm3(ProgramListHost& host) : QDialog(host.DialogParent()), host_(host) {
  setObjectName("Form3");
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
  CheckListBox1 = new QListWidget(body);
  CheckListBox1->setObjectName("CheckListBox1");
  CheckListBox1->setGeometry(8, 8, 180, 300);
  CheckListBox1->setFont(ListFont());
  Label1 = new QLabel(kSplitListNote, body);
  Label1->setObjectName("Label1");
  Label1->setGeometry(8, 314, 276, 18);
  QPalette red = Label1->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label1->setPalette(red);
  Button1 = MakeButton(body, "Button1", "選択保存", 8);
  Button2 = MakeButton(body, "Button2", "中止", 42);
  Button5 = MakeButton(body, "Button5", "選択送信", 8);
  Button6 = MakeButton(body, "Button6", "中止", 42);
  Button3 = MakeButton(body, "Button3", "選択解除", 246);
  Button4 = MakeButton(body, "Button4", "全選択", 280);
  ProgressBar1 = new QProgressBar(body);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(0, kBodyHeight - 18, kBodyWidth, 18);
  ProgressBar1->setMinimum(0);
  ProgressBar1->setTextVisible(false);

  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
  connect(op_f, &QAction::triggered, this, &TForm3::op_fClick);
  connect(op_b, &QAction::triggered, this, &TForm3::op_bClick);
  connect(op_n, &QAction::triggered, this, &TForm3::op_nClick);
  SetMode(false);
}

void TForm3::SetMode(bool selective) {
  selective_ = selective;
  Button1->setVisible(!selective);
  Button2->setVisible(!selective);
  Button5->setVisible(selective);
  Button6->setVisible(selective);
  setWindowTitle(selective ? kSelectiveSendCaption : kSplitSaveCaption);
}

void TForm3::FillList(std::string_view documentText) {
  CheckListBox1->clear();
  for (const ProgramListItem& program : BuildProgramList(documentText)) {
    auto* item = new QListWidgetItem(Q(program.text), CheckListBox1);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
  }
}

void TForm3::ShowForSplitSave() {
  const std::string_view text = EditorBytes(host_.DocumentEditor());
  if (text.empty()) return;
  SetMode(false);
  FillList(text);
  // The main window takes no input while the dialog is open.
  setWindowModality(Qt::ApplicationModal);
  show();
}

int TForm3::ShowForSelectiveSend(std::string_view documentText) {
  SetMode(true);
  FillList(documentText);
  setWindowModality(Qt::NonModal);
  show();
  raise();
  return CheckListBox1->count();
}

std::vector<ProgramListItem> TForm3::Items() const {
  std::vector<ProgramListItem> items;
  for (int i = 0; i < CheckListBox1->count(); ++i) {
    const QListWidgetItem* item = CheckListBox1->item(i);
    items.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
  }
  return items;
}

void TForm3::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TForm3::FormShow() {
  PlaceDialogFromSubIni(*this, ProgramFolder());
  const IniFile subIni(SubIniPath());
  DirPath = LoadSubDirPath(subIni);
  Choices = LoadSplitSaveChoices(subIni);
  SetEditButtons(true);
  ProgressBar1->setValue(0);
  if (CheckListBox1->count() == 0) {
    Button1->setEnabled(false);
    Button3->setEnabled(false);
    Button4->setEnabled(false);
  }
  op_f->setChecked(Choices.percentAtStart);
  op_b->setChecked(Choices.percentAtEnd);
  op_n->setChecked(Choices.serialNumbers);
}

void TForm3::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TForm3::FormClose() {
  const DialogPrompts prompts = StandardDialogPrompts();
  if (StoreDialogPlacement(*this, ProgramFolder(), prompts)) {
    IniFile subIni(SubIniPath());
    if (!SaveSubDirPath(subIni, DirPath) || !SaveSplitSaveChoices(subIni, Choices))
      prompts.warn(this, windowTitle(), Q(subIni.WriteError()));
  }
  host_.DocumentEditor()->setFocus();
}

void TForm3::SetEditButtons(bool enabled) {
  for (QPushButton* button : {Button1, Button2, Button3, Button4}) button->setEnabled(enabled);
}

void TForm3::SetAllChecked(bool checked) {
  for (int i = 0; i < CheckListBox1->count(); ++i)
    CheckListBox1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TForm3::Button3Click() { SetAllChecked(false); }
void TForm3::Button4Click() { SetAllChecked(true); }
void TForm3::Button2Click() { reject(); }

void TForm3::op_fClick() {
  Choices.percentAtStart = !Choices.percentAtStart;
  op_f->setChecked(Choices.percentAtStart);
}

void TForm3::op_bClick() {
  Choices.percentAtEnd = !Choices.percentAtEnd;
  op_b->setChecked(Choices.percentAtEnd);
}

void TForm3::op_nClick() {
  Choices.serialNumbers = !Choices.serialNumbers;
  op_n->setChecked(Choices.serialNumbers);
}

void TForm3::ShowError(const QString& text) { host_.Prompts().error(this, windowTitle(), text); }

// The split save removes leading blanks from every line of the document; the
// document keeps the modified state it had before.
void TForm3::ApplyTrimmedText(const std::string& text, bool wasModified) {
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

void TForm3::Button1Click() {
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
  ProgressBar1->setMaximum(static_cast<int>(plan.files.size()));
  ProgressBar1->setValue(0);
  const SplitWriteResult result = WriteSplitFiles(plan, [this](std::size_t done, std::size_t) {
    ProgressBar1->setValue(static_cast<int>(done));
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

void TForm3::Button5Click() {
  const SkipList selection = BuildSkipList(Items());
  if (selection.checkedCount == 0) {
    ShowError(kNothingToSend);
    return;
  }
  SetEditButtons(false);
  emit SelectiveSendRequested(selection);
}

void TForm3::Button6Click() { reject(); }

void TForm3::reject() {
  const bool cancelsSend = selective_ && !closingAfterSend_ && isVisible();
  QDialog::reject();
  if (cancelsSend) emit SelectiveSendCancelled();
}

void TForm3::CloseAfterSend() {
  closingAfterSend_ = true;
  close();
  closingAfterSend_ = false;
}

}  // namespace quelvo
