// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window keeps about transfers between them.
namespace quelvo {

struct TransferWindowState {
  // The window shows a log file in its log view instead of the document.
  bool LogViewMode = false;
  // A reception was saved: the step after the transfer opens the received
  // file (set by the receive engine, cleared by that step).
  bool ReceiveCompleted = false;
};

}  // namespace quelvo
