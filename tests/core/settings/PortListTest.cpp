#include <gtest/gtest.h>

#include <set>

#include "core/settings/PortList.h"

namespace quelvo {
namespace {

// A prober that knows a fixed set of COM numbers and adapters and records which
// numbers were opened.
struct FakePorts {
  std::set<int> present;
  std::vector<std::string> adapters;
  std::vector<int> opened;
  PortProber Prober() {
    return {[this](int n) {
              opened.push_back(n);
              return present.count(n) > 0;
            },
            [this] { return adapters; }};
  }
};

TEST(PortList, ModemPortInLowerCaseIsLeftOutAndNotOpened) {
  FakePorts ports{{1, 3}, {}, {}};
  const auto present = ListPresentPorts(ports.Prober(), "com3", "");
  EXPECT_EQ(present, (std::vector<std::string>{"COM1"}));
  EXPECT_EQ(ports.opened.size(), 29u);
  EXPECT_EQ(std::count(ports.opened.begin(), ports.opened.end(), 3), 0);

  const PortChoice receive = ChoosePort(present, "COM2");
  EXPECT_EQ(receive.items, (std::vector<std::string>{"COM1", "設定ﾎﾟｰﾄ無し"}));
  EXPECT_EQ(receive.selected, 1);
  const PortChoice send = ChoosePort(present, "COM1");
  EXPECT_EQ(send.items, receive.items);
  EXPECT_EQ(send.selected, 0);
}

TEST(PortList, ComPortsInOrderThenAdapters) {
  FakePorts ports{{12, 2, 30}, {"/dev/ttyUSB0", "/dev/ttyACM0"}, {}};
  EXPECT_EQ(ListPresentPorts(ports.Prober(), "COM30", "com2"),
            (std::vector<std::string>{"COM12", "/dev/ttyUSB0", "/dev/ttyACM0"}));
  const PortChoice choice = ChoosePort({"COM12", "/dev/ttyUSB0"}, "/dev/ttyUSB0");
  EXPECT_EQ(choice.selected, 1);
  EXPECT_EQ(choice.items.back(), "設定ﾎﾟｰﾄ無し");
}

TEST(PortList, NoPortGivesOnlyTheNoUsablePortItem) {
  FakePorts ports;
  const auto present = ListPresentPorts(ports.Prober(), "", "");
  EXPECT_TRUE(present.empty());
  const PortChoice choice = ChoosePort(present, "COM1");
  EXPECT_EQ(choice.items, (std::vector<std::string>{"有効ﾎﾟｰﾄ無し"}));
  EXPECT_EQ(choice.selected, 0);
  // A stored placeholder is not a port: it stays unmatched next time.
  EXPECT_EQ(ChoosePort({"COM1"}, "設定ﾎﾟｰﾄ無し").selected, 1);
}

TEST(PortList, ANetworkPortIsKeptAsTypedAfterThePresentPorts) {
  const PortChoice some = ChoosePort({"COM1"}, "rfc2217://Lathe-3:2001");
  EXPECT_EQ(some.items, (std::vector<std::string>{"COM1", "rfc2217://Lathe-3:2001"}));
  EXPECT_EQ(some.selected, 1);
  const PortChoice none = ChoosePort({}, "tcp://10.0.0.5:4001");
  EXPECT_EQ(none.items, (std::vector<std::string>{"tcp://10.0.0.5:4001"}));
  EXPECT_EQ(none.selected, 0);

  // Typed into the list: a network text is stored as typed, anything else
  // leaves the selected item.
  EXPECT_EQ(PortTextToStore("rfc2217://Lathe-3:2001", "COM1"), "rfc2217://Lathe-3:2001");
  EXPECT_EQ(PortTextToStore("COM9", "COM1"), "COM1");
  EXPECT_EQ(PortTextToStore("tcp://no-port", "設定ﾎﾟｰﾄ無し"), "設定ﾎﾟｰﾄ無し");
}

}  // namespace
}  // namespace quelvo
