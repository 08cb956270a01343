// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's commands around the document rather than in it: find
// ("検索", "次を検索"), printing ("プリンタ設定", "印刷"), the desktop's entries
// ("ﾃﾞｨｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成", "SendTo(送る)に登録") and the version box. The main
// window owns one and wires the menu items and tool buttons to it.
#include <functional>

class QWidget;

namespace quelvo {

class FindDialog;
class NcEdit;
class PrintSheet;
struct AppState;
struct DocumentState;
struct PrintChoice;

class DeskCommands {
 public:
  // Makes the hidden print window and then the find dialog, both owned by
  // `window`. `caretMoved` runs after a search has moved the caret.
  DeskCommands(QWidget& window, NcEdit& editor, const DocumentState& document, const AppState& app,
               std::function<void()> caretMoved);

  void Find();      // shows the find dialog
  void FindNext();  // one search with the text and direction the dialog holds, shown or not
  void PageSetup();
  void Print();
  void CreateDesktopShortcut();
  void RegisterSendTo();
  void ShowVersion();

  FindDialog* findDialog;  // non-modal; keeps its text and direction while hidden
  PrintSheet* printSheet;  // hidden: the print buffers and the printer
  // Chooses what "印刷" prints: the print dialog, unless a test answers here.
  std::function<bool(PrintChoice& choice)> ChoosePrint;

 private:
  QWidget& window_;
  NcEdit& editor_;
  const DocumentState& document_;
  const AppState& app_;
  std::function<void()> caretMoved_;
};

}  // namespace quelvo
