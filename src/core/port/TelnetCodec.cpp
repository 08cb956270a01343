// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/TelnetCodec.h"

namespace quelvo::telnet {
namespace {

// No COM port answer is longer than a command byte and four value bytes; a
// little more room lets other options' short subnegotiations pass.
constexpr size_t kLongestSubnegotiation = 64;

}  // namespace

void AppendEscaped(const uint8_t* data, size_t size, Bytes* out) {
  for (size_t i = 0; i < size; ++i) {
    out->push_back(data[i]);
    if (data[i] == kIac) out->push_back(kIac);
  }
}

Bytes Negotiation(uint8_t verb, uint8_t option) { return {kIac, verb, option}; }

Bytes ComPortRequest(uint8_t command, const Bytes& value) {
  Bytes out{kIac, kSb, kOptionComPort, command};
  AppendEscaped(value.data(), value.size(), &out);
  out.push_back(kIac);
  out.push_back(kSe);
  return out;
}

Bytes BaudRateValue(uint32_t baud) {
  return {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16),
          static_cast<uint8_t>(baud >> 8), static_cast<uint8_t>(baud)};
}

bool Decoder::Feed(const uint8_t* in, size_t size, Bytes* data, std::vector<Message>* messages,
                   std::string* error) {
  auto broken = [&](const std::string& why) {
    state_ = State::kBroken;
    *error = why;
    return false;
  };
  if (state_ == State::kBroken) return broken("the telnet stream was already broken");
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = in[i];
    switch (state_) {
      case State::kData:
        if (b == kIac) {
          state_ = State::kIac;
        } else {
          data->push_back(b);
        }
        break;
      case State::kIac:
        if (b == kIac) {
          data->push_back(b);
          state_ = State::kData;
        } else if (b >= kWill && b <= kDont) {
          verb_ = b;
          state_ = State::kVerb;
        } else if (b == kSb) {
          sub_.clear();
          state_ = State::kSubnegotiation;
        } else if (b > kSe) {
          state_ = State::kData;  // NOP, data mark, go-ahead and the like: nothing to do
        } else {
          return broken("the server sent byte " + std::to_string(b) + " after IAC, which is no telnet command");
        }
        break;
      case State::kVerb: {
        Message m;
        m.kind = Message::kNegotiation;
        m.verb = verb_;
        m.option = b;
        messages->push_back(std::move(m));
        state_ = State::kData;
        break;
      }
      case State::kSubnegotiation:
        if (b == kIac) {
          state_ = State::kSubIac;
        } else if (sub_.size() >= kLongestSubnegotiation) {
          return broken("the server's option subnegotiation does not end");
        } else {
          sub_.push_back(b);
        }
        break;
      case State::kSubIac:
        if (b == kIac) {
          // A doubled IAC counts against the same bound as any other byte.
          if (sub_.size() >= kLongestSubnegotiation) return broken("the server's option subnegotiation does not end");
          sub_.push_back(b);
          state_ = State::kSubnegotiation;
        } else if (b == kSe) {
          if (sub_.size() >= 2 && sub_[0] == kOptionComPort) {
            Message m;
            m.kind = Message::kComPort;
            m.option = sub_[1];
            m.value.assign(sub_.begin() + 2, sub_.end());
            messages->push_back(std::move(m));
          }
          state_ = State::kData;
        } else {
          return broken("the server's option subnegotiation is garbled");
        }
        break;
      case State::kBroken:
        return false;
    }
  }
  return true;
}

}  // namespace quelvo::telnet
