// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial link of one transfer: opening and configuring the port from the
// active communication setting (OpenPort), and moving single characters with
// the program's own pacing, line checks and stop detection (ReadByte,
// WriteByte). Every step of the opening writes a line to the communication
// log. The engines hold one SerialLink for the whole run; the port is opened
// per transfer and closed by the engine on every way out (ClosePort).
//
// Written against SerialPort (the port) and TransferHost (the front end). The
// user's stop reaches the link as a request on its StopToken (Stops()), which
// the front end sets from any thread; the link and the engines test it
// between characters.
//
// Error convention of the link: a step answers bool (OpenPort: the port is
// open and configured; WriteByte: the character was taken) and has said why
// by then, in the communication log and, for an opening, a message box. The
// engine that gets false takes its abort path, whose log line carries
// State().ErrorNumber. A port that fails under the transfer (a write the
// system refuses, a device that vanishes) is logged once with the system's
// reason and stays failed until the next OpenPort (PortFailed()); ReadByte
// then keeps returning 0, so a loop that waits for a character must also ask
// PortFailed() and take its abort path. The link owns both answers: there is
// no flag for an engine or a front end to set.
#include <cstdint>
#include <functional>
#include <string>

#include "core/port/LineConfig.h"
#include "core/port/SerialPort.h"
#include "core/settings/ActiveSetting.h"
#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/StopToken.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/link/ByteTransferState.h"
#include "core/transfer/link/LineTap.h"

namespace quelvo {

class IniFile;

class SerialLink {
 public:
  // `programIni` (may be null) resolves "COMn" through its section [Ports].
  // All references must outlive the link; `options` is read at each call.
  SerialLink(SerialPort& port, TransferHost& host, CommLog& log, const ProgramOptions& options,
             const IniFile* programIni = nullptr);

  // --- port opening ---
  // Copies the direction's half of `setting` into ActiveSetting, opens and
  // configures the port, logging every step. False on any failure, after a
  // message box and a log line; the caller then runs its abort path (which
  // closes the port).
  bool OpenPort(const CommSetting& setting, TransferDirection direction);
  // Hands the send flow control to the driver (XON/XOFF or RTS/CTS) once the
  // control's start signal has come. No log line; the result is ignored.
  void SwitchToDriverFlowControl();
  void ClosePort() { port_.Close(); }
  // True when the last OpenPort failed because a stop key ended the wait for
  // a network port (ErrorNumber is then kUserStop).
  bool OpenStoppedByUser() const { return openStopped_; }

  // The selection sequence of a line selector, run at the end of OpenPort when
  // option op6 is "Y"; its result is OpenPort's. It may use WriteByte with
  // State().RawWriteMode on, host waits and AppendLog. Without a sequence
  // OpenPort returns true.
  void SetSelectionSequence(std::function<bool()> sequence) { selection_ = std::move(sequence); }

  // --- byte transfer ---
  // One decoded character, or 0 when nothing was received within the read
  // time-out (1000 ms receiving, 10 ms sending), or the read failed.
  uint8_t ReadByte();
  // Writes one text character (a CP932 byte): encodes it, paces it by the
  // handshake and the output queue and checks the line. False when it was
  // refused: a stop (ErrorNumber is then 9999), a lost carrier, DSR off under
  // op14, or a failed port. A character that is withheld (a space under the
  // option) or that the code lacks is no refusal.
  bool WriteByte(uint8_t ch);
  // Takes the stop request: the error number becomes kUserStop.
  void StopByUser();
  // A stop was requested and not yet taken.
  bool UserStopRequested() { return stop_.Requested(); }
  // The port failed under the transfer since the last OpenPort.
  bool PortFailed() const { return portFailed_; }
  StopToken& Stops() { return stop_; }
  void UpdateIndicators(uint32_t modemStatus);

  // Appends the date and time and `line` to the communication log.
  void AppendLog(const std::string& line) { log_.AppendLog(line); }

  ByteTransferState& State() { return state_; }
  const ByteTransferState& State() const { return state_; }
  PortState& Port() { return portState_; }
  const PortState& Port() const { return portState_; }
  const ActiveSetting& Active() const { return active_; }
  const LineConfig& Line() const { return line_; }
  SerialPort& RawPort() { return port_; }
  // A line monitor's tap (LineTap.h): sees every byte and modem-line change
  // of this link and changes none. Any thread; null detaches.
  void AttachTap(LineTap* tap) { tapped_.Attach(tap); }

 private:
  bool OpenPortSteps(const CommSetting& setting, TransferDirection direction);
  bool OpenDevice(const std::string& device);
  bool Refuse(const std::string& message, const std::string& logLine);
  void ApplySendFlowControl();
  void ApplyReceiveFlowControl();
  // The driver paces the line (XON/XOFF, or RTS/CTS with the codes off), with
  // the buffer limits of one direction.
  void ApplyDriverHandshake(bool logCodes, bool (*limits)(int, int*, int*));
  void ApplyPauseAndStartCodes(bool log);
  // Writes one byte to the port; false when the port failed (logged once per
  // opening).
  bool PutByte(uint8_t byte);
  void NotePortFailure(const char* what);
  // Reads the line until the control lets the send go (DC1, ENQ or carrier);
  // false when a stop key, a refusal or a failed port ended the wait.
  bool WaitForControlGo();
  bool StopAbort();  // StopByUser and true when a stop is requested
  bool PauseIs0x93() const { return options_.pauseCode0x93; }

  TappedPort tapped_;  // the port with the monitor's tap beside it
  SerialPort& port_;   // always tapped_
  TransferHost& host_;
  CommLog& log_;
  const ProgramOptions& options_;
  const IniFile* programIni_;
  std::function<bool()> selection_;

  ActiveSetting active_;
  LineConfig line_;  // kept for the whole run: fields a step does not set keep their value
  ByteTransferState state_;
  PortState portState_;
  bool openStopped_ = false;
  bool portFailed_ = false;
  StopToken stop_;
};

}  // namespace quelvo
