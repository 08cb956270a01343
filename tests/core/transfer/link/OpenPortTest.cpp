// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cerrno>
#include <functional>
#include <stdexcept>

#include "LinkFixture.h"
#include "core/transfer/TransferError.h"

namespace quelvo {
namespace {

using Lines = std::vector<std::string>;

class OpenPortTest : public LinkFixture {
 protected:
  const LineConfig& Applied() const { return port.configs.back(); }
};

TEST_F(OpenPortTest, SendWithTheDefaultSettingLogsEveryStep) {
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(LogLines(), (Lines{"  COM1 ポートオープン", "  通信速度は ４８００", "  データ長８　パリティ無し",
                               "  ストップビット２", "  通信プロトコル標準", "  一時停止コード0x93",
                               "  開始コード0x11", "  通信設定完了", "  通信タイムアウト設定完了",
                               "  通信回線初期化完了"}));
  EXPECT_EQ(port.device, "/dev/ttyS0");
  const LineConfig& c = Applied();
  EXPECT_EQ(c.baudRate, 4800);
  EXPECT_EQ(c.stopBits, StopBits::kTwo);
  EXPECT_EQ(c.xoffChar, 0x93);
  EXPECT_EQ(c.xonChar, 0x11);
  EXPECT_FALSE(c.outX) << "the writer paces itself until the start signal";
  EXPECT_FALSE(c.inX);
  EXPECT_TRUE(c.nullDiscard);
  EXPECT_FALSE(c.outxCtsFlow);
  EXPECT_EQ(c.dtrControl, LineControl::kHandshake);
  EXPECT_EQ(c.rtsControl, LineControl::kHandshake);
  EXPECT_EQ(c.xonLim, 0);
  EXPECT_EQ(c.xoffLim, 2);
  EXPECT_EQ(port.timeouts.readMs, 10);
  EXPECT_EQ(port.timeouts.writeMs, 0);
  EXPECT_EQ(port.purgeCount, 1);
  EXPECT_EQ(link.Active().Port, "COM1");
  EXPECT_FALSE(link.Port().OldTypeProtocol);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(OpenPortTest, ReceiveLetsTheDriverPaceAndWaitsASecondPerByte) {
  setting.Buff_R = 6;
  setting.Port_R = "/dev/ttyUSB0";
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  EXPECT_EQ(LogLines(), (Lines{"  /dev/ttyUSB0 ポートオープン", "  通信速度は ４８００",
                               "  データ長８　パリティ無し", "  ストップビット２", "  一時停止コード0x93",
                               "  開始コード0x11", "  通信設定完了", "  通信タイムアウト設定完了",
                               "  通信回線初期化完了"}));
  const LineConfig& c = Applied();
  EXPECT_TRUE(c.inX);
  EXPECT_TRUE(c.outX);
  EXPECT_EQ(c.xonLim, 4096);
  EXPECT_EQ(c.xoffLim, 6144);
  EXPECT_EQ(port.timeouts.readMs, 1000);
  EXPECT_EQ(port.timeouts.writeMs, 1000);
}

TEST_F(OpenPortTest, SpeedsAndTheTapeDeviceOverride) {
  const char* speedLines[] = {"  通信速度は ２４００", "  通信速度は ４８００", "  通信速度は ９６００",
                              "  通信速度は １４４００", "  通信速度は １９２００"};
  const int bauds[] = {2400, 4800, 9600, 14400, 19200};
  for (TransferDirection d : {TransferDirection::Send, TransferDirection::Receive}) {
    for (int speed = 0; speed < 5; ++speed) {
      log.Clear();
      setting.Speed_S = setting.Speed_R = speed;
      ASSERT_TRUE(link.OpenPort(setting, d));
      EXPECT_EQ(LogLines().at(1), speedLines[speed]);
      EXPECT_EQ(Applied().baudRate, bauds[speed]);
    }
  }
  // A tape reader: format and stop bits are logged as set, then fixed.
  log.Clear();
  setting.Speed_R = 5;
  setting.Code_R = 1;
  setting.STbit_R = 0;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  const Lines lines = LogLines();
  EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 6),
            (Lines{"  通信機器で固定４８００", "  データ長７　パリティ無し", "  ストップビット１",
                   "  通信機器選択の為以下に固定", "  データ長８　パリティ無し　ストップビット２"}));
  EXPECT_EQ(Applied().baudRate, 4800);
  EXPECT_EQ(Applied().byteSize, 8);
  EXPECT_EQ(Applied().stopBits, StopBits::kTwo);
}

TEST_F(OpenPortTest, CodesAndStopBitsSetTheCharacterFormat) {
  struct Row {
    TransferDirection direction;
    int code;
    int byteSize;
    const char* line;
  };
  const Row rows[] = {
      {TransferDirection::Send, 0, 8, "  データ長８　パリティ無し"},
      {TransferDirection::Send, 1, 8, "  データ長８　パリティ無し"},
      {TransferDirection::Send, 2, 7, "  データ長７　パリティ無し"},
      {TransferDirection::Receive, 0, 8, "  データ長８　パリティ無し"},
      {TransferDirection::Receive, 1, 7, "  データ長７　パリティ無し"},
      {TransferDirection::Receive, 2, 8, "  データ長８　パリティ無し"},
      {TransferDirection::Receive, 3, 8, "  データ長８　パリティ無し"},
  };
  for (const Row& row : rows) {
    log.Clear();
    setting.Code_S = setting.Code_R = row.code;
    ASSERT_TRUE(link.OpenPort(setting, row.direction));
    EXPECT_EQ(LogLines().at(2), row.line) << row.code;
    EXPECT_EQ(Applied().byteSize, row.byteSize) << row.code;
  }
  // A code outside the list keeps the format and logs nothing for it.
  log.Clear();
  setting.Code_S = 9;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(LogLines().at(2), "  ストップビット２");
  EXPECT_EQ(Applied().byteSize, 8);

  const std::pair<int, const char*> stopRows[] = {
      {0, "  ストップビット１"}, {1, "  ストップビット２"}, {7, "  ストップビット１．５"}};
  const StopBits stops[] = {StopBits::kOne, StopBits::kTwo, StopBits::kOneAndHalf};
  setting.Code_S = 0;
  for (int i = 0; i < 3; ++i) {
    log.Clear();
    setting.STbit_S = stopRows[i].first;
    ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
    EXPECT_EQ(LogLines().at(3), stopRows[i].second);
    EXPECT_EQ(Applied().stopBits, stops[i]);
  }
}

TEST_F(OpenPortTest, PauseCodeOptionAppliesToBothDirections) {
  options.pauseCode0x93 = false;
  for (TransferDirection d : {TransferDirection::Send, TransferDirection::Receive}) {
    log.Clear();
    ASSERT_TRUE(link.OpenPort(setting, d));
    const Lines lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  一時停止コード0x13"), lines.end());
    EXPECT_EQ(Applied().xoffChar, 0x13);
  }
}

TEST_F(OpenPortTest, FlowControlVariants) {
  // Receive with RTS/CTS logs like XON/XOFF but the driver uses the lines.
  setting.Control_R = 1;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  const Lines rtsCts = LogLines();
  EXPECT_FALSE(Applied().inX);
  EXPECT_FALSE(Applied().outX);
  EXPECT_TRUE(Applied().outxCtsFlow);
  EXPECT_EQ(Applied().xoffChar, 0);
  setting.Control_R = 0;
  log.Clear();
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  EXPECT_EQ(LogLines(), rtsCts);

  // Send, RTS/CTS.
  setting.Control_S = 1;
  setting.Buff_S = 19;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_TRUE(Applied().outxCtsFlow);
  EXPECT_EQ(Applied().xonLim, 200);
  EXPECT_EQ(Applied().xoffLim, 500);

  // Send, old type: no pause or start codes, DTR and RTS as they were.
  log.Clear();
  options.dtrAlwaysOn = true;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));  // DTR held on
  setting.Control_S = 2;
  options.dtrAlwaysOn = false;
  log.Clear();
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  const Lines old = LogLines();
  EXPECT_EQ(old.at(4), "  通信プロトコル旧タイプ");
  EXPECT_EQ(old.at(5), "  通信設定完了");
  EXPECT_TRUE(link.Port().OldTypeProtocol);
  EXPECT_EQ(Applied().xoffChar, 0);
  EXPECT_EQ(Applied().xonChar, 0);
  EXPECT_FALSE(Applied().outX);
  EXPECT_EQ(Applied().dtrControl, LineControl::kEnable);
  EXPECT_EQ(Applied().rtsControl, LineControl::kHandshake);
  // Receiving leaves the old-type flag as it is; another send clears it.
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  EXPECT_TRUE(link.Port().OldTypeProtocol);
  setting.Control_S = 0;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_FALSE(link.Port().OldTypeProtocol);
}

