// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plain records a send runs on: what the send command hands to the engine,
// the selective-send exclusion list, and what the engine leaves for the front
// end (the mail notice reads StartText and SendCompleted).
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/transfer/LineErrorText.h"

namespace quelvo {

// One send command: the setting and the document it sends.
struct SendJob {
  CommSetting setting;             // the active communication setting (its send half is used)
  int SetNo = 1;                   // 6 and 12 are the OSP settings: a file-name header
  std::string CurrentFileName;     // the document's file name
  std::string VersionSuffix;       // " Ver1.47", for the window title
  bool RepeatMode = false;         // "ﾘﾋﾟｰﾄ": send again until stopped
  int RepeatCount = 0;             // 1 for the first pass of a repeat series
  bool CloseAfterTransfer = false; // close the program after a completed send
  bool DocumentModified = false;   // the document held edits not yet saved as the send began
  std::string logFilePath;         // where the log is saved; empty for <base>_S.log
};

// The exclusion list of the selective send, filled by the selective-send
// dialog: the texts of the program-number lines whose programs are not sent.
// SkipProgram lives as long as the window: lines before the first
// program-number line of a document keep the state the last send left.
struct SendSelection {
  std::vector<std::string> SkipLines;  // SkipCount is SkipLines.size()
  bool SkipProgram = false;
};

// What the last send left behind.
struct SendOutcome {
  std::string TransferFileName;  // the file being sent
  std::string StartText;         // "開始 " + date-time + "\n", when the data began
  std::string OspFileName;       // the name sent to an OSP control
  bool SendCompleted = false;    // the last send ended normally
  int RepeatCount = 0;           // passes of a repeat series, counted on by the engine
  // A completed send started with CloseAfterTransfer: the front end closes
  // the program, and with PowerOff switches the PC off once it has closed.
  bool CloseProgram = false;
  bool PowerOff = false;
  // The driver's receive error counts over the send (every pass of a series).
  LineErrorReport lineErrors;
};

}  // namespace quelvo
