// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command table of the main window: its menus with their items and its
// tool bar with its buttons, made once with the captions exactly as written
// (only the recent-file items carry an access key, "&1 " .. "&5 "). The
// window wires each item to its handler (MainWindowCommands.cpp); other code
// enables, checks or renames the items here.
#include <array>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolButton;
class QWidget;

namespace quelvo {

// The menu items of the command table that other code enables, checks or renames.
struct MainMenus {
  QMenu* File = nullptr;
  QMenu* Edit = nullptr;
  QMenu* Find = nullptr;
  QMenu* Setting = nullptr;
  QMenu* Option = nullptr;
  QMenu* Log = nullptr;
  QMenu* Help = nullptr;
  QMenu* FontSelect = nullptr;
  QMenu* ScreenColor = nullptr;
  QAction* FileNew = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* opSave = nullptr;
  QAction* FilePage = nullptr;
  QAction* FilePrint = nullptr;
  QAction* DeskTop_set = nullptr;
  QAction* SendTo_set = nullptr;
  QAction* FileCompare = nullptr;  // "比較…", the last of the file commands
  std::array<QAction*, 5> RecentFiles{};  // "&1 " .. "&5 " + path, hidden until filled
  QAction* RecentSeparator = nullptr;
  QAction* FileExit = nullptr;
  QAction* EditUndo = nullptr;
  QAction* EditCut = nullptr;
  QAction* EditCopy = nullptr;
  QAction* EditPaste = nullptr;
  QAction* EditDelete = nullptr;
  QAction* EditAll = nullptr;
  QAction* EditDate = nullptr;
  QAction* EditWrap = nullptr;
  QAction* EditFont = nullptr;
  QAction* FontName = nullptr;  // display only: font name + "  " + size
  QAction* screen_color = nullptr;
  QAction* font_color = nullptr;
  QAction* FindDo = nullptr;
  QAction* FindNext = nullptr;
  // Set1..Set9, Set10, SetO, SetP in menu order; their tags are the setting numbers.
  std::array<QAction*, 12> SetItems{};
  QActionGroup* SetGroup = nullptr;
  QAction* User_op = nullptr;
  QAction* setting_op = nullptr;
  QAction* view_op = nullptr;
  QAction* color_op = nullptr;  // "ｺｰﾄﾞ色分け表示": the NC syntax colours
  std::array<QAction*, 3> LogItems{};  // tags 1, 2, 3
  QAction* LineMonitor = nullptr;  // "通信モニタ", last item of the log menu
  QAction* Menu_ver = nullptr;
  QAction* PlotOpen = nullptr;  // "ツールパス表示", last item of the edit menu
  QAction* RestartSend = nullptr;  // "途中から送信…", last item of the file menu and of the editor's menu
  QAction* CompareLibrary = nullptr;  // "ライブラリの最終受信と比較…", after it
};

// The buttons of the tool bar, left to right.
struct ToolButtons {
  QToolButton* newFile = nullptr;   // "新規"
  QToolButton* open = nullptr;      // "開く"
  QToolButton* save = nullptr;      // "保存"
  QToolButton* cut = nullptr;       // "切取"
  QToolButton* copy = nullptr;      // "ｺﾋﾟｰ"
  QToolButton* paste = nullptr;     // "貼付"
  QToolButton* undo = nullptr;      // "戻す"
  QToolButton* findNext = nullptr;  // "検索"
  QToolButton* print = nullptr;     // "印刷"
  QToolButton* receive = nullptr;   // "受信"
  QToolButton* send = nullptr;      // "送信", tag 1
  QToolButton* repeat = nullptr;    // "ﾘﾋﾟｰﾄ", tag 2
  QToolButton* settings = nullptr;  // "設定"
  QToolButton* stop = nullptr;      // "中止"
};

class CommandTable {
 public:
  // Fills the window's menu bar and makes the tool bar (the window places it).
  explicit CommandTable(QMainWindow& window);

  MainMenus Menus;
  QWidget* toolBar = nullptr;
  ToolButtons tools;

 private:
  void BuildMenus(QMainWindow& window);
  void BuildToolBar(QMainWindow& window);
};

}  // namespace quelvo
