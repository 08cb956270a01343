// SPDX-License-Identifier: GPL-3.0-or-later
// Creation, first show and closing of the main window.
#include "gui/mainwindow/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/common/ProgramFiles.h"
#include "core/document/DocumentTitle.h"
#include "core/transfer/link/PortProbe.h"
#include "gui/desktop/ProgramIcon.h"
#include "gui/desktop/ScreenSaver.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/DeskCommands.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/StatusFields.h"
#include "gui/mainwindow/TransferThread.h"

namespace quelvo {

namespace {
constexpr int kMinimumWidth = 590;
constexpr int kMinimumHeight = 240;
constexpr int kTextLimit = 150000000;  // characters the editors accept

QLineEdit* MakeIndicator(QWidget* parent, QHBoxLayout* row, const QString& name,
                         const QString& caption, const QString& text, const QColor& color) {
  auto* box = new QWidget(parent);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* label = new QLabel(caption, box);
  auto* edit = new QLineEdit(text, box);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setFixedWidth(28);
  QPalette pal = edit->palette();
  pal.setColor(QPalette::Text, color);
  edit->setPalette(pal);
  column->addWidget(label);
  column->addWidget(edit);
  row->addWidget(box);
  return edit;
}
}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  edit_ = std::make_unique<EditCommands>(*this);
  settings_ = std::make_unique<SettingCommands>(*this);
  transfers_ = std::make_unique<TransferCommands>(*this);
  setObjectName("mainWindow");
  setWindowIcon(ProgramIcon());
  commands_ = std::make_unique<CommandTable>(*this);
  WireCommands();
  BuildBody();

  completionTimer = new QTimer(this);
  completionTimer->setObjectName("completionTimer");
  completionTimer->setInterval(2000);
  completionTimer->setSingleShot(true);
  connect(completionTimer, &QTimer::timeout, this, [this] { transfers_->TransferFinished(); });
  estimateTimer = new QTimer(this);
  estimateTimer->setObjectName("estimateTimer");
  connect(estimateTimer, &QTimer::timeout, this, [this] { transfers_->StartRemainingTimeEstimate(); });
  commandLineTimer = new QTimer(this);
  commandLineTimer->setObjectName("commandLineTimer");
  commandLineTimer->setInterval(1000);
  commandLineTimer->setSingleShot(true);
  connect(commandLineTimer, &QTimer::timeout, this, &MainWindow::StartCommandLineTransfer);

  setMinimumSize(kMinimumWidth, kMinimumHeight);
  StopKeys.SetStopHandler([this](StopKind kind) { StopTransfer(kind); });
  FormCreate();
}

MainWindow::~MainWindow() { FormDestroy(); }

void MainWindow::BuildBody() {
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(commands_->toolBar);

  lineStrip = new QWidget(body);
  lineStrip->setObjectName("lineStrip");
  lineStrip->setFixedHeight(33);
  auto* strip = new QHBoxLayout(lineStrip);
  strip->setContentsMargins(4, 0, 4, 0);
  programLine = new QLabel(lineStrip);
  programLine->setObjectName("programLine");
  programLine->setFixedWidth(485);
  strip->addWidget(programLine);
  dsrLamp = MakeIndicator(lineStrip, strip, "dsrLamp", "DSR", " ●", Qt::red);
  ctsLamp = MakeIndicator(lineStrip, strip, "ctsLamp", "CTS", " ○", QColor(0, 255, 0));
  strip->addStretch(1);
  column->addWidget(lineStrip);

  auto* editors = new QWidget(body);
  editorStack = new QStackedLayout(editors);
  editor = new NcEdit(editors);
  editor->setObjectName("editor");
  editor->SetUpperCaseTyping(true);
  logView = new NcEdit(editors);
  logView->setObjectName("logView");
  editorStack->addWidget(editor);
  editorStack->addWidget(logView);
  editorStack->setCurrentWidget(editor);
  column->addWidget(editors, 1);

  transferStatus = MakeTransferStatusBar(body, statusFields);
  transferStatus->setObjectName("transferStatus");
  column->addWidget(transferStatus);
  editorStatus = MakeEditorStatusBar(body, editorFields);
  editorStatus->setObjectName("editorStatus");
  column->addWidget(editorStatus);
  setCentralWidget(body);

  connect(editor, &NcEdit::KeyEvent, this, [this](int key, bool pressed) { edit_->EditorKey(key, pressed); });
  connect(editor, &NcEdit::MouseEvent, this, [this] { edit_->EditorClicked(); });
  connect(editor, &NcEdit::selectionChanged, this, [this] { edit_->EditorSelectionChanged(); });
  connect(editor, &NcEdit::textChanged, this, [this] { edit_->EditorChanged(); });
  connect(editor, &NcEdit::ModifiedChanged, this, [this](bool m) { Document.Modified = m; });
  // The right-click menu is the "編集" menu's commands; it follows that menu's
  // item states and does not open while the menu is disabled (during a transfer).
  editor->SetContextMenu({commands_->Menus.EditUndo, nullptr, commands_->Menus.EditCut, commands_->Menus.EditCopy, commands_->Menus.EditPaste,
                             commands_->Menus.EditDelete, nullptr, commands_->Menus.EditAll, nullptr, commands_->Menus.RestartSend},
                            [this] {
                              edit_->EditMenuClick();
                              return commands_->Menus.Edit->menuAction()->isEnabled();
                            });
}

