// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/common/NetworkPortText.h"

namespace quelvo {
namespace {

TEST(NetworkPortText, ParsesHostAndPortOrRefusesTheText) {
  struct Case {
    const char* text;
    bool valid;
    NetworkPortKind kind;
    const char* host;
    int port;
  };
  const Case cases[] = {
      {"tcp://192.168.1.20:4001", true, NetworkPortKind::kRawTcp, "192.168.1.20", 4001},
      {"rfc2217://ds-lathe3:2001", true, NetworkPortKind::kRfc2217, "ds-lathe3", 2001},
      {"RFC2217://Box:1", true, NetworkPortKind::kRfc2217, "Box", 1},
      {"tcp://[::1]:65535", true, NetworkPortKind::kRawTcp, "::1", 65535},
      {"tcp://host:65536", false, {}, "", 0},
      {"tcp://host:0", false, {}, "", 0},
      {"tcp://host:", false, {}, "", 0},
      {"tcp://:4001", false, {}, "", 0},
      {"tcp://host", false, {}, "", 0},
      {"tcp://::1:4001", false, {}, "", 0},  // IPv6 without brackets
      {"tcp://host:40x1", false, {}, "", 0},
      {"tcp://a b:4001", false, {}, "", 0},
      {"telnet://host:23", false, {}, "", 0},
      {"COM1", false, {}, "", 0},
      {"/dev/ttyS0", false, {}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto address = ParseNetworkPortText(c.text);
    ASSERT_EQ(address.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(address->kind, c.kind);
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
  // A text with a scheme is never a device name, even when malformed.
  EXPECT_TRUE(HasNetworkPortScheme("tcp://host"));
  EXPECT_FALSE(HasNetworkPortScheme("/dev/tcp"));
}

}  // namespace
}  // namespace quelvo
