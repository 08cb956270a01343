// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/LineErrorText.h"

namespace quelvo {

std::string LineErrorLogLine(const LineErrorCounts& counts) {
  if (!counts.Any()) return "";
  std::string line = "  回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ " + std::to_string(counts.framing) + " ﾊﾟﾘﾃｨ " +
                     std::to_string(counts.parity) + " ｵｰﾊﾞｰﾗﾝ " + std::to_string(counts.overrun) +
                     " ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ " + std::to_string(counts.bufferOverrun);
  if (counts.breaks != 0) line += " ﾌﾞﾚｰｸ " + std::to_string(counts.breaks);
  return line + "\n";
}

void LineErrorReport::Add(const LineErrorReport& pass) {
  if (!pass.portOpen) return;
  portOpen = true;
  if (!pass.counted) return;
  counted = true;
  counts.framing += pass.counts.framing;
  counts.parity += pass.counts.parity;
  counts.overrun += pass.counts.overrun;
  counts.bufferOverrun += pass.counts.bufferOverrun;
  counts.breaks += pass.counts.breaks;
}

void LogLineErrors(SerialPort& port, CommLog& log, LineErrorReport* report) {
  LineErrorReport pass;
  pass.portOpen = port.IsOpen();
  if (pass.portOpen) pass.counted = port.ErrorCounts(&pass.counts);
  report->Add(pass);
  if (pass.counted && pass.counts.Any()) log.AppendLog(LineErrorLogLine(pass.counts));
}

}  // namespace quelvo