void MainWindow::ShowDocumentUnmodified() {
  edit_->SetEditTitle();
  editorFields.modified->setText(QString());
}

FilePrompts& MainWindow::Prompts() { return files_->FilePrompt; }

bool MainWindow::ConfirmEncodable(std::string_view text) { return files_->ConfirmEncodable(text); }

QString MainWindow::SettingsFilePath() const { return QString::fromStdString(ProgramSettingsPath()); }

void MainWindow::FormCreate() {
  // The print window is the first window after this one.
  desk_ = std::make_unique<DeskCommands>(*this, *editor, Document, App, [this] { edit_->UpdateCaretPosition(); });
  IniFile ini(SettingsFilePath().toStdString());
  Settings = LoadProgramSettings(ini);
  move(Settings.window.left, Settings.window.top);
  resize(Settings.window.width, Settings.window.height);
  edit_->ApplyEditorLook();
  settings_->UpdateSyntaxColors();
  files_ = std::make_unique<DocumentFiles>(*this);

  editor->setWrapMode(QsciScintilla::WrapNone);
  editor->SetHorizontalScrollBar(true);
  edit_->UpdateSideMargins();
  Document = DocumentState{};
  editorFields.caret->setText("1 , 1");

  dsrLamp->parentWidget()->hide();
  ctsLamp->parentWidget()->hide();
  lineStrip->hide();
  settings_->UpdateSettingCaptions();
  transferStatus->hide();
  commands_->tools.stop->setEnabled(false);
  App.CloseAfterTransfer = false;
  App.CloseUnattended = false;

  App.VersionSuffix = kVersionSuffix;
  const OsInfo os = DetectOs();
  App.OsLabel = os.OsLabel;
  App.OsCode = os.OsCode;
  setWindowTitle(QString::fromStdString(StartupTitle(App.VersionSuffix, os)));

  settings_->ReportUnreadableSettingsFiles();
  ProcessCommandLine();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void MainWindow::FormShow() {
  files_->ShowRecentFiles();
  edit_->UpdateFontItemCaption();
  editorFields.insertMode->setText("挿入");
  Document.InsertMode = true;
  editor->setOverwriteMode(false);
  edit_->RecreateCaret();
  editor->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
  edit_->EditMenuClick();

  settings_->LoadActiveCommSetting();

  if (statusFields.progress == nullptr) AddProgressBar(*transferStatus, statusFields);
  if (AutomaticTransferRequested()) commandLineTimer->start();
  (void)kTextLimit;  // the editor control holds any length; no limit to raise
  commands_->Menus.view_op->setChecked(Settings.options.filePreview);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (TransferRunning()) {
    // The window stays until the engine has let go of the port and the
    // document: a close that stops the transfer takes the path of "中止" and
    // closes once the transfer has ended (RunTransfer).
    event->ignore();
    if (closeAfterStop_) return;
    if (!terminating_ && !AskStopForClose()) return;
    if (!TransferRunning()) {
      // The transfer ended while the question was open.
      QTimer::singleShot(0, this, [this] { close(); });
      return;
    }
    closeAfterStop_ = true;
    StopTransfer(StopKind::kEsc);
    return;
  }
  if (!closed_ && !files_->MayClose()) {
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  event->accept();
}

TransferResult MainWindow::RunTransfer(WindowTransferHost& host, TransferSession& session,
                                   const std::function<TransferResult()>& run) {
  TransferResult result;
  activeTransfer_ = &session;
  session.BeginRun();
  TransferThread::Run(
      this, [&] { result = run(); }, [&host] { host.DeliverEvents(); });
  activeTransfer_ = nullptr;
  MonitorTransferEnded();
  if (closeAfterStop_) {
    // The close accepted during the transfer, now that the engine has let go
    // of the port and the document.
    closeAfterStop_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
  return result;
}

void MainWindow::StopTransfer(StopKind kind) {
  if (activeTransfer_ != nullptr) activeTransfer_->Stop(kind);
}

bool MainWindow::AskStopForClose() {
  return Host.ShowMessage("転送中です。中止して終了しますか？", "", MessageKind::kWarning,
                          MessageButtons::kYesNo) == MessageAnswer::kYes;
}

void MainWindow::CloseOnTerminate() {
  terminating_ = true;
  close();
}

// An attended close asks about unsaved edits as any close does, and a Cancel
// keeps the window. An unattended one asks nothing: with unsaved edits the
// window stays open with them rather than hang on the question or drop them.
bool MainWindow::CloseAtTransferEnd() {
  if (App.CloseUnattended && editor->isModified()) return false;
  return close();
}

void MainWindow::FormClose() {
  Settings.window = WindowBounds{x(), y(), width(), height()};
  IniFile ini(SettingsFilePath().toStdString());
  if (!SaveProgramSettings(ini, Settings)) ShowMessage(QString::fromStdString(ini.WriteError()));
  ScreenSaverOn();
  ProbePortsAtExit(Settings.modemPort1, Settings.modemPort2);
}

void MainWindow::FormDestroy() {
  delete statusFields.progress;
  statusFields.progress = nullptr;
}

void MainWindow::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::Warning, "Quelvo", text, QMessageBox::Ok, this);
  box.move(x() + 50, y() + 50);
  box.exec();
}

}  // namespace quelvo
