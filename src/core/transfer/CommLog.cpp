// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/CommLog.h"

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/common/DateTimeText.h"
#include "core/common/ProgramFiles.h"

namespace quelvo {

CommLog::CommLog(Clock clock) : clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::time(nullptr); };
}

void CommLog::Start(const std::string& firstLine) {
  text_.clear();
  AppendLog(firstLine);
}

void CommLog::AppendLog(const std::string& line) {
  text_ += ShortDateTimeText(clock_());
  text_ += line;
}

std::string CommLogFilePath(int direction) {
  return ProgramFilePath(direction == 1 ? "_S.log" : "_R.log");
}

bool WriteCommLogFile(const std::string& path, const std::string& logText, std::string* error) {
  std::string crlf;
  crlf.reserve(logText.size() + logText.size() / 16);
  for (char c : logText) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::string reason;
  if (!WriteFileAtomically(path, Utf8ToCp932(crlf), &reason, LinkAtTarget::kRefuse)) {
    if (error != nullptr) *error = reason;
    return false;
  }
  return true;
}

std::string LogNotSavedText(int direction, const std::string& path, const std::string& reason) {
  std::string text = direction == 1 ? "送信" : "受信";
  text += "ログファイルが保存できません。\n";
  // A refused link names itself; a system reason does not say which file.
  if (reason.find(path) == std::string::npos) text += path + "\n";
  return text + reason;
}

bool SaveCommLog(const std::string& logText, int direction, std::string* error) {
  return WriteCommLogFile(CommLogFilePath(direction), logText, error);
}

}  // namespace quelvo
