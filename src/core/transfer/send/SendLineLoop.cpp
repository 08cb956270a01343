// SPDX-License-Identifier: GPL-3.0-or-later
// The line loop: every line of the document snapshot, shown, skipped by the selective send or filtered and written, then counted.
#include <algorithm>

#include "core/common/Cp932.h"
#include "core/common/DateTimeText.h"
#include "core/transfer/DocumentLines.h"
#include "core/transfer/send/SendEngine.h"

namespace quelvo {
namespace {

bool IsProgramNumberLine(const std::string& line) {
  return !line.empty() && (line[0] == 'O' || line[0] == ':' || line[0] == 'L');
}

// A program end: the control needs a moment before the next program.
bool EndsProgram(const std::string& line) {
  for (const char* code : {"M99", "M02", "M2", "M30"}) {
    if (line.find(code) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

void SendEngine::SendLines() {
  Bytes().SentSinceCheck = 0;
  ShowLine(0, 0);
  outcome_.StartText = "開始 " + ShortDateTimeText(host_.Now()) + "\n";

  int64_t start = 0;  // editor position where line k starts
  for (int k = 0; counters_.SentChars < counters_.TotalChars && k < LineCount(); ++k) {
    std::string line = (*lines_)[static_cast<size_t>(k)];
    host_.Events().LineInProgress(k, start, static_cast<int64_t>(line.size()));
    if (!line.empty() && line.back() == '\n') {
      // The CR that replaces the LF ends the line, as in the editor.
      ReplaceFinalLineFeed(*lines_, k);
      host_.Events().LineEndReplaced(k);
      line.back() = '\r';
      counters_.TotalChars += 1;
      host_.Events().SendTotal(counters_.TotalChars, false);
    }

    const bool programLine = IsProgramNumberLine(line);
    if (programLine) {
      if (!feed_.empty()) WriteStep(feed_, kSendProgramFeed);
      host_.Events().ProgramLine(line);
    }
    if (!options_.selectiveSend) {
      selection_.SkipProgram = false;
    } else if (programLine) {
      const std::vector<std::string>& skip = selection_.SkipLines;
      selection_.SkipProgram = std::find(skip.begin(), skip.end(), line) != skip.end();
    }

    const std::string wireLine = Utf8ToCp932(line);
    if (selection_.SkipProgram) {
      SetPhase(TransferPhase::kSkipping);
    } else {
      SetPhase(TransferPhase::kSending);
      SendLineText(wireLine);
    }
    host_.Idle();
    counters_.SentChars += static_cast<int32_t>(wireLine.size() + 2);
    if (EndsProgram(line)) host_.WaitMs(5);
    ShowProgress();
    start += static_cast<int64_t>(line.size()) + 2;
  }
}

void SendEngine::SendLineText(const std::string& wireLine) {
  SendLineFilter filter = FilterSendLine(wireLine, filter_);
  if (filter.Dropped()) return;  // a line of "%" alone: not even its line end
  char ch = 0;
  while (filter.Next(ch)) WriteChecked(ch, kSendDataChar, Active().InvTime);
  SendLineEnd(kSendLineEnd);
}

void SendEngine::ShowProgress() {
  host_.Events().CharactersSent(counters_.SentChars, counters_.TotalChars, counters_.RemainingSeconds);
}

}  // namespace quelvo
