#include "FakeSendHost.h"

namespace quelvo {

void FakeSendHost::ReplaceFinalLineFeed(int index) {
  quelvo::ReplaceFinalLineFeed(host_.lines, index);
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
