// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/CommandTable.h"

#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>

#include "core/settings/SettingSlots.h"
#include "gui/mainwindow/ToolIcons.h"

namespace quelvo {

namespace {
QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}
}  // namespace

CommandTable::CommandTable(QMainWindow& window) {
  BuildMenus(window);
  BuildToolBar(window);
}

void CommandTable::BuildMenus(QMainWindow& window) {
  QMenuBar* bar = window.menuBar();
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
    m.RecentFiles[static_cast<size_t>(i)] = item;
  }
  m.RecentSeparator = m.File->addSeparator();
  m.RecentSeparator->setVisible(false);
  m.FileExit = AddItem(m.File, "FileExit1", "終了");
  m.RestartSend = AddItem(m.File, "RestartSend", "途中から送信…");
  m.CompareLibrary = AddItem(m.File, "CompareLibrary", "ライブラリの最終受信と比較…");

  m.Edit = bar->addMenu("編集");
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
  // The check mark is set by the handler itself, from the wrap state.
  m.PlotOpen = AddItem(m.Edit, "PlotOpen", "ツールパス表示");

  m.Find = bar->addMenu("検索");
  m.FindDo = AddItem(m.Find, "FindDo", "検索");
  m.FindNext = AddItem(m.Find, "FindNext", "次を検索");

  m.Setting = bar->addMenu("通信設定");
  m.SetGroup = new QActionGroup(&window);
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
    m.SetItems[i] = item;
  }

  m.Option = bar->addMenu("ｵﾌﾟｼｮﾝ");
  m.User_op = AddItem(m.Option, "User_op", "ﾕｰｻﾞ定義(拡張子)");
  m.setting_op = AddItem(m.Option, "setting_op", "各種設定");
  m.view_op = AddItem(m.Option, "view_op", "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)");
  m.view_op->setCheckable(true);
  m.view_op->setVisible(false);
  m.color_op = AddItem(m.Option, "color_op", "ｺｰﾄﾞ色分け表示");
  m.color_op->setCheckable(true);

  m.Log = bar->addMenu("通信ログ");
  const char* logCaptions[3] = {"送信(PCからNC)", "受信(NCからPC)", "ログ表示終了"};
  const char* logNames[3] = {"Menu_send", "Menu_receive", "Menu_end"};
  for (int i = 0; i < 3; ++i) {
    QAction* item = AddItem(m.Log, logNames[i], logCaptions[i]);
    item->setData(i + 1);  // the log: 1 send, 2 receive; 3 ends the view
    m.LogItems[static_cast<size_t>(i)] = item;
  }
  m.LineMonitor = AddItem(m.Log, "Menu_monitor", "通信モニタ");

  m.Help = bar->addMenu("ﾍﾙﾌﾟ");
  // Quelvo has no web page or mail address of its own, so the help menu
  // offers only the version.
  m.Menu_ver = AddItem(m.Help, "Menu_ver", "ﾊﾞｰｼﾞｮﾝ");
}

void CommandTable::BuildToolBar(QMainWindow& window) {
  toolBar = new QWidget(&window);
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

}

}  // namespace quelvo
