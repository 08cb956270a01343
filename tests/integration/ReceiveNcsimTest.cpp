// SPDX-License-Identifier: GPL-3.0-or-later
// Receptions from the simulated NC control through a pseudo-terminal and the
// real port code: long programs in ISO and in EIA arrive byte for byte, and a
// line that goes dead in the middle leaves what came, a log line and no crash.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "GeneratedProgram.h"
#include "NcsimReceiveRig.h"
#include "core/common/AtomicFile.h"
#include "support/TempFolder.h"

namespace quelvo::test {
namespace {

constexpr std::uint64_t kProgramBytes = 5 * 1000 * 1000;

std::string FileText(const std::string& path) {
  std::string bytes, error;
  return ReadWholeFile(path, &bytes, &error) ? bytes : std::string("<missing: " + error + ">");
}

class ReceiveNcsimTest : public ::testing::TestWithParam<const char*> {
 protected:
  TempFolder temp;
  NcsimReceiveRig rig{temp.Path()};
};

TEST_P(ReceiveNcsimTest, LongProgramArrivesWhole) {
  const GeneratedProgram program =
      WriteGeneratedProgram(kProgramBytes, temp.File("program.nc"), temp.File("expected.nc"));
  ASSERT_TRUE(program.ok);
  ASSERT_TRUE(rig.StartControl(temp.File("program.nc"), GetParam()));

  const ReceiveOutcome outcome = rig.Receive(temp.File("received.nc"));

  EXPECT_TRUE(outcome.ReceiveCompleted) << rig.log.Text();
  EXPECT_EQ(outcome.TransferFileName, temp.File("received.nc"));
  const std::string received = FileText(temp.File("received.nc"));
  EXPECT_EQ(received.size(), program.expectedBytes);
  // Compared whole, but reported without printing megabytes.
  EXPECT_TRUE(received == FileText(temp.File("expected.nc")));
  EXPECT_NE(rig.log.Text().find("  ＮＣ機より完了（％）を受信した為終了\n"), std::string::npos) << rig.log.Text();
  // The control saw the closing DC4.
  EXPECT_NE(rig.ControlReport("end", 5000).find("reason=dc4"), std::string::npos);
}

TEST_P(ReceiveNcsimTest, LineDroppedMidReceptionKeepsWhatCameAndSaysWhy) {
  const GeneratedProgram program =
      WriteGeneratedProgram(kProgramBytes / 5, temp.File("program.nc"), temp.File("expected.nc"));
  ASSERT_TRUE(program.ok);
  constexpr long kDropAfter = 300000;
  ASSERT_TRUE(rig.StartControl(temp.File("program.nc"), GetParam(), kDropAfter));

  const ReceiveOutcome outcome = rig.Receive(temp.File("received.nc"));

  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, kReceivePortLost);
  EXPECT_NE(rig.log.Text().find("  ポートから読み込めない為中止："), std::string::npos) << rig.log.Text();
  EXPECT_NE(rig.log.Text().find("  受信中止　ｴﾗｰ番号 2003\n"), std::string::npos) << rig.log.Text();
  // What came before the drop is on disk, most of what was punched: the
  // program's first lines, the last of them as far as it came.
  const std::string received = FileText(temp.File("received.nc"));
  const std::string expected = FileText(temp.File("expected.nc"));
  EXPECT_GT(received.size(), static_cast<size_t>(kDropAfter) / 2);
  // The file ends lines with CR LF where the tape has LF alone: compare the
  // bytes as punched with what the control sent before the drop.
  const size_t punched = received.size() - static_cast<size_t>(std::count(received.begin(), received.end(), '\r'));
  EXPECT_LT(punched, static_cast<size_t>(kDropAfter) + 100);
  std::string why;
  EXPECT_TRUE(IsCutShortCopy(received, expected, &why)) << why;
  // The user is told where the data stayed.
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_NE(rig.host.messages[0].text.find(temp.File("received.nc")), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Codes, ReceiveNcsimTest, ::testing::Values("iso", "eia"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
}  // namespace quelvo::test
