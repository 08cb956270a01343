// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a front end shows of a running transfer, as TransferStatusTexts drives
// it: the texts of the transfer's status fields, the progress, the program
// line in transfer, the DSR/CTS states of the line, whether the line state is
// shown at all, and the title. How each of these is drawn is the front end's
// business; tests record the calls.
#include <cstdint>
#include <string>

namespace quelvo {

// The status fields of a transfer.
enum class TransferStatusField {
  Remaining,     // what is left to send and the time it takes, or the code a reception recognised
  Phase,         // waiting, sending, passing through, receiving, saving, completed, stopped
  LineSettings,  // the code, then the speed and the stop bits
  Port,          // the port of the setting
  StartSignal,   // "Y" when the control starts the transfer, "N" otherwise
  RepeatPass,    // the pass of a repeated send
};

class TransferView {
 public:
  virtual ~TransferView() = default;

  virtual void SetStatusField(TransferStatusField field, const std::string& text) = 0;
  // Shows the status fields as they stand now, not at the next idle moment.
  virtual void ShowStatusNow() = 0;
  virtual void SetProgressRange(int64_t maximum) = 0;  // range 0..maximum
  virtual void SetProgressPosition(int64_t position) = 0;
  // The program line in transfer, or the file name exchanged with the control.
  virtual void SetProgramLine(const std::string& text) = 0;
  virtual void ShowDsrState(bool on) = 0;
  virtual void ShowCtsState(bool on) = 0;
  // Shows or hides the transfer panel: the program line and the DSR/CTS states.
  virtual void ShowTransferPanel(bool visible) = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

}  // namespace quelvo
