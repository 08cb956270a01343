// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decides, character by character, what of one document line is sent: comments
// after ";" or "'" are cut (unless the program option says to send them), "%" and tabs are left out,
// sequence numbers and the decimal point of feed words are left out when the
// setting asks for it, and a string the user never wants sent is blanked out.
// The filter hands out one character at a time so that the send engine can
// write it and do its checks and waits before the next one.
//
// Lines and SendMsg are compared byte by byte; the send engine passes both in
// the encoding that goes on the wire (CP932).
#include <cstddef>
#include <string>

namespace quelvo {

struct CommSetting;

struct SendFilterOptions {
  std::string SendMsg;  // never sent; "" for none
  std::string F_non;    // "Y": no decimal point in F words
  std::string N_non;    // "Y": no sequence number in the first column
  bool cutComments = true;  // ";" and "'" end what is sent of the line
};

// The options from the send half of a setting (SendMsg converted to CP932) and
// the program option ProgramOptions::cutComments.
SendFilterOptions MakeSendFilterOptions(const CommSetting& setting, bool cutComments);

class SendLineFilter {
 public:
  SendLineFilter(std::string line, const SendFilterOptions& options);

  // A line of "%" alone is dropped whole: nothing of it is sent, not even the
  // line end.
  bool Dropped() const { return dropped_; }

  // The next character to send; false when the rest of the line is not sent.
  bool Next(char& ch);

 private:
  bool FeedPointWithheld(char ch);

  std::string text_;
  std::string F_non_;
  std::string N_non_;
  bool cutComments_;
  std::size_t pos_ = 0;
  bool hasParenthesis_ = false;
  bool dropped_ = false;
  bool cut_ = false;
  bool InParentheses_ = false;
  bool nState_ = false;
  bool fState_ = false;
};

SendLineFilter FilterSendLine(std::string line, const SendFilterOptions& options);

// SendMsg blanked out in a line: every occurrence (case-sensitive) becomes as
// many spaces as SendMsg has characters, but at most 29.
std::string BlankOutSendMsg(std::string line, const std::string& sendMsg);

}  // namespace quelvo
