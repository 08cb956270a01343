// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's transfer commands: "送信" and "ﾘﾋﾟｰﾄ" (whole document or
// the selective send through the program list), "受信" (into a file the user
// names, or "osp_data.tmp" in a folder for an OSP control) and the command
// line's automatic receive, "中止", the transferring state of the window's
// buttons and menus, the communication log shown in place of the document
// ("通信ログ"), and the step after each transfer (completionTimer) that takes
// the window back to editing and opens a received file. The transfers run
// through the window's transfer session on the transfer thread.
#include <QObject>
#include <functional>
#include <string>

#include "core/document/ProgramList.h"
#include "core/transfer/TransferWindowState.h"
#include "core/transfer/send/SendEngine.h"

namespace quelvo {

class AutoNumberDialog;
class MainWindow;
class WindowTransferHost;

// What the send command hands to the next send: "ﾘﾋﾟｰﾄ" sends the document again
// and again until stopped, counting the passes in the repeat-pass field.
struct SendCommandState {
  bool RepeatMode = false;
  int RepeatCount = 0;  // 1 for the first pass of a repeat series
};

class TransferCommands : public QObject {
  Q_OBJECT
 public:
  explicit TransferCommands(MainWindow& window);

  TransferWindowState state;  // log view, reception completed
  SendCommandState sendPasses;
  // The receive engine runs with this host: the window's own, or in tests one
  // with instant waits and a scripted Shift key.
  WindowTransferHost* ReceiveHost;
  AutoNumberDialog* autoNumberDialog = nullptr;  // the selection number, made by WireTransfer
  // Closes the selective-send dialog when a transfer ends (set by the send command).
  std::function<void()> CloseSelectionDialog;

  // ---- Send ----
  // "送信" (tag 1) and "ﾘﾋﾟｰﾄ" (tag 2) put the window into the transferring
  // state, start the log and send the whole document, or first let the user
  // pick programs in the program list (option op1).
  void SendCommand(int tag);
  // Runs a send of the document with the active setting on the transfer thread.
  void RunSend();
  // estimateTimer: a RemainingTimeWorker updates the remaining-time estimate.
  void StartRemainingTimeEstimate();
  // The selective send: the program list's "選択送信" sends all but the
  // unchecked programs, its "中止" ends the command through completionTimer.
  void OpenSelectiveSend();
  void SendSelectedPrograms(const SkipList& selection);
  void CancelSelectiveSend();

  // ---- Receive ----
  void ReceiveCommand();
  // The automatic receive that the command line asks for: receives into
  // App.TransferFileName as "受信" would once its file is chosen, without
  // dialogs and without starting the log anew.
  void RunAutomaticReceive();
  void ReceiveIntoOspFolder();   // "受信" with an OSP setting: a folder, "osp_data.tmp"
  void ReceiveIntoChosenFile();  // "受信" with any other setting: the save dialog
  void EnterReceiveState(const std::string& title);  // title, transferring state, editor emptied
  void RunReceiveEngine(bool unattended = false);    // the engine, then what the window does at its end
  bool OspSettingActive() const;                     // setting 6 or 12

  // ---- Stop, state, log view, completion ----
  void StopCommand();  // "中止"
  // Editing state (true) or transferring state (false) of buttons and menus.
  void SetTransferUi(bool enabled);
  // Shift held as a transfer starts: close when it completes, with the user at hand.
  void RequestCloseByUser();
  void LogItemClick(int tag);  // "通信ログ": 1 the send log, 2 the receive log, 3 back to the document
  void EndLogView();
  // completionTimer: back to the editing state; after a saved reception
  // OpenReceivedFile opens the received file first.
  void TransferFinished();
  void OpenReceivedFile();
  // Wires the link's line-selector sequence to AutoNumberDialog (called once, at first show).
  void WireTransfer();

 private:
  MainWindow& w_;
};

}  // namespace quelvo
