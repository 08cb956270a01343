// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TForm1, the main window: tool bar, menus, the document editor, the line-status strip
// and the two status bars. Its state for the whole run is grouped in the structs
// below; its handlers are spread over one source file per subsystem, all in
// gui/mainwindow/ (README.md has a table of every numbered handler):
//   Mainform.cpp             creation, show, close, titles
//   MainformMenus.cpp        the command table: menus and tool bar
//   MainformEdit.cpp         the document, status panels and edit commands
//   MainformFiles.cpp        open, save, recent files, split save, file types
//   MainformDesk.cpp         find, printing, shell integration, help
//   MainformSettings.cpp     setting selection, settings and options dialogs
//   MainformTransfer.cpp     the transfer state, stop, Timer1, the log view
//   MainformSend.cpp         the send command, selective send, Timer2
//   MainformReceive.cpp      the receive command and what becomes of a reception
//   MainformCommandLine.cpp  the command line and its automatic transfers
#include <chrono>
#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Communication setting and transfer members.
#include "core/port/AnySerialPort.h"
#include "core/settings/CommSetting.h"
#include "core/settings/IniFile.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TransferWindowState.h"
#include "core/transfer/link/IdleLineWatch.h"
#include "core/transfer/link/LineTap.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/session/TransferSession.h"
#include "gui/mainwindow/StopKeyFilter.h"
#include "gui/mainwindow/TransferWindowView.h"
#include "gui/mainwindow/WindowTransferHost.h"

#include "core/commandline/CommandLineRules.h"
#include "core/document/DocumentState.h"
#include "core/document/FileFilter.h"
#include "core/document/ProgramList.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/StartupTitle.h"
#include "gui/dialogs/FilePrompts.h"
#include "gui/dialogs/ProgramListHost.h"

class QAction;
class QActionGroup;
class QCloseEvent;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedLayout;
class QTimer;
class QToolButton;
class QWidget;

namespace quelvo {

class FindDialog;
class NcEdit;
class PanelBar;
class TAutoForm;
class TForm3;
class TOptionForm;
class PlotWindow;
class CompareDialog;
class LineMonitorWindow;
class TPrintForm;
class TSetdataForm;
class TUser;
struct PrintChoice;

// Process-level values the window keeps.
struct AppState {
  std::string VersionSuffix;
  std::string OsLabel;
  int OsCode = -1;
  bool CloseAfterTransfer = false;
  // The close request came from the command line ("END") and no button press
  // since: nobody may be there to answer a question at the close.
  bool CloseUnattended = false;
  std::string TransferFileName;
  // What main() returns: kExitTransferNotCompleted from a command line that asks
  // for an unattended transfer until that transfer completes.
  int ExitStatus = 0;
};

// What the send command hands to the next send: "ﾘﾋﾟｰﾄ" sends the document again
// and again until stopped, counting the passes in StatusBar2 panel 6.
struct SendCommandState {
  bool RepeatMode = false;
  int RepeatCount = 0;  // 1 for the first pass of a repeat series
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
  QAction* FileCompare = nullptr;  // "比較…", the last of the file commands
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
  QAction* color_op = nullptr;  // "ｺｰﾄﾞ色分け表示": the NC syntax colours
  std::array<QAction*, 3> LogItems{};  // tags 1, 2, 3
  QAction* LineMonitor = nullptr;  // "通信モニタ", last item of the log menu
  QAction* Menu_ver = nullptr;
  QAction* PlotOpen = nullptr;  // "ツールパス表示", last item of the edit menu
  QAction* RestartSend = nullptr;  // "途中から送信…", last item of the file menu and of the editor's menu
  QAction* CompareLibrary = nullptr;  // "ライブラリの最終受信と比較…", after it
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

class TForm1 : public QMainWindow, public ProgramListHost, public TransferWindowView {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- State for the whole run ----
  AppState App;
  ProgramSettings Settings;  // program settings file values (geometry and look live in the widgets)
  DocumentState Document;

