// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/send/SendLineFilter.h"

#include <algorithm>
#include <utility>

#include "core/common/Cp932.h"
#include "core/settings/CommSetting.h"

namespace quelvo {
namespace {

constexpr std::size_t kMaxSendMsgBlanks = 29;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

SendFilterOptions MakeSendFilterOptions(const CommSetting& setting, bool cutComments) {
  return SendFilterOptions{Utf8ToCp932(setting.SendMsg), setting.F_non, setting.N_non, cutComments};
}

std::string BlankOutSendMsg(std::string line, const std::string& sendMsg) {
  if (sendMsg.empty()) return line;
  const std::size_t blanks = std::min(sendMsg.size(), kMaxSendMsgBlanks);
  std::size_t pos = 0;
  while ((pos = line.find(sendMsg, pos)) != std::string::npos) {
    line.replace(pos, sendMsg.size(), blanks, ' ');
    pos += blanks;
  }
  return line;
}

SendLineFilter::SendLineFilter(std::string line, const SendFilterOptions& options)
    : text_(BlankOutSendMsg(std::move(line), options.SendMsg)),
      F_non_(options.F_non),
      N_non_(options.N_non),
      cutComments_(options.cutComments) {
  hasParenthesis_ = text_.find('(') != std::string::npos;
  dropped_ = text_ == "%";
}

bool SendLineFilter::Next(char& out) {
  while (!dropped_ && !cut_ && pos_ < text_.size()) {
    const std::size_t w = pos_++;
    const char ch = text_[w];

    // A ")" itself already counts as outside the comment.
    if (hasParenthesis_) {
      if (ch == '(') InParentheses_ = true;
      if (ch == ')') InParentheses_ = false;
    }
    if (!InParentheses_) {
      if ((ch == ';' || ch == '\'') && cutComments_) {
        cut_ = true;
        break;
      }
      if (ch == '%') continue;
    }
    if (ch == '\t') continue;

    if (N_non_ == "Y") {
      if (ch == 'N' && w == 0) {
        nState_ = true;
        continue;
      }
      if (nState_ && IsDigit(ch)) continue;
      nState_ = false;
    }

    if (F_non_ == "Y" && !InParentheses_) {
      if (fState_ && !IsDigit(ch) && FeedPointWithheld(ch)) continue;
      if (ch == 'F') fState_ = true;
    }

    out = ch;
    return true;
  }
  return false;
}

// Called for a non-digit while inside a feed word; pos_ is just past it. The
// feed word ends at a non-digit followed by a non-digit (or with the line); a
// decimal point there is the feed's and is withheld. Only a point is ever
// withheld: any other character (a ")" closing a comment, a "," of a corner
// word) is part of the program and always goes out.
bool SendLineFilter::FeedPointWithheld(char ch) {
  const std::size_t following = text_.size() - pos_;
  if (following == 0) return ch == '.';
  if (following == 1) {
    fState_ = false;
    return false;
  }
  if (IsDigit(text_[pos_])) return false;
  fState_ = false;
  return ch == '.';
}

SendLineFilter FilterSendLine(std::string line, const SendFilterOptions& options) {
  return SendLineFilter(std::move(line), options);
}

}  // namespace quelvo
