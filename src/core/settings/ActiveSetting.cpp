// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ActiveSetting.h"

namespace quelvo {

ActiveSetting MakeActiveSetting(const CommSetting& s, TransferDirection direction) {
  ActiveSetting a;
  a.direction = direction;
  if (direction == TransferDirection::Send) {
    a.Port = s.Port_S;
    a.Speed = s.Speed_S;
    a.Code = s.Code_S;
    a.STbit = s.STbit_S;
    a.Signal = s.Signal_S;
    a.StartChar = s.StartChar;
    a.EndChar = s.EndChar;
    a.Feed = s.Feed;
    a.Buff = s.Buff_S;
    a.InvTime = s.InvTime;
    a.Control = s.Control_S;
    a.ChkCount = s.ChkCount;
    a.CRLF_Type = s.CRLF_Type;
  } else {
    a.Port = s.Port_R;
    a.Speed = s.Speed_R;
    a.Code = s.Code_R;
    a.STbit = s.STbit_R;
    a.Change = s.Change;
    a.Word = s.Word;
    a.Signal = s.Signal_R;
    a.RSignal = s.RSignal;
    a.Buff = s.Buff_R;
    a.EndCode = s.EndCode;
    a.Control = s.Control_R;
    a.SE_Char = s.SE_Char;
  }
  return a;
}

}  // namespace quelvo
