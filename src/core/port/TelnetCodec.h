// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The telnet layer of a network serial port: the byte stream of a telnet
// connection split into line data, option negotiation and COM port option
// subnegotiations, and the byte sequences the client sends. The IAC byte
// (0xFF) stands doubled inside data and subnegotiations both ways: an 8-bit
// ISO or EIA tape stream contains it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quelvo::telnet {

constexpr uint8_t kSe = 240;
constexpr uint8_t kSb = 250;
constexpr uint8_t kWill = 251;
constexpr uint8_t kWont = 252;
constexpr uint8_t kDo = 253;
constexpr uint8_t kDont = 254;
constexpr uint8_t kIac = 255;

constexpr uint8_t kOptionBinary = 0;
constexpr uint8_t kOptionSuppressGoAhead = 3;
constexpr uint8_t kOptionComPort = 44;

// COM port option commands from the client; the server answers each with the
// same command plus kServerOffset and the value it took.
enum ComPortCommand : uint8_t {
  kSetBaudRate = 1,
  kSetDataSize = 2,
  kSetParity = 3,
  kSetStopSize = 4,
  kSetControl = 5,
  kNotifyLineState = 6,
  kNotifyModemState = 7,
  kSetLineStateMask = 10,
  kSetModemStateMask = 11,
  kPurgeData = 12,
};
constexpr uint8_t kServerOffset = 100;

// Values of kSetParity, kSetStopSize, kSetControl and kPurgeData.
constexpr uint8_t kParityNone = 1, kParityOdd = 2, kParityEven = 3;
constexpr uint8_t kStopOne = 1, kStopTwo = 2, kStopOneAndHalf = 3;
constexpr uint8_t kOutboundNone = 1, kOutboundXonXoff = 2, kOutboundHardware = 3;
constexpr uint8_t kDtrOn = 8, kDtrOff = 9, kRtsOn = 11, kRtsOff = 12;
constexpr uint8_t kInboundNone = 14, kInboundXonXoff = 15, kInboundHardware = 16;
constexpr uint8_t kPurgeBoth = 3;

using Bytes = std::vector<uint8_t>;

// Appends `data` to `out` with every IAC doubled.
void AppendEscaped(const uint8_t* data, size_t size, Bytes* out);
// IAC verb option.
Bytes Negotiation(uint8_t verb, uint8_t option);
// IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
Bytes ComPortRequest(uint8_t command, const Bytes& value);
// The four bytes of a baud rate, most significant first.
Bytes BaudRateValue(uint32_t baud);

// One thing the server said besides data.
struct Message {
  enum Kind { kNegotiation, kComPort } kind = kNegotiation;
  uint8_t verb = 0;    // kNegotiation: kWill, kWont, kDo or kDont
  uint8_t option = 0;  // kNegotiation: the option; kComPort: the command
  Bytes value;         // kComPort: the value, unescaped
};

// Splits what the server sends. Other telnet commands (NOP, go-ahead, ...) and
// subnegotiations of other options are dropped.
class Decoder {
 public:
  // Feeds received bytes: line data is appended to *data, the rest to
  // *messages. False once the stream breaks the protocol (a byte after IAC
  // that is no command, a subnegotiation longer than any the client knows);
  // *error then says how, and the decoder takes nothing more.
  bool Feed(const uint8_t* in, size_t size, Bytes* data, std::vector<Message>* messages,
            std::string* error);
  void Reset() { *this = Decoder(); }

 private:
  enum class State { kData, kIac, kVerb, kSubnegotiation, kSubIac, kBroken };
  State state_ = State::kData;
  uint8_t verb_ = 0;
  Bytes sub_;
};

}  // namespace quelvo::telnet
