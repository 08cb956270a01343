// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ControlPresets.h"

#include "core/settings/CommSettingFields.h"

namespace quelvo {
namespace {

// Indices into the lists of CommSettingFields.
constexpr int k4800 = 1, k9600 = 2, k19200 = 4;
constexpr int kIso = 0, kEia = 1, kAscii = 2;         // send code
constexpr int kAuto = 0, kAsciiR = 1;                 // receive code
constexpr int kOneStop = 0, kTwoStops = 1;
constexpr int kXonXoff = 0, kRtsCts = 1;
constexpr int kLf = 0, kCrLf = 1;                     // CRLF_Type
constexpr int kEndCodeLf = 0, kEndCodeCrLf = 1;       // EndCode (receive)

struct Line {
  int speed, sendCode, receiveCode, stopBits, handshake;
  int lineEnd, receiveEnd;
};

CommSetting Make(const Line& line) {
  CommSetting s;
  s.Speed_R = s.Speed_S = line.speed;
  s.Code_S = line.sendCode;
  s.Code_R = line.receiveCode;
  s.STbit_R = s.STbit_S = line.stopBits;
  s.Control_R = line.handshake == kRtsCts ? 1 : 0;
  s.Control_S = line.handshake;
  s.CRLF_Type = line.lineEnd;
  s.EndCode = line.receiveEnd;
  NormaliseForSave(s);
  return s;
}

std::vector<ControlPreset> BuildPresets() {
  // Figures are the factory values of the reader/punch (I/O channel)
  // parameters as the parameter and connection manuals of these kinds of
  // control print them, cross-read with machine builders' public DNC set-up
  // notes. They are starting points: the control's own parameter screen wins.
  return {
      // Widespread ISO milling and turning controls: I/O channel parameters
      // default to 9600 bit/s (older releases 4800), ISO, 2 stop bits, DC codes.
      {"一般的なISO制御", Make({k9600, kIso, kAuto, kTwoStops, kXonXoff, kLf, kEndCodeLf})},
      {"旧型のISO制御", Make({k4800, kIso, kAuto, kTwoStops, kXonXoff, kLf, kEndCodeLf})},
      // PC-based and compact machining-centre controls: 7 data bits, even
      // parity, 1 stop bit, software handshake, CR LF line ends.
      {"PC型・小型ﾏｼﾆﾝｸﾞｾﾝﾀ制御",
       Make({k9600, kIso, kAuto, kOneStop, kXonXoff, kCrLf, kEndCodeCrLf})},
      // Controls wired with a full handshake cable: RTS/CTS at 19200 bit/s.
      {"RTS/CTS手順の制御", Make({k19200, kIso, kAuto, kTwoStops, kRtsCts, kLf, kEndCodeLf})},
      // Tape-era controls and punches that read EIA (RS-244) at 4800 bit/s.
      {"EIAｺｰﾄﾞの旧型制御", Make({k4800, kEia, kAuto, kTwoStops, kXonXoff, kLf, kEndCodeLf})},
      // Controls set to plain ASCII without parity (terminal-type interfaces).
      {"ASCII(ﾊﾟﾘﾃｨ無し)の制御",
       Make({k9600, kAscii, kAsciiR, kOneStop, kXonXoff, kCrLf, kEndCodeCrLf})},
  };
}

std::string SpeedText(int index) {
  const std::vector<std::string>& speeds = ChoicesOf(&CommSetting::Speed_S);
  if (index >= 0 && static_cast<size_t>(index) < speeds.size()) return speeds[static_cast<size_t>(index)];
  return std::to_string(index);
}

std::string HandshakeText(int control) {
  if (control == kRtsCts) return "RTS/CTS";
  if (control == kXonXoff) return "DC1/DC3";
  return ChoicesOf(&CommSetting::Control_S).at(static_cast<size_t>(control));
}

}  // namespace

const std::vector<ControlPreset>& ControlPresets() {
  static const std::vector<ControlPreset> presets = BuildPresets();
  return presets;
}

std::string LineFormatText(int sendCode, int stopBitIndex) {
  const std::string stops = stopBitIndex == kOneStop ? "1" : "2";
  if (sendCode == kEia) return "EIA" + stops;
  if (sendCode == kAscii) return "7N" + stops;
  return "7E" + stops;
}

std::string PresetLabel(const ControlPreset& preset) {
  const CommSetting& s = preset.setting;
  return preset.kind + " (" + SpeedText(s.Speed_S) + ", " + LineFormatText(s.Code_S, s.STbit_S) +
         ", " + HandshakeText(s.Control_S) + ")";
}

CommSetting ApplyPreset(const ControlPreset& preset, const CommSetting& target) {
  CommSetting result = preset.setting;
  result.Port_R = target.Port_R;
  result.Port_S = target.Port_S;
  result.Mail_Flg = target.Mail_Flg;
  result.Mail_Address = target.Mail_Address;
  result.Mail_Subject = target.Mail_Subject;
  return result;
}

}  // namespace quelvo