  // ==== Communication setting and transfer ====================================
  // (settings/MainformSettings.cpp, transfer/MainformTransfer.cpp; the engines
  // reach the window through Host). Declared in this order on purpose: each
  // member is built from the ones above it.
  CommSetting Comm;               // the active setting, number Settings.setNo
  TransferWindowState Transfer;   // log view, reception completed
  CommLog Log;                    // the communication log of the current transfer
  IniFile PortsIni{ProgramSettingsPath()};  // "COMn" -> device through [Ports]
  AnySerialPort Port;
  StopKeyFilter StopKeys;         // F3 / Esc, application-wide
  WindowTransferHost Host{*this, StopKeys};  // the transfer host of the window
  SerialLink Link{Port, Host, Log, Settings.options, &PortsIni};
  // The sends run through one session for the whole run (the selective
  // send's list lives in it); a reception through a session of its own.
  TransferSession Transfers{Link, Host, Log, Settings.options};
  // The line monitor (MainformMonitor.cpp): the tap on Link, the watch of an
  // idle line through Link's port, and the window, made at first use.
  LineTap MonitorTap;
  IdleLineWatch MonitorWatch;
  LineMonitorWindow* LineMonitorWin = nullptr;
  void OpenLineMonitor();
  // Before and after every transfer: the idle watch lets go of the port, the
  // monitor follows the transfer in its code.
  void MonitorTransferStarting(TransferDirection direction);
  void MonitorTransferEnded();
  TAutoForm* AutoForm = nullptr;        // selection number dialog, made by WireTransfer
  TSetdataForm* SetdataForm = nullptr;  // made at first use
  TOptionForm* OptionForm = nullptr;    // made at first use
  // Closes the selective-send dialog when a transfer ends (set by the send command).
  std::function<void()> CloseSelectionDialog;
  // ===========================================================================

  // ==== Send command (transfer/MainformSend.cpp) ==============================
  // "送信" and "ﾘﾋﾟｰﾄ" (SpeedButton10 tag 1, SpeedButton15 tag 2) put the window
  // into the transferring state, start the log and run Transfers on the whole
  // document, or first let the user pick programs in Form3 (option op1).
  SendCommandState SendCommand;
  void SpeedButton10Click(int tag);
  // Runs a send of the document with the active setting on the transfer thread.
  void RunSend();
  // Timer2: a TSendTime worker updates the remaining-time estimate.
  void Timer2Timer();
  // The selective send: Form3 lists the programs; its "選択送信" sends all but
  // the unchecked ones, its "中止" ends the command through Timer1.
  void OpenSelectiveSend();
  void Form3SelectiveSend(const SkipList& selection);
  void Form3SelectiveCancel();
  // ===========================================================================

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
  // The close at the end of a transfer started with the close request: true
  // when the window closed.
  bool CloseAtTransferEnd();
  // The window as its transfer host shows the transfer (TransferWindowView,
  // mainwindow/MainformTransferView.cpp).
  void SetStatusPanel(int index, const std::string& text) override;
  void RepaintStatus() override;
  void SetProgressRange(int64_t maximum) override;
  void SetProgressPosition(int64_t position) override;
  void SetLabel2(const std::string& text) override;
  void SetDsrIndicator(bool on) override;
  void SetCtsIndicator(bool on) override;
  void ShowTransferPanel(bool visible) override;
  void SetTitle(const std::string& title) override;
  QWidget& MessageParent() override;
  NcEdit& TransferEditor() override;
  void SetDocumentModified(bool modified) override;
  void SetEditorStatusPanel(int index, const QString& text) override;
  void SetEstimateTimer(bool enabled, int intervalMs) override;
  void StartCompletionTimer() override;
  bool CloseAfterCompletedTransfer() override;
  QString SettingsFilePath() const;
  // A message box whose top-left corner stands 50 pixels right of and below the window's.
  void ShowMessage(const QString& text);

  // ==== Command line and automatic transfers (app/MainformCommandLine.cpp) ====
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
  bool AskCommandLineQuestion(const std::string& text);
  void ShowCommandLineError(const std::string& text);
  bool collectionUsable_ = true;  // false when the collection file could not be written

 public:
  // ==== End of the command-line block ====

  // ---- Document and edit commands (MainformEdit.cpp) ----
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

