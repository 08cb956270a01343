// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MainWindow, the main window: tool bar, menus, the document editor, the transfer
// panel and the two status bars. It builds its parts, keeps the state of the run
// (settings, document, the communication setting, the link and its transfer
// session) and owns one collaborator per job, each with its own header here:
//   CommandTable      the menus and the tool bar (wired in MainWindowCommands.cpp)
//   DocumentFiles     open, save, recent files, drops, split save, file types
//   EditCommands      titles, the editor's status fields and look, "編集"
//   SettingCommands   the active setting, the settings and options dialogs
//   TransferCommands  send, receive, stop, the log view, the step after a transfer
//   DeskCommands      find, printing, the desktop's entries, the version box
// The window's own files: MainWindow.cpp (creation, show, close, running a
// transfer), MainWindowTransferView.cpp (what the transfer host shows),
// MainWindowCommandLine.cpp, MainWindowRestart.cpp, MainWindowPlot.cpp,
// MainWindowCompare*.cpp, MainWindowMonitor.cpp. README.md maps each part a
// user sees to its class and member ("The window's parts").
#include <chrono>
#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Communication setting and transfer members.
#include "core/port/AnySerialPort.h"
#include "core/settings/CommSetting.h"
#include "core/settings/IniFile.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/link/IdleLineWatch.h"
#include "core/transfer/link/LineTap.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/session/TransferSession.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/DeskCommands.h"
#include "gui/mainwindow/DocumentFiles.h"
#include "gui/mainwindow/EditCommands.h"
#include "gui/mainwindow/SettingCommands.h"
#include "gui/mainwindow/StatusFields.h"
#include "gui/mainwindow/StopKeyFilter.h"
#include "gui/mainwindow/TransferCommands.h"
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
class AutoNumberDialog;
class ProgramPicker;
class OptionsDialog;
class PlotWindow;
class CompareDialog;
class LineMonitorWindow;
class PrintSheet;
class SettingsDialog;
class UserTypesDialog;
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



class MainWindow : public QMainWindow, public ProgramListHost, public TransferWindowView {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- State for the whole run ----
  AppState App;
  ProgramSettings Settings;  // program settings file values (geometry and look live in the widgets)
  DocumentState Document;

  // ==== Communication setting and transfer ====================================
  // (SettingCommands, TransferCommands; the engines
  // reach the window through Host). Declared in this order on purpose: each
  // member is built from the ones above it.
  CommSetting Comm;               // the active setting, number Settings.setNo
  CommLog Log;                    // the communication log of the current transfer

 private:
  IniFile PortsIni{ProgramSettingsPath()};  // "COMn" -> device through [Ports]
  AnySerialPort Port;

 public:
  StopKeyFilter StopKeys;         // F3 / Esc, application-wide
  WindowTransferHost Host{*this, StopKeys};  // the transfer host of the window
  SerialLink Link{Port, Host, Log, Settings.options, &PortsIni};
  // The sends run through one session for the whole run (the selective
  // send's list lives in it); a reception through a session of its own.
  TransferSession Transfers{Link, Host, Log, Settings.options};
  // The line monitor (MainWindowMonitor.cpp): the tap on Link, the watch of an
  // idle line through Link's port, and the window, made at first use.
  LineTap MonitorTap;
  IdleLineWatch MonitorWatch;
  LineMonitorWindow* lineMonitor = nullptr;
  void OpenLineMonitor();
  // Before and after every transfer: the idle watch lets go of the port, the
  // monitor follows the transfer in its code.
  void MonitorTransferStarting(TransferDirection direction);
  void MonitorTransferEnded();
  // ===========================================================================


  // ---- Components, top to bottom ----
  CommandTable& Commands() { return *commands_; }  // the menus and the tool bar
  QWidget* lineStrip = nullptr;      // the transfer panel: program line and DSR/CTS lamps
  QLabel* programLine = nullptr;     // the program line in transfer
  QLineEdit* dsrLamp = nullptr;      // " ●", blue while DSR is on, red while off
  QLineEdit* ctsLamp = nullptr;      // " ●" while CTS is on, " ○" while off
  NcEdit* editor = nullptr;          // the document
  NcEdit* logView = nullptr;         // a communication log, in place of the editor
  QStackedLayout* editorStack = nullptr;
  PanelBar* editorStatus = nullptr;  // while editing
  EditorStatusFields editorFields;
  PanelBar* transferStatus = nullptr;  // during a transfer
  TransferStatusFields statusFields;
  QTimer* completionTimer = nullptr;   // the step after a transfer, two seconds after its end
  QTimer* estimateTimer = nullptr;     // a remaining-time estimate every ten seconds of a send
  QTimer* commandLineTimer = nullptr;  // the command line's transfer, a second after the first show

  QString SettingsFilePath() const;
  // A message box whose top-left corner stands 50 pixels right of and below the window's.
  void ShowMessage(const QString& text);

