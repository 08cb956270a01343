// SPDX-License-Identifier: GPL-3.0-or-later
// Creation, first show and closing of the main window.
#include "gui/mainwindow/Mainform.h"

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
#include "gui/mainwindow/PanelBar.h"

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

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowIcon(ProgramIcon());
  BuildMenus();
  BuildToolBar();
  BuildBody();

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(2000);
  Timer1->setSingleShot(true);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
  Timer3 = new QTimer(this);
  Timer3->setObjectName("Timer3");
  Timer3->setInterval(1000);
  Timer3->setSingleShot(true);
  connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);

  setMinimumSize(kMinimumWidth, kMinimumHeight);
  StopKeys.SetStopHandler([this](StopKind kind) { StopTransfer(kind); });
  FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::BuildBody() {
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(Panel1);

  Panel2 = new QWidget(body);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedHeight(33);
  auto* strip = new QHBoxLayout(Panel2);
  strip->setContentsMargins(4, 0, 4, 0);
  Label2 = new QLabel(Panel2);
  Label2->setObjectName("Label2");
  Label2->setFixedWidth(485);
  strip->addWidget(Label2);
  LabeledEdit1 = MakeIndicator(Panel2, strip, "LabeledEdit1", "DSR", " ●", Qt::red);
  LabeledEdit2 = MakeIndicator(Panel2, strip, "LabeledEdit2", "CTS", " ○", QColor(0, 255, 0));
  strip->addStretch(1);
  column->addWidget(Panel2);

  auto* editors = new QWidget(body);
  EditorStack = new QStackedLayout(editors);
  RichEdit1 = new NcEdit(editors);
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->SetUpperCaseTyping(true);
  RichEdit2 = new NcEdit(editors);
  RichEdit2->setObjectName("RichEdit2");
  EditorStack->addWidget(RichEdit1);
  EditorStack->addWidget(RichEdit2);
  EditorStack->setCurrentWidget(RichEdit1);
  column->addWidget(editors, 1);

  const auto left = Qt::AlignLeft | Qt::AlignVCenter;
  StatusBar2 = new PanelBar({{100, left, false, {}},
                             {180, left, true, {}},
                             {100, Qt::AlignCenter, true, {}},
                             {80, left, true, {}},
                             {40, Qt::AlignCenter, true, {}},
                             {20, left, true, {}},
                             {50, left, true, "送信:"}},
                            body);
  StatusBar2->setObjectName("StatusBar2");
  column->addWidget(StatusBar2);
  StatusBar1 = new PanelBar({{120, left, true, "ｻｲｽﾞ"},
                             {60, Qt::AlignCenter, true, {}},
                             {55, left, true, {}},
                             {50, Qt::AlignCenter, true, {}},
                             {55, left, true, {}},
                             {100, left, true, {}},
                             {50, left, true, {}}},
                            body);
  StatusBar1->setObjectName("StatusBar1");
  column->addWidget(StatusBar1);
  setCentralWidget(body);

  connect(RichEdit1, &NcEdit::KeyEvent, this, &TForm1::RichEdit1KeyDown);
  connect(RichEdit1, &NcEdit::MouseEvent, this, &TForm1::RichEdit1MouseDown);
  connect(RichEdit1, &NcEdit::selectionChanged, this, &TForm1::RichEdit1SelectionChange);
  connect(RichEdit1, &NcEdit::textChanged, this, &TForm1::RichEdit1Change);
  connect(RichEdit1, &NcEdit::ModifiedChanged, this, [this](bool m) { Document.Modified = m; });
  // The right-click menu is the "編集" menu's commands; it follows that menu's
  // item states and does not open while the menu is disabled (during a transfer).
  RichEdit1->SetContextMenu({Menus.EditUndo, nullptr, Menus.EditCut, Menus.EditCopy, Menus.EditPaste,
                             Menus.EditDelete, nullptr, Menus.EditAll, nullptr, Menus.RestartSend},
                            [this] {
                              EditMenuClick();
                              return Menus.Edit->menuAction()->isEnabled();
                            });
}

QString TForm1::SettingsFilePath() const { return QString::fromStdString(ProgramSettingsPath()); }

void TForm1::FormCreate() {
  CreateDeskWindows();  // the print form is the first window after this one
  IniFile ini(SettingsFilePath().toStdString());
  Settings = LoadProgramSettings(ini);
  move(Settings.window.left, Settings.window.top);
  resize(Settings.window.width, Settings.window.height);
  ApplyEditorLook();
  UpdateSyntaxColors();
  FormCreateFiles();

  RichEdit1->setWrapMode(QsciScintilla::WrapNone);
  RichEdit1->SetHorizontalScrollBar(true);
  UpdateSideMargins();
  Document = DocumentState{};
  StatusBar1->SetPanelText(1, "1 , 1");

  LabeledEdit1->parentWidget()->hide();
  LabeledEdit2->parentWidget()->hide();
  Panel2->hide();
  UpdateSettingCaptions();
  StatusBar2->hide();
  Buttons[13]->setEnabled(false);
  App.CloseAfterTransfer = false;
  App.CloseUnattended = false;

  App.VersionSuffix = kVersionSuffix;
  const OsInfo os = DetectOs();
  App.OsLabel = os.OsLabel;
  App.OsCode = os.OsCode;
  setWindowTitle(QString::fromStdString(StartupTitle(App.VersionSuffix, os)));

  ReportUnreadableSettingsFiles();
  ProcessCommandLine();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TForm1::FormShow() {
  ShowRecentFiles();
  UpdateFontItemCaption();
  StatusBar1->SetPanelText(3, "挿入");
  Document.InsertMode = true;
  RichEdit1->setOverwriteMode(false);
  RecreateCaret();
  RichEdit1->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
  EditMenuClick();

  LoadActiveCommSetting();

  if (ProgressBar == nullptr) {
    QLabel* panel0 = StatusBar2->Panel(0);
    ProgressBar = new QProgressBar(panel0);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(1, 2, 99, PanelBar::kHeight - 2 - 2);
  }
  if (AutomaticTransferRequested()) Timer3->start();
  (void)kTextLimit;  // the editor control holds any length; no limit to raise
  Menus.view_op->setChecked(Settings.options.filePreview);
}

void TForm1::closeEvent(QCloseEvent* event) {
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
  if (!closed_ && !FormCloseQuery()) {
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  event->accept();
}

// An attended close asks about unsaved edits as any close does, and a Cancel
// keeps the window. An unattended one asks nothing: with unsaved edits the
// window stays open with them rather than hang on the question or drop them.
bool TForm1::CloseAtTransferEnd() {
  if (App.CloseUnattended && RichEdit1->isModified()) return false;
  return close();
}

void TForm1::FormClose() {
  Settings.window = WindowBounds{x(), y(), width(), height()};
  IniFile ini(SettingsFilePath().toStdString());
  if (!SaveProgramSettings(ini, Settings)) ShowMessage(QString::fromStdString(ini.WriteError()));
  ScreenSaverOn();
  ProbePortsAtExit(Settings.modemPort1, Settings.modemPort2);
}

void TForm1::FormDestroy() {
  delete ProgressBar;
  ProgressBar = nullptr;
}

void TForm1::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::Warning, "Quelvo", text, QMessageBox::Ok, this);
  box.move(x() + 50, y() + 50);
  box.exec();
}

}  // namespace quelvo