  // ---- Restart at a line (MainformRestart.cpp) ----
  // "途中から送信…": the restart dialog for the caret's line (or the line a
  // stopped send proposes), then the preamble and the rest through RunSend.
  void RestartSendClick();
  // After RunSend: a send that stopped proposes the block the control had taken.
  void NoteStoppedSendForRestart();
  int RestartProposal = 0;  // 1-based line proposed after a stopped send; 0: the caret's
  struct RestartSendState {
    bool active = false;
    int preambleLines = 0;
    int line = 0;  // the restart line, 1-based
  } RestartSending;

  // ---- Toolpath plot (MainformPlot.cpp) ----
  PlotWindow* PlotForm = nullptr;  // made at first use, follows RichEdit1
  void PlotOpenClick();
  // The editor's text was replaced as a whole (load, new, receive): the
  // plot, if made, shows the new document.
  void PlotFollowDocument();

  // ---- Compare with a file (MainformCompare.cpp) ----
  CompareDialog* CompareForm = nullptr;  // made at first use
  void FileCompareClick();
  void CompareLibraryClick();  // MainformCompareLibrary.cpp

  // ---- Files: open, save, recent files, split save, file types (MainformFiles.cpp) ----
  std::vector<FileFilterEntry> FileFilter;  // the seven file types of the file dialogs
  FilePrompts FilePrompt;                   // questions and file choosers (tests replace them)
  QFileDialog* SaveDialog1 = nullptr;       // made on first use
  TForm3* Form3 = nullptr;                  // split save and selective send
  TUser* User = nullptr;                    // user-defined file types
  QString LastDialogFolder;                 // where the last file dialog ended

  void FormCreateFiles();  // after the settings are read: filter list, dialogs, drops
  void RebuildFileFilter();
  // Reads a file into the editor (format question and line-by-line fallback
  // included); the size in bytes, or -1 when the file could not be read (the
  // reason has been shown and the editor is unchanged).
  double LoadFileIntoEditor(const std::string& path);
  // Loads a file as the document: size panel, name, title, recent files. False
  // when it could not be read; the document is then unchanged.
  bool LoadDocument(const std::string& path);
  // Asks whether to save the modified document under a new name; returns when
  // it is saved or the user answered No.
  void PromptSaveChanges(const std::string& name);
  void AddRecentFile(const std::string& path);
  void OnDropFiles(const QStringList& paths);
  // The save dialog "データ保存" (or `title`) with the filter list, Mask_No and proposedName.
  FileChoice ExecuteSaveDialog(const QString& proposedName, const QString& title = QString());
  void SaveDialog1TypeChange(int index);  // 1-based
  // Writes the editor text to path; on success path becomes the document's name
  // and the document is not modified; on failure the reason is shown. False
  // also when the user declines to save characters the file cannot hold.
  bool SaveDocumentTo(const std::string& path);
  // True when text can be written as CP932 as it stands, or the user agreed to
  // have the characters it cannot hold written as "?".
  bool ConfirmEncodable(std::string_view text) override;
  // What the program-list dialog needs of the window (ProgramListHost).
  QWidget* DialogParent() override { return this; }
  NcEdit* DocumentEditor() override { return RichEdit1; }
  FilePrompts& Prompts() override { return FilePrompt; }
  std::string DocumentFileName() const override { return Document.CurrentFileName; }
  void ShowDocumentUnmodified() override;
  void ClearDocumentText();  // empties the editor, not modified

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

  // ---- Find, print, shell, help (MainformDesk.cpp) ----
  FindDialog* FindDialog1 = nullptr;  // non-modal; keeps its text and direction while hidden
  TPrintForm* PrintForm = nullptr;    // hidden: the print buffers and the printer
  // Chooses what "印刷" prints: the print dialog, unless a test answers here.
  std::function<bool(PrintChoice& choice)> ChoosePrint;
  void CreateDeskWindows();  // by FormCreate: the print form first, then the find dialog
  void FindDoClick();
  void FindDialog1Find();
  void FindNextClick();
  void FilePageClick();
  void FilePrintClick();
  void DeskTop_setClick();
  void SendTo_setClick();
  void Menu_verClick();

