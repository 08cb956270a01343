// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/send/SendCommand.h"

namespace quelvo {

bool SendsWholeDocument(const ProgramOptions& options) { return options.sendWholeDocument; }

void StartSendLog(CommLog& log, bool wholeDocument, const std::string& fileName) {
  if (wholeDocument) {
    log.Start("  送信\n");
    log.AppendLog("  全データを送信\n");
  } else {
    log.Start("  通信\n");
    log.AppendLog("  プログラム番号選択で送信\n");
  }
  log.AppendLog("  送信ﾌｧｲﾙ名は" + fileName + "\n");
}

}  // namespace quelvo
