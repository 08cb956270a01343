#pragma once
// The main window: tool bar, menus, the document editor, the line-status strip
// and the two status bars. Its state for the whole run is grouped in the structs
// below; its handlers are spread over one source file per subsystem:
//   app/Mainform.cpp            creation, show, close, titles
//   app/MainformMenus.cpp       the command table: menus and tool bar
//   editor/MainformEdit.cpp     the document, status panels and edit commands
//   editor/MainformFiles.cpp    open, save, recent files, split save, file types
//   editor/MainformDesk.cpp     find, printing, shell integration, help
//   settings/MainformSettings.cpp  setting selection, settings and options dialogs
//   transfer/MainformTransfer.cpp  send, receive, stop, log view, timers
#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLineRules.h"
#include "app/StartupTitle.h"
#include "editor/DocumentState.h"
#include "settings/ProgramSettings.h"

class QAction;
class QActionGroup;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedLayout;
class QTimer;
class QToolButton;
class QWidget;

namespace quelvo {

class NcEdit;
class PanelBar;

// Process-level values the window keeps.
struct AppState {
  std::string VersionSuffix;
  std::string OsLabel;
  int OsCode = -1;
  bool CloseAfterTransfer = false;
  std::string TransferFileName;
};

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
  std::array<QAction*, 5> MenuFile{};  // "&1 " .. "&5 " + path, hidden until filled
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
  std::array<QAction*, 3> LogItems{};  // tags 1, 2, 3
  QAction* Menu_hp = nullptr;
  QAction* Menu_add = nullptr;
  QAction* Menu_ver = nullptr;
};

// The font and colour choosers of the edit commands; each returns false when
// cancelled. Tests replace them.
struct EditorDialogs {
  std::function<bool(QWidget* parent, QFont& font)> ChooseFont;
  std::function<bool(QWidget* parent, QColor& color)> ChooseColor;
};

// SpeedButton1..13 and SpeedButton15; index n-1 holds SpeedButtonn (index 13 unused).
struct ToolButtons {
  std::array<QToolButton*, 15> SpeedButton{};
  QToolButton* operator[](int n) const { return SpeedButton.at(static_cast<size_t>(n - 1)); }
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- State for the whole run ----
  AppState App;
  ProgramSettings Settings;  // program settings file values (geometry and look live in the widgets)
  DocumentState Document;
  // The active communication setting, the transfer state and the communication
  // log join here as their own structs (CommSetting, TransferState, CommLog).

  // ---- Components ----
  QWidget* Panel1 = nullptr;  // tool bar
  ToolButtons Buttons;
  QWidget* Panel2 = nullptr;  // line-status strip
  QLabel* Label2 = nullptr;
  QLineEdit* LabeledEdit1 = nullptr;  // DSR
  QLineEdit* LabeledEdit2 = nullptr;  // CTS
  NcEdit* RichEdit1 = nullptr;        // the document
  NcEdit* RichEdit2 = nullptr;        // log view, behind RichEdit1
  QStackedLayout* EditorStack = nullptr;
  PanelBar* StatusBar1 = nullptr;     // editor status
  PanelBar* StatusBar2 = nullptr;     // transfer status
  QProgressBar* ProgressBar = nullptr;  // inside StatusBar2 panel 0, made by FormShow
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  QTimer* Timer3 = nullptr;
  MainMenus Menus;
  EditorDialogs Dialogs;

  // ---- Lifecycle (Mainform.cpp) ----
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  bool FormCloseQuery();  // may the window close? (unsaved changes)
  QString SettingsFilePath() const;
  // A message box whose top-left corner stands 50 pixels right of and below the window's.
  void ShowMessage(const QString& text);

  // ---- Command line and automatic transfers (app/MainformCommandLine.cpp) ----
  // The arguments are read at the end of FormCreate; a requested send or receive
  // starts from Timer3, one second after the window is shown.
  CommandLineState CommandLine;  // the requests of this start and the receive target
  std::string CollectionFile;    // <base>.tmp, emptied at every start
  void ProcessCommandLine();
  bool AutomaticTransferRequested() const;
  void Timer3Timer();
  // The argument list examined by ProcessCommandLine (the program name not
  // included); empty means the process's own arguments. Tests set it.
  std::vector<std::string> CommandLineArguments;

 private:
  void RunCommandLineAction(const CommandLineAction& action);
  void CollectCommandLineFile(const std::string& path);
  void LoadCommandLineDocument(const std::string& path, bool promptSave);
  double LoadCommandLineFile(const std::string& path);
  bool AskCommandLineQuestion(const std::string& text);
  void ShowCommandLineError(const std::string& text);
  void StartAutomaticReceive();
  bool collectionUsable_ = true;  // false when the collection file could not be written

 public:
  // ---- End of the command-line block ----

  // ---- Document and edit commands (editor/MainformEdit.cpp) ----
  void SetNewDocumentTitle();
  void SetEditTitle();
  void SetModifiedTitle();
  void SetDiscardedTitle();
  void SetReceiveTitle();
  void FormatFileSize(double size);
  void UpdateCaretPosition();
  void RecreateCaret();
  void UpdateFontItemCaption();
  void ApplyEditorLook();  // font and colours from Settings.editor
  void ApplyEditorFont(const QFont& font);
  void ApplyEditorColors();
  QColor EditorTextColor() const;
  QColor EditorBackgroundColor() const;
  void UpdateSideMargins();
  int CharHeightPixels() const;
  void ToggleInsertMode();

  void RichEdit1Change();
  void RichEdit1KeyDown(int key, bool pressed);
  void RichEdit1MouseDown();
  void RichEdit1SelectionChange();
  void EditMenuClick();
  void EditUndoClick();
  void EditCutClick();
  void EditCopyClick();
  void EditPasteClick();
  void EditDeleteClick();
  void EditAllClick();
  void EditDateClick();
  void EditWrapClick();
  void EditFontClick();
  void screen_colorClick();
  void font_colorClick();

  // ---- Files (editor/MainformFiles.cpp) ----
  void open1Click();
  void FileOpenClick();
  void FileSaveClick();
  void FileSaveAsClick();
  void opSaveClick();
  void MenuFile0Click(int index);
  void FileExit1Click();
  void User_opClick();
  void view_opClick();
  void ShowRecentFiles();

  // ---- Find, print, shell, help (editor/MainformDesk.cpp) ----
  void FindDoClick();
  void FindNextClick();
  void FilePageClick();
  void FilePrintClick();
  void DeskTop_setClick();
  void SendTo_setClick();
  void Menu_hpClick();
  void Menu_addClick();
  void Menu_verClick();

  // ---- Settings (settings/MainformSettings.cpp) ----
  void Set1Click(int tag);
  void setting_opClick();
  void SpeedButton11Click();
  void UpdateSettingCaptions();
  void LoadActiveCommSetting();

  // ---- Transfer (transfer/MainformTransfer.cpp) ----
  void SpeedButton9Click();
  void SpeedButton10Click(int tag);
  void SpeedButton13Click();
  void Menu_sendClick(int tag);
  void Timer1Timer();
  void Timer2Timer();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenus();    // MainformMenus.cpp
  void BuildToolBar();  // MainformMenus.cpp
  void BuildBody();     // Mainform.cpp

  bool shown_ = false;
  bool closed_ = false;
};

}  // namespace quelvo
