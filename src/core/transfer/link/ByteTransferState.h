// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of one transfer at the byte level, shared by the byte reader and
// writer, port opening and the engines. Whether a write was refused is
// WriteByte's answer and whether the port failed is the link's
// (SerialLink::PortFailed): neither is a flag here for anyone to set.
#include <cstdint>

#include "core/settings/ActiveSetting.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {

struct ByteTransferState {
  // CurrentCode and GoFlag: the engine sets them as a transfer starts; the
  // decoder sets GoFlag on DC1/ENQ and clears it on the pause code.
  TapeCodeState codes;
  bool LineSeenFlag = false;  // DCD has been seen on in this transfer
  int32_t SentSinceCheck = 0;  // characters written since the last handshake check
  int32_t CheckInterval = 10;  // characters between handshake checks (from Chk Count)
  bool RawWriteMode = false;   // write characters unchanged, no pacing or checks
  int ErrorNumber = 0;         // a TransferError: shown in the abort log line
};

// What port opening leaves for the transfer.
struct PortState {
  TransferDirection direction = TransferDirection::Send;
  bool OldTypeProtocol = false;    // sending with Control 2 ("旧タイプ")
  bool PortOpenedForSend = false;  // cleared by OpenPort, set by the send engine
  uint32_t modemStatus = 0;        // the last modem status read
};

}  // namespace quelvo
