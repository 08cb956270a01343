// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The half of the communication setting that a running transfer uses, copied
// when the port is opened, so that the engines read one set of names whatever
// the direction. Fields that belong to the other direction stay 0.
#include <string>

#include "core/settings/CommSetting.h"

namespace quelvo {

enum class TransferDirection { Receive, Send };

struct ActiveSetting {
  TransferDirection direction = TransferDirection::Send;
  // Both directions.
  std::string Port;
  int Speed = 0;
  int Code = 0;      // the list of the direction: Code_R and Code_S differ
  int STbit = 0;
  int Signal = 0;
  int Buff = 0;      // index into the direction's buffer list
  int Control = 0;   // flow control: 0 XON/XOFF, 1 RTS/CTS, 2 (send only) old type
  // Send only.
  int StartChar = 0;
  int EndChar = 0;
  int Feed = 0;
  int InvTime = 0;
  int ChkCount = 0;
  int CRLF_Type = 0;
  // Receive only.
  int Change = 0;
  int Word = 0;
  int RSignal = 0;
  int EndCode = 0;
  int SE_Char = 0;
};

ActiveSetting MakeActiveSetting(const CommSetting& setting, TransferDirection direction);

}  // namespace quelvo
