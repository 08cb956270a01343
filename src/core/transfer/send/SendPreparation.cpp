// SPDX-License-Identifier: GPL-3.0-or-later
// The preparation of each pass: port opening, the code and line shown in the
// status bar, the handshake interval and the amount to send.
#include "core/common/Cp932.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/SendProgressText.h"
#include "core/transfer/send/SendSequences.h"

namespace quelvo {
namespace {

struct CodeRow {
  TapeCode code;
  const char* logLine;
};

constexpr CodeRow kCodes[] = {
    {TapeCode::ISO, "  送信コードはＩＳＯコード\n"},
    {TapeCode::EIA, "  送信コードはＥＩＡコード\n"},
    {TapeCode::ASCII, "  送信コードはＡＳＣＩＩコード\n"},
};

}  // namespace

void SendEngine::Prepare() {
  // The screen saver stays off until the window is back to editing.
  host_.SetScreenSaverActive(false);
  Bytes().LineSeenFlag = false;
  host_.Events().Preparing();

  if (!link_.OpenPort(job_.setting, TransferDirection::Send)) {
    Bytes().ErrorNumber = link_.OpenStoppedByUser() ? kUserStop : kSendPortSetup;
    Abort();
  }
  link_.Port().PortOpenedForSend = true;
  outcome_.TransferFileName = job_.CurrentFileName;
  counters_.RemainingSeconds = 0;
  SetPhase(TransferPhase::kWaitingForControl);

  ShowCodeAndLine();

  // The handshake interval and the amount to send.
  Bytes().CheckInterval = CheckIntervalFor(Active().ChkCount, Bytes().CheckInterval);
  counters_.TotalChars = DocumentLength() - 1;
  host_.Events().AmountToSend(counters_.TotalChars);

  counters_.LastSampleChars = 0;

  lineEnd_ = LineEndSequence(Active().CRLF_Type);
  feed_ = FeedSpaces(Active().Speed, Active().Feed);
  filter_ = MakeSendFilterOptions(job_.setting, options_.cutComments);
}

void SendEngine::ShowCodeAndLine() {
  const ActiveSetting& a = Active();
  if (a.Code >= 0 && a.Code <= 2) {
    const CodeRow& row = kCodes[a.Code];
    Bytes().codes.CurrentCode = row.code;
    log_.AppendLog(row.logLine);
  }
  host_.Events().LineSettings(a);
}

int32_t SendEngine::DocumentLength() {
  // Counted in the bytes that go on the wire, lines joined by CR LF.
  int64_t length = 0;
  for (size_t i = 0; i < lines_->size(); ++i) {
    length += static_cast<int64_t>(Utf8ToCp932((*lines_)[i]).size());
    if (i > 0) length += 2;
  }
  return static_cast<int32_t>(length);
}

}  // namespace quelvo
