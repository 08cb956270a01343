// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes and settings in, exact file bytes and name out.
#include "ReceiveFixture.h"

namespace quelvo {
namespace {

struct TapeCase {
  const char* name;
  std::string tape;                // the text the control punches
  TapeCode wire = TapeCode::ISO;   // how it travels
  int Code_R = 0;
  int Word = 1;
  int Change = 0;
  int EndCode = 0;
  int SE_Char = 3;
  bool osp = false;
  std::string savedAs = "recv.nc";  // relative to the temporary folder
  std::string bytes;                // the saved file
};

const std::string kPlain = "%\nO1234\nG01X10.\n%\n";
const std::string kPlainSaved = "%\r\nO1234\r\nG01 X10.\r\n%\r\n";

TapeCase Case(const char* name, const std::string& tape, const std::string& bytes) {
  TapeCase c;
  c.name = name;
  c.tape = tape;
  c.bytes = bytes;
  return c;
}

std::vector<TapeCase> Cases() {
  std::vector<TapeCase> cases;
  TapeCase c;

  // The four-line tape with a space per word and "%" at both ends, in every code.
  c = Case("IsoDetected", kPlain, kPlainSaved);
  c.Word = 0, c.SE_Char = 2;
  cases.push_back(c);
  c.name = "EiaDetected", c.wire = TapeCode::EIA;
  cases.push_back(c);
  c.name = "EiaFixed", c.Code_R = 2;
  cases.push_back(c);
  c.name = "IsoFixed", c.wire = TapeCode::ISO, c.Code_R = 3;
  cases.push_back(c);
  c.name = "AsciiFixed", c.wire = TapeCode::ASCII, c.Code_R = 1;
  cases.push_back(c);

  c = Case("PercentAddedAtStartOnly", "%\nO1\nM30\n%\n", "%\r\nO1\r\nM30\r\n");
  c.SE_Char = 0;
  cases.push_back(c);
  c = Case("PercentAddedAtEndOnly", "%\nO1\nM30\n%\n", "O1\r\nM30\r\n%\r\n");
  c.SE_Char = 1;
  cases.push_back(c);
  cases.push_back(Case("StartByLineFeed", "\nO1\nM30\n%\n", "O1\r\nM30\r\n"));
  c = Case("StartByLineFeedKeepsNoBareLineFeed", "\n O1\nM30\n%\n", " O1\r\nM30\r\n");
  c.Word = 2;
  cases.push_back(c);

  cases.push_back(Case("ClosingPercentOnDataLineKeepsTheData", "%\nO1\nM30%\n", "O1\r\nM30\r\n"));
  c = Case("ClosingPercentAfterWordSpacing", "%\nO1\nM30%\n", "O1\r\nM30\r\n");
  c.Word = 0;
  cases.push_back(c);
  cases.push_back(Case("ShortLineWithClosingPercentDropped", "%\nO1\nX%\n", "O1\r\n"));
  cases.push_back(Case("PercentInCommentEndsTheData", "%\nO1\nG01(50%)X1.\nM30\n%\n", "O1\r\nG01(50\r\n"));
  c = Case("LongOpeningLineKeepsAllButItsPercent", "%O1 (A)\nM30\n%\n", "O1 (A)\r\nM30\r\n");
  c.Word = 2;
  cases.push_back(c);

  cases.push_back(Case("LoneOJoinedToTheNumber", "%\nO\n1234\nM30\n%\n", "O1234\r\nM30\r\n"));
  c = Case("ChangeToO", "%\n:1234\n(:5)\nM30\n%\n", "O1234\r\n(:5)\r\nM30\r\n");
  c.Change = 1;
  cases.push_back(c);
  c = Case("ChangeToColon", "%\nO1234\nL10\nM30\n%\n", ":1234\r\nL10\r\nM30\r\n");
  c.Change = 2;
  cases.push_back(c);
  cases.push_back(Case("HeaderLinesSkipped", "%\n:&FW 1\n&HE:X\nO1\nM30\n%\n", "O1\r\nM30\r\n"));

  c = Case("WordZeroSpacesWords", "%\nG01X10.Y-5.F100\nGOTO 5 X 1.\nM30\n%\n",
           "G01 X10. Y-5. F100\r\nGOTO 5 X 1.\r\nM30\r\n");
  c.Word = 0;
  cases.push_back(c);
  cases.push_back(Case("WordOneDeletesSpacesOutsideComments", "%\nG01 X10. (A B)\n%\n", "G01X10.(A B)\r\n"));
  c = Case("WordTwoKeepsLeadingBlanks", "%\n  G01 X10.  \n%\n", "  G01 X10.\r\n");
  c.Word = 2;
  cases.push_back(c);
  cases.push_back(Case("LowerCaseAndTabsDroppedQuoteKept", "%\nG01\tx10.\"A\"\nM30\n%\n",
                       "G0110.\"A\"\r\nM30\r\n"));

  cases.push_back(Case("CarriageReturnIgnored", "%\r\nO1\r\nM30\r\n%\r\n", "O1\r\nM30\r\n"));
  c = Case("CarriageReturnEndsLinesWithEndCode2", "%\rO1\rM30\r%\r", "O1\r\nM30\r\n");
  c.EndCode = 2;
  cases.push_back(c);

  // The (empty) line in hand is stored at DC4 as at CAN.
  cases.push_back(Case("Dc4Ends", "%\nO1\nM30\n\x14", "O1\r\nM30\r\n\r\n"));
  cases.push_back(Case("CanEndsWithTheLineInHand", "%\nO1\nM30\x18", "O1\r\nM30\r\n"));

  // Names sent by the control.
  c = Case("OspNameLine", "$O1234.MIN%\nO1234\nG01X1.\nM30\n%\n", "O1234\r\nG01X1.\r\nM30\r\n");
  c.osp = true, c.savedAs = "dir/O1234.MIN";
  cases.push_back(c);
  c = Case("OspNameWithoutDotGetsMin", "$O55%\nO55\n%\n", "O55\r\n");
  c.osp = true, c.savedAs = "dir/O55.MIN";
  cases.push_back(c);
  c = Case("OspPercentBeforeAnyNameIsStored", "%\nO1\nM30\n%\n", "%\r\nO1\r\nM30\r\n");
  c.osp = true;
  cases.push_back(c);
  c = Case("StandardNameLine", "$PART 7.NC%\nO7\n%\n", "O7\r\n");
  c.savedAs = "dir/PART7.NC";
  cases.push_back(c);
  c = Case("HostileNameKeptInsideDirPath", "$../../X%\nO1\n%\n", "O1\r\n");
  c.savedAs = "dir/X.MIN";
  cases.push_back(c);
  cases.push_back(Case("UnusableNameLeavesTheChosenFile", "$/..%\nO1\n%\n", "O1\r\n"));

  // A line without end (a peer that floods the line) is stored in lines of
  // 64 KiB characters: nothing is lost and the line in hand stays bounded.
  const std::string endless(150000, '1');
  cases.push_back(Case("EndlessLineStoredInBoundedPieces", "%\nO1\nX" + endless + "\nM30\n%\n",
                       "O1\r\nX" + endless.substr(0, 65535) + "\r\n" + endless.substr(65535, 65536) + "\r\n" +
                           endless.substr(131071) + "\r\nM30\r\n"));
  return cases;
}

class ReceiveTapeTest : public ReceiveFixture, public ::testing::WithParamInterface<TapeCase> {};

TEST_P(ReceiveTapeTest, SavesExactBytesUnderTheRightName) {
  const TapeCase& c = GetParam();
  setting.Code_R = c.Code_R;
  setting.Word = c.Word;
  setting.Change = c.Change;
  setting.EndCode = c.EndCode;
  setting.SE_Char = c.SE_Char;
  job.ospSetting = c.osp;
  // One more character after the tape, as a control sends its trailing feed.
  const ReceiveOutcome outcome = Receive(Tape(c.wire, c.tape + " "));

  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.TransferFileName, temp.File(c.savedAs));
  EXPECT_EQ(FileBytes(temp.File(c.savedAs)), c.bytes);
  if (c.savedAs != "recv.nc") {
    EXPECT_FALSE(Exists(job.TransferFileName)) << "the received file was moved";
  }
  EXPECT_EQ(FolderEntries(dirPath).size(), c.savedAs == "recv.nc" ? 0u : 1u);
  EXPECT_EQ(port.written.back(), '\x14') << "answered with DC4";
}

INSTANTIATE_TEST_SUITE_P(Tapes, ReceiveTapeTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TapeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quelvo
