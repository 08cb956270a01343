#pragma once
// A SendHost for tests: records the editor calls, the timers and the end of the
// program; the document lines are those of the FakeTransferHost it serves.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FakeTransferHost.h"
#include "core/transfer/send/SendHost.h"

namespace quelvo {

class FakeSendHost : public SendHost {
 public:
  explicit FakeSendHost(FakeTransferHost& host) : host_(host) {}

  void ShowLineInEditor(int64_t start, int64_t length) override { shownLines.emplace_back(start, length); }
  void FocusEditor() override { ++focusCount; }
  void RepaintEditor() override { ++editorRepaints; }
  void ReplaceFinalLineFeed(int index) override;
  bool IsModified() override { return modified; }
  void SetModified(bool value) override { modified = value; }
  void SetEditorStatusPanel(int index, const std::string& text) override;
  void SetEstimateTimer(bool enabled) override;
  void StartCompletionTimer() override { ++completionTimerStarts; }
  void CloseProgram(bool powerOff) override { closeRequests.push_back(powerOff); }

  // --- what happened ---
  std::vector<std::pair<int64_t, int64_t>> shownLines;  // start, length
  std::vector<std::pair<int, std::string>> editorPanelTexts;
  std::vector<bool> estimateTimer;  // every switch of Timer2
  std::vector<bool> closeRequests;  // the powerOff argument of each CloseProgram
  bool modified = false;
  bool estimateTimerOn = false;
  int focusCount = 0, editorRepaints = 0, completionTimerStarts = 0;

 private:
  FakeTransferHost& host_;
};

}  // namespace quelvo
