// SPDX-License-Identifier: GPL-3.0-or-later
// The telnet decoder on what any server may send: fed whole or in pieces it
// makes the same data, messages and verdict, and nothing it keeps grows past
// its bounds (data no longer than the input, subnegotiations within 64 bytes).
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "core/port/TelnetCodec.h"

namespace {

struct Decoded {
  quelvo::telnet::Bytes data;
  std::vector<quelvo::telnet::Message> messages;
  bool ok = true;
};

Decoded Decode(const uint8_t* in, size_t size, size_t piece) {
  quelvo::telnet::Decoder decoder;
  Decoded out;
  std::string error;
  for (size_t at = 0; at < size && out.ok; at += piece) {
    const size_t n = size - at < piece ? size - at : piece;
    out.ok = decoder.Feed(in + at, n, &out.data, &out.messages, &error);
  }
  return out;
}

bool Same(const Decoded& a, const Decoded& b) {
  if (a.ok != b.ok) return false;
  if (!a.ok) return true;  // what came before the break may be cut differently
  if (a.data != b.data || a.messages.size() != b.messages.size()) return false;
  for (size_t i = 0; i < a.messages.size(); ++i) {
    const auto& x = a.messages[i];
    const auto& y = b.messages[i];
    if (x.kind != y.kind || x.verb != y.verb || x.option != y.option || x.value != y.value) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size of the second feeding.
  const size_t piece = data[0] % 17 + 1;
  const Decoded whole = Decode(data + 1, size - 1, size);
  const Decoded pieces = Decode(data + 1, size - 1, piece);
  quelvo::fuzz::Check(Same(whole, pieces), "the stream decodes the same whole and in pieces");
  quelvo::fuzz::Check(whole.data.size() <= size, "no more data than bytes came");
  for (const auto& m : whole.messages) {
    quelvo::fuzz::Check(m.value.size() <= 64, "a subnegotiation stays within its bound");
  }
  return 0;
}
