// SPDX-License-Identifier: GPL-3.0-or-later
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

// A device path or a network port text names its port by itself: stored, it
// is shown and selected even when the search did not find it.
TEST(PortList, APortNamedByItselfIsShownAsStored) {
  const struct {
    std::vector<std::string> present;
    std::string stored;
    std::vector<std::string> items;
    int selected;
  } cases[] = {
      {{"COM1"}, "rfc2217://Lathe-3:2001", {"COM1", "rfc2217://Lathe-3:2001"}, 1},
      {{}, "tcp://10.0.0.5:4001", {"tcp://10.0.0.5:4001"}, 0},
      {{"COM1"}, "/dev/ttyUSB0", {"COM1", "/dev/ttyUSB0"}, 1},
      {{}, "/dev/pts/7", {"/dev/pts/7"}, 0},
      {{"COM1", "/dev/serial/by-id/usb-A-if00"}, "/dev/serial/by-id/usb-A-if00",
       {"COM1", "/dev/serial/by-id/usb-A-if00", "設定ﾎﾟｰﾄ無し"}, 1},
      {{"COM1"}, "dev/ttyUSB0", {"COM1", "設定ﾎﾟｰﾄ無し"}, 1},  // not a path: not a port
  };
  for (const auto& c : cases) {
    const PortChoice choice = ChoosePort(c.present, c.stored);
    EXPECT_EQ(choice.items, c.items) << c.stored;
    EXPECT_EQ(choice.selected, c.selected) << c.stored;
  }
}

// What a save stores from a port list: what was typed when it names a port by
// itself, else the item selected; a placeholder never replaces a port.
TEST(PortList, PortTextToStore) {
  const struct {
    std::string typed, selected, stored, expected;
  } cases[] = {
      {"rfc2217://Lathe-3:2001", "COM1", "COM1", "rfc2217://Lathe-3:2001"},
      {"  /dev/ttyUSB3 ", "COM1", "COM1", "/dev/ttyUSB3"},
      {"/dev/serial/by-id/usb-FTDI-if00-port0", "設定ﾎﾟｰﾄ無し", "COM2", "/dev/serial/by-id/usb-FTDI-if00-port0"},
      {"COM9", "COM1", "COM2", "COM1"},  // a COM name the list does not offer
      {"COM1", "COM1", "/dev/ttyUSB0", "COM1"},
      {"設定ﾎﾟｰﾄ無し", "設定ﾎﾟｰﾄ無し", "COM2", "COM2"},
      {"有効ﾎﾟｰﾄ無し", "有効ﾎﾟｰﾄ無し", "/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"tcp://no-port", "設定ﾎﾟｰﾄ無し", "COM2", "COM2"},
      {"設定ﾎﾟｰﾄ無し", "設定ﾎﾟｰﾄ無し", "有効ﾎﾟｰﾄ無し", "設定ﾎﾟｰﾄ無し"},
      {"有効ﾎﾟｰﾄ無し", "有効ﾎﾟｰﾄ無し", "", "有効ﾎﾟｰﾄ無し"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortTextToStore(c.typed, c.selected, c.stored), c.expected)
        << "typed \"" << c.typed << "\", stored \"" << c.stored << "\"";
  }
}

}  // namespace
}  // namespace quelvo
