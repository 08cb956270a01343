// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of one transfer at the byte level, shared by the byte reader and
// writer, port opening and the engines.
#include <cstdint>

#include "core/settings/ActiveSetting.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {

struct ByteTransferState {
  // CurrentCode and GoFlag: the engine sets them as a transfer starts; the
  // decoder sets GoFlag on DC1/ENQ and clears it on the pause code.
  TapeCodeState codes;
  bool LineSeenFlag = false;  // DCD has been seen on in this transfer
  bool AbortFlag = false;     // the last write was refused; cleared by every write that gets to the queue wait
  int32_t SentSinceCheck = 0;  // characters written since the last handshake check
  int32_t CheckInterval = 10;  // characters between handshake checks (from Chk Count)
  bool RawWriteMode = false;   // write characters unchanged, no pacing or checks
  int ErrorNumber = 0;         // a TransferError: shown in the abort log line
  // The port failed under us since it was opened: a write the system refused,
  // or the device vanished on a read. Set together with AbortFlag and logged
  // once; unlike AbortFlag it stays set until the next OpenPort.
  bool PortFailed = false;
};

// What port opening leaves for the transfer.
struct PortState {
  TransferDirection direction = TransferDirection::Send;
  bool OldTypeProtocol = false;    // sending with Control 2 ("旧タイプ")
  bool PortOpenedForSend = false;  // cleared by OpenPort, set by the send engine
  uint32_t modemStatus = 0;        // the last modem status read
};

}  // namespace quelvo
