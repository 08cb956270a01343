// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbers of the abort log line ("ｴﾗｰ番号 " + number). A send sets the
// number of the step in progress after every write, so a refusal or a stop
// during that step is logged with it; a reception sets its own three; the
// link leaves kUserStop after a stop key. 1008 is not used.
namespace quelvo {

enum TransferError : int {
  kNoTransferError = 0,

  // --- send: the step in progress ---
  kSendControlRefusedStart = 1001,  // DC3, DC4 or CAN before the start signal (op9 "N")
  kSendStartDeclined = 1002,        // "No" to the box asking whether the control is ready
  kSendOldTypeWait = 1003,          // the old-type start wait
  kSendFirstFeed = 1004,            // the feed before the data
  kSendOspDollar = 1005,            // the "$" of an OSP control's file-name header
  kSendOspFileName = 1006,          // the file name of that header
  kSendOspLineEnd = 1007,           // the line end of that header
  kSendStartSequence = 1009,        // the start sequence
  kSendProgramFeed = 1010,          // the feed before a program-number line
  kSendDataChar = 1011,             // a data character (also a stop during the data)
  kSendLineEnd = 1012,              // the line end after a data line
  kSendEndSequence = 1013,          // the end sequence
  kSendFinalFeed = 1014,            // the feed after the data
  kSendPunchEndSignal = 1015,       // a tape punch's end signal DC4
  kSendPortSetup = 1016,            // opening or configuring the port, or a port lost while waiting

  // --- receive ---
  kReceivePortSetup = 2001,   // opening or configuring the port
  kReceiveTargetFile = 2002,  // the target file could not be written
  kReceivePortLost = 2003,    // the port failed during the reception

  kUserStop = 9999,  // F3, Esc or the "中止" button
};

}  // namespace quelvo