TEST_F(OpenPortTest, LinesHeldOnWinOverTheHandshakeUntilTheDriverTakesOver) {
  options.dtrAlwaysOn = true;
  options.autoPortSelection = true;
  int selections = 0;
  link.SetSelectionSequence([&] {
    ++selections;
    EXPECT_EQ(port.purgeCount, 1) << "the selector is driven on a configured port";
    return true;
  });
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  const Lines lines = LogLines();
  EXPECT_EQ(lines.at(7), "  ＤＴＲ信号を常にＯＮに設定");
  EXPECT_EQ(lines.at(8), "  ポート自動選択の為、ＤＴＲ、ＲＴＳを常にＯＮに設定");
  EXPECT_EQ(lines.at(9), "  通信設定完了");
  EXPECT_EQ(selections, 1);
  EXPECT_EQ(Applied().dtrControl, LineControl::kEnable);
  EXPECT_EQ(Applied().rtsControl, LineControl::kEnable);

  const size_t logged = log.Text().size();
  link.SwitchToDriverFlowControl();
  EXPECT_EQ(log.Text().size(), logged) << "no log line";
  EXPECT_TRUE(Applied().outX);
  EXPECT_TRUE(Applied().inX);
  EXPECT_EQ(Applied().dtrControl, LineControl::kHandshake);
  EXPECT_EQ(Applied().rtsControl, LineControl::kHandshake);

  link.SetSelectionSequence([] { return false; });
  EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Receive));
}

