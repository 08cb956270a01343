// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Port texts that name a serial line behind an Ethernet device server:
// "tcp://HOST:PORT" (raw TCP, the line is set up on the device server) and
// "rfc2217://HOST:PORT" (telnet with the COM port option: the line is set up
// from here). HOST may be a name, an IPv4 address or an IPv6 address in
// brackets ("[::1]"). The scheme is matched without regard to letter case; the
// text itself is kept and shown as typed everywhere.
#include <optional>
#include <string>

namespace quelvo {

enum class NetworkPortKind { kRawTcp, kRfc2217 };

struct NetworkPortAddress {
  NetworkPortKind kind = NetworkPortKind::kRawTcp;
  std::string host;  // without the brackets of an IPv6 address
  int port = 0;      // 1 to 65535
};

// The address a network port text names, or nothing for any other text
// (including a network text with a missing host or a bad port number).
std::optional<NetworkPortAddress> ParseNetworkPortText(const std::string& text);

// True when the text starts with one of the two schemes, well formed or not:
// such a text is never a device name.
bool HasNetworkPortScheme(const std::string& text);

}  // namespace quelvo
