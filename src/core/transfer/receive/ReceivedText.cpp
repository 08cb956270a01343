// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceivedText.h"

#include <algorithm>

#include "core/transfer/TapeCode.h"
#include "core/transfer/receive/ReceiveCharset.h"
#include "core/transfer/receive/ReceiveFileName.h"

namespace quelvo {
namespace {

// Spaces and control characters.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string TrimLeft(const std::string& s) {
  const auto first = std::find_if_not(s.begin(), s.end(), IsBlank);
  return std::string(first, s.end());
}

std::string TrimRight(const std::string& s) {
  const auto last = std::find_if_not(s.rbegin(), s.rend(), IsBlank);
  return std::string(s.begin(), last.base());
}

// No NC block comes near this; a line that reaches it (a peer sending
// without line ends) is stored as it stands and the text goes on in a new
// line, so that the line buffer stays bounded and nothing received is lost.
constexpr size_t kLongestLine = 64 * 1024;

bool IsHeaderLine(const std::string& line) {
  return line.find("O&FW") != std::string::npos || line.find(":&FW") != std::string::npos ||
         line.find("&HE:") != std::string::npos;
}

}  // namespace

ReceivedText::ReceivedText(const ReceiveTextRules& rules, ReceivedTextSink& sink)
    : rules_(rules), sink_(sink) {}

void ReceivedText::Start(std::uint8_t startChar) {
  atWordStart_ = true;
  inComment_ = false;
  lineCount_ = 0;
  endPercentArmed_ = false;
  ncFileName_.clear();
  SetBuffer(startChar == kLF ? std::string() : std::string(1, static_cast<char>(startChar)));
}

void ReceivedText::Append(char c) {
  buffer_ += c;
  if (c == '%') hasPercent_ = true;
}

void ReceivedText::SetBuffer(std::string text) {
  buffer_ = std::move(text);
  hasPercent_ = buffer_.find('%') != std::string::npos;
}

void ReceivedText::EraseFirst(char c) {
  const size_t at = buffer_.find(c);
  if (at == std::string::npos) return;
  buffer_.erase(at, 1);
  if (c == '%') hasPercent_ = buffer_.find('%') != std::string::npos;
}

void ReceivedText::StoreBuffer() { sink_.StoreLine(buffer_); }

FeedResult ReceivedText::Feed(std::uint8_t c) {
  if (c == kCR) {
    if (rules_.EndCode != 2) return FeedResult::kIgnored;
    c = kLF;
  }
  if (c == kNUL) return FeedResult::kIgnored;
  if (hasPercent_ && endPercentArmed_) {
    // The closing "%" is acted on once the next character has come; that
    // character itself is not used. The space that word spacing put before
    // the "%" goes with it.
    if (buffer_.size() >= 3) {
      EraseFirst('%');
      sink_.StoreLine(TrimRight(buffer_));
    }
    return FeedResult::kEndByPercent;
  }
  if (c == kDC4 || c == kCAN) {
    sink_.StoreLine(buffer_);
    return FeedResult::kEndBySignal;
  }
  if (c == kLF) return CompleteLine();
  Accumulate(c);
  if (buffer_.size() >= kLongestLine) return CompleteLine();
  return FeedResult::kAccumulated;
}

void ReceivedText::Accumulate(std::uint8_t c) {
  if (!IsReceiveAcceptedChar(c)) return;
  const char ch = static_cast<char>(c);
  if (ch == '(') inComment_ = true;
  if (IsReceiveNumericChar(c)) {
    Append(ch);
    atWordStart_ = false;
  } else if (rules_.Word == 0) {
    if (atWordStart_ || inComment_) {
      Append(ch);
    } else if (ch != ' ') {
      // A letter after a number starts a new word.
      Append(' ');
      Append(ch);
      atWordStart_ = true;
    }
  } else if (rules_.Word == 1) {
    if (ch != ' ' || inComment_) Append(ch);
  } else {
    Append(ch);
  }
  if (ch == ')' && inComment_) inComment_ = false;
}

bool ReceivedText::TakeFileNameLine() {
  if (buffer_.empty() || buffer_[0] != '$' || !ncFileName_.empty()) return false;
  EraseFirst('$');
  EraseFirst('%');
  std::string sent = buffer_;
  sent.erase(std::remove(sent.begin(), sent.end(), ' '), sent.end());
  ncFileName_ = PlainFileName(sent);
  endPercentArmed_ = true;
  SetBuffer(std::string());
  sink_.FileNameLine(sent, ncFileName_);
  return true;
}

FeedResult ReceivedText::CompleteLine() {
  // The tape's opening "%".
  if (hasPercent_ && !endPercentArmed_) {
    if (rules_.osp) {
      if (!ncFileName_.empty()) {
        SetBuffer(std::string());
        return FeedResult::kLineDone;
      }
    } else if (buffer_.size() < 4) {
      SetBuffer(std::string());
      endPercentArmed_ = true;
      return FeedResult::kLineDone;
    } else {
      EraseFirst('%');
      endPercentArmed_ = true;
    }
  }
  if (TakeFileNameLine()) return FeedResult::kLineDone;

  if (rules_.Word != 2) SetBuffer(TrimLeft(buffer_));
  if (!buffer_.empty() && (buffer_[0] == ':' || buffer_[0] == 'O' || buffer_[0] == 'L')) {
    if (buffer_[0] != 'L') {
      if (rules_.Change == 1) buffer_[0] = 'O';
      if (rules_.Change == 2) buffer_[0] = ':';
    }
    sink_.ProgramNumberLine(buffer_);
  }
  SetBuffer(TrimRight(buffer_));

  const bool ospNameLine = rules_.osp && !buffer_.empty() && buffer_[0] == '$';
  if (!ospNameLine) {
    // A lone program-number letter waits for the number on the next line.
    if (buffer_ == "O" || buffer_ == ":") return FeedResult::kLineDone;
    if (IsHeaderLine(buffer_)) {
      SetBuffer(std::string());
    } else {
      sink_.StoreLine(buffer_);
    }
  }

  atWordStart_ = true;
  inComment_ = false;
  ++lineCount_;
  if (hasPercent_ && endPercentArmed_) return FeedResult::kEndOfData;
  SetBuffer(std::string());
  endPercentArmed_ = true;
  return FeedResult::kLineDone;
}

}  // namespace quelvo
