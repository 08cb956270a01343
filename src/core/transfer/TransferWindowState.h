// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window keeps about transfers between them.
namespace quelvo {

struct TransferWindowState {
  // The window shows a log file in RichEdit2 instead of the document.
  bool LogViewMode = false;
  // A reception was saved: Timer1 takes the receive branch (set by the receive
  // engine, cleared by that branch).
  bool ReceiveCompleted = false;
};

}  // namespace quelvo
