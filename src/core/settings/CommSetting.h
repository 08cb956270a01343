// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One communication setting: how to talk to one NC control. The receive half
// (NC to PC, section Setting_R) and the send half (PC to NC, section Setting_S)
// are independent; each names its own port and line parameters.
//
// Field names are the key names; fields whose key exists in both halves carry
// the suffix _R or _S. Two keys are not valid identifiers and are spelt
// `SE_Char` (key "S&E_Char") and `ChkCount` (key "Chk Count").
// Integer fields are, unless noted, the zero-based index of an item of the list
// the settings dialog offers (CommSettingFields.h). Values outside the lists are
// kept as they are; nothing is validated on reading. Texts are UTF-8.
#include <string>
#include <vector>

namespace quelvo {

// Speed index that means "tape reader" (receive) or "tape punch" (send): the
// line is then fixed at 4800 bit/s, 8 data bits, 2 stop bits.
constexpr int kTapeDeviceSpeed = 5;

// Port texts the settings dialog stores when it has no real port to offer;
// they simply fail to open.
inline constexpr const char* kPortNotPresent = "設定ﾎﾟｰﾄ無し";
inline constexpr const char* kNoUsablePort = "有効ﾎﾟｰﾄ無し";

struct CommSetting {
  // Receive half, section Setting_R, in file order.
  int Speed_R = 1;               // 4800
  int Code_R = 0;                // EIA or ISO, detected from the data
  int STbit_R = 1;               // 2 stop bits
  std::string Port_R = "COM1";
  int Change = 0;                // program-number letter as received
  int Word = 0;                  // a space before each word
  int Signal_R = 0;              // start on the control's signal
  int RSignal = 0;               // start signal to a tape reader (stored only)
  int Buff_R = 3;                // 1024
  int EndCode = 0;               // LF
  int Control_R = 0;             // XON/XOFF
  int SE_Char = 3;               // no "%" added

  // Send half, section Setting_S, in file order.
  int Speed_S = 1;               // 4800
  int Code_S = 0;                // ISO
  int STbit_S = 1;               // 2 stop bits
  std::string Port_S = "COM1";
  int Signal_S = 0;              // start on the control's signal
  int StartChar = 0;             // nothing before the data
  int EndChar = 0;               // "%" after the data
  int Feed = 0;                  // no tape feed
  int Buff_S = 0;                // 2
  int InvTime = 0;               // milliseconds after each data character (not an index)
  int Control_S = 0;             // XON/XOFF
  int ChkCount = 0;              // check the line every 10 characters
  int CRLF_Type = 0;             // LF
  int DNC_Send = 0;              // stored and reloaded only
  std::string SendMsg;           // a string never sent ("" = none)
  std::string F_non;             // "Y": no decimal point in F words
  std::string N_non;             // "Y": no sequence numbers
  std::string Mail_Flg = "N";    // "Y": mail notice when a send ends
  std::string Mail_Address;
  std::string Mail_Subject;

  bool operator==(const CommSetting& other) const;
  bool operator!=(const CommSetting& other) const { return !(*this == other); }
};

// A field whose value a tape device fixes. The settings dialog greys out
// exactly these fields while the device is chosen.
struct FixedField {
  int CommSetting::*member;
  int value;
};
// With Speed_R = kTapeDeviceSpeed (tape reader); RSignal only counts then.
const std::vector<FixedField>& TapeReaderFixedFields();
// With Speed_S = kTapeDeviceSpeed (tape punch); Feed only counts then.
const std::vector<FixedField>& TapePunchFixedFields();

// Fixed values that follow from the two speeds, applied before a save: a tape
// reader fixes the receive line handling, a tape punch fixes its start signal
// and buffer; without a tape device RSignal becomes 1 (no start signal) and
// Feed 0 (no tape feed).
void NormaliseForSave(CommSetting& setting);
// The two halves of NormaliseForSave, for a dialog that stores one half at a time.
void NormaliseReceiveForSave(CommSetting& setting);
void NormaliseSendForSave(CommSetting& setting);

}  // namespace quelvo
