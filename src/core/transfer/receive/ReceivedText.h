// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text side of a reception, free of any port or window: it takes the
// decoded characters one by one, builds the line being received (dropping what
// NC text cannot hold, spacing words as the setting asks), and decides at each
// line end what becomes of the line: the tape's opening "%", a file name sent
// on a "$" line, a header line to skip, a lone program-number letter joined to
// the next line, or a line to store. It also recognises the end of the data:
// the closing "%" (acted on at the next character), DC4 and CAN. A line
// without end is cut into lines of at most 64 KiB characters.
#include <cstdint>
#include <string>

namespace quelvo {

// The receive half's text settings.
struct ReceiveTextRules {
  int Word = 0;     // 0 a space before each word, 1 spaces deleted, 2 as received
  int Change = 0;   // program-number letter: 0 as received, 1 "O", 2 ":"
  int EndCode = 0;  // 2: a carriage return ends a line; otherwise it is ignored
  bool osp = false; // an OSP setting is active
};

// Where the decisions go.
class ReceivedTextSink {
 public:
  virtual ~ReceivedTextSink() = default;
  // A line for the target file (without its line end).
  virtual void StoreLine(const std::string& line) = 0;
  // A "$" line: `sent` is the name as the control sent it (blanks, "$" and
  // "%" taken out), `usable` the plain file name made of it, empty when
  // nothing usable remains.
  virtual void FileNameLine(const std::string& sent, const std::string& usable) = 0;
  // A line that begins a program ("O", ":" or "L" first), as it will be stored.
  virtual void ProgramNumberLine(const std::string& line) = 0;
};

enum class FeedResult {
  kIgnored,        // a NUL, or a carriage return that does not end lines
  kAccumulated,    // an ordinary character (kept or dropped)
  kLineDone,       // a line end was processed; reception goes on
  kEndOfData,      // a stored line held the closing "%"
  kEndByPercent,   // the character after the closing "%" arrived
  kEndBySignal,    // DC4 or CAN
};

class ReceivedText {
 public:
  ReceivedText(const ReceiveTextRules& rules, ReceivedTextSink& sink);

  // Start of data: the line buffer starts with the start character (a line
  // feed that started the reception ends no line and is not kept).
  void Start(std::uint8_t startChar);
  FeedResult Feed(std::uint8_t c);
  // Stores the line buffer as it stands (the line ends with the data).
  void StoreBuffer();

  // Lines completed since the last ResetLineCount.
  std::int32_t LineCount() const { return lineCount_; }
  void ResetLineCount() { lineCount_ = 0; }
  // The usable file name the control sent; empty when none.
  const std::string& NcFileName() const { return ncFileName_; }
  const std::string& Buffer() const { return buffer_; }

 private:
  void Accumulate(std::uint8_t c);
  void Append(char c);
  void SetBuffer(std::string text);
  void EraseFirst(char c);
  FeedResult CompleteLine();
  bool TakeFileNameLine();

  ReceiveTextRules rules_;
  ReceivedTextSink& sink_;
  std::string buffer_;
  bool hasPercent_ = false;       // buffer_ holds a "%"
  bool endPercentArmed_ = false;  // a "%" from now on ends the data
  bool atWordStart_ = true;
  bool inComment_ = false;
  std::string ncFileName_;
  std::int32_t lineCount_ = 0;
};

}  // namespace quelvo
