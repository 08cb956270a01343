// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line selector sequence: with option op6 "Y" every transfer first sends
// the selection number ("自動選択番号") over the freshly configured port, so an
// external selector switches the line to the right machine. Digits go out as
// plain ASCII bytes ("3" is 0x33) whatever the tape code; each "-" (a stage of
// cascaded selectors) and the end of the number wait 3000 ms. The waits block
// the window, as the selector needs quiet on the line.
//
// Install it with SerialLink::SetSelectionSequence:
//   link.SetSelectionSequence([&] { return RunSelectionSequence(link, host, askNumber); });
#include <functional>
#include <optional>
#include <string>

namespace quelvo {

class SerialLink;
class TransferHost;

// Shows the selection-number dialog (AutoNumberDialog) modally: the accepted number,
// or nothing when the dialog was cancelled or closed.
using AskSelectionNumber = std::function<std::optional<std::string>()>;

// True when the number was sent; false (after an error box and a log line)
// when it was cancelled or empty, and then nothing was written.
bool RunSelectionSequence(SerialLink& link, TransferHost& host, const AskSelectionNumber& ask);

}  // namespace quelvo
