#pragma once
// The SendHost of a program without an editor (the terminal program, the shop
// service): the document is a list of lines held here and read as the
// editor's lines would be (see DocumentLines); there is no editor, status bar,
// timer or window to close.
#include <string>
#include <utility>
#include <vector>

#include "core/transfer/DocumentLines.h"
#include "core/transfer/send/SendHost.h"

namespace quelvo {

class DocumentSendHost : public SendHost {
 public:
  // `lines` as DocumentLines makes them; no lines at all is one empty line.
  void SetDocument(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    if (lines_.empty()) lines_.emplace_back();
  }
  // For TransferHost::LineCount and Line; a line out of range is empty.
  int DocumentLineCount() const { return static_cast<int>(lines_.size()); }
  std::string DocumentLine(int index) const {
    return index >= 0 && index < DocumentLineCount() ? lines_[static_cast<size_t>(index)] : std::string();
  }

  void ShowLineInEditor(int64_t, int64_t) override {}
  void FocusEditor() override {}
  void RepaintEditor() override {}
  void ReplaceFinalLineFeed(int index) override { quelvo::ReplaceFinalLineFeed(lines_, index); }
  bool IsModified() override { return false; }
  void SetModified(bool) override {}
  void SetEditorStatusPanel(int, const std::string&) override {}
  void SetEstimateTimer(bool) override {}
  void StartCompletionTimer() override {}
  void CloseProgram(bool) override {}

 private:
  std::vector<std::string> lines_{1};
};

}  // namespace quelvo
