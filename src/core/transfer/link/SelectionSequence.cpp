// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/SelectionSequence.h"

#include "core/transfer/TransferHost.h"
#include "core/transfer/link/SerialLink.h"

namespace quelvo {

bool RunSelectionSequence(SerialLink& link, TransferHost& host, const AskSelectionNumber& ask) {
  constexpr int kSelectorPauseMs = 3000;
  link.State().RawWriteMode = true;
  const std::optional<std::string> number = ask ? ask() : std::nullopt;
  if (number && !number->empty()) {
    for (char c : *number) {
      if (c == '-') {
        host.WaitMs(kSelectorPauseMs);
      } else {
        link.WriteByte(static_cast<uint8_t>(c));
      }
    }
    host.WaitMs(kSelectorPauseMs);
    link.State().RawWriteMode = false;
    return true;
  }
  host.ShowMessage("自動選択番号の入力が間違っています。\n通信を一旦中止します。", "", MessageKind::kError,
                   MessageButtons::kOk);
  link.State().RawWriteMode = false;
  link.AppendLog("  自動選択番号の入力不良の為中止\n");
  return false;
}

}  // namespace quelvo
