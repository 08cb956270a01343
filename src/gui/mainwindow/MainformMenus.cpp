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
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/ToolIcons.h"

namespace quelvo {

namespace {
QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}
}  // namespace

void TForm1::BuildMenus() {
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
    item->setObjectName(QString("MenuFile%1").arg(i));
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, i] { MenuFile0Click(i); });
    m.MenuFile[static_cast<size_t>(i)] = item;
  }
  m.RecentSeparator = m.File->addSeparator();
  m.RecentSeparator->setVisible(false);
  m.FileExit = AddItem(m.File, "FileExit1", "終了");
  m.RestartSend = AddItem(m.File, "RestartSend", "途中から送信…");
  connect(m.RestartSend, &QAction::triggered, this, &TForm1::RestartSendClick);
  m.CompareLibrary = AddItem(m.File, "CompareLibrary", "ライブラリの最終受信と比較…");
  connect(m.CompareLibrary, &QAction::triggered, this, &TForm1::CompareLibraryClick);
  connect(m.FileNew, &QAction::triggered, this, &TForm1::open1Click);
  connect(m.FileOpen, &QAction::triggered, this, &TForm1::FileOpenClick);
  connect(m.FileSave, &QAction::triggered, this, &TForm1::FileSaveClick);
  connect(m.FileSaveAs, &QAction::triggered, this, &TForm1::FileSaveAsClick);
  connect(m.opSave, &QAction::triggered, this, &TForm1::opSaveClick);
  connect(m.FilePage, &QAction::triggered, this, &TForm1::FilePageClick);
  connect(m.FilePrint, &QAction::triggered, this, &TForm1::FilePrintClick);
  connect(m.DeskTop_set, &QAction::triggered, this, &TForm1::DeskTop_setClick);
  connect(m.SendTo_set, &QAction::triggered, this, &TForm1::SendTo_setClick);
  connect(m.FileCompare, &QAction::triggered, this, &TForm1::FileCompareClick);
  connect(m.FileExit, &QAction::triggered, this, &TForm1::FileExit1Click);

  m.Edit = bar->addMenu("編集");
  connect(m.Edit, &QMenu::aboutToShow, this, &TForm1::EditMenuClick);
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
  connect(m.EditUndo, &QAction::triggered, this, &TForm1::EditUndoClick);
  connect(m.EditCut, &QAction::triggered, this, &TForm1::EditCutClick);
  connect(m.EditCopy, &QAction::triggered, this, &TForm1::EditCopyClick);
  connect(m.EditPaste, &QAction::triggered, this, &TForm1::EditPasteClick);
  connect(m.EditDelete, &QAction::triggered, this, &TForm1::EditDeleteClick);
  connect(m.EditAll, &QAction::triggered, this, &TForm1::EditAllClick);
  connect(m.EditDate, &QAction::triggered, this, &TForm1::EditDateClick);
  // The check mark is set by the handler itself, from the wrap state.
  connect(m.EditWrap, &QAction::triggered, this, &TForm1::EditWrapClick);
  connect(m.EditFont, &QAction::triggered, this, &TForm1::EditFontClick);
  connect(m.screen_color, &QAction::triggered, this, &TForm1::screen_colorClick);
  connect(m.font_color, &QAction::triggered, this, &TForm1::font_colorClick);
  m.PlotOpen = AddItem(m.Edit, "PlotOpen", "ツールパス表示");
  connect(m.PlotOpen, &QAction::triggered, this, &TForm1::PlotOpenClick);

  m.Find = bar->addMenu("検索");
  m.FindDo = AddItem(m.Find, "FindDo", "検索");
  m.FindNext = AddItem(m.Find, "FindNext", "次を検索");
  connect(m.FindDo, &QAction::triggered, this, &TForm1::FindDoClick);
  connect(m.FindNext, &QAction::triggered, this, &TForm1::FindNextClick);

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
    connect(item, &QAction::triggered, this, [this, tag] { Set1Click(tag); });
    m.SetItems[i] = item;
  }

  m.Option = bar->addMenu("ｵﾌﾟｼｮﾝ");
  m.User_op = AddItem(m.Option, "User_op", "ﾕｰｻﾞ定義(拡張子)");
  m.setting_op = AddItem(m.Option, "setting_op", "各種設定");
  m.view_op = AddItem(m.Option, "view_op", "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)");
  m.view_op->setCheckable(true);
  m.view_op->setVisible(false);
  connect(m.User_op, &QAction::triggered, this, &TForm1::User_opClick);
  connect(m.setting_op, &QAction::triggered, this, &TForm1::setting_opClick);
  connect(m.view_op, &QAction::triggered, this, &TForm1::view_opClick);
  m.color_op = AddItem(m.Option, "color_op", "ｺｰﾄﾞ色分け表示");
  m.color_op->setCheckable(true);
  connect(m.color_op, &QAction::triggered, this, &TForm1::color_opClick);

  m.Log = bar->addMenu("通信ログ");
  const char* logCaptions[3] = {"送信(PCからNC)", "受信(NCからPC)", "ログ表示終了"};
  const char* logNames[3] = {"Menu_send", "Menu_receive", "Menu_end"};
  for (int i = 0; i < 3; ++i) {
    QAction* item = AddItem(m.Log, logNames[i], logCaptions[i]);
    const int tag = i + 1;
    item->setData(tag);
    connect(item, &QAction::triggered, this, [this, tag] { Menu_sendClick(tag); });
    m.LogItems[static_cast<size_t>(i)] = item;
  }
  m.LineMonitor = AddItem(m.Log, "Menu_monitor", "通信モニタ");
  connect(m.LineMonitor, &QAction::triggered, this, &TForm1::OpenLineMonitor);

  m.Help = bar->addMenu("ﾍﾙﾌﾟ");
  // Quelvo has no web page or mail address of its own, so the help menu
  // offers only the version.
  m.Menu_ver = AddItem(m.Help, "Menu_ver", "ﾊﾞｰｼﾞｮﾝ");
  connect(m.Menu_ver, &QAction::triggered, this, &TForm1::Menu_verClick);
}

