// SPDX-License-Identifier: GPL-3.0-or-later
// What a send puts on the line, byte for byte.
#include <algorithm>

#include <gtest/gtest.h>

#include "SendRig.h"

namespace quelvo {
namespace {

using test::SelectiveSendOptions;
using test::SendRig;
using test::Wire;

TEST(SendEngineWire, WholeDocumentExample) {
  SendRig rig;
  rig.host.lines = {"%", "O1000", "G01X10.F100.", "M30", "%"};
  rig.job.setting.StartChar = 1;
  rig.job.setting.EndChar = 0;
  rig.job.setting.CRLF_Type = 0;
  rig.job.setting.F_non = "Y";
  rig.StartOnDc1();
  // %, O1000, LF, G01X10.F100, LF, M30, LF, then the end: LF, %.
  EXPECT_EQ(rig.Send(),
            "\xA5"
            "\xCF\xB1\x30\x30\x30\x0A"
            "\x47\x30\xB1\xD8\xB1\x30\x2E\xC6\xB1\x30\x30\x0A"
            "\x4D\x33\x30\x0A"
            "\x0A\xA5");
  EXPECT_TRUE(rig.engine.Outcome().SendCompleted);
  EXPECT_EQ(rig.host.status[TransferStatusField::Phase], "送信完了");
}

TEST(SendEngineWire, EachCodeEncodesTheDataAndItsLineEnds) {
  struct Row {
    int code;
    std::string wire;
  };
  // Document O1, g2:3 with CR LF line ends and "%" at the end.
  const Row rows[] = {
      {0, "\xCF\xB1\x8D\x0A" "\xE7\xB2\x3A\x33\x8D\x0A" "\x8D\x0A\xA5"},  // ISO
      {1, "\x46\x01\x80" "\x02\x46\x13\x80" "\x80\x0B"},                  // EIA: no CR, no g, ":" as O
      {2, "O1\r\n" "g2:3\r\n" "\r\n%"},                                   // ASCII
  };
  for (const Row& row : rows) {
    SendRig rig;
    rig.host.lines = {"O1", "g2:3", ""};
    rig.job.setting.Code_S = row.code;
    rig.job.setting.CRLF_Type = 1;
    rig.StartOnDc1();
    EXPECT_EQ(rig.Send(), row.wire) << "code " << row.code;
  }
}

TEST(SendEngineWire, LineEndByCrlfType) {
  const std::pair<int, std::string> rows[] = {
      {0, "A\nB\n\n%"}, {1, "A\r\nB\r\n\r\n%"}, {2, "A\r\n\nB\r\n\n\r\n\n%"}, {3, "A\rB\r\r%"}};
  for (const auto& [type, wire] : rows) {
    SendRig rig;
    rig.host.lines = {"A", "B", ""};
    rig.job.setting.Code_S = 2;
    rig.job.setting.CRLF_Type = type;
    rig.StartOnDc1();
    EXPECT_EQ(rig.Send(), wire) << "CRLF_Type " << type;
  }
}

TEST(SendEngineWire, StartSequences) {
  const std::string leader(200, ' ');
  const std::pair<int, std::string> rows[] = {
      {0, ""},           {1, "%"},          {2, "%%"},     {3, "% *"},
      {4, leader + "\r\n"}, {5, "\r\n"},    {6, leader + "%"}, {7, "%"},
      {8, "12345\n%"},   {9, ""}};
  for (const auto& [startChar, head] : rows) {
    SendRig rig;
    rig.host.lines = {"G1", ""};
    rig.job.setting.Code_S = 2;
    rig.job.setting.CRLF_Type = 1;
    rig.job.setting.StartChar = startChar;
    rig.StartOnDc1();
    EXPECT_EQ(rig.Send(), head + "G1\r\n\r\n%") << "StartChar " << startChar;
    const bool paused = std::count(rig.host.waits.begin(), rig.host.waits.end(), 1000) == 1;
    EXPECT_EQ(paused, startChar == 5 || startChar == 7) << "StartChar " << startChar;
  }
}

TEST(SendEngineWire, EndSequencesToAControlAndToATapePunch) {
  struct Row {
    int endChar, speed;
    std::string tail;
  };
  const Row rows[] = {{0, 1, "\r\n%"},  {1, 1, "\x14"},    {1, 5, "\r\n%"},
                      {2, 1, "\r\n%%"}, {3, 1, ""}};
  for (const Row& row : rows) {
    SendRig rig;
    rig.host.lines = {"G1", ""};
    rig.job.setting.Code_S = 2;
    rig.job.setting.CRLF_Type = 1;
    rig.job.setting.EndChar = row.endChar;
    rig.job.setting.Speed_S = row.speed;
    rig.job.setting.Signal_S = row.speed == 5 ? 1 : 0;  // a punch sends no signal
    if (row.speed != 5) rig.StartOnDc1();
    EXPECT_EQ(rig.Send(), "G1\r\n" + row.tail) << row.endChar << "/" << row.speed;
  }
}

TEST(SendEngineWire, TapePunchFeedAndEndSignal) {
  SendRig rig;
  rig.host.lines = {"%", "O1", "G1", "O2", "G2", ""};
  rig.job.setting.Code_S = 2;
  rig.job.setting.Speed_S = 5;
  rig.job.setting.Signal_S = 1;
  rig.job.setting.Feed = 1;
  rig.job.setting.StartChar = 1;
  rig.options.tapePunchEndSignal = true;
  const std::string feed(20, ' ');
  EXPECT_EQ(rig.Send(), feed + "%" + feed + "O1\nG1\n" + feed + "O2\nG2\n\n%" + feed + "\x14");
  EXPECT_EQ(rig.host.messages.size(), 1u);  // the question before the start
  const std::vector<int>& waits = rig.host.waits;
  ASSERT_GE(waits.size(), 2u);
  EXPECT_EQ(waits[waits.size() - 2], 4000) << "before the end signal";
  EXPECT_EQ(waits.back(), 4000) << "before the port closes";
  const auto texts = rig.LogTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  フィード出力"), texts.end());

  SendRig noFeed;  // Feed is only for a tape punch
  noFeed.host.lines = {"O1", ""};
  noFeed.job.setting.Code_S = 2;
  noFeed.job.setting.Feed = 3;
  noFeed.StartOnDc1();
  EXPECT_EQ(noFeed.Send(), "O1\n\n%");
}

TEST(SendEngineWire, OspHeaderReplacesTheStartSequence) {
  SendRig rig;
  rig.host.lines = {"O1", ""};
  rig.job.SetNo = 6;
  rig.job.setting.StartChar = 2;
  rig.job.setting.CRLF_Type = 1;
  rig.job.setting.Code_S = 2;
  rig.StartOnDc1();
  EXPECT_EQ(rig.Send(), "$PART1.MIN\r\nO1\r\n\r\n%");
  EXPECT_EQ(rig.engine.Outcome().OspFileName, "PART1.MIN");
  EXPECT_EQ(rig.host.programLine, "送信中のプログラム番号 => O1");
  const auto texts = rig.LogTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  ＮＣ機にファイル名送信 ﾌｧｲﾙ名=PART1.MIN"),
            texts.end());
  EXPECT_EQ(rig.host.waits.front(), 5);

