// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/CommSetting.h"

#include "core/settings/CommSettingFields.h"

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

const std::vector<FixedField>& TapeReaderFixedFields() {
  // Code detected from the data, two stop bits, program letter as received,
  // spaces removed, started without a signal, 1024-byte buffer, LF line ends.
  static const std::vector<FixedField> fields = {
      {&CommSetting::Code_R, 0},   {&CommSetting::STbit_R, 1}, {&CommSetting::Change, 0},
      {&CommSetting::Word, 1},     {&CommSetting::Signal_R, 0}, {&CommSetting::Buff_R, 3},
      {&CommSetting::EndCode, 0},
  };
  return fields;
}

const std::vector<FixedField>& TapePunchFixedFields() {
  // No start signal to wait for, smallest buffer.
  static const std::vector<FixedField> fields = {
      {&CommSetting::Signal_S, 1},
      {&CommSetting::Buff_S, 0},
  };
  return fields;
}

namespace {

void Apply(const std::vector<FixedField>& fields, CommSetting& s) {
  for (const FixedField& field : fields) s.*field.member = field.value;
}

}  // namespace

void NormaliseReceiveForSave(CommSetting& s) {
  if (s.Speed_R == kTapeDeviceSpeed) {
    Apply(TapeReaderFixedFields(), s);
  } else {
    s.RSignal = 1;
  }
}

void NormaliseSendForSave(CommSetting& s) {
  if (s.Speed_S == kTapeDeviceSpeed) {
    Apply(TapePunchFixedFields(), s);
  } else {
    s.Feed = 0;
  }
}

void NormaliseForSave(CommSetting& setting) {
  NormaliseReceiveForSave(setting);
  NormaliseSendForSave(setting);
}

}  // namespace quelvo
