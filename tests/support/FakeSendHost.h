// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a send leaves for the window, recorded from the engine's document
// events as the main window would act on them: the lines shown, the editor
// status panels emptied, the remaining-time estimate switched on and off,
// the document's modified mark and the ends of the run.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FakeTransferHost.h"

namespace quelvo {

class FakeSendHost {
 public:
  explicit FakeSendHost(FakeTransferHost& host) { host.window = this; }
  FakeSendHost(const FakeSendHost&) = delete;
  FakeSendHost& operator=(const FakeSendHost&) = delete;

  // --- what happened ---
  std::vector<std::pair<int64_t, int64_t>> shownLines;  // start, length
  std::vector<std::pair<int, std::string>> editorPanelTexts;  // panel, text, as the window empties them
  std::vector<bool> estimateTimer;  // every start and stop of the estimate
  // The document's mark: set before a send by the test (edits not yet
  // saved), set by a line end the engine replaced, cleared when the send
  // hands the document back unchanged.
  bool modified = false;
  bool estimateTimerOn = false;
  int completionTimerStarts = 0;  // every end of an engine's run
};

}  // namespace quelvo
