// SPDX-License-Identifier: GPL-3.0-or-later
// Port opening: OpenPort and SwitchToDriverFlowControl.
#include <cerrno>
#include <exception>

#include "core/transfer/link/FlowControlTables.h"
#include "core/transfer/link/PortNames.h"
#include "core/transfer/link/SerialLink.h"

namespace quelvo {
namespace {

constexpr int kControlStandard = 0;
constexpr int kControlRtsCts = 1;
constexpr int kControlOldType = 2;

struct SpeedRow {
  int baudRate;
  const char* logLine;
};

constexpr SpeedRow kSpeeds[] = {
    {2400, "  通信速度は ２４００\n"},
    {4800, "  通信速度は ４８００\n"},
    {9600, "  通信速度は ９６００\n"},
    {14400, "  通信速度は １４４００\n"},
    {19200, "  通信速度は １９２００\n"},
    {4800, "  通信機器で固定４８００\n"},  // tape reader or tape punch
};

const char kFormat8[] = "  データ長８　パリティ無し\n";
const char kFormat7[] = "  データ長７　パリティ無し\n";

// Data bits for the character format of `code` in `direction`; 0 leaves the
// format as it is.
int ByteSizeFor(TransferDirection direction, int code) {
  if (direction == TransferDirection::Send) {
    if (code == 0 || code == 1) return 8;  // ISO, EIA: parity travels in bit 8
    if (code == 2) return 7;               // ASCII
    return 0;
  }
  if (code == 1) return 7;                          // ASCII
  if (code == 0 || code == 2 || code == 3) return 8;  // automatic, EIA, ISO
  return 0;
}

}  // namespace

SerialLink::SerialLink(SerialPort& port, TransferHost& host, CommLog& log,
                       const ProgramOptions& options, const IniFile* programIni)
    : tapped_(port), port_(tapped_), host_(host), log_(log), options_(options), programIni_(programIni) {}

bool SerialLink::Refuse(const std::string& message, const std::string& logLine) {
  host_.ShowMessage(message, "", MessageKind::kPlain, MessageButtons::kOk);
  log_.AppendLog(logLine);
  return false;
}

bool SerialLink::OpenPort(const CommSetting& setting, TransferDirection direction) {
  try {
    return OpenPortSteps(setting, direction);
  } catch (...) {
    return Refuse("通信エラー!!", "  通信エラー（その他）の為中止\n");
  }
}

void SerialLink::ApplyPauseAndStartCodes(bool log) {
  line_.xoffChar = PauseIs0x93() ? 0x93 : 0x13;
  line_.xonChar = 0x11;
  if (log) {
    log_.AppendLog(PauseIs0x93() ? "  一時停止コード0x93\n" : "  一時停止コード0x13\n");
    log_.AppendLog("  開始コード0x11\n");
  }
}

void SerialLink::ApplySendFlowControl() {
  if (active_.Control == kControlOldType) {
    log_.AppendLog("  通信プロトコル旧タイプ\n");
    line_.abortOnError = false;
    line_.xoffChar = 0;
    line_.xonChar = 0;
    line_.inX = false;
    line_.outX = false;
    portState_.OldTypeProtocol = true;
    return;
  }
  log_.AppendLog("  通信プロトコル標準\n");
  line_.abortOnError = false;
  ApplyPauseAndStartCodes(true);
  SendBufferLimits(active_.Buff, &line_.xonLim, &line_.xoffLim);
  line_.txContinueOnXoff = false;
  // The driver does not act on XON/XOFF yet: the writer paces itself until
  // SwitchToDriverFlowControl.
  line_.inX = false;
  line_.outX = false;
  line_.nullDiscard = true;
  line_.outxDsrFlow = false;
  line_.dtrControl = LineControl::kHandshake;
  if (active_.Control == kControlStandard) line_.outxCtsFlow = false;
  if (active_.Control == kControlRtsCts) line_.outxCtsFlow = true;
  line_.rtsControl = LineControl::kHandshake;
  portState_.OldTypeProtocol = false;
}

void SerialLink::ApplyReceiveFlowControl() {
  // The driver itself sends DC3 when its input buffer fills and DC1 when it
  // drains (or drops RTS under RTS/CTS). No line names the protocol.
  ApplyDriverHandshake(true, ReceiveBufferLimits);
}

void SerialLink::ApplyDriverHandshake(bool logCodes, bool (*limits)(int, int*, int*)) {
  line_.abortOnError = false;
  ApplyPauseAndStartCodes(logCodes);
  limits(active_.Buff, &line_.xonLim, &line_.xoffLim);
  line_.txContinueOnXoff = false;
  line_.inX = true;
  line_.outX = true;
  line_.outxCtsFlow = false;
  line_.outxDsrFlow = false;
  line_.dtrControl = LineControl::kHandshake;
  line_.rtsControl = LineControl::kHandshake;
  if (active_.Control == kControlRtsCts) {
    line_.xoffChar = 0;
    line_.xonChar = 0;
    line_.inX = false;
    line_.outX = false;
    line_.outxCtsFlow = true;
  }
}

bool SerialLink::OpenDevice(const std::string& device) {
  // Opening a network port takes a while: a stop request ends the wait.
  port_.SetOpenWatcher([this] {
    host_.Idle();
    if (stop_.Requested()) openStopped_ = true;
    return !openStopped_;
  });
  const bool opened = port_.Open(device);
  port_.SetOpenWatcher(nullptr);
  return opened;
}

bool SerialLink::OpenPortSteps(const CommSetting& setting, TransferDirection direction) {
  // 1. The transfer snapshot.
  portState_.PortOpenedForSend = false;
  portState_.direction = direction;
  active_ = MakeActiveSetting(setting, direction);
  portFailed_ = false;
  const std::string& portText = active_.Port;

  // 2. Open the device.
  openStopped_ = false;
  const std::string device = ResolvePortDevice(portText, programIni_);
  const bool opened = !device.empty() && OpenDevice(device);
  if (!opened && openStopped_) {
    // A stop key while a network port was connecting: the user's stop.
    StopByUser();
    log_.AppendLog("  " + portText + "　ポートオープンを中止\n");
    return false;
  }
  if (!opened) {
    const PortError error = device.empty() ? PortErrorFromOpenErrno(ENOENT) : port_.LastError();
    const std::string reason = PortErrorText(error);
    host_.ShowMessage(portText + "のポートが開きません。!!\n" + reason, "", MessageKind::kPlain,
                      MessageButtons::kOk);
    log_.AppendLog("  " + portText + "　ポートが開かず中止\n");
    log_.AppendLog("  " + reason + "\n");
    return false;
  }
  log_.AppendLog("  " + portText + " ポートオープン\n");

  // 3. The line state record is kept for the whole run (line_).
  // 4. Speed.
  if (active_.Speed < 0 || active_.Speed > kTapeDeviceSpeed) {
    return Refuse("通信設定（速度）を確認してください!!", "  通信速度設定不良の為中止\n");
  }
  line_.baudRate = kSpeeds[active_.Speed].baudRate;
  log_.AppendLog(kSpeeds[active_.Speed].logLine);

  // 5. Character format; the line never uses hardware parity.
  if (const int bits = ByteSizeFor(direction, active_.Code); bits != 0) {
    line_.byteSize = bits;
    line_.parity = false;
    log_.AppendLog(bits == 8 ? kFormat8 : kFormat7);
  }

  // 6. Stop bits.
  if (active_.STbit == 0) {
    line_.stopBits = StopBits::kOne;
    log_.AppendLog("  ストップビット１\n");
  } else if (active_.STbit == 1) {
    line_.stopBits = StopBits::kTwo;
    log_.AppendLog("  ストップビット２\n");
  } else {
    line_.stopBits = StopBits::kOneAndHalf;
    log_.AppendLog("  ストップビット１．５\n");
  }

  // 7. A tape reader or punch fixes the format.
  if (active_.Speed == kTapeDeviceSpeed) {
    line_.byteSize = 8;
    line_.parity = false;
    line_.stopBits = StopBits::kTwo;
    log_.AppendLog("  通信機器選択の為以下に固定\n");
    log_.AppendLog("  データ長８　パリティ無し　ストップビット２\n");
  }

  // 8. Flow control.
  if (direction == TransferDirection::Send) {
    ApplySendFlowControl();
  } else {
    ApplyReceiveFlowControl();
  }

  // 9, 10. Lines held on win over the handshake.
  if (options_.dtrAlwaysOn) {
    line_.dtrControl = LineControl::kEnable;
    log_.AppendLog("  ＤＴＲ信号を常にＯＮに設定\n");
  }
  if (options_.autoPortSelection) {
    line_.dtrControl = LineControl::kEnable;
    line_.rtsControl = LineControl::kEnable;
    log_.AppendLog("  ポート自動選択の為、ＤＴＲ、ＲＴＳを常にＯＮに設定\n");
  }

  // 11. Write the line state.
  if (!port_.Configure(line_)) return Refuse("通信設定エラー!!", "  通信設定が不良の為中止\n");
  log_.AppendLog("  通信設定完了\n");

  // 12. Time-outs: a one-byte read waits at most 1 s receiving, 10 ms sending.
  PortTimeouts timeouts;
  if (direction == TransferDirection::Receive) {
    timeouts.readMs = 1000;
    timeouts.writeMs = 1000;
  } else {
    timeouts.readMs = 10;
    timeouts.writeMs = 0;
  }
  if (!port_.SetTimeouts(timeouts)) {
    return Refuse("タイムアウト!!", "  通信タイムアウト設定不良の為中止\n");
  }
  log_.AppendLog("  通信タイムアウト設定完了\n");

  // 13. Driver buffers of 4096 bytes each: the Linux driver sizes its own.
  // 14. Purge both directions.
  if (!port_.Purge()) return Refuse("回線初期化エラー!!", "  通信回線初期化エラーの為中止\n");
  log_.AppendLog("  通信回線初期化完了\n");

  // 15. Indicators.
  uint32_t status = 0;
  if (port_.ModemStatus(&status)) {
    portState_.modemStatus = status;
    UpdateIndicators(status);
  }

  // 16. The line selector.
  if (!options_.autoPortSelection || !selection_) return true;
  return selection_();
}

void SerialLink::SwitchToDriverFlowControl() {
  ApplyDriverHandshake(false, SendBufferLimits);
  port_.Configure(line_);
}

}  // namespace quelvo
