// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceiveCharset.h"

#include <cstring>

namespace quelvo {
namespace {

bool InSet(const char* set, std::uint8_t c) {
  return c != 0 && std::strchr(set, static_cast<char>(c)) != nullptr;
}

}  // namespace

bool IsReceiveStartChar(std::uint8_t c) { return InSet("%OP:LNG$", c); }

bool IsReceiveAcceptedChar(std::uint8_t c) {
  if (c >= '0' && c <= '9') return true;
  if (c >= 'A' && c <= 'Z') return true;
  return InSet(" \"%()+-:/.#$&'*,;<=>?@[]!_^", c);
}

bool IsReceiveNumericChar(std::uint8_t c) { return InSet("0123456789.+-/*[]()=", c); }

}  // namespace quelvo
