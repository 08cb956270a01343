// SPDX-License-Identifier: GPL-3.0-or-later
// Where the receive command puts the data, and names sent by the control.
#include <gtest/gtest.h>

#include "core/transfer/CommLog.h"
#include "core/transfer/receive/ReceiveCommand.h"
#include "core/transfer/receive/ReceiveFileName.h"

namespace quelvo {
namespace {

TEST(ReceiveCommand, OspFolderGivesTheTemporaryFileAndDirPath) {
  EXPECT_EQ(OspReceiveTarget("/data/nc").TransferFileName, "/data/nc/osp_data.tmp");
  EXPECT_EQ(OspReceiveTarget("/data/nc").DirPath, "/data/nc");
  EXPECT_EQ(OspReceiveTarget("/data/nc/").TransferFileName, "/data/nc/osp_data.tmp");
  EXPECT_EQ(OspReceiveTarget("/data/nc/").DirPath, "/data/nc");
  EXPECT_EQ(OspReceiveTarget("/").TransferFileName, "/osp_data.tmp");
  EXPECT_EQ(OspReceiveTarget("/").DirPath, "/");
  EXPECT_EQ(OspFolderCaption("/data/nc"), "現ﾃﾞｨﾚｸﾄﾘ /data/nc");
}

TEST(ReceiveCommand, LogStartsAnewForEachMode) {
  CommLog log([] { return std::time_t(1796635800); });
  log.AppendLog("  old\n");
  StartStandardReceiveLog(log, "/nc/O1.NC");
  const std::string stamp = log.Text().substr(0, 19);
  EXPECT_EQ(log.Text(), stamp + "  受信\n" + stamp + "  標準で受信設定開始\n" + stamp + "  受信ﾌｧｲﾙ名は/nc/O1.NC\n");
  StartOspReceiveLog(log, "/nc");
  EXPECT_EQ(log.Text(), stamp + "  受信\n" + stamp + "  OSP専用で受信設定開始\n" + stamp +
                            "  受信ﾌｧｲﾙ名はＮＣ装置から取得\n" + stamp + "  受信ﾌｧｲﾙ保存先は/nc\n");
}

TEST(ReceiveFileName, ControlNamesBecomePlainNamesInsideTheFolder) {
  EXPECT_EQ(PlainFileName("O1234.MIN"), "O1234.MIN");
  EXPECT_EQ(PlainFileName("../../x"), "x");
  EXPECT_EQ(PlainFileName("/etc/passwd"), "passwd");
  EXPECT_EQ(PlainFileName("A\\B.NC"), "B.NC");
  EXPECT_EQ(PlainFileName("x..y"), "x..y");
  for (const char* unusable : {"", ".", "..", "a/..", "a/", "/"}) EXPECT_EQ(PlainFileName(unusable), "") << unusable;
  EXPECT_EQ(SavedControlFileName("O1234"), "O1234.MIN");
  EXPECT_EQ(SavedControlFileName("O1 2.NC"), "O12.NC");
  EXPECT_EQ(JoinFolderAndName("/nc", "a"), "/nc/a");
  EXPECT_EQ(JoinFolderAndName("/", "a"), "/a");
}

}  // namespace
}  // namespace quelvo
