// The preparation of each pass: port opening, the code and line shown in the
// status bar, the handshake interval and the amount to send.
#include "core/common/Cp932.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/send/SendProgressText.h"
#include "core/transfer/send/SendSequences.h"

namespace quelvo {
namespace {

struct CodeRow {
  TapeCode code;
  const char* panel;
  const char* logLine;
};

constexpr CodeRow kCodes[] = {
    {TapeCode::ISO, "ISO  ", "  送信コードはＩＳＯコード\n"},
    {TapeCode::EIA, "EIA  ", "  送信コードはＥＩＡコード\n"},
    {TapeCode::ASCII, "ASCII", "  送信コードはＡＳＣＩＩコード\n"},
};

constexpr const char* kSpeedTexts[] = {": 2400,", ": 4800,", ": 9600,",
                                       ":14400,", ":19200,", ": 機器,"};

}  // namespace

void SendEngine::Prepare() {
  // The screen saver stays off until the window is back to editing.
  host_.SetScreenSaverActive(false);
  Bytes().LineSeenFlag = false;
  host_.ShowTransferPanel(true);
  host_.SetLabel2("");

  if (!link_.OpenPort(job_.setting, TransferDirection::Send)) {
    Bytes().ErrorNumber = kSendPortSetup;
    Abort();
  }
  link_.Port().PortOpenedForSend = true;
  outcome_.TransferFileName = job_.CurrentFileName;
  counters_.RemainingSeconds = 0;
  host_.SetStatusPanel(2, "送信待機中");

  ShowCodeAndLine();

  // The handshake interval and the amount to send.
  Bytes().CheckInterval = CheckIntervalFor(Active().ChkCount, Bytes().CheckInterval);
  counters_.TotalChars = DocumentLength() - 1;
  host_.SetStatusPanel(1, "残り " + RemainingAmountText(counters_.TotalChars, Meters()));

  counters_.LastSampleChars = 0;
  window_.RepaintEditor();
  host_.RepaintStatus();
  Bytes().AbortFlag = false;

  lineEnd_ = LineEndSequence(Active().CRLF_Type);
  feed_ = FeedSpaces(Active().Speed, Active().Feed);
  filter_ = MakeSendFilterOptions(job_.setting, options_.op7);
}

void SendEngine::ShowCodeAndLine() {
  const ActiveSetting& a = Active();
  std::string panel;
  if (a.Code >= 0 && a.Code <= 2) {
    const CodeRow& row = kCodes[a.Code];
    Bytes().codes.CurrentCode = row.code;
    panel = row.panel;
    host_.SetStatusPanel(3, panel);
    log_.AppendLog(row.logLine);
  }
  if (a.Speed >= 0 && a.Speed <= 5) panel += kSpeedTexts[a.Speed];
  panel += a.STbit == 0 ? " 1" : a.STbit == 1 ? " 2" : " 1.5";
  host_.SetStatusPanel(3, panel);
  host_.SetStatusPanel(4, a.Port);
  host_.SetStatusPanel(5, a.Signal == 0 ? "Y" : "N");
}

int32_t SendEngine::DocumentLength() {
  // Counted in the bytes that go on the wire, lines joined by CR LF.
  const int lines = host_.LineCount();
  int64_t length = 0;
  for (int i = 0; i < lines; ++i) {
    length += static_cast<int64_t>(Utf8ToCp932(host_.Line(i)).size());
    if (i > 0) length += 2;
  }
  return static_cast<int32_t>(length);
}

}  // namespace quelvo