  // ==== Command line and automatic transfers (app/MainWindowCommandLine.cpp) ====
  // The arguments are read at the end of FormCreate; a requested send or receive
  // starts from commandLineTimer, one second after the window is shown.
  void ProcessCommandLine();
  bool AutomaticTransferRequested() const;
  void StartCommandLineTransfer();
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

  // ---- Titles, the editor status fields, the look and the "編集" commands ----
  EditCommands& Edit() { return *edit_; }

  // ---- Restart at a line (MainWindowRestart.cpp) ----
  // "途中から送信…": the restart dialog for the caret's line (or the line a
  // stopped send proposes), then the preamble and the rest through RunSend.
  void RestartSendClick();
  // After RunSend: a send that stopped proposes the block the control had taken.
  void NoteStoppedSendForRestart();

  // ---- Toolpath plot (MainWindowPlot.cpp) ----
  PlotWindow* plotWindow = nullptr;  // made at first use, follows editor
  void PlotOpenClick();
  // The editor's text was replaced as a whole (load, new, receive): the
  // plot, if made, shows the new document.
  void PlotFollowDocument();

  // ---- Compare with a file (MainWindowCompare.cpp) ----
  CompareDialog* compareDialog = nullptr;  // made at first use
  void FileCompareClick();
  void CompareLibraryClick();  // MainWindowCompareLibrary.cpp

  // ---- Files: open, save, recent files, split save, file types ----
  DocumentFiles& Files() { return *files_; }

  // ---- Find, print, shell, help ----
  DeskCommands& Desk() { return *desk_; }

  // ---- The active setting, the settings and options dialogs, the syntax colours ----
  SettingCommands& Setting() { return *settings_; }

  // ---- Transfers: send, receive, stop, the log view, the step after a transfer ----
  TransferCommands& Transfer() { return *transfers_; }
  // F3, Esc, "中止" and a close: the running transfer's Stop; nothing without one.
  void StopTransfer(StopKind kind);
  bool TransferRunning() const { return activeTransfer_ != nullptr; }
  // The close of the main window that SIGTERM asks for: a running transfer
  // is stopped without a question, then the window closes.
  void CloseOnTerminate();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class DeskCommands;
  friend class SettingCommands;
  friend class EditCommands;
  friend class DocumentFiles;
  friend class TransferCommands;

  SettingsDialog* settingsDialog_ = nullptr;  // made at first use
  OptionsDialog* optionsDialog_ = nullptr;    // made at first use
  CommandLineState CommandLine;  // the requests of this start and the receive target
  std::string CollectionFile;    // <base>.tmp, emptied at every start
  int RestartProposal = 0;  // 1-based line proposed after a stopped send; 0: the caret's
  struct RestartSendState {
    bool active = false;
    int preambleLines = 0;
    int line = 0;  // the restart line, 1-based
  } RestartSending;

  // ---- Lifecycle (MainWindow.cpp) ----
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  // The close at the end of a transfer started with the close request: true
  // when the window closed.
  bool CloseAtTransferEnd();
  // The window as its transfer host shows the transfer (TransferWindowView,
  // mainwindow/MainWindowTransferView.cpp); the host and the transfer
  // commands reach these through that interface.
  void SetStatusField(TransferStatusField field, const std::string& text) override;
  void ShowStatusNow() override;
  void SetProgressRange(int64_t maximum) override;
  void SetProgressPosition(int64_t position) override;
  void SetProgramLine(const std::string& text) override;
  void ShowDsrState(bool on) override;
  void ShowCtsState(bool on) override;
  void ShowTransferPanel(bool visible) override;
  void SetTitle(const std::string& title) override;
  QWidget& MessageParent() override;
  NcEdit& TransferEditor() override;
  void SetDocumentModified(bool modified) override;
  void ClearEditorStatus(EditorStatusField field) override;
  void SetEstimateTimer(bool enabled, int intervalMs) override;
  void StartCompletionTimer() override;
  bool CloseAfterCompletedTransfer() override;
  // What the program-list dialog needs of the window (ProgramListHost).
  QWidget* DialogParent() override { return this; }
  NcEdit* DocumentEditor() override { return editor; }
  FilePrompts& Prompts() override;
  std::string DocumentFileName() const override { return Document.CurrentFileName; }
  void ShowDocumentUnmodified() override;
  bool ConfirmEncodable(std::string_view text) override;

  std::unique_ptr<CommandTable> commands_;  // made first: the menus and the tool bar
  std::unique_ptr<EditCommands> edit_;      // made with the window
  std::unique_ptr<SettingCommands> settings_;  // made with the window
  std::unique_ptr<TransferCommands> transfers_;  // made with the window
  std::unique_ptr<DocumentFiles> files_;  // made by FormCreate, once the settings are read
  std::unique_ptr<DeskCommands> desk_;  // made by FormCreate, after the editor
  int64_t progressScale_ = 1;  // the progress bar counts in ints
  std::chrono::steady_clock::time_point statusDrawnAt_{};  // the last drawing forced by ShowStatusNow
  void WireCommands();  // MainWindowCommands.cpp
  void BuildBody();     // MainWindow.cpp

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
