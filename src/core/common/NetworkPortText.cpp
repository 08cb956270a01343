// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/NetworkPortText.h"

#include <cctype>

namespace quelvo {
namespace {

struct Scheme {
  const char* prefix;
  NetworkPortKind kind;
};

constexpr Scheme kSchemes[] = {
    {"tcp://", NetworkPortKind::kRawTcp},
    {"rfc2217://", NetworkPortKind::kRfc2217},
};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

const Scheme* SchemeOf(const std::string& text) {
  for (const Scheme& scheme : kSchemes) {
    if (StartsWithNoCase(text, scheme.prefix)) return &scheme;
  }
  return nullptr;
}

// "1".."65535" without sign, spaces or leading zeros beyond a single digit.
int PortNumber(const std::string& digits) {
  if (digits.empty() || digits.size() > 5 || (digits.size() > 1 && digits[0] == '0')) return 0;
  int n = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    n = n * 10 + (c - '0');
  }
  return n <= 65535 ? n : 0;
}

}  // namespace

bool HasNetworkPortScheme(const std::string& text) { return SchemeOf(text) != nullptr; }

std::optional<NetworkPortAddress> ParseNetworkPortText(const std::string& text) {
  const Scheme* scheme = SchemeOf(text);
  if (scheme == nullptr) return std::nullopt;
  const std::string rest = text.substr(std::char_traits<char>::length(scheme->prefix));
  NetworkPortAddress address;
  address.kind = scheme->kind;
  size_t colon = std::string::npos;
  if (!rest.empty() && rest[0] == '[') {
    const size_t close = rest.find(']');
    if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':') return std::nullopt;
    address.host = rest.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = rest.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    address.host = rest.substr(0, colon);
    if (address.host.find(':') != std::string::npos) return std::nullopt;  // IPv6 needs brackets
  }
  for (char c : address.host) {
    if (std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '@') return std::nullopt;
  }
  address.port = PortNumber(rest.substr(colon + 1));
  if (address.host.empty() || address.port == 0) return std::nullopt;
  return address;
}

}  // namespace quelvo
