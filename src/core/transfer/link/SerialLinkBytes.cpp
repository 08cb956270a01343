// SPDX-License-Identifier: GPL-3.0-or-later
// Byte transfer: ReadByte, WriteByte and the user's stop keys.
#include "core/transfer/TransferError.h"
#include "core/transfer/link/SerialLink.h"

namespace quelvo {
namespace {

// The writer waits until fewer than this many bytes are in the output queue.
constexpr int kQueueRoom = 260;

}  // namespace

void SerialLink::UpdateIndicators(uint32_t modemStatus) {
  host_.Events().DsrState((modemStatus & kModemDsr) != 0);
  host_.Events().CtsState((modemStatus & kModemCts) != 0);
}

void SerialLink::StopByUser() {
  state_.ErrorNumber = kUserStop;
  stop_.Take();
}

bool SerialLink::StopAbort() {
  if (!stop_.Requested()) return false;
  StopByUser();
  return true;
}

void SerialLink::NotePortFailure(const char* what) {
  if (portFailed_) return;
  portFailed_ = true;
  log_.AppendLog(std::string("  ") + what + PortErrorText(port_.LastError()) + "\n");
}

uint8_t SerialLink::ReadByte() {
  if (!port_.IsOpen()) return 0;
  uint8_t byte = 0;
  switch (port_.ReadByte(&byte)) {
    case ReadResult::kByte:
      return DecodeByte(state_.codes, byte, PauseIs0x93());
    case ReadResult::kTimeout:
      return 0;
    case ReadResult::kError:
      NotePortFailure("ポートから読み込めない為中止：");
      return 0;
  }
  return 0;
}

bool SerialLink::PutByte(uint8_t byte) {
  // A port that never opened (the abort path after a failed opening) takes
  // nothing and reports nothing.
  if (!port_.IsOpen()) return true;
  if (port_.Write(&byte, 1)) return true;
  NotePortFailure("ポートに書き込めない為中止：");
  return false;
}

bool SerialLink::WaitForControlGo() {
  bool paused = false;  // reported once per pause, and its end once
  const auto endPause = [&] {
    if (paused) host_.Events().ControlPaused(false);
  };
  for (;;) {
    if (StopAbort()) return false;
    ReadByte();
    if (portFailed_) return false;
    if (StopAbort()) return false;
    uint32_t status = 0;
    if (!state_.LineSeenFlag && port_.ModemStatus(&status) && (status & kModemDcd) != 0) {
      state_.codes.GoFlag = true;
      state_.LineSeenFlag = true;
    }
    if (state_.codes.GoFlag) {
      endPause();
      return true;
    }
    if (!paused) {
      paused = true;
      host_.Events().ControlPaused(true);
    }
    // Stop keys reach the window as events: let them in while we wait.
    host_.Idle();
  }
}

bool SerialLink::WriteByte(uint8_t ch) {
  if (options_.withholdSpaces && ch == ' ') return true;
  if (state_.RawWriteMode) return PutByte(ch);
  const std::optional<uint8_t> encoded = EncodeChar(state_.codes.CurrentCode, ch);
  if (!encoded) return true;  // the code has no such character: nothing to send
  const uint8_t byte = *encoded;

  if (portState_.OldTypeProtocol) {
    // Flow control is the driver's: no queue wait, no line check, no count.
    if (StopAbort()) return false;
    host_.Idle();
    if (StopAbort()) return false;
    return PutByte(byte);
  }

  const bool sending = portState_.direction == TransferDirection::Send;
  if (sending && state_.SentSinceCheck >= state_.CheckInterval) {
    // Handshake check: read the line once; after a pause code keep reading
    // until the control sends DC1 or ENQ again.
    if (!WaitForControlGo()) return false;
    state_.SentSinceCheck = 0;
  } else {
    if (StopAbort()) return false;
    host_.Idle();
    if (StopAbort()) return false;
  }

  // Output-queue throttle: fewer than 259 bytes may wait. A queue that does
  // not drain (the driver holds output after the control's pause code) must
  // not lock the user in: a stop key ends the wait.
  for (;;) {
    int queued = 0;
    const bool known = port_.OutputQueueSize(&queued);
    host_.Idle();
    if (!known || kQueueRoom - queued > 1) break;
    if (StopAbort()) return false;
  }

  uint32_t status = 0;
  if (port_.ModemStatus(&status)) {
    portState_.modemStatus = status;
    if ((status & kModemDcd) == 0 && sending && active_.Signal == 0 && !options_.skipDcdCheckWhileSending) {
      return false;
    }
    host_.Events().DsrState((status & kModemDsr) != 0);
    if ((status & kModemDsr) == 0 && options_.watchDsr) {
      log_.AppendLog("  DSR信号OFFの為ため送信中止\n");
      return false;
    }
    host_.Events().CtsState((status & kModemCts) != 0);
  }

  const bool written = PutByte(byte);
  ++state_.SentSinceCheck;
  return written;
}

}  // namespace quelvo