TEST_F(OpenPortTest, IndicatorsShowTheModemLinesWhenTheyCanBeRead) {
  port.dsr = false;
  port.cts = true;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(host.dsrHistory, std::vector<bool>{false});
  EXPECT_EQ(host.ctsHistory, std::vector<bool>{true});
  port.modemReadable = false;
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(host.dsrHistory.size(), 1u);
}

TEST_F(OpenPortTest, AnUnopenablePortSaysWhyInTheMessageAndTheLog) {
  setting.Port_S = "COM9";
  port.openErrno = EACCES;
  link.Port().PortOpenedForSend = true;
  EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_FALSE(link.Port().PortOpenedForSend);
  ASSERT_EQ(host.messages.size(), 1u);
  const std::string& text = host.messages[0].text;
  EXPECT_EQ(text.rfind("COM9のポートが開きません。!!\n", 0), 0u) << text;
  EXPECT_NE(text.find("dialout"), std::string::npos);
  const Lines lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "  COM9　ポートが開かず中止");
  EXPECT_EQ("  " + text.substr(text.find('\n') + 1), lines[1]);

  // The dialog's placeholders name no device at all.
  log.Clear();
  port.openErrno = 0;
  setting.Port_S = "設定ﾎﾟｰﾄ無し";
  EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(LogLines().at(0), "  設定ﾎﾟｰﾄ無し　ポートが開かず中止");
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(OpenPortTest, AStopKeyWhileANetworkPortConnectsIsTheUsersStop) {
  // The text reaches the port as typed; the window keeps running meanwhile.
  setting.Port_S = "rfc2217://ds-lathe3:2001";
  port.openWaitMs = 5000;
  host.PressKeyAt(StopKey::kEsc, clock.nowMs + 300);
  EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(port.device, "rfc2217://ds-lathe3:2001");
  EXPECT_TRUE(link.OpenStoppedByUser());
  EXPECT_EQ(link.State().ErrorNumber, kUserStop);
  EXPECT_LT(clock.nowMs, 1000);  // stopped at the key, not at the end of the wait
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(LogLines(), (Lines{"  rfc2217://ds-lathe3:2001　ポートオープンを中止"}));

  // Without a key the same wait ends in an open port.
  log.Clear();
  EXPECT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_FALSE(link.OpenStoppedByUser());
  EXPECT_EQ(LogLines().at(0), "  rfc2217://ds-lathe3:2001 ポートオープン");
}

TEST_F(OpenPortTest, EachFailingStepShowsItsMessageAndStops) {
  struct Step {
    std::function<void()> breakIt;
    const char* message;
    const char* lastLine;
  };
  const Step steps[] = {
      {[&] { setting.Speed_S = 6; }, "通信設定（速度）を確認してください!!", "  通信速度設定不良の為中止"},
      {[&] { port.failConfigure = true; }, "通信設定エラー!!", "  通信設定が不良の為中止"},
      {[&] { port.failTimeouts = true; }, "タイムアウト!!", "  通信タイムアウト設定不良の為中止"},
      {[&] { port.failPurge = true; }, "回線初期化エラー!!", "  通信回線初期化エラーの為中止"},
      {[&] {
         options.autoPortSelection = true;
         link.SetSelectionSequence([]() -> bool { throw std::runtime_error("boom"); });
       },
       "通信エラー!!", "  通信エラー（その他）の為中止"},
  };
  for (const Step& step : steps) {
    setting = CommSetting();
    port.failConfigure = port.failTimeouts = port.failPurge = false;
    log.Clear();
    host.messages.clear();
    step.breakIt();
    EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send)) << step.message;
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, step.message);
    EXPECT_EQ(LogLines().back(), step.lastLine);
  }
}

}  // namespace
}  // namespace quelvo
