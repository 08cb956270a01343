// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pre-send check of quelvo-cli: what the send engine would do to each line
// of a file under one setting, and what a control commonly rejects. Lines and
// columns count from 1; a column counts the bytes of the line as the file
// holds it (CP932).
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"

namespace quelvo::cli {

enum class FindingKind {
  kChanged,  // dropped or changed on the way out
  kWarning,  // goes out as written, but a control may reject it
  kNote,     // for information (program numbers)
};

struct Finding {
  int line = 0;
  int column = 0;
  FindingKind kind = FindingKind::kNote;
  std::string message;  // UTF-8
};

struct CheckReport {
  std::vector<Finding> findings;  // in line and column order
  std::vector<std::string> programs;  // the program numbers in file order
  int64_t wireChars = 0;              // characters that go on the line
  int64_t seconds = 0;                // the time on the line at the setting's speed
  int baudRate = 0;                   // 0 for a tape punch or an unknown speed
  bool Changes() const;
};

// `fileBytes` is the file as it stands (CP932); `cutComments` is the program
// option that cuts comments after ";" and "'".
CheckReport CheckProgram(const std::string& fileBytes, const CommSetting& setting, bool cutComments);

// One finding as "FILE:LINE:COL: kind: message".
std::string FindingText(const std::string& file, const Finding& finding);

}  // namespace quelvo::cli