void TForm1::BuildToolBar() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  auto* row = new QHBoxLayout(Panel1);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(0);

  struct ButtonEntry {
    int number;  // SpeedButton<number>; 0 marks a separator
    const char* caption;
    ToolPicture picture;
    int tag;
  };
  const ButtonEntry buttons[] = {
      {1, "新規", ToolPicture::New, 0},      {2, "開く", ToolPicture::Open, 0},
      {3, "保存", ToolPicture::Save, 0},     {0, nullptr, ToolPicture::New, 0},
      {4, "切取", ToolPicture::Cut, 0},      {5, "ｺﾋﾟｰ", ToolPicture::Copy, 0},
      {6, "貼付", ToolPicture::Paste, 0},    {7, "戻す", ToolPicture::Undo, 0},
      {12, "検索", ToolPicture::Find, 0},    {0, nullptr, ToolPicture::New, 0},
      {8, "印刷", ToolPicture::Print, 0},    {0, nullptr, ToolPicture::New, 0},
      {9, "受信", ToolPicture::Receive, 0},  {10, "送信", ToolPicture::Send, 1},
      {15, "ﾘﾋﾟｰﾄ", ToolPicture::Repeat, 2}, {11, "設定", ToolPicture::Setting, 0},
      {13, "中止", ToolPicture::Stop, 0},
  };
  int separators = 0;
  for (const ButtonEntry& entry : buttons) {
    if (entry.number == 0) {
      auto* bevel = new QFrame(Panel1);
      bevel->setObjectName(QString("Bevel%1").arg(++separators));
      bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
      bevel->setFixedSize(6, 40);
      row->addWidget(bevel);
      continue;
    }
    auto* button = new QToolButton(Panel1);
    button->setObjectName(QString("SpeedButton%1").arg(entry.number));
    button->setText(entry.caption);
    button->setIcon(ToolIcon(entry.picture));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(40, 40);
    button->setProperty("tag", entry.tag);
    row->addWidget(button);
    Buttons.SpeedButton[static_cast<size_t>(entry.number - 1)] = button;
  }
  row->addStretch(1);

  connect(Buttons[1], &QToolButton::clicked, this, &TForm1::open1Click);
  connect(Buttons[2], &QToolButton::clicked, this, &TForm1::FileOpenClick);
  connect(Buttons[3], &QToolButton::clicked, this, &TForm1::FileSaveClick);
  connect(Buttons[4], &QToolButton::clicked, this, &TForm1::EditCutClick);
  connect(Buttons[5], &QToolButton::clicked, this, &TForm1::EditCopyClick);
  connect(Buttons[6], &QToolButton::clicked, this, &TForm1::EditPasteClick);
  connect(Buttons[7], &QToolButton::clicked, this, &TForm1::EditUndoClick);
  connect(Buttons[12], &QToolButton::clicked, this, &TForm1::FindNextClick);
  connect(Buttons[8], &QToolButton::clicked, this, &TForm1::FilePrintClick);
  connect(Buttons[9], &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
  connect(Buttons[10], &QToolButton::clicked, this, [this] { SpeedButton10Click(1); });
  connect(Buttons[15], &QToolButton::clicked, this, [this] { SpeedButton10Click(2); });
  connect(Buttons[11], &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
  connect(Buttons[13], &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
}

}  // namespace quelvo
