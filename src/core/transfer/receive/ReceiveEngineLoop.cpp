// SPDX-License-Identifier: GPL-3.0-or-later
// The receive engine: the main loop over the received characters, the lines
// it stores and the blocks appended to the target file.
#include "core/transfer/receive/ReceiveEngine.h"

#include "core/transfer/receive/ReceiveTargetFile.h"
#include "core/transfer/receive/ReceiveTitles.h"

namespace quelvo {
namespace {

// Lines held at most before they are appended, even when no ordinary
// character comes to trigger the append (a stream of bare line ends).
constexpr size_t kBlockHardLimit = 4 * ReceiveEngine::kBlockLines;

}  // namespace

void ReceiveEngine::StoreLine(const std::string& line) { block_.push_back(line); }

void ReceiveEngine::FileNameLine(const std::string& sent, const std::string& usable) {
  if (usable.empty()) {
    log_.AppendLog("ＮＣ機よりﾌｧｲﾙ名受信 ﾌｧｲﾙ名は" + sent + "\n");
    log_.AppendLog("  ﾌｧｲﾙ名として使えない為、受信ﾌｧｲﾙ名で保存\n");
    return;
  }
  host_.Events().Title(ReceivingTitle(usable, job_.versionSuffix));
  log_.AppendLog("ＮＣ機よりﾌｧｲﾙ名受信 ﾌｧｲﾙ名は" + usable + "\n");
  if (usable != sent) log_.AppendLog("  ﾌｧｲﾙ名 " + sent + " を " + usable + " に変更\n");
  host_.Events().ControlFileName(usable);
}

void ReceiveEngine::ProgramNumberLine(const std::string& line) {
  host_.Events().ProgramLine(line);
}

void ReceiveEngine::LeaveOnStopWhileReceiving() {
  if (!link_.UserStopRequested()) return;
  link_.StopByUser();
  log_.AppendLog("  受信中に手動操作にて中止\n");
  // op10 keeps what was received, without the closing "%" and the line in hand.
  if (!options_.saveStoppedReception) Abort();
  Save();
  StopTransfer();
}

bool ReceiveEngine::DsrEndsData() {
  uint32_t status = 0;
  if (!link_.RawPort().ModemStatus(&status)) return false;
  link_.Port().modemStatus = status;
  const bool dsr = (status & kModemDsr) != 0;
  host_.Events().DsrState(dsr);
  if (!dsr && options_.watchDsr) {
    text_->StoreBuffer();
    log_.AppendLog("  ＮＣ機よりDSR信号OFFを受信した為終了\n");
    return true;
  }
  host_.Events().CtsState((status & kModemCts) != 0);
  return false;
}

void ReceiveEngine::FlushBlock() {
  if (block_.empty()) return;
  std::string reason;
  if (!file_.Append(block_, &reason)) FailTargetFile(reason);
  block_.clear();
  lastFlushMs_ = host_.MonotonicMs();
}

void ReceiveEngine::FlushWhenDue() {
  if (block_.empty() || host_.MonotonicMs() - lastFlushMs_ < kFlushIntervalMs) return;
  FlushBlock();
}

void ReceiveEngine::AfterOrdinaryChar() {
  if (text_->LineCount() >= kBlockLines) {
    FlushBlock();
    host_.Events().LinesInBlock(0);
    text_->ResetLineCount();
  } else {
    host_.Idle();
    host_.Events().LinesInBlock(text_->LineCount());
  }
}

void ReceiveEngine::ReceiveData() {
  for (;;) {
    LeaveOnStopWhileReceiving();
    const std::uint8_t c = link_.ReadByte();
    LeaveOnStopWhileReceiving();
    if (link_.PortFailed()) StopForLostPort();
    if (DsrEndsData()) {
      EndOfData();
      return;
    }
    FlushWhenDue();
    switch (text_->Feed(c)) {
      case FeedResult::kIgnored:
        break;
      case FeedResult::kLineDone:
        if (block_.size() >= kBlockHardLimit) FlushBlock();
        break;
      case FeedResult::kAccumulated:
        AfterOrdinaryChar();
        break;
      case FeedResult::kEndByPercent:
        log_.AppendLog("  ＮＣ機より完了（％）を受信した為終了\n");
        EndOfData();
        return;
      case FeedResult::kEndBySignal:
        log_.AppendLog("  ＮＣ機より完了（中止）信号を受信した為終了\n");
        EndOfData();
        return;
      case FeedResult::kEndOfData:
        EndOfData();
        return;
    }
  }
}

}  // namespace quelvo