  // ---- Settings (MainformSettings.cpp) ----
  void Set1Click(int tag);
  void setting_opClick();
  void SpeedButton11Click();
  void UpdateSettingCaptions();
  void LoadActiveCommSetting();
  void ReportUnreadableSettingsFiles();
  void SelectSetting(int setNo);      // make setting setNo active and load it
  void ShowActiveSetting(int setNo);  // "通信設定切換(name)" and the radio mark
  void ApplySettingNames();           // the twelve item captions from Settings.setNames
  void ToggleFilePreviewOption();     // op16; the hidden item "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)"

  // ---- NC syntax colours (MainformSyntax.cpp) ----
  // The document editor's colours on or off by the option, their marks by the
  // active setting's send code; after any change of either.
  void UpdateSyntaxColors();
  void color_opClick();  // "ｺｰﾄﾞ色分け表示" turns the option over
  // The two settings dialogs, made and wired at first use (tests reach them
  // before opening them, to replace their prompts and port prober).
  TSetdataForm& SetdataDialog();
  TOptionForm& OptionDialog();

  // ---- Transfer (MainformTransfer.cpp) ----
  void SpeedButton9Click();
  void SpeedButton13Click();
  void Menu_sendClick(int tag);
  void Timer1Timer();
  // Editing state (true) or transferring state (false) of buttons and menus.
  void SetTransferUi(bool enabled);
  // Shift held as a transfer starts: close when it completes, with the user at hand.
  void RequestCloseByUser();
  void EndLogView();
  // Timer1 after a saved reception: opens the received file (receive command).
  // Timer1Timer then switches the screen saver on and hides the transfer panel.
  void Timer1ReceiveBranch();
  // Wires the link's line-selector sequence to TAutoForm (called once, at first show).
  void WireTransfer();
  // F3, Esc, "中止" and a close: the running transfer's Stop; nothing without one.
  void StopTransfer(StopKind kind);
  bool TransferRunning() const { return activeTransfer_ != nullptr; }
  // The close of the main window that SIGTERM asks for: a running transfer
  // is stopped without a question, then the window closes.
  void CloseOnTerminate();

  // ==== Receiving (transfer/MainformReceive.cpp) ===============================
  // SpeedButton9Click ("受信") and Timer1ReceiveBranch, declared above, live
  // there too. The receive engine runs with ReceiveHost: the window's own host,
  // or in tests one with instant waits and a scripted Shift key.
  WindowTransferHost* ReceiveHost = &Host;
  // The automatic receive that the command line asks for: receives into
  // App.TransferFileName as "受信" would once its file is chosen, without
  // dialogs and without starting the log anew.
  void RunAutomaticReceive();
  void ReceiveIntoOspFolder();    // "受信" with an OSP setting: a folder, "osp_data.tmp"
  void ReceiveIntoChosenFile();   // "受信" with any other setting: the save dialog
  void EnterReceiveState(const std::string& title);  // title, transferring state, editor emptied
  void RunReceiveEngine(bool unattended = false);  // the engine, then what the window does at its end
  bool OspSettingActive() const;  // setting 6 or 12
  // ===========================================================================

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  int64_t progressScale_ = 1;  // the progress bar counts in ints
  std::chrono::steady_clock::time_point statusDrawnAt_{};  // the last drawing forced by RepaintStatus
  void BuildMenus();    // MainformMenus.cpp
  void BuildToolBar();  // MainformMenus.cpp
  void BuildBody();     // Mainform.cpp

  bool shown_ = false;
  bool closed_ = false;
  // Runs `run` through `session` on the transfer thread; the window's thread
  // meanwhile draws `host`'s events and answers its questions. Returns the
  // result once the transfer has ended (and closes the window then when a
  // close was accepted meanwhile).
  TransferResult RunTransfer(WindowTransferHost& host, TransferSession& session,
                             const std::function<TransferResult()>& run);
  // A close while a transfer runs: asks whether to stop it and close (true).
  bool AskStopForClose();
  TransferSession* activeTransfer_ = nullptr;  // while a transfer runs
  bool closeAfterStop_ = false;  // a close accepted during the transfer waits for its end
  bool terminating_ = false;     // SIGTERM: no question at the close
};

}  // namespace quelvo
