// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a reception is given and what it leaves for the window.
#include <string>

#include "core/transfer/LineErrorText.h"

namespace quelvo {

struct ReceiveJob {
  // TransferFileName: the file that receives the data. An existing file is
  // replaced only when the data starts.
  std::string TransferFileName;
  // Nobody is at the window (a reception started from the command line): no
  // message box waits for an answer, the log says what happened.
  bool unattended = false;
  // DirPath: the folder that receives a file named by the control. Empty
  // means the folder of TransferFileName.
  std::string DirPath;
  // An OSP setting (number 6 or 12) is active: its file-name rules apply.
  bool ospSetting = false;
  // Appended to window titles (" Ver1.47").
  std::string versionSuffix;
  // CloseAfterTransfer: the window closes after a completed reception (and,
  // with Power_Off "Y", switches the PC off; TransferResult::closeProgram).
  // Only the window sets it.
  bool closeAfterTransfer = false;
  // Where the communication log is saved at the end; empty for the program's
  // <base>_R.log.
  std::string logFilePath;
};

struct ReceiveOutcome {
  // ReceiveCompleted: the data was saved; the completion timer opens
  // TransferFileName as the document.
  bool ReceiveCompleted = false;
  // The file that holds the data now: the job's file, or the name the
  // control sent. After an abort the file no longer exists; after a stop for a
  // file or port failure it holds what was received.
  std::string TransferFileName;
  int ErrorNumber = 0;
  // The driver's receive error counts over the reception.
  LineErrorReport lineErrors;
};

}  // namespace quelvo