  SendRig eia;  // EIA has no "$"
  eia.host.lines = {"G1", ""};
  eia.job.SetNo = 12;
  eia.job.CurrentFileName = "/home/op/sub1.ssb";
  eia.job.setting.Code_S = 1;
  eia.job.setting.InvTime = 3;
  eia.StartOnDc1();
  const std::string wire = eia.Send();
  EXPECT_EQ(wire, Wire(TapeCode::EIA, "SUB1.SSB\nG1\n\n%"));
  EXPECT_EQ(wire.substr(0, 2), "\x32\x34");  // S U: the "$" is gone
  // InvTime after each name and data character, not after line ends or "%".
  EXPECT_EQ(std::count(eia.host.waits.begin(), eia.host.waits.end(), 3), 8 + 2);
}

TEST(SendEngineWire, AOneCharacterLastLineIsNeverReached) {
  SendRig shortLast;
  shortLast.host.lines = {"G1", "X"};
  shortLast.job.setting.Code_S = 2;
  shortLast.StartOnDc1();
  EXPECT_EQ(shortLast.Send(), "G1\n\n%");

  SendRig longerLast;
  longerLast.host.lines = {"G1", "XY"};
  longerLast.job.setting.Code_S = 2;
  longerLast.StartOnDc1();
  EXPECT_EQ(longerLast.Send(), "G1\nXY\n\n%");
  EXPECT_EQ(longerLast.host.status[TransferStatusField::Remaining], "");
}

TEST(SendEngineWire, SelectiveSendSkipsTheListedPrograms) {
  SendRig rig;
  rig.options = SelectiveSendOptions();
  rig.host.lines = {"%", "O1000", "G1", "O2000(B)", "G2", "M30", "O3000", "G3", "%"};
  rig.engine.Selection().SkipLines = {"O2000(B)"};
  rig.job.setting.Code_S = 2;
  rig.StartOnDc1();
  EXPECT_EQ(rig.Send(), "O1000\nG1\nO3000\nG3\n\n%");
  int skipped = 0;
  for (const auto& [field, text] : rig.host.statusTexts) skipped += field == TransferStatusField::Phase && text == "＜＜ スルー ＞＞";
  EXPECT_EQ(skipped, 3);
  // Skipped lines count as sent: the progress reached the end.
  EXPECT_EQ(rig.engine.Counters().SentChars, rig.engine.Counters().TotalChars);
  EXPECT_EQ(std::count(rig.host.waits.begin(), rig.host.waits.end(), 5), 1) << "M30 skipped still pauses";

  // Lines before the first program keep the state the last send left.
  SendRig next;
  next.options = SelectiveSendOptions();
  next.engine.Selection().SkipProgram = true;
  next.engine.Selection().SkipLines = {"O2000(B)"};
  next.host.lines = {"G0", "O1000", "G1", ""};
  next.job.setting.Code_S = 2;
  next.StartOnDc1();
  EXPECT_EQ(next.Send(), "O1000\nG1\n\n%");

  // Without the option nothing is skipped, whatever the list says.
  SendRig whole;
  whole.engine.Selection().SkipProgram = true;
  whole.engine.Selection().SkipLines = {"O1000"};
  whole.host.lines = {"G0", "O1000", ""};
  whole.job.setting.Code_S = 2;
  whole.StartOnDc1();
  EXPECT_EQ(whole.Send(), "G0\nO1000\n\n%");
}

TEST(SendEngineWire, DocumentTextGoesOutAsCp932) {
  SendRig rig;
  rig.host.lines = {"(ﾃｽﾄ 加工)", ""};
  rig.job.setting.Code_S = 2;
  rig.StartOnDc1();
  EXPECT_EQ(rig.Send(), "(\xC3\xBD\xC4 \x89\xC1\x8D\x48)\n\n%");
  // Counted in wire bytes: 10 + 2 characters; the total is 12 - 1.
  EXPECT_EQ(rig.engine.Counters().TotalChars, 11);
}

TEST(SendEngineWire, FirstCharacterAfterTheSignalSkipsTheCheckOnlyWithInterval1000) {
  // The control sends its start and at once a pause; DC1 follows at 5000 ms.
  for (const int chkCount : {28, 29}) {
    SendRig rig;
    rig.host.lines = {"G1", ""};
    rig.job.setting.StartChar = 1;
    rig.job.setting.ChkCount = chkCount;
    rig.port.QueueIncoming("\x11\x93", 1);
    rig.port.QueueIncoming("\x11", 5000);
    std::vector<int64_t> writtenAt;
    rig.port.onWrite = [&](uint8_t) { writtenAt.push_back(rig.clock.nowMs); };
    EXPECT_EQ(rig.Send(), Wire(TapeCode::ISO, "%G1\n\n%"));
    ASSERT_FALSE(writtenAt.empty());
    if (chkCount == 29) {
      EXPECT_LT(writtenAt[0], 5000) << "no check before the first character";
    } else {
      EXPECT_GE(writtenAt[0], 5000) << "checked before the first character, which waits for DC1";
    }
  }
}

}  // namespace
}  // namespace quelvo
