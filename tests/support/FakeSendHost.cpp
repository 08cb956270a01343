#include "FakeSendHost.h"

namespace quelvo {

void FakeSendHost::ReplaceFinalLineFeed(int index) {
  std::string& line = host_.lines.at(static_cast<size_t>(index));
  if (!line.empty() && line.back() == '\n') line.back() = '\r';
  modified = true;
}

void FakeSendHost::SetEditorStatusPanel(int index, const std::string& text) {
  editorPanelTexts.emplace_back(index, text);
}

void FakeSendHost::SetEstimateTimer(bool enabled) {
  estimateTimer.push_back(enabled);
  estimateTimerOn = enabled;
}

}  // namespace quelvo
