// SPDX-License-Identifier: GPL-3.0-or-later
// What goes out before the first line: an OSP control's file-name header, or
// the start sequence of the setting.
#include "core/common/Cp932.h"
#include "core/transfer/receive/OspFileName.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/send/SendSequences.h"

namespace quelvo {
namespace {

bool IsOspSetting(int setNo) { return setNo == 6 || setNo == 12; }

}  // namespace

void SendEngine::SendStartOfData() {
  if (IsOspSetting(job_.SetNo)) {
    SendOspHeader();
    return;
  }
  const StartSequence start = StartSequenceFor(Active().StartChar, Active().CRLF_Type);
  if (start.pauseMs > 0) host_.WaitMs(start.pauseMs);
  WriteStep(start.text, kSendStartSequence);
}

void SendEngine::SendOspHeader() {
  outcome_.OspFileName = OspFileName(job_.CurrentFileName);
  const std::string& name = outcome_.OspFileName;
  log_.AppendLog("  ＮＣ機にファイル名送信 ﾌｧｲﾙ名=" + name + "\n");
  WriteChecked("$", kSendOspDollar);  // EIA has no "$": it is then not sent at all
  host_.Events().ControlFileName(name);
  WriteChecked(Utf8ToCp932(name), kSendOspFileName, Active().InvTime);
  SendLineEnd(kSendOspLineEnd);
  host_.WaitMs(5);
}

}  // namespace quelvo
