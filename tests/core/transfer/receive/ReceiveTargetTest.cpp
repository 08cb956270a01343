// SPDX-License-Identifier: GPL-3.0-or-later
// What a reception does to files that were there before it: an existing target
// outlives a reception that brings no data, a file the control's name would
// replace is kept under a backup name, a symbolic link planted at a fixed name
// is refused, and the lines in hand reach the file within a second.
#include <algorithm>

#include "ReceiveFixture.h"
#include "core/commandline/CollectionFile.h"
#include "core/transfer/receive/ReceiveCommand.h"

namespace quelvo {
namespace {

class ReceiveTargetTest : public ReceiveFixture {
 protected:
  void Put(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(path, bytes, nullptr));
  }
  size_t EntriesBesideTheLog() {
    std::vector<std::string> names = FolderEntries(temp.Path());
    return names.size() - static_cast<size_t>(std::count(names.begin(), names.end(), "quelvo_R.log"));
  }
};

TEST_F(ReceiveTargetTest, AbortBeforeTheDataLeavesAnExistingTargetAsItWas) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    int error;
  };
  const Case cases[] = {
      {"port does not open", [&] { port.openErrno = ENOENT; }, kReceivePortSetup},
      {"stop while waiting", [&] { host.HoldKeyFrom(StopKey::kEsc, clock.nowMs + 3000); }, 9999},
      {"port lost while waiting", [&] { port.readErrno = EIO; }, kReceivePortLost},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    port.openErrno = 0;
    port.readErrno = 0;
    Put(job.TransferFileName, "O9(USER)\r\n");
    const size_t before = EntriesBesideTheLog();
    c.arrange();
    const ReceiveOutcome outcome = Receive("");
    EXPECT_FALSE(outcome.ReceiveCompleted);
    EXPECT_EQ(outcome.ErrorNumber, c.error);
    EXPECT_EQ(FileBytes(job.TransferFileName), "O9(USER)\r\n");
    EXPECT_EQ(EntriesBesideTheLog(), before) << "no temporary file stays behind";
  }
  port.readErrno = 0;
  // Once the data has started, a stop deletes the target as before.
  host.HoldKeyFrom(StopKey::kEsc, clock.nowMs + 3000);
  EXPECT_EQ(Receive(Tape(TapeCode::ISO, "%\nO1\nG01")).ErrorNumber, 9999);
  EXPECT_FALSE(Exists(job.TransferFileName));
}

TEST_F(ReceiveTargetTest, ControlNameKeepsTheUsersFileUnderAFreeBackupName) {
  Put(dirPath + "/KEEP.NC", "O1(MINE)\r\n");
  Put(dirPath + "/KEEP.NC.bak", "O1(OLDER)\r\n");
  const ReceiveOutcome outcome = Receive(Tape(TapeCode::ISO, "$KEEP.NC%\nO2\n%\n "));
  ASSERT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.TransferFileName, dirPath + "/KEEP.NC");
  EXPECT_EQ(FileBytes(dirPath + "/KEEP.NC"), "O2\r\n");
  EXPECT_EQ(FileBytes(dirPath + "/KEEP.NC.bak"), "O1(OLDER)\r\n");
  EXPECT_EQ(FileBytes(dirPath + "/KEEP.NC.bak2"), "O1(MINE)\r\n");
  EXPECT_FALSE(LogFrom("  既存ﾌｧｲﾙ " + dirPath + "/KEEP.NC を " + dirPath + "/KEEP.NC.bak2 に名前変更して保存").empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(dirPath + "/KEEP.NC.bak2"), std::string::npos);

  // Unattended: the same, told only in the log.
  job.unattended = true;
  host.messages.clear();
  ASSERT_TRUE(Receive(Tape(TapeCode::ISO, "$KEEP.NC%\nO3\n%\n ")).ReceiveCompleted);
  EXPECT_EQ(FileBytes(dirPath + "/KEEP.NC"), "O3\r\n");
  EXPECT_EQ(FileBytes(dirPath + "/KEEP.NC.bak3"), "O2\r\n");
  EXPECT_TRUE(host.messages.empty());
}

// A symbolic link to a file of the test's own, planted at each name Quelvo
// writes under a fixed name: the file it points to stays intact and the
// refusal names the link.
TEST_F(ReceiveTargetTest, LinksPlantedAtFixedNamesAreNotWrittenThrough) {
  const std::string victim = temp.File("victim");
  const std::string folderTarget = dirPath + "/" + kOspTempFileName;
  const std::string collection = temp.File("quelvo.tmp");
  struct Case {
    const char* name;
    std::string link;
    std::function<std::string()> write;  // the error it reports
  };
  const Case cases[] = {
      {"reception into a folder, named by the control", folderTarget,
       [&] {
         job.TransferFileName = folderTarget;
         job.ospSetting = true;
         EXPECT_EQ(Receive(Tape(TapeCode::ISO, "%\nO1\n%\n ")).ErrorNumber, kReceiveTargetFile);
         return host.messages.empty() ? std::string() : host.messages.back().text;
       }},
      {"communication log", temp.File("quelvo_R.log"),
       [&] {
         std::string error;
         EXPECT_FALSE(WriteCommLogFile(temp.File("quelvo_R.log"), "log\n", &error));
         return error;
       }},
      {"collection file emptied", collection,
       [&] {
         std::string error;
         EXPECT_FALSE(ResetCollectionFile(collection, &error));
         return error;
       }},
      {"collection file appended", collection,
       [&] {
         std::string error;
         EXPECT_FALSE(AppendToCollection(collection, "O1\r\n", &error));
         return error;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Put(victim, "O8(VICTIM)\r\n");
    unlink(c.link.c_str());
    ASSERT_EQ(symlink(victim.c_str(), c.link.c_str()), 0);
    const std::string error = c.write();
    EXPECT_EQ(FileBytes(victim), "O8(VICTIM)\r\n");
    EXPECT_NE(error.find(c.link), std::string::npos) << error;
    unlink(c.link.c_str());
  }
}

TEST_F(ReceiveTargetTest, LinesInHandReachTheFileWithinASecond) {
  // Two lines, then the control pauses for five seconds before the rest.
  port.QueueIncoming(Tape(TapeCode::ISO, "%\nO1\nG01\n"), clock.nowMs + 1);
  port.QueueIncoming(Tape(TapeCode::ISO, "G02\n%\n "), clock.nowMs + 5000);
  const int64_t start = clock.nowMs;
  std::string duringPause = "<not seen>";
  host.onEvents = [&] {
    if (duringPause == "<not seen>" && clock.nowMs >= start + 2500) duringPause = FileBytes(job.TransferFileName);
  };
  ASSERT_TRUE(engine.RunReceive(setting, job).ReceiveCompleted);
  EXPECT_EQ(duringPause, "O1\r\nG01\r\n");
  EXPECT_EQ(FileBytes(job.TransferFileName), "O1\r\nG01\r\nG02\r\n");
}

}  // namespace
}  // namespace quelvo
