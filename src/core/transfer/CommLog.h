// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication log of a transfer: one text of lines, each the date and time
// "yyyy/MM/dd hh:mm:ss" immediately followed by a text that begins with two
// blanks and ends with a line feed ("2026/12/07 20:15:00  送信完了\n"). A
// transfer command starts it anew; port opening, the byte writer and the engines
// append to it; the engine saves it beside the program when the transfer ends.
#include <ctime>
#include <functional>
#include <string>

namespace quelvo {

class CommLog {
 public:
  using Clock = std::function<std::time_t()>;

  // The clock gives the time of each line; by default the system's.
  explicit CommLog(Clock clock = Clock());

  // Starts the log anew with its first line.
  void Start(const std::string& firstLine);
  // Appends the date and time followed by `line` (which starts with two blanks
  // and ends with "\n").
  void AppendLog(const std::string& line);
  void Clear() { text_.clear(); }

  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

 private:
  Clock clock_;
  std::string text_;
};

// The log file of a direction: <program folder>/<base>_S.log for a send (1),
// <base>_R.log for any other direction.
std::string CommLogFilePath(int direction);

// Writes `logText` (UTF-8, LF line ends) to `path` as CP932 with CR LF line
// ends, atomically (a temporary file renamed over the old one). Returns false
// and the reason in *error when the file cannot be written.
bool WriteCommLogFile(const std::string& path, const std::string& logText, std::string* error);

// What the user is told when the log of `direction` could not be written to
// `path` for `reason`: "送信ログファイルが保存できません。" (or 受信), the file and
// the reason.
std::string LogNotSavedText(int direction, const std::string& path, const std::string& reason);

// Saves the log of a transfer of `direction` to CommLogFilePath(direction).
bool SaveCommLog(const std::string& logText, int direction, std::string* error = nullptr);

}  // namespace quelvo
