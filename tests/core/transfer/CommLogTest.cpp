// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>
#include <regex>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/common/ProgramFiles.h"
#include "core/transfer/CommLog.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(CommLog, LinesAreDateTimeThenTextAndStartBeginsAnew) {
  std::time_t now = 1796635800;
  CommLog log([&] { return now; });
  log.AppendLog("  old\n");
  log.Start("  送信\n");
  now += 61;
  log.AppendLog("  送信完了\n");
  const std::regex line(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d  (送信|送信完了)\n)");
  const std::string& text = log.Text();
  const size_t split = text.find('\n') + 1;
  EXPECT_TRUE(std::regex_match(text.substr(0, split), line)) << text;
  EXPECT_TRUE(std::regex_match(text.substr(split), line)) << text;
  EXPECT_NE(text.substr(0, 19), text.substr(split, 19)) << "each line has its own time";
}

TEST(CommLog, FileIsCp932WithCrLfAndNamedByDirection) {
  test::TempFolder folder;
  const char* old = std::getenv("QUELVO_HOME");
  const std::string saved = old ? old : "";
  setenv("QUELVO_HOME", folder.Path().c_str(), 1);

  const std::string text = "2026/12/07 09:30:00  送信\n2026/12/07 09:30:01  ＤＴＲ信号を常にＯＮに設定\n";
  EXPECT_TRUE(SaveCommLog(text, 1));
  EXPECT_TRUE(SaveCommLog("2026/12/07 09:31:00  受信\n", 2));
  const std::string sendPath = folder.File(ProgramBaseName() + "_S.log");
  const std::string receivePath = folder.File(ProgramBaseName() + "_R.log");
  EXPECT_EQ(CommLogFilePath(1), sendPath);
  EXPECT_EQ(CommLogFilePath(2), receivePath);

  std::string bytes, error;
  ASSERT_TRUE(ReadWholeFile(sendPath, &bytes, &error)) << error;
  // "送信" in CP932 is 91 97 90 4D.
  EXPECT_EQ(bytes.substr(0, 27), "2026/12/07 09:30:00  \x91\x97\x90\x4D\r\n");
  EXPECT_EQ(Cp932ToUtf8(bytes), "2026/12/07 09:30:00  送信\r\n2026/12/07 09:30:01  ＤＴＲ信号を常にＯＮに設定\r\n");
  ASSERT_TRUE(ReadWholeFile(receivePath, &bytes, &error));
  EXPECT_EQ(bytes, "2026/12/07 09:31:00  \x8E\xF3\x90\x4D\r\n");

  // A later save replaces the whole file.
  EXPECT_TRUE(SaveCommLog("x  y\n", 1));
  ASSERT_TRUE(ReadWholeFile(sendPath, &bytes, &error));
  EXPECT_EQ(bytes, "x  y\r\n");

  if (old) setenv("QUELVO_HOME", saved.c_str(), 1); else unsetenv("QUELVO_HOME");
}

TEST(CommLog, UnwritableFolderIsReported) {
  std::string error;
  EXPECT_FALSE(WriteCommLogFile("/proc/quelvo-no-such-folder/x_S.log", "a  b\n", &error));
  EXPECT_FALSE(error.empty());
  // The message names the file unless the reason already does (a refused link).
  EXPECT_EQ(LogNotSavedText(1, "/p/q_S.log", "Not a directory"),
            "送信ログファイルが保存できません。\n/p/q_S.log\nNot a directory");
  EXPECT_EQ(LogNotSavedText(2, "/p/q_R.log", "/p/q_R.log is a link"),
            "受信ログファイルが保存できません。\n/p/q_R.log is a link");
}

}  // namespace
}  // namespace quelvo
