// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window-free part of the send command (the "送信" and "ﾘﾋﾟｰﾄ" buttons):
// which way the document goes, and the first lines of its log.
#include <string>

#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"

namespace quelvo {

// Only option op1 exactly "N" (ProgramOptions::sendWholeDocument) sends the
// whole document; anything else lets the user choose the programs first.
bool SendsWholeDocument(const ProgramOptions& options);

// Starts the log of a send anew: "  送信\n", "  全データを送信\n" for the whole
// document, "  通信\n", "  プログラム番号選択で送信\n" for a selective send; then
// "  送信ﾌｧｲﾙ名は" + file name.
void StartSendLog(CommLog& log, bool wholeDocument, const std::string& fileName);

}  // namespace quelvo
