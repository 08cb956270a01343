// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include "core/transfer/link/SelectionSequence.h"
#include "LinkFixture.h"

namespace quelvo {
namespace {

class SelectionSequenceTest : public LinkFixture {
 protected:
  void SetUp() override {
    options.autoPortSelection = true;
    link.SetSelectionSequence([this] { return RunSelectionSequence(link, host, [this] { return answer; }); });
  }
  std::optional<std::string> answer;
};

TEST_F(SelectionSequenceTest, DigitsGoOutRawAndDashesWait) {
  setting.Code_S = 1;  // EIA would turn "1" into 0x01: the selector gets ASCII
  answer = "1-4";
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
  EXPECT_EQ(port.written, "14");
  EXPECT_EQ(host.waits, (std::vector<int>{3000, 3000}));
  EXPECT_FALSE(link.State().RawWriteMode);

  port.written.clear();
  host.waits.clear();
  answer = "--";
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(host.waits, (std::vector<int>{3000, 3000, 3000}));
}

TEST_F(SelectionSequenceTest, CancelOrAnEmptyNumberAbortsTheTransfer) {
  for (const std::optional<std::string>& given : {std::optional<std::string>(), std::optional<std::string>("")}) {
    answer = given;
    log.Clear();
    host.messages.clear();
    EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "自動選択番号の入力が間違っています。\n通信を一旦中止します。");
    EXPECT_EQ(LogLines().back(), "  自動選択番号の入力不良の為中止");
    EXPECT_EQ(port.written, "");
    EXPECT_FALSE(link.State().RawWriteMode);
  }
}

}  // namespace
}  // namespace quelvo
