// SPDX-License-Identifier: GPL-3.0-or-later
// After the last line: the end sequence, the final feed and a tape punch's
// end signal; then the completion of the pass and, in repeat mode, the way
// into the next one.
#include "core/settings/CommSetting.h"
#include "core/transfer/LineErrorText.h"
#include "core/transfer/send/SendCommand.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/send/SendSequences.h"

namespace quelvo {
namespace {

constexpr int kPunchEndSignalWaitMs = 4000;
constexpr int kCloseWaitMs = 4000;
constexpr int kRepeatWaitMs = 3000;

}  // namespace

void SendEngine::SendEndOfData() {
  host_.Events().DataFlowing(false);
  host_.Events().AllDataSent();

  WriteStep(EndSequenceFor(Active().EndChar, Active().Speed, Active().CRLF_Type), kSendEndSequence);
  if (!feed_.empty()) WriteStep(feed_, kSendFinalFeed);
  if (Active().Speed == kTapeDeviceSpeed && options_.tapePunchEndSignal) {
    host_.WaitMs(kPunchEndSignalWaitMs);
    WriteChecked(static_cast<char>(kDC4), kSendPunchEndSignal, 0);
  }
}

bool SendEngine::Complete() {
  ReleaseDocument(false);
  // The control's reader may still be busy with what is queued.
  host_.WaitMs(kCloseWaitMs);
  LogLineErrors(link_.RawPort(), log_, &outcome_.lineErrors);
  link_.ClosePort();
  SetPhase(TransferPhase::kCompleted);
  log_.AppendLog("  送信完了\n");

  if (!job_.RepeatMode) {
    SaveLog();
    if (job_.CloseAfterTransfer) {
      outcome_.CloseProgram = true;
      outcome_.PowerOff = options_.powerOffAfterTransfer;
    }
    EndTransfer(true);
    return false;
  }

  ShowLine(0, 0);
  host_.Events().NextPassReady();
  log_.AppendLog("  ﾘﾋﾟｰﾄ送信準備完了\n");
  host_.WaitMs(kRepeatWaitMs);
  ++outcome_.RepeatCount;
  host_.Events().RepeatPass(outcome_.RepeatCount);
  return true;
}

}  // namespace quelvo
