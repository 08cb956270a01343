// SPDX-License-Identifier: GPL-3.0-or-later
// The command table: every menu item and tool-bar button of the main window and
// the handler it calls. Captions are used exactly as written; only the recent
// file items carry an access key ("&1 " .. "&5 ").
#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QToolButton>

#include "core/settings/SettingSlots.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/DeskCommands.h"
#include "gui/mainwindow/ToolIcons.h"

namespace quelvo {

namespace {
QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}
}  // namespace

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  MainMenus& m = Menus;

  m.File = bar->addMenu("ファイル");
  m.FileNew = AddItem(m.File, "open1", "新規作成");
  m.FileOpen = AddItem(m.File, "FileOpen", "開く");
  m.FileSave = AddItem(m.File, "FileSave", "上書き保存");
  m.FileSaveAs = AddItem(m.File, "FileSaveAs", "名前を付けて保存");
  m.opSave = AddItem(m.File, "opSave", "ｏ番号分割保存");
  m.FilePage = AddItem(m.File, "FilePage", "プリンタ設定");
  m.FilePrint = AddItem(m.File, "FilePrint", "印刷");
  m.DeskTop_set = AddItem(m.File, "DeskTop_set", "ﾃﾞｨｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成");
  m.SendTo_set = AddItem(m.File, "SendTo_set", "SendTo(送る)に登録");
  m.FileCompare = AddItem(m.File, "FileCompare", "比較…");
  for (int i = 0; i < 5; ++i) {
    QAction* item = m.File->addAction(QString("&%1 ").arg(i + 1));
    item->setObjectName(QString("recentFile%1").arg(i));
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, i] { files_->RecentFileClick(i); });
    m.RecentFiles[static_cast<size_t>(i)] = item;
  }
  m.RecentSeparator = m.File->addSeparator();
  m.RecentSeparator->setVisible(false);
  m.FileExit = AddItem(m.File, "FileExit1", "終了");
  m.RestartSend = AddItem(m.File, "RestartSend", "途中から送信…");
  connect(m.RestartSend, &QAction::triggered, this, &MainWindow::RestartSendClick);
  connect(m.FileNew, &QAction::triggered, this, [this] { files_->FileNewClick(); });
  connect(m.FileOpen, &QAction::triggered, this, [this] { files_->FileOpenClick(); });
  connect(m.FileSave, &QAction::triggered, this, [this] { files_->FileSaveClick(); });
  connect(m.FileSaveAs, &QAction::triggered, this, [this] { files_->FileSaveAsClick(); });
  connect(m.opSave, &QAction::triggered, this, [this] { files_->opSaveClick(); });
  connect(m.FilePage, &QAction::triggered, this, [this] { desk_->PageSetup(); });
  connect(m.FilePrint, &QAction::triggered, this, [this] { desk_->Print(); });
  connect(m.DeskTop_set, &QAction::triggered, this, [this] { desk_->CreateDesktopShortcut(); });
  connect(m.SendTo_set, &QAction::triggered, this, [this] { desk_->RegisterSendTo(); });
  connect(m.FileCompare, &QAction::triggered, this, &MainWindow::FileCompareClick);
  connect(m.FileExit, &QAction::triggered, this, [this] { files_->FileExitClick(); });

  m.Edit = bar->addMenu("編集");
  connect(m.Edit, &QMenu::aboutToShow, this, &MainWindow::EditMenuClick);
  m.EditUndo = AddItem(m.Edit, "EditUndo", "元に戻す");
  m.EditCut = AddItem(m.Edit, "EditCut", "切り取り");
  m.EditCopy = AddItem(m.Edit, "EditCopy", "コピー");
  m.EditPaste = AddItem(m.Edit, "EditPaste", "貼り付け");
  m.EditDelete = AddItem(m.Edit, "EditDelete", "削除");
  m.EditAll = AddItem(m.Edit, "EditAll", "すべて選択");
  m.EditDate = AddItem(m.Edit, "EditDate", "日付と時刻");
  m.EditWrap = AddItem(m.Edit, "EditWrap", "右端で折り返す");
  m.EditWrap->setCheckable(true);
  m.FontSelect = m.Edit->addMenu("フォント選択");
  m.EditFont = AddItem(m.FontSelect, "EditFont", "フォント設定");
  m.FontName = AddItem(m.FontSelect, "FontName", QString());
  m.FontName->setEnabled(false);  // shows the editor font; does nothing
  m.ScreenColor = m.Edit->addMenu("画面カラー");
  m.screen_color = AddItem(m.ScreenColor, "screen_color", "背景色設定");
  m.font_color = AddItem(m.ScreenColor, "font_color", "文字色設定");
  connect(m.EditUndo, &QAction::triggered, this, &MainWindow::EditUndoClick);
  connect(m.EditCut, &QAction::triggered, this, &MainWindow::EditCutClick);
  connect(m.EditCopy, &QAction::triggered, this, &MainWindow::EditCopyClick);
  connect(m.EditPaste, &QAction::triggered, this, &MainWindow::EditPasteClick);
  connect(m.EditDelete, &QAction::triggered, this, &MainWindow::EditDeleteClick);
  connect(m.EditAll, &QAction::triggered, this, &MainWindow::EditAllClick);
  connect(m.EditDate, &QAction::triggered, this, &MainWindow::EditDateClick);
  // The check mark is set by the handler itself, from the wrap state.
  connect(m.EditWrap, &QAction::triggered, this, &MainWindow::EditWrapClick);
  connect(m.EditFont, &QAction::triggered, this, &MainWindow::EditFontClick);
  connect(m.screen_color, &QAction::triggered, this, &MainWindow::screen_colorClick);
  connect(m.font_color, &QAction::triggered, this, &MainWindow::font_colorClick);
  m.PlotOpen = AddItem(m.Edit, "PlotOpen", "ツールパス表示");
  connect(m.PlotOpen, &QAction::triggered, this, &MainWindow::PlotOpenClick);

  m.Find = bar->addMenu("検索");
  m.FindDo = AddItem(m.Find, "FindDo", "検索");
  m.FindNext = AddItem(m.Find, "FindNext", "次を検索");
  connect(m.FindDo, &QAction::triggered, this, [this] { desk_->Find(); });
  connect(m.FindNext, &QAction::triggered, this, [this] { desk_->FindNext(); });

  m.Setting = bar->addMenu("通信設定");
  m.SetGroup = new QActionGroup(this);
  m.SetGroup->setExclusive(true);
  // The menu order of the slots, the two OSP settings after a separator
  // (menu position kSettingMenuSeparatorPosition).
  const auto& order = SettingMenuOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    const SettingSlot& slot = *order[i];
    if (static_cast<int>(i) == kSettingMenuSeparatorIndex) m.Setting->addSeparator();
    QAction* item = AddItem(m.Setting, slot.menuItem, QString());
    item->setCheckable(true);
    item->setData(slot.setNo);
    item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(slot.shortcutKey)));
    m.SetGroup->addAction(item);
    const int tag = slot.setNo;
    connect(item, &QAction::triggered, this, [this, tag] { SettingItemClick(tag); });
    m.SetItems[i] = item;
  }

  m.Option = bar->addMenu("ｵﾌﾟｼｮﾝ");
  m.User_op = AddItem(m.Option, "User_op", "ﾕｰｻﾞ定義(拡張子)");
  m.setting_op = AddItem(m.Option, "setting_op", "各種設定");
  m.view_op = AddItem(m.Option, "view_op", "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)");
  m.view_op->setCheckable(true);
  m.view_op->setVisible(false);
  connect(m.User_op, &QAction::triggered, this, [this] { files_->User_opClick(); });
  connect(m.setting_op, &QAction::triggered, this, &MainWindow::setting_opClick);
  connect(m.view_op, &QAction::triggered, this, [this] { files_->view_opClick(); });
  m.color_op = AddItem(m.Option, "color_op", "ｺｰﾄﾞ色分け表示");
  m.color_op->setCheckable(true);
  connect(m.color_op, &QAction::triggered, this, &MainWindow::color_opClick);

  m.Log = bar->addMenu("通信ログ");
  const char* logCaptions[3] = {"送信(PCからNC)", "受信(NCからPC)", "ログ表示終了"};
  const char* logNames[3] = {"Menu_send", "Menu_receive", "Menu_end"};
  for (int i = 0; i < 3; ++i) {
    QAction* item = AddItem(m.Log, logNames[i], logCaptions[i]);
    const int tag = i + 1;
    item->setData(tag);
    connect(item, &QAction::triggered, this, [this, tag] { transfers_->LogItemClick(tag); });
    m.LogItems[static_cast<size_t>(i)] = item;
  }

  m.Help = bar->addMenu("ﾍﾙﾌﾟ");
  // Quelvo has no web page or mail address of its own, so the help menu
  // offers only the version.
  m.Menu_ver = AddItem(m.Help, "Menu_ver", "ﾊﾞｰｼﾞｮﾝ");
  connect(m.Menu_ver, &QAction::triggered, this, [this] { desk_->ShowVersion(); });
}

