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

}  // namespace quelvo
