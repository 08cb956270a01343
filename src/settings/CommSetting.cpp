#include "settings/CommSetting.h"

#include "settings/CommSettingFields.h"

namespace quelvo {

bool CommSetting::operator==(const CommSetting& other) const {
  for (const CommSettingField& field : CommSettingFields()) {
    if (field.IsText() ? this->*field.textMember != other.*field.textMember
                       : this->*field.intMember != other.*field.intMember) {
      return false;
    }
  }
  return true;
}

void NormaliseReceiveForSave(CommSetting& s) {
  if (s.Speed_R == kTapeDeviceSpeed) {
    // Reading from a tape reader: code detected from the data, two stop bits,
    // spaces removed, started without a signal, 1024-byte buffer, LF line ends.
    s.Code_R = 0;
    s.STbit_R = 1;
    s.Change = 0;
    s.Word = 1;
    s.Signal_R = 0;
    s.Buff_R = 3;
    s.EndCode = 0;
  } else {
    s.RSignal = 1;
  }
}

void NormaliseSendForSave(CommSetting& s) {
  if (s.Speed_S == kTapeDeviceSpeed) {
    // Punching a tape: no start signal to wait for, smallest buffer.
    s.Signal_S = 1;
    s.Buff_S = 0;
  } else {
    s.Feed = 0;
  }
}

void NormaliseForSave(CommSetting& setting) {
  NormaliseReceiveForSave(setting);
  NormaliseSendForSave(setting);
}

}  // namespace quelvo
