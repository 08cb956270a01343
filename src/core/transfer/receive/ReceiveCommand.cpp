// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceiveCommand.h"

#include "core/transfer/receive/ReceiveFileName.h"

namespace quelvo {

ReceiveTarget OspReceiveTarget(const std::string& folder) {
  ReceiveTarget target;
  target.TransferFileName = JoinFolderAndName(folder, kOspTempFileName);
  target.DirPath = FolderOfPath(target.TransferFileName);
  return target;
}

std::string OspFolderCaption(const std::string& dirPath) { return "現ﾃﾞｨﾚｸﾄﾘ " + dirPath; }

void StartStandardReceiveLog(CommLog& log, const std::string& fileName) {
  log.Start("  受信\n");
  log.AppendLog("  標準で受信設定開始\n");
  log.AppendLog("  受信ﾌｧｲﾙ名は" + fileName + "\n");
}

void StartOspReceiveLog(CommLog& log, const std::string& dirPath) {
  log.Start("  受信\n");
  log.AppendLog("  OSP専用で受信設定開始\n");
  log.AppendLog("  受信ﾌｧｲﾙ名はＮＣ装置から取得\n");
  log.AppendLog("  受信ﾌｧｲﾙ保存先は" + dirPath + "\n");
}

}  // namespace quelvo