void MainWindow::BuildToolBar() {
  toolBar = new QWidget(this);
  toolBar->setObjectName("toolBar");
  auto* row = new QHBoxLayout(toolBar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(0);

  struct ButtonEntry {
    QToolButton* ToolButtons::*button;  // null marks a separator
    const char* name;
    const char* caption;
    ToolPicture picture;
    int tag;
  };
  using T = ToolButtons;
  const ButtonEntry buttons[] = {
      {&T::newFile, "newFile", "新規", ToolPicture::New, 0},
      {&T::open, "open", "開く", ToolPicture::Open, 0},
      {&T::save, "save", "保存", ToolPicture::Save, 0},
      {nullptr, nullptr, nullptr, ToolPicture::New, 0},
      {&T::cut, "cut", "切取", ToolPicture::Cut, 0},
      {&T::copy, "copy", "ｺﾋﾟｰ", ToolPicture::Copy, 0},
      {&T::paste, "paste", "貼付", ToolPicture::Paste, 0},
      {&T::undo, "undo", "戻す", ToolPicture::Undo, 0},
      {&T::findNext, "findNext", "検索", ToolPicture::Find, 0},
      {nullptr, nullptr, nullptr, ToolPicture::New, 0},
      {&T::print, "print", "印刷", ToolPicture::Print, 0},
      {nullptr, nullptr, nullptr, ToolPicture::New, 0},
      {&T::receive, "receive", "受信", ToolPicture::Receive, 0},
      {&T::send, "send", "送信", ToolPicture::Send, 1},
      {&T::repeat, "repeat", "ﾘﾋﾟｰﾄ", ToolPicture::Repeat, 2},
      {&T::settings, "settings", "設定", ToolPicture::Setting, 0},
      {&T::stop, "stop", "中止", ToolPicture::Stop, 0},
  };
  int separators = 0;
  for (const ButtonEntry& entry : buttons) {
    if (entry.button == nullptr) {
      auto* bevel = new QFrame(toolBar);
      bevel->setObjectName(QString("separator%1").arg(++separators));
      bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
      bevel->setFixedSize(6, 40);
      row->addWidget(bevel);
      continue;
    }
    auto* button = new QToolButton(toolBar);
    button->setObjectName(entry.name);
    button->setText(entry.caption);
    button->setIcon(ToolIcon(entry.picture));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(40, 40);
    button->setProperty("tag", entry.tag);
    row->addWidget(button);
    tools.*entry.button = button;
  }
  row->addStretch(1);

  connect(tools.newFile, &QToolButton::clicked, this, [this] { files_->FileNewClick(); });
  connect(tools.open, &QToolButton::clicked, this, [this] { files_->FileOpenClick(); });
  connect(tools.save, &QToolButton::clicked, this, [this] { files_->FileSaveClick(); });
  connect(tools.cut, &QToolButton::clicked, this, &MainWindow::EditCutClick);
  connect(tools.copy, &QToolButton::clicked, this, &MainWindow::EditCopyClick);
  connect(tools.paste, &QToolButton::clicked, this, &MainWindow::EditPasteClick);
  connect(tools.undo, &QToolButton::clicked, this, &MainWindow::EditUndoClick);
  connect(tools.findNext, &QToolButton::clicked, this, [this] { desk_->FindNext(); });
  connect(tools.print, &QToolButton::clicked, this, [this] { desk_->Print(); });
  connect(tools.receive, &QToolButton::clicked, this, [this] { transfers_->ReceiveCommand(); });
  connect(tools.send, &QToolButton::clicked, this, [this] { transfers_->SendCommand(1); });
  connect(tools.repeat, &QToolButton::clicked, this, [this] { transfers_->SendCommand(2); });
  connect(tools.settings, &QToolButton::clicked, this, &MainWindow::OpenSettingsDialog);
  connect(tools.stop, &QToolButton::clicked, this, [this] { transfers_->StopCommand(); });
}

}  // namespace quelvo
