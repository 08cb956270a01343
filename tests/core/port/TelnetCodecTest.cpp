// SPDX-License-Identifier: GPL-3.0-or-later
// The telnet layer on byte tables: what the decoder makes of a received
// stream (fed whole and one byte at a time), and what the client sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/port/TelnetCodec.h"

namespace quelvo::telnet {
namespace {

struct DecodeCase {
  const char* name;
  Bytes in;
  Bytes data;                     // line data expected
  std::vector<Message> messages;  // negotiations and COM port answers expected
  bool ok = true;                 // false: the stream is refused as broken
};

Message Nego(uint8_t verb, uint8_t option) { return Message{Message::kNegotiation, verb, option, {}}; }
Message Answer(uint8_t command, Bytes value) { return Message{Message::kComPort, 0, command, std::move(value)}; }

const DecodeCase kDecodeCases[] = {
    {"plain data, every byte but IAC", {0x00, 0x11, 0x93, 0xFE, 0x0D, 0x0A}, {0x00, 0x11, 0x93, 0xFE, 0x0D, 0x0A}, {}},
    {"doubled IAC is one data byte", {0x41, kIac, kIac, 0x42, kIac, kIac}, {0x41, 0xFF, 0x42, 0xFF}, {}},
    {"negotiation between data", {0x31, kIac, kWill, kOptionBinary, 0x32, kIac, kDo, kOptionComPort},
     {0x31, 0x32}, {Nego(kWill, kOptionBinary), Nego(kDo, kOptionComPort)}},
    {"NOP and go-ahead are dropped", {kIac, 241, 0x41, kIac, 249}, {0x41}, {}},
    {"COM port answer, IAC doubled in its value",
     {kIac, kSb, kOptionComPort, 101, 0x00, 0x00, kIac, kIac, 0x10, kIac, kSe, 0x11},
     {0x11}, {Answer(101, {0x00, 0x00, 0xFF, 0x10})}},
    {"modem state notification", {kIac, kSb, kOptionComPort, 107, 0xB0, kIac, kSe}, {}, {Answer(107, {0xB0})}},
    {"other options' subnegotiations are dropped", {kIac, kSb, 24, 0x01, kIac, kSe, 0x42}, {0x42}, {}},
    {"a byte after IAC that is no command", {0x41, kIac, 0x07, 0x42}, {0x41}, {}, false},
    {"a subnegotiation that never ends", [] {
       Bytes b{kIac, kSb, kOptionComPort, 101};
       b.insert(b.end(), 100, 0x20);
       return b;
     }(), {}, {}, false},
    {"a subnegotiation of doubled IACs that never ends", [] {
       Bytes b{kIac, kSb, kOptionComPort, 101};
       b.insert(b.end(), 200, kIac);
       return b;
     }(), {}, {}, false},
    {"IAC inside a subnegotiation followed by junk", {kIac, kSb, kOptionComPort, 101, kIac, 0x33}, {}, {}, false},
};

void ExpectDecoded(const DecodeCase& c, const Bytes& data, const std::vector<Message>& messages, bool ok) {
  EXPECT_EQ(ok, c.ok);
  if (!c.ok) return;
  EXPECT_EQ(data, c.data);
  ASSERT_EQ(messages.size(), c.messages.size());
  for (size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i].kind, c.messages[i].kind) << i;
    EXPECT_EQ(messages[i].verb, c.messages[i].verb) << i;
    EXPECT_EQ(messages[i].option, c.messages[i].option) << i;
    EXPECT_EQ(messages[i].value, c.messages[i].value) << i;
  }
}

TEST(TelnetCodec, DecodesStreamsWholeAndByteByByte) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    Decoder whole;
    Bytes data;
    std::vector<Message> messages;
    std::string error;
    bool ok = whole.Feed(c.in.data(), c.in.size(), &data, &messages, &error);
    ExpectDecoded(c, data, messages, ok);
    if (!ok) {
      EXPECT_FALSE(error.empty());
      // Nothing more is taken from a broken stream.
      const uint8_t more = 0x41;
      EXPECT_FALSE(whole.Feed(&more, 1, &data, &messages, &error));
    }

    Decoder split;
    data.clear();
    messages.clear();
    ok = true;
    for (uint8_t b : c.in) ok = ok && split.Feed(&b, 1, &data, &messages, &error);
    ExpectDecoded(c, data, messages, ok);
  }
}

TEST(TelnetCodec, EncodesDataAndRequestsWithIacDoubled) {
  const Bytes tape{0x25, 0xFF, 0x8D, 0xFF, 0xFF};
  Bytes out;
  AppendEscaped(tape.data(), tape.size(), &out);
  EXPECT_EQ(out, (Bytes{0x25, 0xFF, 0xFF, 0x8D, 0xFF, 0xFF, 0xFF, 0xFF}));

  EXPECT_EQ(Negotiation(kWill, kOptionComPort), (Bytes{0xFF, 0xFB, 0x2C}));
  EXPECT_EQ(ComPortRequest(kSetBaudRate, BaudRateValue(4800)),
            (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x12, 0xC0, 0xFF, 0xF0}));
  // 65535 baud carries two IAC bytes in its value.
  EXPECT_EQ(ComPortRequest(kSetBaudRate, BaudRateValue(65535)),
            (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}));

  // What the encoder sends, the decoder gives back unchanged.
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  Bytes wire;
  AppendEscaped(all.data(), all.size(), &wire);
  Decoder decoder;
  Bytes data;
  std::vector<Message> messages;
  std::string error;
  ASSERT_TRUE(decoder.Feed(wire.data(), wire.size(), &data, &messages, &error));
  EXPECT_EQ(data, all);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace quelvo::telnet
